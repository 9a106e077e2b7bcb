#!/usr/bin/env bash
# Sets up a Debian 12 machine for Mivo CD Player, builds it, and then either
# starts it on the demo disc (run) or runs the whole test suite (test); or builds the
# Debian package from the tree with Debian's own tools and checks it with lintian (package).
set -euo pipefail

usage() { echo "usage: scripts/mivo.sh run|test|package" >&2; exit 2; }
[ $# -eq 1 ] || usage
mode=$1
case "$mode" in run | test | package) ;; *) usage ;; esac

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"

packages=(
    g++ cmake ninja-build pkg-config clang-format
    qt6-base-dev qt6-declarative-dev qml6-module-qtquick qml6-module-qtquick-window
    qml6-module-qtqml-workerscript
    libsdl2-dev libcdio-dev libcdio-paranoia-dev libcdio-cdda-dev
    libavcodec-dev libavformat-dev libswresample-dev libavutil-dev libflac-dev zlib1g-dev
    libtag1-dev libudev-dev libebur128-dev
    libgtest-dev libgmock-dev
    lame vorbis-tools flac ffmpeg
    xvfb xauth x11-utils imagemagick xdotool desktop-file-utils appstream
    at-spi2-core python3-pyatspi dbus python3-xlib
    clang libclang-rt-14-dev
)
# Only the package mode needs these.
packaging=(debhelper dpkg-dev fakeroot lintian man-db)
[ "$mode" = package ] && packages+=("${packaging[@]}")

install_missing() {
    local missing=()
    for package in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

install_missing

# dpkg-buildpackage works beside debian/ and leaves the .deb in the parent folder, so it runs
# on a copy of the tree in build-deb/src and the package lands in build-deb/.
build_package() {
    local out="$root/build-deb"
    rm -rf "$out"
    mkdir -p "$out/src"
    tar -C "$root" --exclude=./.git --exclude='./build*' --exclude='./obj-*' -cf - . |
        tar -C "$out/src" -xf -
    (cd "$out/src" && dpkg-buildpackage -b -us -uc)
    local deb
    deb=$(ls "$out"/mivo_*.deb)
    # Every error or warning fails; informational tags are shown, not failed on.
    lintian --fail-on error,warning --display-info "$deb"
    echo "Package: $deb"
}
if [ "$mode" = package ]; then
    build_package
    exit 0
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j "$(nproc)"

if [ "$mode" = run ]; then
    exec "$build/bin/mivo"
fi
ctest --test-dir "$build" --output-on-failure
