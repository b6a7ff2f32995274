#!/usr/bin/python3
"""Runs a program with its standard input and output on a loopback connection.

host_relay.py PORT_FILE ERRORS_FILE PROGRAM [ARGUMENT]...

For the Windows build's tests under Wine, where a Linux program can be started but its output
never reaches a Windows pipe. Listens on 127.0.0.1, writes the port and a newline into PORT_FILE,
and on the first connection starts PROGRAM with its standard input and output on it (standard
error into ERRORS_FILE). When the connection closes the program gets SIGTERM, and SIGKILL if it
lingers; when the program ends the connection closes.
"""

import os
import selectors
import socket
import subprocess
import sys


def main():
    port_file, errors_file, *command = sys.argv[1:]
    with socket.socket() as listener:
        listener.bind(("127.0.0.1", 0))
        listener.listen(1)
        listener.settimeout(60)
        with open(port_file + ".part", "w") as out:
            out.write(f"{listener.getsockname()[1]}\n")
        os.replace(port_file + ".part", port_file)
        connection, _ = listener.accept()
    with open(errors_file, "wb") as errors:
        program = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                   stderr=errors, bufsize=0)
    selector = selectors.DefaultSelector()
    selector.register(connection, selectors.EVENT_READ)
    selector.register(program.stdout, selectors.EVENT_READ)
    running = True
    while running:
        for key, _ in selector.select():
            if key.fileobj is connection:
                data = connection.recv(65536)
                if not data:
                    running = False
                    break
                try:
                    program.stdin.write(data)
                except BrokenPipeError:
                    running = False
                    break
            else:
                data = os.read(program.stdout.fileno(), 65536)
                if not data:
                    running = False
                    break
                connection.sendall(data)
    program.terminate()
    try:
        program.wait(timeout=3)
    except subprocess.TimeoutExpired:
        program.kill()
        program.wait()
    connection.close()


if __name__ == "__main__":
    main()
