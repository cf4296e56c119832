#!/bin/sh
# Builds Korvale and runs the whole test suite. On a fresh Debian 12 machine,
# run as root, it first installs what it needs.
set -eu
cd "$(dirname "$0")/.."
. scripts/packages.sh
korvale_require_packages $KORVALE_TEST_PACKAGES
cmake --preset default
cmake --build --preset default
ctest --preset default
