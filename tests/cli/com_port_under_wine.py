#!/usr/bin/env python3
"""climate-cli.exe on a COM port under Wine: what Wine's serial ports allow.

A pseudo-terminal stands in for the serial adapter: its far side is mapped as a COM port of the
Wine prefix (a dosdevices/comN link) and this script plays the controller on its near side. Two
runs of `climate-cli firmware --port COMn` each have to open the port, send the firmware request
byte for byte, and end in time; the second run opening the port again shows the first one closed
it. The controller's reply is sent back; whether it reaches the program is Wine's matter (Wine 8
delivers nothing from a pseudo-terminal to a Windows program), so either outcome is taken as long
as the program says which: the version (status 0) or a link failure with no reply (status 3).

Usage: com_port_under_wine.py WINE CLIMATE_CLI_EXE   (WINEPREFIX from the environment)
"""
import os
import select
import subprocess
import sys
import time
import tty

PORT = "COM33"
ADDRESS = 1
VERSION = b"WINE-COM V2.01"


def crc16(data: bytes) -> bytes:
    crc = 0xFFFF
    for byte in data:
        crc ^= byte
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    return bytes([crc & 0xFF, crc >> 8])


def frame(body: bytes) -> bytes:
    return body + crc16(body)


# Read input registers 15..26: the firmware version text, two characters a register.
REQUEST = frame(bytes([ADDRESS, 0x04, 0x00, 15, 0x00, 12]))
REPLY = frame(bytes([ADDRESS, 0x04, 24]) + VERSION.ljust(24, b"\0"))


def run_once(wine: str, cli: str, master: int) -> None:
    program = subprocess.Popen([wine, cli, "firmware", "--port", PORT],
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    received = b""
    deadline = time.monotonic() + 60
    while len(received) < len(REQUEST) and time.monotonic() < deadline:
        if program.poll() is not None and not select.select([master], [], [], 0)[0]:
            break
        if select.select([master], [], [], 0.2)[0]:
            received += os.read(master, 256)
    if received[:len(REQUEST)] != REQUEST:
        program.kill()
        out, err = program.communicate()
        sys.exit(f"the request did not reach the peer whole: got {received.hex(' ')}, "
                 f"expected {REQUEST.hex(' ')}; the program said {out!r} {err!r}")
    os.write(master, REPLY)
    try:
        out, err = program.communicate(timeout=60)
    except subprocess.TimeoutExpired:
        program.kill()
        sys.exit("the program did not end within 60 s of the reply")
    out = out.decode(errors="replace").replace("\r\n", "\n")
    err = err.decode(errors="replace").replace("\r\n", "\n")
    if program.returncode == 0 and out == VERSION.decode() + "\n":
        print("  the request reached the peer and the reply reached the program")
    elif program.returncode == 3 and "no reply" in (out + err):
        print("  the request reached the peer; the reply did not reach the program "
              f"(status 3: {err.strip()})")
    else:
        sys.exit(f"unexpected end: status {program.returncode}, out {out!r}, err {err!r}")


def main() -> None:
    wine, cli = sys.argv[1], sys.argv[2]
    prefix = os.environ.get("WINEPREFIX")
    if not prefix or not os.path.isdir(os.path.join(prefix, "dosdevices")):
        sys.exit("WINEPREFIX names no Wine prefix (run through scripts/windows/test.sh)")
    master, slave = os.openpty()
    tty.setraw(master)
    link = os.path.join(prefix, "dosdevices", PORT.lower())
    if os.path.lexists(link):
        os.remove(link)
    os.symlink(os.ttyname(slave), link)
    try:
        for run in (1, 2):
            print(f"run {run}: climate-cli firmware --port {PORT} on {os.ttyname(slave)}")
            run_once(wine, cli, master)
    finally:
        os.remove(link)
        os.close(slave)
        os.close(master)


if __name__ == "__main__":
    main()
