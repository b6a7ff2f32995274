#!/usr/bin/python3
"""climate-cli live against the simulator over TCP: the CSV header, the JSON lines and the samples
of the --json record name every value alike, with its unit, in the same order; the JSON is valid
and its keys keep that order.

CLIMATE_CLI=... CLIMATE_SIM=... /usr/bin/python3 live_output_test.py
"""

import csv
import io
import json
import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from find_progress_test import CLI, Simulator  # noqa: E402

PINNED = {"Internal fan 1 (RPM)": 1500, "Temperature 1 (°C)": -12.5, "Supply voltage (V)": 48.2,
          "Heater on": 1, "Supply voltage alarm 2": 1}


def ordered(text):
    """A JSON object's members as a list of pairs, in the text's order."""
    return json.loads(text, object_pairs_hook=lambda pairs: pairs)


class LiveOutput(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.sim = Simulator()
        for line in ("set ir 0 1500", "set ir 4 -125", "set ir 6 482", "set coil 5 1",
                     "set di 13 1"):
            cls.sim.command(line)

    @classmethod
    def tearDownClass(cls):
        cls.sim.stop()

    def live(self, *options):
        run = subprocess.run([CLI, "live", "--port", self.sim.port, "--count", "2", *options],
                             capture_output=True, timeout=60, check=False)
        self.assertEqual(run.returncode, 0, run.stderr)
        return run.stdout.decode("utf-8")

    def test_csv_header_json_lines_and_record_agree(self):
        rows = list(csv.reader(io.StringIO(self.live("--format", "csv"))))
        header = rows[0]
        self.assertEqual(header[0], "time")
        names = header[1:]
        self.assertEqual(len(names), len(set(names)), "each value has its own name")
        self.assertEqual(names[:5], ["Internal fan 1 (RPM)", "Internal fan 2 (RPM)",
                                     "External fan 1 (RPM)", "External fan 2 (RPM)",
                                     "Temperature 1 (°C)"])
        self.assertIn("Temperature 3 (°C)", names)
        self.assertNotIn("Temperature1", names)
        self.assertEqual(len(rows), 3)
        for row in rows[1:]:
            values = dict(zip(header, row))
            for name, value in PINNED.items():
                self.assertEqual(float(values[name]), value, name)

        lines = self.live("--format", "json").splitlines()
        self.assertEqual(len(lines), 2)
        for line in lines:
            pairs = ordered(line)
            self.assertEqual([key for key, _ in pairs], header, "the CSV's order")
            sample = dict(pairs)
            for name, value in PINNED.items():
                self.assertEqual(sample[name], value, name)

        record = self.live("--json")
        self.assertEqual(json.loads(record)["circles"], 2)
        samples = dict(ordered(record))["samples"]
        self.assertEqual(len(samples), 2)
        for pairs in samples:
            self.assertEqual([key for key, _ in pairs], header, "the CSV's order")


if __name__ == "__main__":
    if not CLI or not os.path.exists(CLI):
        sys.exit("CLIMATE_CLI is not set to the program")
    unittest.main()
