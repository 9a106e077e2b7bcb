"""Takes the screenshots of docs/ from the real window: the Tracks panel with the demo disc's
titles, the rip dialog, and the completion box with its verification line. The window is driven
through the accessibility bus as a person with a screen reader drives it; the databases are a
loopback server that knows no disc, so every run shows the same window.
Run by scripts/screenshots.sh (private X server and D-Bus session).

usage: screenshots.py <mivo> <disc.cue> <docs folder>
"""
import http.server
import os
import shutil
import subprocess
import sys
import threading
import time

import pyatspi

MIVO, DISC, DOCS = sys.argv[1:4]
HOME = "/tmp/mivo-screenshots"  # named in the completion box, so the same on every run


class NoDisc(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        self.send_error(404)

    def log_message(self, *args):
        pass


def wait_for(what, probe, timeout=30):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        found = probe()
        if found:
            return found
        time.sleep(0.1)
    sys.exit(f"screenshots: no {what} within {timeout} s")


def find(root, role, name=None):
    return pyatspi.findDescendant(
        root, lambda n: n is not None and n.getRole() == role and (name is None or n.name == name))


def press(node, action):
    act = node.queryAction()
    act.doAction([act.getName(i) for i in range(act.nActions)].index(action))


def mivo_app():
    return next((a for a in pyatspi.Registry.getDesktop(0)
                 if a is not None and a.name == "Mivo CD Player"), None)


def shoot(window, name, settle=1.0):
    """The window's part of the screen, with any box that lies over it."""
    time.sleep(settle)  # the last paint settles
    x, y, w, h = window.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    target = os.path.join(DOCS, name + ".png")
    subprocess.run(["import", "-silent", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}",
                    "+repage", "-strip", "-define", "png:exclude-chunks=date,time", target],
                   check=True)
    print("wrote", target)


def main():
    server = http.server.HTTPServer(("127.0.0.1", 0), NoDisc)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    base = f"http://127.0.0.1:{server.server_port}"
    shutil.rmtree(HOME, ignore_errors=True)
    os.makedirs(HOME)
    pyatspi.Registry.getDesktop(0)  # starts the accessibility bus before the program
    env = dict(os.environ, HOME=HOME, XDG_CONFIG_HOME=f"{HOME}/.config",
               XDG_CACHE_HOME=f"{HOME}/.cache", XDG_STATE_HOME=f"{HOME}/.local/state",
               MIVO_DISC_IMAGES=os.path.abspath(DISC), MIVO_ACCURATERIP_URL=base + "/",
               MIVO_MUSICBRAINZ_URL=base, MIVO_GNUDB_URL=base, SDL_AUDIODRIVER="dummy",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb", LC_ALL="C.UTF-8")
    program = subprocess.Popen([MIVO], env=env)
    try:
        take(wait_for("Mivo on the accessibility bus", mivo_app))
    finally:
        program.terminate()
        program.wait(10)
        shutil.rmtree(HOME, ignore_errors=True)


def take(app):
    window = wait_for("main window", lambda: find(app, pyatspi.ROLE_WINDOW, "Mivo CD Player")
                      or find(app, pyatspi.ROLE_FRAME))
    table = wait_for("track table", lambda: find(app, pyatspi.ROLE_TABLE))
    rows = wait_for("five rows", lambda: [c for c in table if c.getRole() == pyatspi.ROLE_CHECK_BOX]
                    if table.childCount >= 20 else None)
    press(find(app, pyatspi.ROLE_PUSH_BUTTON, "Tracks"), "Press")
    shoot(window, "tracks")  # the disc's titles, nothing ticked yet
    for row in rows:
        press(row, "Toggle")
    wait_for("ticked rows", lambda: all(r.getState().contains(pyatspi.STATE_CHECKED) for r in rows))

    press(find(app, pyatspi.ROLE_PUSH_BUTTON, "Output format"), "Press")
    flac = wait_for("the FLAC option", lambda: find(app, pyatspi.ROLE_RADIO_BUTTON, "FLAC"))
    press(flac, "Toggle")
    press(find(app, pyatspi.ROLE_PUSH_BUTTON, "Tracks"), "Press")
    press(find(app, pyatspi.ROLE_PUSH_BUTTON, "Rip ticked tracks"), "Press")
    wait_for("rip dialog", lambda: find(app, pyatspi.ROLE_DIALOG, "Ripping In Progress..."))
    shoot(window, "ripping", 0.4)  # the dialog waits a second before the job: every run alike

    done = wait_for("completion box", lambda: find(app, pyatspi.ROLE_ALERT), 120)
    # The box alone: behind it the dialog names whichever track's check came last.
    shoot(done, "ripped")
    press(find(done, pyatspi.ROLE_PUSH_BUTTON, "OK"), "Press")


if __name__ == "__main__":
    main()
