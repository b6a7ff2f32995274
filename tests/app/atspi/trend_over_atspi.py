"""Reads the RealTimeData page's thermometers and alarm LEDs and the Trend window over AT-SPI, as a
screen reader does: what each instrument measures, the channels' check
boxes, the span buttons and which one is chosen, the cursor readout and the chart's description
of the latest values, with the tool polling the simulator.

Run by run_atspi_check.sh, which provides the X display and the accessibility bus."""

import argparse
import os
import sys

import pyatspi

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from combo_boxes_over_atspi import (children, configuration_boxes, descendants,  # noqa: E402
                                    failures, fail, has_state, open_chosen_port, press,
                                    tool_on_simulator, wait_until)

CHANNELS = ["Internal fan 1 (RPM)", "Internal fan 2 (RPM)", "External fan 1 (RPM)",
            "External fan 2 (RPM)", "Temperature 1 (°C)", "Temperature 2 (°C)",
            "Supply voltage (V)", "Compressor speed (RPM)", "Compressor current (A)",
            "Heater current (A)", "Temperature 3 (°C)"]
# The RealTimeData page's instruments that only their place tells apart: each is read with its
# name and a description of what it measures (its tool tip).
INSTRUMENTS = {
    "Temperature 1": "temperature sensor 1",
    "Temperature 2": "temperature sensor 2",
    "Temperature 3": "input register 13",
    "Supply voltage alarm": "HighValue and LowValue",
    "Temperature sensor 1 alarm": "discrete input 10",
}
SPANS = ["Span: last 5 min", "Span: last 30 min", "Span: last 2 h", "Span: everything"]


def show_real_time_page(app):
    tabs = [t for t in descendants(app, pyatspi.ROLE_PAGE_TAB) if t.name == "RealTimeData"]
    if len(tabs) != 1:
        fail("expected one page tab 'RealTimeData', found %d" % len(tabs))
        return False
    tab = tabs[0]
    action = tab.queryAction()  # a page tab's one action switches to it
    if action.nActions < 1:
        fail("the page tab 'RealTimeData' offers no action")
        return False
    action.doAction(0)
    # The page is shown when its "Send" button (of the debug temperature) is.
    sends = [b for b in descendants(app, pyatspi.ROLE_PUSH_BUTTON) if b.name == "Send"]
    return len(sends) == 1 and wait_until(
        "the RealTimeData page", lambda: has_state(sends[0], pyatspi.STATE_SHOWING), 10)


def check_instruments(app):
    """The thermometers and alarm LEDs are read with their names and what they measure."""
    def described(name, words):
        return [node for node in named(app, name) if words in (node.description or "")]
    for name, words in INSTRUMENTS.items():
        if not wait_until("'%s' described" % name, lambda: described(name, words), 10):
            found = [(n.getRoleName(), n.description) for n in named(app, name)]
            fail("no '%s' is described with '%s'; read as %s" % (name, words, found))
            continue
        node = described(name, words)[0]
        print("%s: %r" % (name, node.description), flush=True)


def trend_window(app):
    def probe():
        # The application's children are its top-level windows (Qt reads a plain one as a
        # filler, like the tool's own window).
        for node in children(app):
            if node is not None and node.name == "Trend":
                return node
        return None
    return wait_until("the Trend window", probe, 10)


def named(window, name, roles=None):
    def walk(node, depth=0):
        if node is None or depth > 30:
            return []
        found = [node] if node.name == name and (roles is None or node.getRole() in roles) else []
        for child in children(node):
            found += walk(child, depth + 1)
        return found
    return walk(window)


def check_channels(window):
    groups = named(window, "Channels")
    if len(groups) != 1:
        fail("expected one group 'Channels', found %d" % len(groups))
        return []
    items = descendants(groups[0], pyatspi.ROLE_CHECK_BOX)
    names = [item.name for item in items]
    if names != CHANNELS:
        fail("the channel list reads %s, expected %s" % (names, CHANNELS))
        return []
    for item in items:
        if not has_state(item, pyatspi.STATE_CHECKED):
            fail("channel '%s' is not read as a checked check box" % item.name)
    print("channels: %s, all checked" % ", ".join(names), flush=True)
    return items


def uncheck_channel(items, window, title, name):
    """Unchecks a channel through its action, as a reader's user does; it leaves the readout."""
    item = [i for i in items if i.name == title][0]
    action = item.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    toggles = [n for n in names if n.lower() in ("toggle", "press", "click")]
    if not toggles:
        fail("channel '%s' offers no action to uncheck it: %s" % (title, names))
        return
    action.doAction(names.index(toggles[0]))
    if not wait_until("'%s' to be unchecked" % title,
                      lambda: not has_state(item, pyatspi.STATE_CHECKED), 10):
        fail("channel '%s' stays checked after its action" % title)
    readouts = [node for node in descendants(window, pyatspi.ROLE_LABEL)
                if node.name.startswith("Latest:") or node.name.startswith("Cursor:")]
    if not readouts or not wait_until("the readout without %s" % name,
                                      lambda: (name + ":") not in readouts[0].name, 10):
        fail("the readout still tells %s" % name)


def check_spans(window, chart):
    buttons = {}
    for span in SPANS:
        found = named(window, span)
        if len(found) != 1:
            fail("expected one button '%s', found %d" % (span, len(found)))
            return
        buttons[span] = found[0]
    checked = [span for span, b in buttons.items() if has_state(b, pyatspi.STATE_CHECKED)]
    if checked != ["Span: last 5 min"]:
        fail("checked spans %s, expected the last 5 min" % checked)
    # A checkable button's action is "Toggle".
    action = buttons["Span: last 30 min"].queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if "Toggle" not in names:
        fail("'Span: last 30 min' offers %s, no Toggle" % names)
        return
    action.doAction(names.index("Toggle"))
    if not wait_until("the 30 min span to be checked",
                      lambda: has_state(buttons["Span: last 30 min"], pyatspi.STATE_CHECKED) and
                      not has_state(buttons["Span: last 5 min"], pyatspi.STATE_CHECKED), 10):
        fail("pressing 'Span: last 30 min' did not check it alone")
    if not wait_until("the chart to tell the span",
                      lambda: chart.description.startswith("Span: last 30 min."), 10):
        fail("the chart's description does not tell the span: %r" % chart.description)
    print("spans: %s, the chosen one checked" % ", ".join(SPANS), flush=True)


def check_values(window, chart):
    def readouts():
        return [node for node in descendants(window, pyatspi.ROLE_LABEL)
                if node.name.startswith("Latest:") or node.name.startswith("Cursor:")]
    labels = wait_until("the readout of the first samples", readouts, 20) or []
    if len(labels) != 1:
        fail("expected one cursor readout, found %d" % len(labels))
        return
    readout = labels[0]
    if not wait_until("a temperature in the readout",
                      lambda: "Temperature 1: " in readout.name and "°C" in readout.name, 20):
        fail("the readout reads %r" % readout.name)
    lines = readout.name.split("\n")
    if len(lines) != 1 + len(CHANNELS):
        fail("the readout has %d lines, expected the time and %d values: %r" %
             (len(lines), len(CHANNELS), readout.name))
    print("readout: %r" % readout.name, flush=True)
    if not wait_until("the chart's description of the latest values",
                      lambda: "Latest values at " in chart.description and
                      "Temperature 1 " in chart.description, 20):
        fail("the chart's description is %r" % chart.description)
    print("chart: %r" % chart.description, flush=True)


def main():
    parser = argparse.ArgumentParser()
    for option in ("--tool", "--plain", "--sim", "--work"):
        parser.add_argument(option, required=True)
    arguments = parser.parse_args()

    with tool_on_simulator(arguments) as (app, link):
        if app is None:
            return 1
        boxes = configuration_boxes(app)
        if "Port Num" not in boxes or not open_chosen_port(app, boxes, link):
            return 1
        if not show_real_time_page(app):
            return 1
        check_instruments(app)
        trend_buttons = [b for b in descendants(app, pyatspi.ROLE_PUSH_BUTTON)
                         if b.name == "Trend"]
        if len(trend_buttons) != 1:
            fail("expected one 'Trend' button, found %d" % len(trend_buttons))
            return 1
        press(trend_buttons[0])
        window = trend_window(app)
        if window is None:
            fail("the Trend window did not appear")
            return 1
        charts = named(window, "Trend chart")
        if len(charts) != 1:
            fail("expected one 'Trend chart', found %d" % len(charts))
            return 1
        items = check_channels(window)
        check_values(window, charts[0])
        check_spans(window, charts[0])
        if items:
            uncheck_channel(items, window, "Temperature 3 (°C)", "Temperature 3")
    if failures:
        print("%d failure(s)" % len(failures))
        return 1
    print("the Trend window reads well over AT-SPI")
    return 0


if __name__ == "__main__":
    sys.exit(main())
