#!/bin/sh
# ThreadSanitizer over the host: the real audio thread against the main loop
# on the simulated platform. Any report fails the run.
set -eu
cd "$(dirname "$0")/.."
cmake --preset tsan
cmake --build --preset tsan -j2 --target test_host test_host_scheduler
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" ctest --preset tsan -L host -LE soak
