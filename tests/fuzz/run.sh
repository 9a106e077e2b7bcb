#!/usr/bin/env bash
# Runs each fuzz target of a build for a fixed time, on a corpus seeded with the sheets of the
# generated disc images and kept in the build folder between runs. Prints the executions per
# target; a crash leaves its input as fuzz-crash-* in the build folder and fails the run.
# usage: tests/fuzz/run.sh BUILD_FOLDER SECONDS_PER_TARGET
set -euo pipefail
shopt -s nullglob
[ $# -eq 2 ] || { echo "usage: tests/fuzz/run.sh BUILD_FOLDER SECONDS" >&2; exit 2; }
build=$(cd "$1" && pwd)
seconds=$2
corpus="$build/fuzz-corpus"

# The targets read the first byte as the kind of sheet: even for CUE, odd for TOC.
seed() {
    local sheet=$1 kind=$2
    for target in sheetscan imageload; do
        mkdir -p "$corpus/$target"
        { printf '%s' "$kind"; cat "$sheet"; } >"$corpus/$target/seed-$(basename "$sheet")"
    done
}
for sheet in "$build"/testdiscs/*.cue "$build"/bin/discs/*.cue; do seed "$sheet" b; done
for sheet in "$build"/testdiscs/*.toc "$build"/bin/discs/*.toc; do seed "$sheet" a; done
mkdir -p "$corpus/cdtext"

for target in sheetscan imageload cdtext; do
    log="$build/fuzz-$target.log"
    if ! "$build/bin/fuzz_$target" -max_total_time="$seconds" -max_len=8192 \
        -artifact_prefix="$build/fuzz-crash-$target-" "$corpus/$target" >"$log" 2>&1; then
        tail -n 40 "$log"
        echo "fuzz_$target found a crash" >&2
        exit 1
    fi
    echo "fuzz_$target: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$log")"
done
