"""Reads the combo boxes of the tool's Configuration page over AT-SPI, as a screen reader does,
and compares their shape with that of plain Qt combo boxes. Then chooses the simulator's port in
"Port Num" with the mouse (xdotool: real pointer motion and clicks on the X server, at the places
AT-SPI gives), opens it, reads all settings and checks that every box tells its choice; and
chooses an entry of a settings box with the mouse, which the box must take and tell.

Run by run_atspi_check.sh, which provides the X display and the accessibility bus."""

import argparse
import contextlib
import os
import select
import subprocess
import sys
import time

import pyatspi

failures = []


def fail(message):
    failures.append(message)
    print("FAIL: " + message, flush=True)


def wait_until(what, probe, seconds):
    """Polls probe() until it returns something true; None after `seconds`."""
    deadline = time.monotonic() + seconds
    last_error = None
    while time.monotonic() < deadline:
        try:
            result = probe()
            if result:
                return result
        except Exception as error:  # the tree may change while it is read
            last_error = error
        time.sleep(0.2)
    print("gave up waiting for %s%s" % (what, ": %s" % last_error if last_error else ""),
          flush=True)
    return None


def children(node):
    return [node.getChildAtIndex(i) for i in range(node.childCount)]


def descendants(node, role, depth=0):
    if node is None or depth > 40:
        return []
    found = [node] if node.getRole() == role else []
    for child in children(node):
        found += descendants(child, role, depth + 1)
    return found


def application(name, process):
    def probe():
        if process.poll() is not None:
            raise RuntimeError("%s exited with %s" % (name, process.returncode))
        desktop = pyatspi.Registry.getDesktop(0)
        for app in children(desktop):
            if app is not None and app.name == name and descendants(app, pyatspi.ROLE_COMBO_BOX):
                return app
        return None
    return wait_until("the application '%s' on the accessibility bus" % name, probe, 30)


def has_state(node, state):
    return node.getState().contains(state)


def text_of(node):
    try:
        text = node.queryText()
    except NotImplementedError:
        return None
    return text.getText(0, -1)


def shape(combo):
    """Roles of the box's children and of the list's children: what a reader can walk."""
    kids = children(combo)
    roles = [kid.getRoleName() for kid in kids]
    lists = [kid for kid in kids if kid.getRole() == pyatspi.ROLE_LIST]
    item_roles = sorted({item.getRoleName() for item in children(lists[0])}) if lists else []
    return roles, item_roles


def entries(combo):
    lists = [kid for kid in children(combo) if kid.getRole() == pyatspi.ROLE_LIST]
    return [item.name for item in children(lists[0])] if lists else None


def selected_entries(combo):
    lists = [kid for kid in children(combo) if kid.getRole() == pyatspi.ROLE_LIST]
    if not lists:
        return None
    return [item.name for item in children(lists[0]) if has_state(item, pyatspi.STATE_SELECTED)]


def edit_text(combo):
    edits = [kid for kid in children(combo) if kid.getRole() == pyatspi.ROLE_TEXT]
    return text_of(edits[0]) if edits else None


def press(node):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    for i, name in enumerate(names):
        if name.lower() in ("press", "click"):
            action.doAction(i)
            return
    raise RuntimeError("'%s' offers no press action, only %s" % (node.name, names))


def start(argv, env=None):
    return subprocess.Popen(argv, stdin=subprocess.DEVNULL, env=env)


def baseline_shapes(plain_program):
    process = start([plain_program])
    try:
        app = application("plain-combo-window", process)
        if app is None:
            # A loaded machine may keep the first program of the bus from being listed: once more.
            process.terminate()
            process.wait(10)
            process = start([plain_program])
            app = application("plain-combo-window", process)
        if app is None:
            fail("the plain combo window never appeared on the accessibility bus")
            return None
        shapes = {}
        for combo in descendants(app, pyatspi.ROLE_COMBO_BOX):
            editable = edit_text(combo) is not None
            shapes[editable] = shape(combo)
        print("plain Qt combo boxes: %s" % shapes, flush=True)
        return shapes
    finally:
        process.terminate()
        process.wait(10)


# The boxes of the Configuration page: name -> (editable, entries or None for the port list,
# the text a freshly started window shows).
SERIAL_BOXES = {
    "Port Num": (True, None, "COM"),
    "BaudRate": (True, ["2400", "4800", "9600", "19200", "38400", "115200"], "9600"),
    "DataBits": (True, ["4", "5", "6", "7", "8"], "8"),
    "Parity": (True, ["NONE", "ODD", "EVEN"], "NONE"),
    "StopBits": (True, ["1", "1.5", "2"], "1"),
}
SETTING_BOXES = {
    name: (False, ["Disable", "Enable"], "")
    for name in ("Intfan1", "Intfan2", "Extfan1", "Extfan2", "Dis/Enable", "Enable")
}
SETTING_BOXES["Type"] = (False, ["NO", "NC"], "")


def configuration_boxes(app):
    # The page is the one that holds the group "Serial Port".
    pages = [panel.parent for panel in descendants(app, pyatspi.ROLE_PANEL)
             if panel.name == "Serial Port"]
    if len(pages) != 1:
        fail("expected one group 'Serial Port', found %d" % len(pages))
        return {}
    return {combo.name: combo for combo in descendants(pages[0], pyatspi.ROLE_COMBO_BOX)}


def check_start_state(boxes, baseline):
    expected = dict(SERIAL_BOXES, **SETTING_BOXES)
    if sorted(boxes) != sorted(expected):
        fail("combo boxes by name: %s, expected %s" % (sorted(boxes), sorted(expected)))
    for name, (editable, items, shown) in expected.items():
        combo = boxes.get(name)
        if combo is None:
            continue
        if baseline is not None and shape(combo) != baseline.get(editable):
            fail("'%s' has the shape %s, a plain %s combo box %s" %
                 (name, shape(combo), "editable" if editable else "fixed", baseline.get(editable)))
        listed = entries(combo)
        if listed is None:
            fail("'%s' lists no entries" % name)
        elif items is not None and listed != items:
            fail("'%s' lists %s, expected %s" % (name, listed, items))
        if editable and edit_text(combo) != shown:
            fail("'%s' edit text is %r, expected %r" % (name, edit_text(combo), shown))
        selected = selected_entries(combo) or []
        want = [shown] if shown and items is not None and shown in items else []
        if selected != want:
            fail("'%s': selected entries %s, expected %s" % (name, selected, want))
        if shown and combo.description != shown:
            fail("'%s' describes its choice as %r, expected %r" % (name, combo.description, shown))


def click_at(x, y):
    """A real click: the X server's pointer moves there and its button goes down and up."""
    subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y)], check=True)
    subprocess.run(["xdotool", "click", "1"], check=True)


def extents(node):
    return node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)


def click_middle_of(node):
    box = extents(node)
    click_at(box.x + box.width // 2, box.y + box.height // 2)


def choose_with_mouse(combo, entry):
    """Drops the box's list down with a click on its arrow and clicks the entry in it."""
    box = extents(combo)
    click_at(box.x + box.width - 6, box.y + box.height // 2)
    lists = [kid for kid in children(combo) if kid.getRole() == pyatspi.ROLE_LIST]
    if not lists:
        fail("'%s' has no list to choose from" % combo.name)
        return False

    def shown_item():
        if not has_state(lists[0], pyatspi.STATE_SHOWING):
            return None
        for item in children(lists[0]):
            if item.name == entry and extents(item).width > 0:
                return item
        return None
    item = wait_until("the list of '%s' to show '%s'" % (combo.name, entry), shown_item, 10)
    if item is None:
        fail("clicking the arrow of '%s' showed no entry '%s'" % (combo.name, entry))
        return False
    click_middle_of(item)
    if not wait_until("the list of '%s' to close" % combo.name,
                      lambda: not has_state(lists[0], pyatspi.STATE_SHOWING), 10):
        fail("clicking '%s' did not close the list of '%s'" % (entry, combo.name))
        return False
    return True


def check_chosen(combo, entry, how):
    """The box took `entry`: its list selects it and its description tells it."""
    def took():
        shown = edit_text(combo) if edit_text(combo) is not None else combo.description
        return shown == entry and selected_entries(combo) == [entry]
    if not wait_until("'%s' to take '%s'" % (combo.name, entry), took, 5):
        fail("%s '%s' in '%s': it shows %r, its list selects %s" %
             (how, entry, combo.name, edit_text(combo) or combo.description,
              selected_entries(combo)))
        return False
    return True


def open_chosen_port(app, boxes, link):
    port_box = boxes.get("Port Num")
    if link not in (entries(port_box) or []):
        fail("'Port Num' does not list %s" % link)
        return False
    if not choose_with_mouse(port_box, link) or \
            not check_chosen(port_box, link, "chose with the mouse"):
        return False
    if link not in port_box.description:
        fail("'Port Num' describes its choice as %r" % port_box.description)
    buttons = [b for b in descendants(app, pyatspi.ROLE_PUSH_BUTTON) if b.name == "Open"]
    if len(buttons) != 1:
        fail("expected one 'Open' button, found %d" % len(buttons))
        return False
    click_middle_of(buttons[0])
    if not wait_until("'Open' to turn into 'Close'", lambda: buttons[0].name == "Close", 10):
        fail("the chosen port %s did not open (button reads %r)" % (link, buttons[0].name))
        return False
    return True


def check_read_all(app, boxes):
    reads = [b for b in descendants(app, pyatspi.ROLE_PUSH_BUTTON)
             if b.name == "Read" and b.description == "All"]
    if len(reads) != 1:
        fail("expected one 'Read' button of the group 'All', found %d" % len(reads))
        return
    press(reads[0])

    def all_chosen():
        return all(len(selected_entries(boxes[name]) or []) == 1 for name in SETTING_BOXES)
    wait_until("every setting box to show a choice", all_chosen, 30)
    for name in SETTING_BOXES:
        combo = boxes[name]
        selected = selected_entries(combo) or []
        if len(selected) != 1:
            fail("after Read All, '%s' has selected entries %s, expected one" % (name, selected))
        elif combo.description != selected[0]:
            fail("after Read All, '%s' describes %r, its list selects %r" %
                 (name, combo.description, selected[0]))
        else:
            print("'%s' reads %r" % (name, combo.description), flush=True)


def check_mouse_choice(boxes):
    """The other entry of a settings box, chosen with the mouse, is the box's choice."""
    combo = boxes["Intfan1"]
    before = selected_entries(combo) or []
    other = [entry for entry in entries(combo) if entry not in before][0]
    if choose_with_mouse(combo, other) and check_chosen(combo, other, "chose with the mouse"):
        print("'Intfan1' took %r from the mouse" % other, flush=True)


@contextlib.contextmanager
def tool_on_simulator(arguments):
    """Starts the simulator on a link in the work folder and the tool with that link in its port
    list; yields the tool's application on the bus and the link, or (None, link) when either did
    not come up (the failure is recorded). Both end with the block."""
    link = os.path.join(arguments.work, "ttylink")
    sim = subprocess.Popen([arguments.sim, "--link", link], stdin=subprocess.PIPE,
                           stdout=subprocess.PIPE, text=True)
    tool = None
    try:
        ready = ""
        if select.select([sim.stdout], [], [], 10)[0]:
            ready = sim.stdout.readline().strip()
        if ready != "ready " + link:
            fail("the simulator did not report ready: %r" % ready)
            yield None, link
            return
        tool = start([arguments.tool, link])
        app = application("climate-tool", tool)
        if app is None:
            fail("the tool never appeared on the accessibility bus")
        yield app, link
    finally:
        for process in (tool, sim):
            if process is not None and process.poll() is None:
                process.terminate()
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    process.kill()


def main():
    parser = argparse.ArgumentParser()
    for option in ("--tool", "--plain", "--sim", "--work"):
        parser.add_argument(option, required=True)
    arguments = parser.parse_args()

    baseline = baseline_shapes(arguments.plain)

    with tool_on_simulator(arguments) as (app, link):
        if app is None:
            return 1
        boxes = configuration_boxes(app)
        check_start_state(boxes, baseline)
        if "Port Num" in boxes and open_chosen_port(app, boxes, link):
            check_read_all(app, boxes)
            check_mouse_choice(boxes)
    if failures:
        print("%d failure(s)" % len(failures))
        return 1
    print("all combo boxes read well over AT-SPI")
    return 0


if __name__ == "__main__":
    sys.exit(main())
