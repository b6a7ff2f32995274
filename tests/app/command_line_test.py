#!/usr/bin/python3
"""The programs' command lines, run as a user would: no DISPLAY, no QT_QPA_PLATFORM.

CLIMATE_TOOL=... CLIMATE_SIM=... CLIMATE_CLI=... CLIMATE_VERSION=1.0.0 \
    /usr/bin/python3 command_line_test.py
"""

import os
import subprocess
import tempfile
import time
import unittest

TOOL = os.environ.get("CLIMATE_TOOL", "")
SIM = os.environ.get("CLIMATE_SIM", "")
CLI = os.environ.get("CLIMATE_CLI", "")
# What runs the tool: nothing for a native build, "wine" for the Windows build. Without a display
# Wine cannot show a window (and a Qt program under it hangs at exit), so the cases that go on
# to the window run only natively.
LAUNCHER = os.environ.get("CLIMATE_TOOL_LAUNCHER", "").split()
NATIVE = not LAUNCHER
VERSION = os.environ.get("CLIMATE_VERSION", "")


RUNTIME_DIR = tempfile.TemporaryDirectory()


def environment_without_display():
    env = dict(os.environ)
    for name in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
        env.pop(name, None)
    # As in a login session; without it Qt warns on standard error, which is checked here.
    env["XDG_RUNTIME_DIR"] = RUNTIME_DIR.name
    return env


def run(program, *arguments):
    command = [*LAUNCHER, program] if program == TOOL else [program]
    return subprocess.run([*command, *arguments], env=environment_without_display(),
                          stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=60)


class AnswersWithoutDisplay(unittest.TestCase):
    def test_help(self):
        for option in ("--help", "-h"):
            with self.subTest(option=option):
                result = run(TOOL, option)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertTrue(result.stdout.startswith("Usage: climate-tool "), result.stdout)
                for text in ("--version", "PORT", "-platform", "rtu+tcp://HOST:PORT",
                             "tcp://HOST[:PORT]"):
                    self.assertIn(text, result.stdout)
                self.assertEqual(result.stderr, "")

    def programs(self):
        return [(path, name) for path, name in
                ((TOOL, "climate-tool"), (SIM, "climate-sim"), (CLI, "climate-cli")) if path]

    def test_version_of_every_program(self):
        # The three spell it alike: --version and -v, as Qt's command-line parser does.
        self.assertRegex(VERSION, r"^\d+\.\d+")
        for program, name in self.programs():
            for option in ("--version", "-v"):
                with self.subTest(program=name, option=option):
                    result = run(program, option)
                    self.assertEqual(result.returncode, 0, result.stderr)
                    self.assertEqual(result.stdout, f"{name} {VERSION}\n")
                    self.assertEqual(result.stderr, "")

    def test_no_other_short_version_option(self):
        for program, name in self.programs():
            with self.subTest(program=name):
                result = run(program, "-V")
                self.assertEqual(result.returncode, 2, result.stdout + result.stderr)
                self.assertEqual(result.stdout, "")
                self.assertIn("V", result.stderr)

    def test_help_wins_after_qt_options(self):
        result = run(TOOL, "-platform", "offscreen", "--help")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertTrue(result.stdout.startswith("Usage: climate-tool "))

    @unittest.skipUnless(NATIVE, "needs a display under Wine")
    def test_port_path_after_double_dash_is_no_option(self):
        # "--" ends the options: a "--help" after it would be a port path, so no help is printed
        # and the program goes on to need a display (which is missing here).
        result = run(TOOL, "--", "--help")
        self.assertNotEqual(result.returncode, 0)
        self.assertNotIn("Usage:", result.stdout)


class RefusesUnknownOptions(unittest.TestCase):
    # Qt's own options are taken by Qt before the tool looks at the rest; only what Qt does not
    # know is refused, with one line on standard error and status 2.
    CASES = [
        (["--bogus"], "bogus"),
        (["--help-all"], "help-all"),
        (["-style", "Fusion", "-x"], "x"),
        (["-reverse", "/tmp/no-such-port", "--link=/tmp/p"], "link"),
    ]

    def test_unknown_options(self):
        for arguments, named in self.CASES:
            with self.subTest(arguments=arguments):
                result = run(TOOL, "-platform", "offscreen", *arguments)
                self.assertEqual(result.returncode, 2, result.stderr)
                lines = result.stderr.splitlines()
                self.assertEqual(len(lines), 1, result.stderr)
                self.assertTrue(lines[0].startswith("climate-tool: "), lines[0])
                self.assertIn(f"'{named}'", lines[0])
                self.assertEqual(result.stdout, "")


    def test_unknown_option_needs_no_display(self):
        # Refused before the window, so no platform plugin is looked for: no Qt abort (134).
        for arguments in (["--no-such-option"], ["-style", "Fusion", "--no-such-option"],
                          ["/tmp/port", "-x"]):
            with self.subTest(arguments=arguments):
                result = run(TOOL, *arguments)
                self.assertEqual(result.returncode, 2, result.stderr)
                self.assertEqual(len(result.stderr.splitlines()), 1, result.stderr)
                self.assertEqual(result.stdout, "")


@unittest.skipUnless(NATIVE, "needs a display under Wine")
class StartsWithPortPaths(unittest.TestCase):
    def test_qt_options_and_port_paths_open_the_window(self):
        env = environment_without_display()
        env["QT_QPA_PLATFORM"] = "offscreen"
        with subprocess.Popen([TOOL, "-style", "Fusion", "/tmp/no-such-port", "--", "-odd-port"],
                              env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, text=True, cwd=RUNTIME_DIR.name) as tool:
            try:
                # The window runs until it is closed; a refused command line would end it at once.
                time.sleep(2)
                self.assertIsNone(tool.poll(), tool.stderr.read() if tool.poll() is not None else "")
            finally:
                tool.terminate()
                tool.wait(timeout=30)


if __name__ == "__main__":
    unittest.main()
