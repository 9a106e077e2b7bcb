#!/usr/bin/env bash
# Makes the screenshots of README and AppStream again (docs/tracks.png, docs/ripping.png,
# docs/ripped.png, docs/cover.png) from the real window on the build's demo disc, on a private
# X server of a fixed size and a private D-Bus session (scripts/screenshots.py drives the
# window and plays the databases on loopback).
# usage: scripts/screenshots.sh   (after scripts/mivo.sh run or test has built build/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
cmake --build "$build" --target mivo >/dev/null
xvfb-run -a -s "-screen 0 1024x768x24" dbus-run-session -- /usr/bin/python3 \
    "$root/scripts/screenshots.py" "$build/bin/mivo" "$build/bin/discs/demo.cue" "$root/docs"
