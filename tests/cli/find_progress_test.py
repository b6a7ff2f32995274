#!/usr/bin/python3
"""climate-cli find against the simulator over TCP: on a terminal it shows which address it is
searching, one line rewritten in place and closed with a newline; with standard error on a pipe
or a file it prints nothing there, so that what scripts capture stays as it was.

CLIMATE_CLI=... CLIMATE_SIM=... /usr/bin/python3 find_progress_test.py
"""

import os
import pty
import select
import subprocess
import unittest

CLI = os.environ.get("CLIMATE_CLI", "")
SIM = os.environ.get("CLIMATE_SIM", "")


class Simulator:
    """climate-sim on a free TCP port (RTU framing), its console on pipes."""

    def __init__(self):
        self.proc = subprocess.Popen([SIM, "--tcp", "127.0.0.1:0"], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        ready = self.line()
        if not ready.startswith("ready "):
            self.stop()
            raise AssertionError("no ready line: %r" % ready)
        self.port = "rtu+tcp://" + ready.split()[1]

    def line(self, timeout=10):
        if not select.select([self.proc.stdout], [], [], timeout)[0]:
            raise AssertionError("the simulator said nothing within %ss" % timeout)
        return self.proc.stdout.readline().strip()

    def command(self, line):
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()
        answer = self.line()
        if not answer.startswith("ok"):
            raise AssertionError("%s: %s" % (line, answer))

    def stop(self):
        self.proc.terminate()
        self.proc.wait(timeout=10)


def read_all(fd):
    """Everything from the terminal's master side until the program has closed its side."""
    data = b""
    while True:
        try:
            chunk = os.read(fd, 4096)
        except OSError:  # EIO: no process holds the terminal any more
            return data
        if not chunk:
            return data
        data += chunk


class FindProgress(unittest.TestCase):
    def setUp(self):
        self.sim = Simulator()
        self.addCleanup(self.sim.stop)
        self.sim.command("address 3")
        self.arguments = [CLI, "find", "--port", self.sim.port, "--first", "1", "--last", "4"]

    def test_progress_on_a_terminal(self):
        master, slave = pty.openpty()
        with subprocess.Popen(self.arguments, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=slave) as cli:
            os.close(slave)
            err = read_all(master).decode()
            out = cli.stdout.read().decode()
            self.assertEqual(cli.wait(timeout=60), 0, err)
        os.close(master)
        self.assertEqual(out, "address 3: firmware DCAC-HEX V1.00\n")
        # The terminal ends lines with CR LF; what the program wrote is "\r<text>" each time.
        self.assertTrue(err.startswith("\rSearching address 1 (1 of 4)..."), repr(err))
        for address in range(1, 5):
            self.assertIn("\rSearching address %d (%d of 4)..." % (address, address), err)
        self.assertNotIn("\n", err.rstrip("\r\n"), "one line, rewritten in place")
        self.assertRegex(err, r"\rSearched 4 addresses: 1 answered\. *\r\n$")

    def test_silent_without_a_terminal(self):
        result = subprocess.run(self.arguments, stdin=subprocess.DEVNULL, capture_output=True,
                                text=True, timeout=60)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout, "address 3: firmware DCAC-HEX V1.00\n")
        self.assertEqual(result.stderr, "")


if __name__ == "__main__":
    unittest.main()
