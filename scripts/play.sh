#!/bin/sh
# Builds and plays Korvale, the native program (on SDL2). On a fresh Debian 12
# machine, run as root, it first installs what it needs; otherwise it prints
# the one apt-get line to run.
set -eu
cd "$(dirname "$0")/.."
. scripts/packages.sh
korvale_require_packages $KORVALE_BUILD_PACKAGES
cmake --preset default >/dev/null
cmake --build --preset default --target korvale
program=build/default/src/platform/sdl/korvale
if [ ! -x "$program" ]; then
    echo "korvale was not built: SDL2 was not found (Debian package libsdl2-dev)." >&2
    exit 1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    status=0
    "$program" || status=$?
    echo "For example: cmake --build --preset default --target korvale-capture &&" \
        "build/default/tools/capture/korvale-capture --seconds 20 --video demo.mp4" >&2
    exit "$status"
fi
exec "$program"
