#!/bin/sh
# Builds and plays Korvale. (The live program is not built yet: for now this
# builds everything that exists and runs the tests.)
set -eu
cd "$(dirname "$0")/.."
exec scripts/test.sh
