#!/bin/bash
# End-to-end test of the native program: korvale in a private virtual display
# with a window manager and a private sound server with a null sink. Checks
# the window, the picture, the scroller, the sound and mute, the ways out,
# and the failures without a sound server and without a display.
#   sdl_e2e.sh KORVALE
# Exit 0: passed, 77: skipped (tools missing), anything else: failed.
set -euo pipefail
here=$(dirname "$(realpath "$0")")
. "$here/lib.sh"

[ $# -eq 1 ] || { echo "usage: $0 KORVALE" >&2; exit 2; }
program=$(realpath "$1")
[ -x "$program" ] || fail "$program is not an executable"
require_tools Xvfb openbox xdotool xprop xwininfo import convert compare pulseaudio parec sox timeout

KORVALE_E2E_DIR=$(mktemp -d "${TMPDIR:-/tmp}/korvale-sdl-e2e.XXXXXX")
export KORVALE_E2E_DIR
program_pid=
cleanup() {
    # The whole process group: SDL's message box runs in a child process.
    [ -n "$program_pid" ] && kill -KILL -- "-$program_pid" 2>/dev/null || true
    stop_started
    if [ "${KORVALE_E2E_KEEP:-}" = 1 ]; then
        echo "kept $KORVALE_E2E_DIR"
    else
        rm -rf "$KORVALE_E2E_DIR"
    fi
}
trap cleanup EXIT
# Keep the test off any desktop session of the caller.
export XDG_RUNTIME_DIR=$KORVALE_E2E_DIR/runtime XDG_CONFIG_HOME=$KORVALE_E2E_DIR/config HOME=$KORVALE_E2E_DIR
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
log=$KORVALE_E2E_DIR/program.log

# In a session of its own, so that cleanup can end all of it.
start_program() {
    setsid "$program" >"$log" 2>&1 &
    program_pid=$!
}

# Waits up to SECONDS for the program to end; its exit code in program_exit.
wait_program() {
    local waited=0
    while kill -0 "$program_pid" 2>/dev/null; do
        if [ "$waited" -ge "$(($1 * 10))" ]; then
            fail "the program did not end within $1 s"
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    program_exit=0
    wait "$program_pid" || program_exit=$?
    program_pid=
}

find_main_window() {
    window_id=$(find_window "$korvale_title_regex" 30) || true
    [ -n "$window_id" ] || fail "no visible window titled '$korvale_title' within 30 s (log: $(cat "$log"))"
    [ "$(xdotool getwindowname "$window_id")" = "$korvale_title" ] \
        || fail "window title is '$(xdotool getwindowname "$window_id")'"
}

# Screenshot of the client area into FILE.
shoot_client() {
    timeout 20 import -window root -crop "${client_width}x${client_height}+${client_x}+${client_y}" +repage "$1" \
        || fail "no screenshot"
}

# The picture fills the largest centred 4:3 rectangle of the client area,
# and everything around it is black.
check_picture() {
    local shot=$1 q=$((3 * client_width / 4)) target_width target_height
    if [ "$q" -gt "$client_height" ]; then
        target_width=$((4 * client_height / 3)) target_height=$client_height
    else
        target_width=$client_width target_height=$q
    fi
    picture_x=$(((client_width - target_width) / 2)) picture_y=$(((client_height - target_height) / 2))
    picture_width=$target_width picture_height=$target_height
    # Bounding box of every pixel that is not pure black.
    local box box_width box_height box_x box_y
    box=$(convert "$shot" -format '%@' info:)
    IFS='x+' read -r box_width box_height box_x box_y <<<"$box"
    echo "client ${client_width}x${client_height}: picture expected ${target_width}x${target_height}+$picture_x+$picture_y, drawn $box"
    [ "$box_x" -ge "$picture_x" ] && [ "$box_y" -ge "$picture_y" ] \
        && [ $((box_x + box_width)) -le $((picture_x + target_width)) ] \
        && [ $((box_y + box_height)) -le $((picture_y + target_height)) ] \
        || fail "drawing outside the centred 4:3 picture: $box"
    [ $((box_width * 10)) -ge $((target_width * 9)) ] && [ $((box_height * 10)) -ge $((target_height * 9)) ] \
        || fail "the picture does not fill its 4:3 rectangle: $box"
    [ "$picture_x" -gt 0 ] || [ "$picture_y" -gt 0 ] || fail "a maximised window should show black bars"
}

expect_sound() {
    local rms
    rms=$(recorded_rms 2)
    echo "RMS $rms"
    awk -v r="$rms" 'BEGIN { exit !(r > 0.001) }' || fail "$1 (RMS $rms)"
}

expect_silence() {
    local rms
    rms=$(recorded_rms 2)
    echo "RMS $rms"
    awk -v r="$rms" 'BEGIN { exit !(r == 0) }' || fail "$1 (RMS $rms)"
}

step "no display: a clear message naming korvale-capture, exit code 1"
program_exit=0
env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$program" >"$log" 2>&1 || program_exit=$?
[ "$program_exit" -eq 1 ] || fail "exit code $program_exit without a display"
grep -q 'korvale-capture' "$log" || fail "no mention of korvale-capture without a display: $(cat "$log")"

step "virtual display 1920x1080 with a window manager, sound server with a null sink"
start_display 1920x1080
start_pulse
read -r screen_width screen_height < <(xdotool getdisplaygeometry)

step "start: window titled exactly, maximised over the screen"
start_program
find_main_window
waited=0
until xprop -id "$window_id" _NET_WM_STATE | grep -q _NET_WM_STATE_MAXIMIZED_HORZ; do
    [ "$waited" -lt 100 ] || fail "window not maximised: $(xprop -id "$window_id" _NET_WM_STATE)"
    sleep 0.1
    waited=$((waited + 1))
done
xprop -id "$window_id" _NET_WM_STATE | grep -q _NET_WM_STATE_MAXIMIZED_VERT || fail "not maximised vertically"
sleep 0.5  # the program repaints at the size the window manager gave it
client_geometry "$window_id"
echo "screen ${screen_width}x${screen_height}, client ${client_width}x${client_height}+${client_x}+${client_y}"
[ "$client_x" -eq 0 ] && [ "$client_width" -eq "$screen_width" ] \
    && [ $((client_y + client_height)) -eq "$screen_height" ] && [ "$client_y" -lt 60 ] \
    || fail "the window does not fill the screen below its title bar"

step "picture centred at 4:3 with black bars"
shoot_client "$KORVALE_E2E_DIR/first.png"
check_picture "$KORVALE_E2E_DIR/first.png"

step "the scroller moves"
sleep 3
shoot_client "$KORVALE_E2E_DIR/later.png"
# The band the text rides in: the middle of the picture.
band="${picture_width}x$((picture_height * 2 / 5))+${picture_x}+$((picture_y + picture_height * 3 / 10))"
changed=$(compare -metric AE "$KORVALE_E2E_DIR/first.png[$band]" "$KORVALE_E2E_DIR/later.png[$band]" null: 2>&1 || true)
echo "pixels changed in the scroller band over 3 s: $changed"
[ "${changed%%.*}" -gt $((picture_width * picture_height / 100)) ] 2>/dev/null \
    || fail "the scroller band did not change over 3 s ($changed pixels)"

step "sound plays"
expect_sound "no sound on the sink"

step "M mutes"
xdotool windowfocus --sync "$window_id"
xdotool key m
# What was queued before the key (about 0.2 s) plays out first.
sleep 1
expect_silence "sound after M"

step "Shift+M unmutes"
xdotool key shift+m
sleep 1
expect_sound "no sound after the second M"

step "Esc ends with exit code 0"
xdotool key Escape
wait_program 20
[ "$program_exit" -eq 0 ] || fail "exit code $program_exit after Esc (log: $(cat "$log"))"

step "close box ends with exit code 0"
start_program
find_main_window
sleep 1
client_geometry "$window_id"
# Maximised, the frame's close button is the last one at the right end of
# the title bar, above the client area.
xdotool mousemove $((screen_width - 8)) $((client_y / 2)) click 1
wait_program 20
[ "$program_exit" -eq 0 ] || fail "exit code $program_exit after the close box (log: $(cat "$log"))"

step "no sound server: the message, no main window, exit code 1"
PULSE_SERVER=unix:$KORVALE_E2E_DIR/no-such-socket start_program
box=$(find_titled_window Korvale 30) || true
[ -n "$box" ] || fail "no message box captioned 'Korvale' within 30 s (log: $(cat "$log"))"
if xdotool search --onlyvisible --name "$korvale_title_regex" >/dev/null; then
    fail "the main window is shown although the sound could not start"
fi
grep -qF 'Could not start 48 kHz stereo audio output.' "$log" || fail "message not reported: $(cat "$log")"
xdotool windowfocus --sync "$box"
xdotool key Return
wait_program 20
[ "$program_exit" -eq 1 ] || fail "exit code $program_exit after the audio failure"

echo "PASS"
