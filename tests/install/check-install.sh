#!/usr/bin/env bash
# The installed program: `cmake --install` puts every file in place under a fresh prefix,
# and mivo started from there, in another folder, comes up with its skin, plays the demo
# disc and opens Help from the installed data folder, and ends on SIGTERM as a desktop
# session ends it. Run under an X server (xvfb-run -a).
# usage: check-install.sh <build folder>
set -euo pipefail
build=$1
tmp=$(mktemp -d)
source "$(dirname "$0")/installed-mivo.sh"
trap 'stop_mivo; rm -rf "$tmp"' EXIT

prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/mivo share/mivo/Main.qml share/mivo/Skin.qss share/mivo/Help.html \
    share/mivo/discs/demo.cue share/mivo/discs/demo.bin share/mivo/discs/demo.toc \
    share/applications/io.github.mivo.Mivo.desktop share/metainfo/io.github.mivo.Mivo.metainfo.xml \
    share/icons/hicolor/scalable/apps/mivo.svg share/man/man1/mivo.1; do
    [ -f "$prefix/$f" ] || fail "$f is not installed"
done
# The metainfo and the menu entry it launches agree.
check_ffmpeg_module "$prefix"
report=$(appstreamcli validate-tree --no-net --strict "$prefix" 2>&1) || fail "$report"

start_mivo "$prefix/bin/mivo"
play_disc "$prefix/share/mivo/discs/demo.bin"
open_help "$prefix/share/mivo/Help.html"
end_mivo
echo "installed mivo came up, played the demo disc, opened its Help and ended on SIGTERM"
