#!/usr/bin/python3
"""End-to-end tests of climate-sim: start it on a pseudo-terminal in a temporary directory,
talk to it with mbpoll and with a raw serial client, drive it through its console, stop it.

Run one suite:  CLIMATE_SIM=/path/to/climate-sim /usr/bin/python3 sim_e2e.py Reads
"""

import os
import re
import select
import signal
import subprocess
import tempfile
import termios
import time
import tty
import unittest

SIM = os.environ.get("CLIMATE_SIM", "")


def crc16(data):
    crc = 0xFFFF
    for byte in data:
        crc ^= byte
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    return crc


def frame(text):
    """Hex text without CRC -> bytes with the CRC appended (low byte first)."""
    data = bytes.fromhex(text)
    crc = crc16(data)
    return data + bytes([crc & 0xFF, crc >> 8])


def crc_ok(data):
    return len(data) >= 3 and crc16(data[:-2]) == data[-2] | data[-1] << 8


class Simulator:
    """One climate-sim process with its console on pipes. Always stop() it."""

    def __init__(self, *args, stdin=subprocess.PIPE, link_name="port"):
        self.dir = tempfile.TemporaryDirectory(prefix="climate-sim-")
        self.link = os.path.join(self.dir.name, link_name)
        self.buffer = b""
        self.proc = subprocess.Popen([SIM, "--link", self.link, *args], stdin=stdin,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        try:
            ready = self.readline(5)
            if ready != "ready " + self.link:
                raise AssertionError("expected the ready line, got %r" % ready)
        except BaseException:
            self.stop()
            raise

    def readline(self, timeout):
        deadline = time.monotonic() + timeout
        fd = self.proc.stdout.fileno()
        while b"\n" not in self.buffer:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([fd], [], [], left)[0]:
                raise AssertionError("no line from the simulator within %ss" % timeout)
            chunk = os.read(fd, 4096)
            if not chunk:
                raise AssertionError("the simulator closed its output")
            self.buffer += chunk
        line, self.buffer = self.buffer.split(b"\n", 1)
        return line.decode()

    def command(self, line, timeout=5):
        self.proc.stdin.write((line + "\n").encode())
        self.proc.stdin.flush()
        return self.readline(timeout)

    def ok(self, line):
        answer = self.command(line)
        if not answer.startswith("ok"):
            raise AssertionError("%r answered %r" % (line, answer))
        return answer[3:]

    def values(self, line):
        return [int(v) for v in self.ok(line).split()]

    def cpu_seconds(self):
        with open("/proc/%d/stat" % self.proc.pid) as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

    def terminate(self, sig=signal.SIGTERM, timeout=5):
        """Signals the process and returns its exit status."""
        if self.proc.poll() is None:
            self.proc.send_signal(sig)
        return self.proc.wait(timeout)

    def stop(self):
        try:
            if self.proc.poll() is None:
                self.proc.send_signal(signal.SIGTERM)
                try:
                    self.proc.wait(5)
                except subprocess.TimeoutExpired:
                    self.proc.kill()
                    self.proc.wait()
        finally:
            for stream in (self.proc.stdin, self.proc.stdout, self.proc.stderr):
                if stream:
                    stream.close()
            self.dir.cleanup()


def mbpoll(link, *args, timeout="0.5"):
    """Runs mbpoll once with PDU (0-based) addressing: (exit status, {ref: value}, output)."""
    command = ["mbpoll", "-m", "rtu", "-b", "9600", "-P", "none", "-0", "-1", "-o", timeout]
    positional = [a for a in args if isinstance(a, int)]
    options = [a for a in args if not isinstance(a, int)]
    command += options + [link] + [str(v) for v in positional]
    result = subprocess.run(command, capture_output=True, text=True, timeout=30)
    values = {int(m.group(1)): int(m.group(2))
              for m in re.finditer(r"^\[(\d+)\]:\s+(\d+)", result.stdout, re.M)}
    return result.returncode, values, result.stdout + result.stderr


class RawClient:
    """A serial client on the pseudo-terminal, the way a tool opens a port: raw, 9600 baud."""

    def __init__(self, path):
        self.fd = os.open(path, os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)
        # No flush on opening: whatever waits on the line must reach the client.
        tty.setraw(self.fd, termios.TCSANOW)
        attrs = termios.tcgetattr(self.fd)
        attrs[4] = attrs[5] = termios.B9600
        termios.tcsetattr(self.fd, termios.TCSANOW, attrs)

    def send(self, data):
        os.write(self.fd, data)

    def receive(self, count, timeout=2.0):
        """Up to count bytes, with the time each read came in."""
        data, reads = b"", []
        deadline = time.monotonic() + timeout
        while len(data) < count:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.fd], [], [], left)[0]:
                break
            chunk = os.read(self.fd, count - len(data))
            if not chunk:
                break
            data += chunk
            reads.append(time.monotonic())
        return data, reads

    def ask(self, request, length, timeout=2.0):
        self.send(request)
        return self.receive(length, timeout)[0]

    def close(self):
        if self.fd >= 0:
            os.close(self.fd)
            self.fd = -1


class SimulatorTest(unittest.TestCase):
    def setUp(self):
        self.sim = Simulator()
        self.addCleanup(self.sim.stop)

    def client(self):
        client = RawClient(self.sim.link)
        self.addCleanup(client.close)
        return client


class Reads(SimulatorTest):
    """mbpoll reads every table and sees what the console sees."""

    def setUp(self):
        super().setUp()
        self.sim.ok("model off")

    def check_table(self, mbpoll_type, table, count):
        status, values, output = mbpoll(self.sim.link, "-t", mbpoll_type, "-r", "0",
                                        "-c", str(count))
        self.assertEqual(status, 0, output)
        expected = self.sim.values("get %s 0 %d" % (table, count))
        self.assertEqual([values.get(i) for i in range(count)], expected, output)
        return expected

    def test_holding_registers(self):
        values = self.check_table("4", "hr", 47)
        self.assertEqual(values[:3], [200, 2500, 1000])
        self.assertEqual(values[27], 1)
        self.assertEqual(values[30], 1100)

    def test_input_registers(self):
        self.sim.ok("set ir 13 0xFF9C")
        values = self.check_table("3", "ir", 27)
        self.assertEqual(values[13], 0xFF9C)
        text = b"".join(bytes([v >> 8, v & 0xFF]) for v in values[15:27])
        self.assertEqual(text.rstrip(b"\0"), b"DCAC-HEX V1.00")

    def test_coils(self):
        self.sim.ok("set coil 5 1")
        values = self.check_table("0", "coil", 16)
        self.assertEqual(values[5], 1)

    def test_discrete_inputs(self):
        self.sim.ok("set di 14 1")
        self.sim.ok("set di 17 1")
        values = self.check_table("1", "di", 18)
        self.assertEqual(values[14], 1)
        self.assertEqual(values[17], 1)

    def test_other_slave_address_gets_no_answer(self):
        status, _, output = mbpoll(self.sim.link, "-a", "2", "-t", "4", "-r", "0", timeout="0.3")
        self.assertNotEqual(status, 0, output)
        self.assertIn("ignored=1", self.sim.ok("stats"))


class Writes(SimulatorTest):
    """mbpoll writes land in the unit, with the controller's reactions."""

    def test_holding_register(self):
        status, _, output = mbpoll(self.sim.link, "-t", "4", "-r", "31", 1234)
        self.assertEqual(status, 0, output)
        self.assertEqual(self.sim.values("get hr 31"), [1234])

    def test_several_holding_registers(self):
        status, _, output = mbpoll(self.sim.link, "-t", "4", "-r", "28", 600, 65436)
        self.assertEqual(status, 0, output)
        self.assertEqual(self.sim.values("get hr 28 2"), [600, 65436])

    def test_debug_temperature_and_forced_output(self):
        self.assertEqual(mbpoll(self.sim.link, "-t", "4", "-r", "30", 250)[0], 0)
        self.assertEqual(self.sim.values("get ir 4"), [250])
        self.assertEqual(mbpoll(self.sim.link, "-t", "0", "-r", "12", 1)[0], 0)
        self.assertEqual(self.sim.values("get coil 12"), [1])
        self.assertEqual(self.sim.values("get ir 11"), [1])
        self.assertEqual(mbpoll(self.sim.link, "-t", "0", "-r", "12", 0)[0], 0)
        self.assertEqual(self.sim.values("get ir 11"), [0])

    def test_address_write_moves_the_unit(self):
        status, _, output = mbpoll(self.sim.link, "-t", "4", "-r", "27", 9)
        self.assertEqual(status, 0, output)  # answered from the old address
        self.assertEqual(self.sim.values("get hr 27"), [9])
        self.assertNotEqual(mbpoll(self.sim.link, "-a", "1", "-t", "4", "-r", "27",
                                   timeout="0.3")[0], 0)
        status, values, output = mbpoll(self.sim.link, "-a", "9", "-t", "4", "-r", "27")
        self.assertEqual((status, values.get(27)), (0, 9), output)


class Faults(SimulatorTest):
    """Console-armed faults as a master sees them."""

    def read(self, **kwargs):
        return mbpoll(self.sim.link, "-t", "4", "-r", "0", "-c", "2", **kwargs)

    def test_silent_unit_times_out_and_recovers(self):
        self.sim.ok("silent on")
        status, _, output = self.read(timeout="0.3")
        self.assertNotEqual(status, 0, output)
        self.assertIn("timed out", output)
        self.assertIn("silenced=1", self.sim.ok("stats"))
        self.sim.ok("silent off")
        self.assertEqual(self.read()[0], 0)

    def test_one_shot_faults_spoil_one_reply(self):
        for arm, symptom in (("exception 2", "Illegal data address"),
                             ("badcrc", "Invalid CRC"),
                             ("exception 6", "busy")):
            self.sim.ok(arm)
            status, _, output = self.read()
            self.assertNotEqual(status, 0, arm)
            self.assertIn(symptom, output, arm)
            status, values, output = self.read()
            self.assertEqual((status, values.get(0)), (0, 200), arm + ": " + output)

    def test_counted_fault_lasts_that_many_replies(self):
        self.sim.ok("badcrc count=2")
        self.assertNotEqual(self.read()[0], 0)
        self.assertNotEqual(self.read()[0], 0)
        self.assertEqual(self.read()[0], 0)

    def test_stats_count_requests_per_function(self):
        self.sim.ok("stats reset")
        self.read()
        mbpoll(self.sim.link, "-t", "3", "-r", "0")
        mbpoll(self.sim.link, "-t", "4", "-r", "31", 5)
        stats = self.sim.ok("stats")
        self.assertIn("requests=3 ", stats)
        self.assertIn(" fc3=1 ", stats)
        self.assertIn(" fc4=1 ", stats)
        self.assertEqual(len(re.findall(r" fc(6|16)=1 ", stats)), 1, stats)


class RawLine(SimulatorTest):
    """A raw client on the pseudo-terminal: exact bytes, timing, hang-ups."""

    TOOL_REQUESTS = [("01 01 00 00 00 10 3D C6", 7), ("01 02 00 00 00 12 F8 07", 8),
                     ("01 03 00 29 00 03 D4 03", 11), ("01 04 00 00 00 0E 71 CE", 33),
                     ("01 03 00 00 00 2F 04 16", 99), ("01 04 00 0F 00 0C C0 0C", 29)]

    def test_tool_requests_get_replies_of_the_expected_length(self):
        client = self.client()
        for request, length in self.TOOL_REQUESTS:
            reply = client.ask(bytes.fromhex(request), length + 1, timeout=0.5)
            self.assertEqual(len(reply), length, request)
            self.assertTrue(crc_ok(reply), request)
            self.assertEqual(reply[:2], bytes.fromhex(request)[:2])

    def test_address_write_answers_from_the_old_address(self):
        client = self.client()
        reply = client.ask(frame("01 10 00 1B 00 01 02 00 05"), 8)
        self.assertEqual(reply, frame("01 10 00 1B 00 01"))
        self.assertEqual(client.ask(frame("05 03 00 1B 00 01"), 7), frame("05 03 02 00 05"))

    def test_header_faults_keep_a_valid_crc(self):
        client = self.client()
        self.sim.ok("wrongaddress")
        self.assertEqual(client.ask(frame("01 03 00 1B 00 01"), 7), frame("02 03 02 00 01"))
        self.sim.ok("wrongfunction")
        self.assertEqual(client.ask(frame("01 03 00 1B 00 01"), 7), frame("01 04 02 00 01"))
        self.sim.ok("debugreply 1100")
        self.assertEqual(client.ask(frame("01 06 00 1E 00 FA"), 8), frame("01 06 00 1E 04 4C"))
        self.assertEqual(self.sim.values("get hr 30"), [250])

    def test_split_reply_arrives_in_timed_chunks(self):
        client = self.client()
        self.sim.ok("split 3 100")
        sent = time.monotonic()
        client.send(frame("01 03 00 00 00 03"))  # 11-byte reply: 4 chunks, 3 gaps
        reply, reads = client.receive(11, timeout=3)
        self.assertEqual(reply, frame("01 03 06 00 C8 09 C4 03 E8"))
        self.assertGreaterEqual(len(reads), 2)
        self.assertGreaterEqual(reads[-1] - sent, 0.25)

    def test_delayed_reply(self):
        client = self.client()
        self.sim.ok("delay 400")
        client.send(frame("01 03 00 00 00 01"))
        early, _ = client.receive(7, timeout=0.2)
        self.assertEqual(early, b"")
        late, _ = client.receive(7, timeout=2)
        self.assertEqual(late, frame("01 03 02 00 C8"))

    def test_noise_from_the_unit_and_from_the_client(self):
        client = self.client()
        self.sim.ok("noise 2000")
        noise, _ = client.receive(2000, timeout=3)
        self.assertEqual(len(noise), 2000)
        # Garbage ahead of a request does not hide the request.
        reply = client.ask(bytes.fromhex("55 AA 01 03 FF") + frame("01 03 00 00 00 01"), 7)
        self.assertEqual(reply, frame("01 03 02 00 C8"))
        self.assertIn("skipped=5", self.sim.ok("stats"))

    def test_pull_hangs_up_and_plug_gives_a_new_line(self):
        client = self.client()
        self.assertEqual(len(client.ask(frame("01 03 00 00 00 01"), 7)), 7)
        self.sim.ok("pull")
        events = select.poll()
        events.register(client.fd, select.POLLIN)
        self.assertTrue(events.poll(2000)[0][1] & select.POLLHUP)
        self.assertFalse(os.path.lexists(self.sim.link))
        self.assertEqual(self.sim.command("get hr 0"), "ok 200")  # still alive

        device = self.sim.ok("plug")
        self.assertEqual(os.readlink(self.sim.link), device)
        fresh = self.client()
        self.assertEqual(fresh.ask(frame("01 03 00 00 00 01"), 7), frame("01 03 02 00 C8"))

    def test_reply_nobody_waits_for_is_not_left_for_the_next_client(self):
        client = self.client()
        self.sim.ok("delay 300")
        client.send(frame("01 03 00 00 00 01"))
        client.close()
        time.sleep(0.6)
        self.sim.ok("delay 0")
        fresh = self.client()
        stale, _ = fresh.receive(7, timeout=0.3)
        self.assertEqual(stale, b"")
        self.assertEqual(fresh.ask(frame("01 03 00 00 00 01"), 7), frame("01 03 02 00 C8"))


class Lifecycle(unittest.TestCase):
    """Start, serve, stop, and stay idle in between."""

    def start(self, *args, **kwargs):
        sim = Simulator(*args, **kwargs)
        self.addCleanup(sim.stop)
        return sim

    def test_signals_stop_it_promptly_and_remove_the_link(self):
        for sig in (signal.SIGTERM, signal.SIGINT):
            sim = self.start()
            client = RawClient(sim.link)  # a client holding the port must not delay the exit
            self.addCleanup(client.close)
            self.assertEqual(sim.terminate(sig, timeout=2), 0)
            self.assertFalse(os.path.lexists(sim.link))

    def test_quit_command(self):
        sim = self.start()
        self.assertEqual(sim.command("quit"), "ok")
        self.assertEqual(sim.proc.wait(2), 0)
        self.assertFalse(os.path.lexists(sim.link))

    def test_without_a_console_it_keeps_serving(self):
        sim = self.start(stdin=subprocess.DEVNULL)
        time.sleep(0.3)
        self.assertIsNone(sim.proc.poll())
        self.assertEqual(mbpoll(sim.link, "-t", "4", "-r", "0")[1].get(0), 200)
        sim = self.start()
        sim.proc.stdin.close()
        sim.proc.stdin = None
        time.sleep(0.3)
        self.assertIsNone(sim.proc.poll())
        self.assertEqual(mbpoll(sim.link, "-t", "4", "-r", "0")[1].get(0), 200)
        self.assertEqual(sim.terminate(), 0)

    def test_address_and_baud_options(self):
        sim = self.start("--address", "7", "--baud", "19200")
        self.assertEqual(sim.values("get hr 27"), [7])
        status, values, output = mbpoll(sim.link, "-a", "7", "-t", "4", "-r", "27")
        self.assertEqual((status, values.get(27)), (0, 7), output)

    def test_stays_idle_with_and_without_a_client(self):
        sim = self.start()
        for phase in ("no client", "client open", "client gone"):
            if phase == "client open":
                client = RawClient(sim.link)
                self.addCleanup(client.close)
                client.ask(frame("01 03 00 00 00 01"), 7)
            elif phase == "client gone":
                client.close()
            before = sim.cpu_seconds()
            time.sleep(1.5)
            # A spinning loop would burn about 1.5 s of processor time here.
            self.assertLess(sim.cpu_seconds() - before, 0.2, phase)

    def test_help_documents_every_option_and_command(self):
        result = subprocess.run([SIM, "--help"], capture_output=True, text=True, timeout=10)
        self.assertEqual(result.returncode, 0)
        for word in ("--link", "--address", "--baud", "ready PATH", "SIGTERM", "get", "set",
                     "unpin", "model on|off", "step", "silent", "delay", "wrongaddress",
                     "wrongfunction", "badcrc", "exception", "split", "noise", "debugreply",
                     "pull", "plug", "stats", "clear", "faults", "quit", "count=C"):
            self.assertIn(word, result.stdout)

    def test_bad_command_lines_are_refused(self):
        with tempfile.TemporaryDirectory() as scratch:
            occupied = os.path.join(scratch, "file")
            with open(occupied, "w") as f:
                f.write("keep me")
            for args in (["--link", occupied], ["--link"], [], ["--link", occupied + "2",
                         "--address", "0"], ["--link", occupied + "2", "--baud", "1234"],
                         ["--bogus"]):
                result = subprocess.run([SIM, *args], capture_output=True, text=True,
                                        timeout=10, stdin=subprocess.DEVNULL)
                self.assertNotEqual(result.returncode, 0, args)
                self.assertNotIn("ready", result.stdout, args)
            with open(occupied) as f:
                self.assertEqual(f.read(), "keep me")
            self.assertFalse(os.path.lexists(occupied + "2"))


if __name__ == "__main__":
    if not SIM:
        raise SystemExit("set CLIMATE_SIM to the climate-sim executable")
    unittest.main(verbosity=2)
