#!/usr/bin/env bash
# The Debian package: unpacked into a scratch root, it holds every file in its standard place
# (the manual page reads without a warning), and its mivo, started from there against a
# generated disc, comes up with the skin from the package's data folder, plays the disc, opens
# the package's Help and ends on SIGTERM. Run under an X server (xvfb-run -a).
# usage: check-package.sh <mivo_*.deb> <disc's .cue> <disc's .bin>
set -euo pipefail
deb=$1 cue=$2 bin=$3
tmp=$(mktemp -d)
source "$(dirname "$0")/installed-mivo.sh"
trap 'stop_mivo; rm -rf "$tmp"' EXIT

root=$tmp/root
dpkg-deb -x "$deb" "$root"
for f in bin/mivo share/mivo/Main.qml share/mivo/Skin.qss share/mivo/Help.html \
    share/applications/io.github.mivo.Mivo.desktop share/metainfo/io.github.mivo.Mivo.metainfo.xml \
    share/icons/hicolor/scalable/apps/mivo.svg share/man/man1/mivo.1.gz \
    share/doc/mivo/copyright share/doc/mivo/changelog.gz; do
    [ -f "$root/usr/$f" ] || fail "/usr/$f is not in the package"
done
check_ffmpeg_module "$root/usr"
report=$(appstreamcli validate-tree --no-net --strict "$root" 2>&1) || fail "$report"
warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l \
    "$root/usr/share/man/man1/mivo.1.gz" 2>&1 >/dev/null) || fail "man failed: $warnings"
[ -z "$warnings" ] || fail "the manual page has faults: $warnings"

start_mivo "$root/usr/bin/mivo" MIVO_DISC_IMAGES="$(realpath "$cue")"
play_disc "$bin"
open_help "$root/usr/share/mivo/Help.html"
end_mivo
echo "the package's mivo came up, played $cue, opened its Help and ended on SIGTERM"
