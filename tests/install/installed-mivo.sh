# What the checks of an installed mivo share (sourced by check-install.sh and check-package.sh):
# start the program from its installed place in another folder under a private home, play a
# disc with the skin's Play button, open Help with its Help button, end it with SIGTERM; and check
# the installed FFmpeg module.
# Needs an X server (xvfb-run -a) and $tmp, a scratch folder the caller removes.

pid=
fail() { echo "FAIL: $*" >&2; exit 1; }
stop_mivo() { [ -z "$pid" ] || { kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; } || true; }
for tool in xdotool appstreamcli realpath; do
    command -v "$tool" >/dev/null || fail "$tool is not installed"
done

# check_ffmpeg_module <installed tree>: the FFmpeg module (rips load it) is installed, its
# libraries are there, and it has its entry; read without loading it (a sanitized module loads
# only into its sanitized program).
check_ffmpeg_module() {
    local module missing
    module=$(find "$1" -path "*/mivo/mivo-ffmpeg.so" | head -n 1)
    [ -n "$module" ] || fail "the FFmpeg module is not installed"
    missing=$(ldd "$module" | grep "not found" || true)
    [ -z "$missing" ] || fail "the FFmpeg module's libraries are missing: $missing"
    nm -D --defined-only "$module" | grep -q " mivo_ffmpeg_entry$" ||
        fail "the FFmpeg module does not export its entry"
}

# start_mivo <program> [VAR=value...]: a desktop's "open" is a recorder, so Help's target shows.
start_mivo() {
    local program=$1
    shift
    mkdir -p "$tmp/elsewhere" "$tmp/opener"
    printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s/opened"\n' "$tmp" >"$tmp/opener/xdg-open"
    chmod +x "$tmp/opener/xdg-open"
    (cd "$tmp/elsewhere" &&
        exec env -u MIVO_DISC_IMAGES -u XDG_CURRENT_DESKTOP PATH="$tmp/opener:$PATH" \
            SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb HOME="$tmp/home" \
            XDG_CONFIG_HOME="$tmp/config" XDG_STATE_HOME="$tmp/state" "$@" "$program" \
            >"$tmp/mivo.log" 2>&1) &
    pid=$!
}

# Mivo's visible windows; a box (a skin that did not load, say) is a window of its own.
windows() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null || true; }
running() { [ -e "/proc/$pid" ] && ! grep -qs '^State:[[:space:]]*[ZX]' "/proc/$pid/status"; }

# click_face <x> <y>: a click on the skin, once the main window (and nothing else) is up.
click_face() {
    local w
    for w in $(windows); do
        xdotool getwindowgeometry "$w" | grep -q "Geometry: 700x603" ||
            fail "a box came up: $(xdotool getwindowname "$w")"
        xdotool mousemove --window "$w" "$1" "$2" click 1
    done
}

# play_disc <disc's data file>: presses Play until mivo reads that file.
play_disc() {
    local data deadline=$((SECONDS + 30))
    data=$(realpath "$1")
    until ls -l "/proc/$pid/fd" 2>/dev/null | grep -qF -- "-> $data"; do
        running || fail "mivo ended early: $(cat "$tmp/mivo.log")"
        ((SECONDS < deadline)) || fail "$1 did not play within 30 s"
        click_face 253 74 # Play; it only plays when the disc's drive was found
        sleep 0.5
    done
    [ "$(windows | wc -l)" -eq 1 ] || fail "more than the main window is shown"
}

# open_help <Help.html it must open>
open_help() {
    local want deadline=$((SECONDS + 15))
    want="file://$(realpath "$1")"
    click_face 503 22 # Help
    until grep -qsxF -- "$want" "$tmp/opened"; do
        ((SECONDS < deadline)) || fail "Help opened '$(cat "$tmp/opened" 2>/dev/null)', not $want"
        sleep 0.2
    done
}

end_mivo() {
    kill -TERM "$pid"
    for _ in $(seq 50); do running || break; sleep 0.2; done
    running && fail "mivo did not end on SIGTERM"
    pid=
}
