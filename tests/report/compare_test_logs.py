#!/usr/bin/python3
"""The test log of two builds, read by xlrd: the same sheets, cells and formats.

compare_test_logs.py REFERENCE_SAMPLE OTHER_SAMPLE_COMMAND...

Each sample program (test-log-sample) writes the same rows with the same clock into a folder
and prints the workbook's path. REFERENCE_SAMPLE is the Linux build's; OTHER_SAMPLE_COMMAND runs
the other one, e.g. "wine test-log-sample.exe" (its path is printed as Windows sees it and is
found again here by its name in the folder).
"""

import json
import os
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
REFERENCE = sys.argv[1]
OTHER = sys.argv[2:]


def written_by(command, folder):
    # Under Wine the Unix folder is on drive Z:.
    argument = "Z:" + folder if os.path.basename(command[0]).startswith("wine") else folder
    result = subprocess.run([*command, argument], capture_output=True, text=True, timeout=60)
    if result.returncode != 0:
        raise AssertionError(f"{command} failed: {result.stdout}{result.stderr}")
    name = result.stdout.strip().replace("\\", "/").rsplit("/", 1)[-1]
    path = os.path.join(folder, "TestReportDate", name)
    if not os.path.isfile(path):
        raise AssertionError(f"{command} printed {result.stdout!r}; no {path}")
    return path


def dump(path):
    result = subprocess.run([sys.executable, os.path.join(HERE, "xls_dump.py"), path],
                            capture_output=True, text=True, timeout=60)
    if result.returncode != 0:
        raise AssertionError(f"xlrd cannot read {path}: {result.stdout}{result.stderr}")
    return json.loads(result.stdout)


class SameWorkbook(unittest.TestCase):
    def test_cells_and_formats_match(self):
        with tempfile.TemporaryDirectory() as linux, tempfile.TemporaryDirectory() as other:
            reference_path = written_by([REFERENCE], linux)
            other_path = written_by(OTHER, other)
            self.assertEqual(os.path.basename(other_path), os.path.basename(reference_path))
            reference = dump(reference_path)
            candidate = dump(other_path)
        self.assertEqual(candidate["complaints"], "")
        self.assertEqual(len(reference["sheets"]), 2, "the sample fills two sheets")
        self.assertGreater(len(reference["sheets"][0]["cells"]), 40, "the sample has its rows")
        for key in ("biff", "formats"):
            self.assertEqual(candidate[key], reference[key], key)
        self.assertEqual(len(candidate["sheets"]), len(reference["sheets"]))
        for mine, theirs in zip(candidate["sheets"], reference["sheets"]):
            self.assertEqual(mine, theirs, theirs["name"])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
