#!/usr/bin/python3
"""Runs programs of the Linux host for the Windows build's tests under Wine.

host_service.py PORT_FILE

Under Wine a Linux program can be started but runs detached: no handle to wait on, no exit
status, no output through pipes. So scripts/windows/test.sh starts this service on the host and
the tests ask it over a loopback connection (CLIMATE_HOST_SERVICE=127.0.0.1:PORT). It listens on
127.0.0.1, writes its port and a newline into PORT_FILE, and serves each connection on a thread
of its own. A connection starts with one JSON line:

  {"run": [PROGRAM, ARGUMENT...], "timeout": SECONDS}
      runs the program to its end and answers one JSON line
      {"status": N, "stdout": BASE64, "stderr": BASE64} (status -1: it did not end in time);
  {"relay": [PROGRAM, ARGUMENT...]}
      starts the program and passes the connection's bytes to its standard input and its
      standard output to the connection (its standard error goes to this service's). When the
      connection closes the program gets SIGTERM, and SIGKILL if it lingers; when the program
      ends the connection closes.
"""

import base64
import json
import os
import selectors
import socket
import socketserver
import subprocess
import sys


class Handler(socketserver.StreamRequestHandler):
    rbufsize = 0  # the request line only: what follows is the program's

    def handle(self):
        request = json.loads(self.rfile.readline())
        if "run" in request:
            self.run(request["run"], request.get("timeout", 60))
        else:
            self.relay(request["relay"])

    def run(self, command, timeout):
        try:
            done = subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True,
                                  timeout=timeout)
            answer = {"status": done.returncode, "stdout": done.stdout, "stderr": done.stderr}
        except subprocess.TimeoutExpired as expired:
            answer = {"status": -1, "stdout": expired.stdout or b"",
                      "stderr": (expired.stderr or b"") + b"\ntimed out"}
        except OSError as error:
            answer = {"status": 127, "stdout": b"", "stderr": str(error).encode()}
        for key in ("stdout", "stderr"):
            answer[key] = base64.b64encode(answer[key]).decode()
        self.wfile.write(json.dumps(answer).encode() + b"\n")

    def relay(self, command):
        connection = self.request
        program = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                   bufsize=0)
        selector = selectors.DefaultSelector()
        selector.register(connection, selectors.EVENT_READ)
        selector.register(program.stdout, selectors.EVENT_READ)
        running = True
        while running:
            for key, _ in selector.select():
                try:
                    if key.fileobj is connection:
                        data = connection.recv(65536)
                        if not data:
                            running = False
                            break
                        program.stdin.write(data)
                    else:
                        data = os.read(program.stdout.fileno(), 65536)
                        if not data:
                            running = False
                            break
                        connection.sendall(data)
                except OSError:
                    running = False
                    break
        selector.close()
        program.terminate()
        try:
            program.wait(timeout=3)
        except subprocess.TimeoutExpired:
            program.kill()
            program.wait()


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    port_file = sys.argv[1]
    with Server(("127.0.0.1", 0), Handler) as server:
        with open(port_file + ".part", "w") as out:
            out.write(f"{server.server_address[1]}\n")
        os.replace(port_file + ".part", port_file)
        server.serve_forever()


if __name__ == "__main__":
    main()
