"""Start-up of the real window, measured from outside on an X server, as a user sees it.

For each run: from the moment the process is started to the moment its window shows the face
it keeps (the same pixels as a settled window, on a few rows through the title bar, the
transport and the panel buttons); then the first Play (a click on the skin's Play button until
the display band changes) and the first panel switch (a click on "CD Drive" until the panel
shows). The baseline is a bare Qt window of the same size with a QML face, linked like mivo:
what any such program costs before it does anything of its own. Prints the medians.

The programs' runs alternate, so a machine busy with other work weighs on each alike.
usage (from bench/startup.sh): python3 startup.py <mivo> <baseline> <disc.cue> [runs [earlier mivo]]
"""
import os
import select
import statistics
import subprocess
import sys
import tempfile
import time

from Xlib import X, display
from Xlib.ext import xtest

WIDTH, HEIGHT = 700, 603
FACE_ROWS = (22, 75, 135)  # title bar, transport buttons, panel buttons: the skin alone draws them
PLAY = (253, 74)
CD_DRIVE_PANEL = (87, 199)
DISPLAY_BAND = (200, 118, 330, 60)  # x, y, w, h: the lines that say what plays
PANEL_AREA = (190, 200, 300, 200)  # under the display band, where the panels lie
DEADLINE = 20.0
POLL = 0.002  # seconds between looks at the window: fine enough, and leaves the CPU to the program

dpy = display.Display()
root = dpy.screen().root
root.change_attributes(event_mask=X.SubstructureNotifyMask)
PID_ATOM = dpy.intern_atom("_NET_WM_PID")


def pixels(window, area):
    x, y, w, h = area
    return window.get_image(x, y, w, h, X.ZPixmap, 0xFFFFFFFF).data


def face(window):
    return [pixels(window, (0, row, WIDTH, 1)) for row in FACE_ROWS]


def owner(window):
    try:
        prop = window.get_full_property(PID_ATOM, X.AnyPropertyType)
    except Exception:  # the window went away again
        return None
    return prop.value[0] if prop else None


def wait_events(until, what, event=True):
    """Until until(event) (or until(), when not event) returns a value; exits on the deadline."""
    end = time.monotonic() + DEADLINE
    while True:
        if not event:
            found = until()
            if found is not None:
                return found
        while dpy.pending_events():
            next_event = dpy.next_event()
            found = until(next_event) if event else None
            if found is not None:
                return found
        left = end - time.monotonic()
        if left <= 0:
            sys.exit(f"FAILED: {what} within {DEADLINE} s")
        select.select([dpy], [], [], min(left, POLL))


class Run:
    def __init__(self, program, env):
        self.started = time.monotonic()
        self.process = subprocess.Popen([program], env=env)
        self.window = wait_events(self.mapped, "the window mapped")

    def mapped(self, event):
        if event.type == X.MapNotify and owner(event.window) == self.process.pid:
            geometry = event.window.get_geometry()
            if (geometry.width, geometry.height) == (WIDTH, HEIGHT):
                return event.window
        return None

    def seconds_until(self, shown, what):
        """The moment shown() holds, looked at every POLL seconds."""
        return wait_events(lambda: time.monotonic() if shown() else None, what, event=False)

    def click(self, where, changed_area, what):
        before = pixels(self.window, changed_area)
        origin = self.window.translate_coords(root, 0, 0)
        xtest.fake_input(dpy, X.MotionNotify, x=-origin.x + where[0], y=-origin.y + where[1])
        dpy.sync()
        sent = time.monotonic()
        xtest.fake_input(dpy, X.ButtonPress, 1)
        xtest.fake_input(dpy, X.ButtonRelease, 1)
        dpy.sync()
        done = self.seconds_until(lambda: pixels(self.window, changed_area) != before, what)
        return done - sent

    def end(self):
        self.process.terminate()
        self.process.wait(10)
        dpy.sync()


def settled_face(program, env):
    """The face as a window shows it once everything at start is done."""
    run = Run(program, env)
    time.sleep(2)
    reference = face(run.window)
    run.end()
    return reference


def one_run(program, env, reference, interact):
    run = Run(program, env)
    shown = run.seconds_until(lambda: face(run.window) == reference, "the face") - run.started
    answers = ()
    if interact:
        answers = (run.click(PLAY, DISPLAY_BAND, "the display saying it plays"),
                   run.click(CD_DRIVE_PANEL, PANEL_AREA, "the CD Drive panel"))
    run.end()
    return shown, answers


def measure(programs, env, runs):
    """The programs' runs taken in turn, so that each meets the same load of the machine."""
    references = [settled_face(program, env) for program, _ in programs]
    results = [([], [], []) for _ in programs]
    for _ in range(runs):
        for (program, interact), reference, (shown, plays, switches) in zip(
                programs, references, results):
            seconds, answers = one_run(program, env, reference, interact)
            shown.append(seconds)
            if answers:
                plays.append(answers[0])
                switches.append(answers[1])
    return results


def ms(values):
    return f"median {statistics.median(values) * 1000:6.1f} ms  (min {min(values) * 1000:.1f}, " \
           f"max {max(values) * 1000:.1f}, {len(values)} runs)"


def main():
    mivo, baseline, disc = sys.argv[1:4]
    runs = int(sys.argv[4]) if len(sys.argv) > 4 else 10
    earlier = sys.argv[5] if len(sys.argv) > 5 else None  # another build of mivo, to compare
    home = tempfile.mkdtemp(prefix="mivo-bench-")
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=f"{home}/config",
               XDG_CACHE_HOME=f"{home}/cache", XDG_STATE_HOME=f"{home}/state",
               MIVO_DISC_IMAGES=os.path.abspath(disc), SDL_AUDIODRIVER="dummy",
               QT_QPA_PLATFORM="xcb", MIVO_ACCURATERIP_URL="http://127.0.0.1:9/",
               MIVO_MUSICBRAINZ_URL="http://127.0.0.1:9", MIVO_GNUDB_URL="http://127.0.0.1:9")
    with open("/proc/loadavg") as load:
        print(f"load average before: {' '.join(load.read().split()[:3])} on {os.cpu_count()} cores")
    programs = [(baseline, False), (mivo, True)] + ([(earlier, True)] if earlier else [])
    (floor, _, _), (shown, plays, switches), *others = measure(programs, env, runs)
    print(f"bare Qt window shown:     {ms(floor)}")
    print(f"mivo window shown:        {ms(shown)}")
    print(f"ratio mivo / bare window: {statistics.median(shown) / statistics.median(floor):.2f}")
    print(f"first Play answered:      {ms(plays)}")
    print(f"first panel switch shown: {ms(switches)}")
    for earlier_shown, earlier_plays, earlier_switches in others:
        print(f"earlier mivo shown:       {ms(earlier_shown)}")
        print(f"earlier first Play:       {ms(earlier_plays)}")
        print(f"earlier panel switch:     {ms(earlier_switches)}")
    with open("/proc/loadavg") as load:
        print(f"load average after:  {' '.join(load.read().split()[:3])}")


if __name__ == "__main__":
    main()
