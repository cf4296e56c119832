# Debian packages the build and the tests need, and a helper that installs the
# missing ones (as root) or prints the one line that would.
KORVALE_BUILD_PACKAGES="cmake ninja-build g++ libgtest-dev libbenchmark-dev libpng-dev libsdl2-dev"
# The end-to-end tests of the native and the Windows program: a virtual
# display with a window manager, window and screenshot tools, a private sound
# server and a sound meter; the Windows cross compilers and wine64.
KORVALE_E2E_PACKAGES="xvfb xauth openbox x11-utils xdotool imagemagick pulseaudio pulseaudio-utils sox"
KORVALE_WINDOWS_PACKAGES="g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64"
KORVALE_TEST_PACKAGES="$KORVALE_BUILD_PACKAGES ffmpeg $KORVALE_E2E_PACKAGES $KORVALE_WINDOWS_PACKAGES"

korvale_require_packages() {
    missing=""
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing="$missing $package"
        fi
    done
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing:$missing" >&2
        apt-get update
        DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
    else
        echo "Korvale needs these Debian packages. Install them with:" >&2
        echo "  sudo apt-get install$missing" >&2
        exit 1
    fi
}
