#!/usr/bin/env bash
# Start-up of the real window, and its first Play and first panel switch, against a bare Qt
# window of the same size (bench/startup.py says how it measures). Builds what it needs.
# usage: bench/startup.sh [runs [earlier mivo]]   (10 runs by default; an earlier build to compare)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
cmake --build "$build" --target mivo bench_startup_floor >/dev/null
xvfb-run -a -s "-screen 0 1280x1024x24" /usr/bin/python3 "$root/bench/startup.py" \
    "$build/bin/mivo" "$build/bin/bench_startup_floor" "$build/bin/discs/demo.cue" "${1:-10}" ${2:+"$2"}
