#!/usr/bin/env bash
# The installed program: `cmake --install` puts every file in place under a fresh prefix,
# and mivo started from there, in another folder, comes up with its skin and plays the
# demo disc from the installed data folder, and ends on SIGTERM as a desktop session ends it.
# Run under an X server (xvfb-run -a).
# usage: check-install.sh <build folder>
set -euo pipefail
build=$1
tmp=$(mktemp -d)
pid=
cleanup() {
    [ -z "$pid" ] || { kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; } || true
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in xdotool appstreamcli realpath; do
    command -v "$tool" >/dev/null || fail "$tool is not installed"
done

prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/mivo share/mivo/Main.qml share/mivo/Skin.qss share/mivo/Help.html \
    share/mivo/discs/demo.cue share/mivo/discs/demo.bin share/mivo/discs/demo.toc \
    share/applications/io.github.mivo.Mivo.desktop share/metainfo/io.github.mivo.Mivo.metainfo.xml \
    share/icons/hicolor/scalable/apps/mivo.svg; do
    [ -f "$prefix/$f" ] || fail "$f is not installed"
done
# The metainfo and the menu entry it launches agree.
report=$(appstreamcli validate-tree --no-net --strict "$prefix" 2>&1) || fail "$report"

mkdir "$tmp/elsewhere"
cd "$tmp/elsewhere"
env -u MIVO_DISC_IMAGES SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb HOME="$tmp/home" \
    XDG_CONFIG_HOME="$tmp/config" XDG_STATE_HOME="$tmp/state" "$prefix/bin/mivo" \
    >"$tmp/mivo.log" 2>&1 &
pid=$!

# Mivo's visible windows; a box (a skin that did not load, say) is a window of its own.
windows() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null || true; }
running() { ! grep -qs '^State:[[:space:]]*[ZX]' "/proc/$pid/status" && [ -e "/proc/$pid" ]; }
demo=$(realpath "$prefix/share/mivo/discs/demo.bin")
playing() { ls -l "/proc/$pid/fd" 2>/dev/null | grep -qF -- "-> $demo"; }

deadline=$((SECONDS + 30))
until playing; do
    running || fail "mivo ended early: $(cat "$tmp/mivo.log")"
    ((SECONDS < deadline)) || fail "the demo disc did not play within 30 s"
    for w in $(windows); do
        xdotool getwindowgeometry "$w" | grep -q "Geometry: 700x603" ||
            fail "a box came up: $(xdotool getwindowname "$w")"
        # The skin's Play button; it only plays when the demo disc's drive was found.
        xdotool mousemove --window "$w" 253 74 click 1
    done
    sleep 0.5
done
[ "$(windows | wc -l)" -eq 1 ] || fail "more than the main window is shown"

kill -TERM "$pid"
for _ in $(seq 50); do running || break; sleep 0.2; done
running && fail "mivo did not end on SIGTERM"
echo "installed mivo came up, played the demo disc and ended on SIGTERM"
