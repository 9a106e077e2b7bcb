"""A screen-reader user's rip and playback of the real mivo, through the accessibility bus of a
private X server and D-Bus session (see CMakeLists.txt); the Rip button's action must return at
once."""
import os
import re
import subprocess
import sys
import tempfile
import time

import pyatspi

MIVO, IMAGE = sys.argv[1], sys.argv[2]
SECTOR = 2352


def wait_for(what, probe, timeout=30):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        found = probe()
        if found:
            return found
        time.sleep(0.1)
    sys.exit(f"FAILED: {what} within {timeout} s")


def find(root, role, name=None):
    def matches(node):
        return node is not None and node.getRole() == role and (name is None or node.name == name)
    return pyatspi.findDescendant(root, matches, breadth_first=True)


def press(node, action):
    act = node.queryAction()
    names = [act.getName(i) for i in range(act.nActions)]
    if action not in names:
        sys.exit(f"FAILED: {node.name!r} offers {names}, not {action!r}")
    started = time.monotonic()
    act.doAction(names.index(action))
    return time.monotonic() - started


def state(node, which):
    return node.getState().contains(which)


def mivo_app():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "Mivo CD Player":
            return app
    return None


def main():
    desktop = pyatspi.Registry.getDesktop(0)  # starts the accessibility bus before the program
    if desktop is None:
        sys.exit("FAILED: no accessibility bus")
    home = tempfile.mkdtemp(prefix="mivo-a11y-")
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=f"{home}/config",
               XDG_STATE_HOME=f"{home}/state", MIVO_DISC_IMAGES=IMAGE,
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", SDL_AUDIODRIVER="dummy")
    env.pop("QT_QPA_PLATFORM", None)
    program = subprocess.Popen([MIVO], env=env)
    try:
        run(wait_for("Mivo on the accessibility bus", mivo_app), home)
    finally:
        program.terminate()
        program.wait(10)
    print("PASSED")


def run(app, home):
    table = wait_for("the track table", lambda: find(app, pyatspi.ROLE_TABLE))
    rows = wait_for("three rows", lambda: [c for c in table if c.getRole() == pyatspi.ROLE_CHECK_BOX]
                    if table.childCount >= 12 else None)
    spoken = [row.name for row in rows]
    expected = ["Track 01, Audio, 00:02, not ticked", "Track 02, Audio, 00:03, not ticked",
                "Track 03, Audio, 00:04, not ticked"]
    if spoken != expected:
        sys.exit(f"FAILED: rows read {spoken}")
    for row in (rows[0], rows[2]):
        press(row, "Toggle")
        wait_for(f"{row.name} ticked", lambda: state(row, pyatspi.STATE_CHECKED), 5)
    if not rows[2].name.endswith(", ticked"):
        sys.exit(f"FAILED: a ticked row reads {rows[2].name!r}")

    press(find(app, pyatspi.ROLE_PUSH_BUTTON, "Output format"), "Press")
    wav = find(app, pyatspi.ROLE_RADIO_BUTTON, "WAV (CD-Quality)")
    press(wav, "Toggle")
    wait_for("WAV chosen", lambda: state(wav, pyatspi.STATE_CHECKED), 5)

    took = press(find(app, pyatspi.ROLE_PUSH_BUTTON, "Rip ticked tracks"), "Press")
    if took > 2:
        sys.exit(f"FAILED: the Rip button's action took {took:.1f} s to return")
    dialog = wait_for("the rip dialog", lambda: find(app, pyatspi.ROLE_DIALOG,
                                                     "Ripping In Progress..."))
    wait_for("the dialog's progress bar", lambda: find(dialog, pyatspi.ROLE_PROGRESS_BAR), 5)
    done = wait_for("the completion box", lambda: find(app, pyatspi.ROLE_ALERT))
    said = " ".join(n.name for n in [done] + list(done) if n is not None)
    if "2 Tracks have been Ripped" not in said:
        sys.exit(f"FAILED: the completion box says {said!r}")
    press(find(done, pyatspi.ROLE_PUSH_BUTTON, "OK"), "Press")

    folder = os.path.join(home, "Ripped Audio")
    files = sorted(f for f in os.listdir(folder)
                   if not f.startswith("Mivo rip ") and not f.endswith(".m3u8"))
    if files != ["TRACK1.WAV", "TRACK3.WAV"]:
        sys.exit(f"FAILED: the output folder holds {files}")
    for name, sectors in (("TRACK1.WAV", 150), ("TRACK3.WAV", 300)):
        size = os.path.getsize(os.path.join(folder, name))
        if size != 44 + sectors * SECTOR:
            sys.exit(f"FAILED: {name} has {size} bytes")

    press(find(app, pyatspi.ROLE_PUSH_BUTTON, "Last track"), "Press")
    position = pyatspi.findDescendant(
        app, lambda n: n is not None and n.getRole() == pyatspi.ROLE_LABEL
        and n.description == "Track position")
    wait_for("the position read while track 3 plays",
             lambda: re.fullmatch(r"00:0[1-3] / 00:04", position.name), 10)
    # The face's display band says the same.
    wait_for("the face saying what plays", lambda: pyatspi.findDescendant(
        app, lambda n: n is not None and re.match(r"Playing .* Track 03 .* / 00:04", n.name)), 5)

if __name__ == "__main__":
    main()
