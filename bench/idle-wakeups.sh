#!/usr/bin/env bash
# How often the whole player wakes up while it sits idle: the real window under a virtual X
# server, the demo disc loaded, nothing playing, sound on SDL's dummy driver (whose thread
# keeps the pace of a real device). Counts the context switches of every thread of the
# process over 10 s and prints them per second (goal: at most 25), beside the same count
# while a track plays, as the baseline of the same run. The 50 ms position timer alone
# accounts for 20 a second.
#
#   bench/idle-wakeups.sh [build folder]      (build/ when none is given)
set -euo pipefail
build=${1:-$(cd "$(dirname "$0")/.." && pwd)/build}
mivo="$build/bin/mivo"
seconds=10
[ -x "$mivo" ] || { echo "no $mivo: build first" >&2; exit 1; }
if [ -z "${MIVO_BENCH_ON_XVFB:-}" ]; then
    command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed" >&2; exit 1; }
    MIVO_BENCH_ON_XVFB=1 exec xvfb-run -a "$0" "$build"
fi

# Sum of voluntary and involuntary switches of each thread alive now, one "tid count" a line.
switches() {
    for status in /proc/"$1"/task/*/status; do
        awk -v tid="${status//[^0-9]/}" '/ctxt_switches/ { n += $2 } END { print tid, n }' \
            "$status" 2>/dev/null || true
    done
}

# Switches per second between two snapshots; a thread born meanwhile counts whole.
rate() {
    awk -v s="$seconds" 'NR == FNR { before[$1] = $2; next }
                         { total += $2 - ($1 in before ? before[$1] : 0) }
                         END { printf "%.1f", total / s }' "$1" "$2"
}

measure() {
    local pid=$1 before after
    before=$(mktemp) after=$(mktemp)
    switches "$pid" >"$before"
    sleep "$seconds"
    switches "$pid" >"$after"
    rate "$before" "$after"
    rm -f "$before" "$after"
}

main() {
    local settings
    settings=$(mktemp -d)
    XDG_CONFIG_HOME=$settings SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb "$mivo" &
    local pid=$!
    sleep 5 # start-up: the window, the skin, the first disc scan
    echo "idle, nothing playing: $(measure "$pid") wake-ups a second (goal: at most 25)"
    # A click on the face's Play button (the middle of it, in window coordinates).
    local window
    window=$(xdotool search --sync --name "Mivo CD Player" | head -1)
    xdotool mousemove --window "$window" 254 75 click 1
    sleep 2
    echo "baseline, a track playing: $(measure "$pid") wake-ups a second"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    rm -rf "$settings"
}

main
