#!/bin/bash
# Measures the native program while it plays maximised on a 1920x1080
# virtual display with a private sound server: CPU time (per cent of one
# core, all its threads), resident memory, and how far the picture runs ahead
# of the sound being heard.
#   measure_sdl.sh KORVALE [SECONDS]
set -euo pipefail
here=$(dirname "$(realpath "$0")")
. "$here/lib.sh"

[ $# -ge 1 ] || { echo "usage: $0 KORVALE [SECONDS]" >&2; exit 2; }
program=$(realpath "$1")
seconds=${2:-20}
require_tools Xvfb openbox xdotool xprop xwininfo pulseaudio pactl timeout

KORVALE_E2E_DIR=$(mktemp -d "${TMPDIR:-/tmp}/korvale-measure.XXXXXX")
export KORVALE_E2E_DIR
program_pid=
cleanup() {
    [ -n "$program_pid" ] && kill -KILL -- "-$program_pid" 2>/dev/null || true
    stop_started
    rm -rf "$KORVALE_E2E_DIR"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR=$KORVALE_E2E_DIR/runtime HOME=$KORVALE_E2E_DIR
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

# utime + stime of a process, all threads, in clock ticks.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

start_display 1920x1080
start_pulse
setsid "$program" >"$KORVALE_E2E_DIR/program.log" 2>&1 &
program_pid=$!
window_id=$(find_window "$korvale_title_regex" 30) || true
[ -n "$window_id" ] || fail "no window (log: $(cat "$KORVALE_E2E_DIR/program.log"))"
client_geometry "$window_id"
sleep 5  # start-up done, the sound server's clock settled
client_geometry "$window_id"
echo "client area ${client_width}x${client_height} on a 1920x1080 screen"

xvfb_pid=$(cat "$KORVALE_E2E_DIR/xvfb.pid")
hz=$(getconf CLK_TCK)
start_program=$(cpu_ticks "$program_pid")
start_xvfb=$(cpu_ticks "$xvfb_pid")
start_time=$(date +%s.%N)
latencies=()
for ((i = 0; i < seconds; i++)); do
    sleep 1
    # What the sound server holds of the program's sound, not yet heard:
    # its buffer and the sink's own latency, in microseconds.
    latency=$(pactl list sink-inputs | awk '/Buffer Latency:/ {b = $3} /Sink Latency:/ {s = $3} END {print b + s}')
    latencies+=("$latency")
done
end_time=$(date +%s.%N)
end_program=$(cpu_ticks "$program_pid")
end_xvfb=$(cpu_ticks "$xvfb_pid")
rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$program_pid/status")
peak=$(awk '/^VmHWM:/ {print $2}' "/proc/$program_pid/status")

awk -v p0="$start_program" -v p1="$end_program" -v x0="$start_xvfb" -v x1="$end_xvfb" -v hz="$hz" \
    -v t0="$start_time" -v t1="$end_time" -v rss="$rss" -v peak="$peak" 'BEGIN {
    t = t1 - t0
    printf "CPU over %.1f s: korvale %.1f %% of one core (the X server drawing its window: %.1f %%)\n",
           t, 100 * (p1 - p0) / hz / t, 100 * (x1 - x0) / hz / t
    printf "resident memory: %.1f MB now, %.1f MB at most\n", rss / 1024, peak / 1024
}'
printf '%s\n' "${latencies[@]}" | awk '{sum += $1; if (NR == 1 || $1 < min) min = $1; if ($1 > max) max = $1}
END {
    tick = 2 * 1000 / 70.08630289532294  # ms
    printf "sound taken by the device but not yet heard: %.1f ms on average (%.1f to %.1f) = %.2f video ticks\n",
           sum / NR / 1000, min / 1000, max / 1000, sum / NR / 1000 / tick
}'
xdotool windowfocus --sync "$window_id" key Escape
for ((i = 0; i < 100; i++)); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
done
