#!/usr/bin/python3
"""The man pages help2man makes from the three programs' --help, as the build makes them: each
synopsis line in SYNOPSIS, the description, its sub-sections and exit statuses in DESCRIPTION,
only options in OPTIONS, and paragraphs kept apart.

HELP2MAN=/usr/bin/help2man CLIMATE_TOOL=... CLIMATE_SIM=... CLIMATE_CLI=... \\
    /usr/bin/python3 man_pages_test.py
"""

import os
import subprocess
import tempfile
import unittest

HELP2MAN = os.environ.get("HELP2MAN", "help2man")
PROGRAMS = {"climate-tool": os.environ.get("CLIMATE_TOOL", ""),
            "climate-sim": os.environ.get("CLIMATE_SIM", ""),
            "climate-cli": os.environ.get("CLIMATE_CLI", "")}


def man_page(name):
    """The page's sections: {"SYNOPSIS": [lines], ...}."""
    env = dict(os.environ)
    for variable in ("DISPLAY", "WAYLAND_DISPLAY"):
        env.pop(variable, None)
    with tempfile.TemporaryDirectory() as folder:
        output = os.path.join(folder, name + ".1")
        subprocess.run([HELP2MAN, "--no-info", "--no-discard-stderr", "--section=1",
                        "--name=test", "--output=" + output, PROGRAMS[name]],
                       env=env, check=True, timeout=60, stdin=subprocess.DEVNULL)
        with open(output, encoding="utf-8") as page:
            text = page.read()
    sections = {}
    current = None
    for line in text.splitlines():
        if line.startswith(".SH "):
            current = line[4:].strip('"')
            sections[current] = []
        elif current:
            sections[current].append(line)
    return sections


def paragraphs(lines):
    """The section's paragraphs as single lines of text, sub-section titles and tags included."""
    result = []
    for line in lines:
        if line.startswith("."):
            result.append(line)
        elif result and not result[-1].startswith("."):
            result[-1] += " " + line
        else:
            result.append(line)
    return result


@unittest.skipUnless(all(PROGRAMS.values()), "needs the three programs")
class ManPages(unittest.TestCase):
    def test_every_synopsis_line_is_in_synopsis(self):
        for name, count in (("climate-tool", 1), ("climate-cli", 1), ("climate-sim", 2)):
            with self.subTest(program=name):
                page = man_page(name)
                self.assertEqual(page["SYNOPSIS"].count(".B " + name), count, page["SYNOPSIS"])
                # No usage line left over at the top of the description.
                self.assertNotIn(name + " ", page["DESCRIPTION"][0])
                self.assertFalse(page["DESCRIPTION"][0].startswith("."), page["DESCRIPTION"][0])

    def test_options_section_holds_the_options(self):
        for name in PROGRAMS:
            with self.subTest(program=name):
                options = man_page(name)["OPTIONS"]
                tags = [options[i + 1] for i, line in enumerate(options) if line == ".TP"]
                self.assertIn(r"\fB\-h\fR, \fB\-\-help\fR", tags)
                self.assertIn(r"\fB\-v\fR, \fB\-\-version\fR", tags)
                for tag in tags:
                    self.assertTrue(tag.startswith(r"\fB\-"), tag)
                self.assertFalse([line for line in options if line.startswith(".SS")], options)

    def test_exit_statuses_are_a_list_in_the_description(self):
        for name, statuses in (("climate-tool", "012"), ("climate-cli", "01234")):
            with self.subTest(program=name):
                description = man_page(name)["DESCRIPTION"]
                self.assertIn('.SS "Exit status:"', description)
                start = description.index('.SS "Exit status:"')
                tags = [description[i + 1] for i in range(start, len(description) - 1)
                        if description[i] == ".TP"]
                self.assertEqual("".join(tags[:len(statuses)]), statuses, tags)

    def test_paragraphs_stay_apart(self):
        # A paragraph of the help text is a paragraph of the page, never the tail of another.
        starts = {"climate-sim": ("Commands are read", "The simulator holds", "Over TCP",
                                  "Writes take effect"),
                  "climate-tool": ("While the RealTimeData page polls",),
                  "climate-cli": ("When more than one applies",)}
        for name, texts in starts.items():
            page = man_page(name)
            text = [paragraph for lines in page.values() for paragraph in paragraphs(lines)]
            for start in texts:
                with self.subTest(program=name, paragraph=start):
                    self.assertTrue([p for p in text if p.startswith(start)],
                                    [p for p in text if start in p])

    def test_the_command_line_record_and_examples(self):
        page = man_page("climate-cli")
        description = page["DESCRIPTION"]
        for title in ("Commands:", "Comparison:", "Run record:", "Exit status:"):
            self.assertIn('.SS "%s"' % title, description)
        self.assertTrue(any("$ climate-cli write " in line for line in page["EXAMPLES"]),
                        page["EXAMPLES"])


if __name__ == "__main__":
    unittest.main()
