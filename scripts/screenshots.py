"""Takes the screenshots of docs/ from the real window: the Tracks panel with the demo disc's
titles, the rip dialog, and the completion box with its verification line; then, in a second
run, the window with the disc's cover in its centre. The window is driven through the
accessibility bus as a person with a screen reader drives it; the databases are a loopback
server that knows no disc in the first run, so every run shows the same window, and plays
MusicBrainz with one release of the disc and the Cover Art Archive with its front cover (drawn
here) in the second.
Run by scripts/screenshots.sh (private X server and D-Bus session).

usage: screenshots.py <mivo> <disc.cue> <docs folder>
"""
import http.server
import json
import os
import shutil
import subprocess
import sys
import threading
import time

import pyatspi

MIVO, DISC, DOCS = sys.argv[1:4]
HOME = "/tmp/mivo-screenshots"  # named in the completion box, so the same on every run


RELEASE = "5f0c8d7e-3b2a-4c1d-9e8f-7a6b5c4d3e2f"
DEMO_TITLES = ["Morning Light", "Harbour at Dusk", "Paper Kites", "Evening Waltz", "Quiet Stars"]


def release_answer(disc_id, titles):
    """MusicBrainz's answer to a disc id: one release whose disc has that id."""
    credit = [{"name": "The Mivo Ensemble", "joinphrase": ""}]
    tracks = [{"position": n, "number": str(n), "title": title, "artist-credit": credit,
               "recording": {"id": f"00000000-0000-4000-8000-{n:012d}", "title": title}}
              for n, title in enumerate(titles, 1)]
    return {"releases": [{
        "id": RELEASE, "title": "Mivo Demo Disc", "artist-credit": credit, "date": "2024-05-17",
        "country": "XE", "barcode": "4006381333931",
        "label-info": [{"label": {"name": "Mivo Records"}, "catalog-number": "MIVO-001"}],
        "media": [{"position": 1, "format": "CD", "discs": [{"id": disc_id}],
                   "track-count": len(titles), "tracks": tracks}]}]}


def front_cover():
    """A 500-pixel JPEG, as the archive's front-500 is: a sun setting over the sea."""
    return subprocess.run(
        ["convert", "-size", "500x500", "gradient:#1d3557-#f4a261",
         "-fill", "#ffe8b0", "-draw", "circle 250,330 250,245",
         "-fill", "#14213d", "-draw", "rectangle 0,340 500,500",
         "-fill", "#2a4a6b", "-draw", "rectangle 40,372 460,376",
         "-draw", "rectangle 90,404 410,407", "-draw", "rectangle 150,432 350,434",
         "-fill", "white", "-gravity", "north",
         "-font", "DejaVu-Sans-Bold", "-pointsize", "64", "-annotate", "+0+48", "MIVO",
         "-font", "DejaVu-Sans", "-pointsize", "26", "-annotate", "+0+124", "Demo Disc",
         "-strip", "-quality", "90", "jpg:-"], check=True, capture_output=True).stdout


class Databases(http.server.BaseHTTPRequestHandler):
    """Knows no disc until `titles` is set; then MusicBrainz and the archive know every disc."""
    titles = None
    cover = None
    covers_sent = 0

    def do_GET(self):
        path = self.path.split("?")[0]
        if self.titles and path.startswith("/ws/2/discid/"):
            disc_id = path[len("/ws/2/discid/"):]
            self.answer("application/json",
                        json.dumps(release_answer(disc_id, self.titles)).encode())
        elif self.titles and path.startswith(f"/release/{RELEASE}/front-"):
            Databases.covers_sent += 1
            self.answer("image/jpeg", self.cover)
        else:
            self.send_error(404)

    def answer(self, kind, body):
        self.send_response(200)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

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


def run_mivo(base, disc, action):
    """Mivo on the disc image with a fresh home and the databases at base, while action runs."""
    shutil.rmtree(HOME, ignore_errors=True)
    os.makedirs(HOME)
    env = dict(os.environ, HOME=HOME, XDG_CONFIG_HOME=f"{HOME}/.config",
               XDG_CACHE_HOME=f"{HOME}/.cache", XDG_STATE_HOME=f"{HOME}/.local/state",
               MIVO_DISC_IMAGES=os.path.abspath(disc), MIVO_ACCURATERIP_URL=base + "/",
               MIVO_MUSICBRAINZ_URL=base, MIVO_GNUDB_URL=base, MIVO_COVERART_URL=base,
               SDL_AUDIODRIVER="dummy", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               QT_QPA_PLATFORM="xcb", LC_ALL="C.UTF-8")
    program = subprocess.Popen([MIVO], env=env)
    try:
        return action(wait_for("Mivo on the accessibility bus", mivo_app))
    finally:
        program.terminate()
        program.wait(10)
        shutil.rmtree(HOME, ignore_errors=True)


def start_databases():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Databases)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return f"http://127.0.0.1:{server.server_port}"


def main():
    base = start_databases()
    pyatspi.Registry.getDesktop(0)  # starts the accessibility bus before the program
    run_mivo(base, DISC, take)
    Databases.titles, Databases.cover = DEMO_TITLES, front_cover()
    run_mivo(base, DISC, take_cover)


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


def cover_shown(app):
    return pyatspi.findDescendant(
        app, lambda n: n is not None and n.name.startswith("Cover of ")
        and n.getState().contains(pyatspi.STATE_SHOWING))


def take_cover(app):
    window = wait_for("main window", lambda: find(app, pyatspi.ROLE_WINDOW, "Mivo CD Player")
                      or find(app, pyatspi.ROLE_FRAME))
    wait_for("the archive's cover", lambda: Databases.covers_sent > 0)
    wait_for("the cover in the window", lambda: cover_shown(app))
    shoot(window, "cover")


if __name__ == "__main__":
    main()
