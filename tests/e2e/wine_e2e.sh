#!/bin/bash
# End-to-end test of the Windows program: the x86_64 build runs under wine64
# in a virtual display with a window manager and a private sound server with
# a null sink; the i686 build (32-bit programs cannot run here) has its
# executable headers checked.
#   wine_e2e.sh X86_64_EXE [I686_EXE]
# Exit 0: passed, 77: skipped (tools missing), anything else: failed.
# KORVALE_E2E_KEEP=1 keeps the temporary folder (screenshots, recordings, logs).
set -euo pipefail

# fail, step, recorded_rms and the title come from the shared helpers.
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
title=$korvale_title
title_regex=$korvale_title_regex
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

# ---------------------------------------------------------------------------
# Inside the virtual display (xvfb-run starts this script again with
# KORVALE_E2E_INNER=1: it runs commands with /bin/sh, which would drop any
# function passed in).
inner() {
    local exe=$1 dir=$KORVALE_E2E_DIR
    export WINEPREFIX=$dir/wine WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
    export XDG_CACHE_HOME=$dir/cache XDG_CONFIG_HOME=$dir/config XDG_DATA_HOME=$dir/data

    step "window manager"
    openbox >"$dir/openbox.log" 2>&1 &
    echo $! >"$dir/openbox.pid"

    step "sound server with a null sink"
    mkdir -p "$dir/pulse"
    export PULSE_RUNTIME_PATH=$dir/pulse PULSE_SERVER=unix:$dir/pulse/native
    timeout 20 pulseaudio -n --daemonize=yes --exit-idle-time=-1 --use-pid-file=yes \
        --load="module-null-sink sink_name=e2e rate=48000 channels=2" \
        --load="module-native-protocol-unix socket=$dir/pulse/native auth-anonymous=1" \
        || fail "pulseaudio did not start"
    cp "$dir/pulse/pid" "$dir/pulseaudio.pid"

    step "wine prefix"
    timeout 90 "$wine" wineboot -i >"$dir/wineboot.log" 2>&1 || fail "wineboot failed"
    timeout 60 "$wineserver" -w || fail "wineserver did not settle after wineboot"

    run_playing_and_escape "$exe"
    run_close_box "$exe"
    run_alt_f4 "$exe"
    run_without_audio "$exe"

    timeout 30 "$wineserver" -w || true
    echo "PASS"
}

# Starts the program in the background; its pid in $program_pid.
start_program() {
    "$wine" "$1" >"$KORVALE_E2E_DIR/program.log" 2>&1 &
    program_pid=$!
}

# Waits for the program to end; its exit code in $program_exit.
wait_program() {
    local seconds=$1 waited=0
    while kill -0 "$program_pid" 2>/dev/null; do
        if [ "$waited" -ge "$((seconds * 10))" ]; then
            kill "$program_pid" 2>/dev/null || true
            fail "the program did not end within $seconds s"
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    program_exit=0
    wait "$program_pid" || program_exit=$?
}

find_main_window() {
    window_id=$(timeout 60 xdotool search --sync --onlyvisible --name "$title_regex" | sed -n 1p) \
        || fail "no visible window titled '$title' within 60 s"
    [ "$(xdotool getwindowname "$window_id")" = "$title" ] || fail "window title is '$(xdotool getwindowname "$window_id")'"
}

# The icon the window manager shows is ours (resource 101): transparent
# corners, the letter's white stem left of the middle, on a dark sky.
check_icon() {
    local values
    values=$(timeout 10 xprop -notype -id "$window_id" -f _NET_WM_ICON 32c _NET_WM_ICON | sed 's/^[^=]*= *//; s/,/ /g')
    [ -n "$values" ] || fail "the window has no icon"
    # The first icon of the property: width, height, then ARGB pixels.
    set -- $values
    local width=$1 height=$2
    shift 2
    [ "$width" -ge 16 ] && [ "$width" = "$height" ] || fail "icon of ${width}x${height}"
    pixel() { local i=$(($2 * width + $1 + 1)); eval "echo \${$i}"; }
    local corner stem sky
    corner=$(pixel 0 0 "$@")
    stem=$(pixel $((width * 22 / 64)) $((height / 2)) "$@")
    sky=$(pixel $((width * 10 / 64)) $((height * 56 / 64)) "$@")
    echo "icon ${width}x${height}: corner $(printf '%08x' "$corner") stem $(printf '%08x' "$stem") sky $(printf '%08x' "$sky")"
    [ $(((corner >> 24) & 255)) -eq 0 ] || fail "icon corner is not transparent"
    [ $(((stem >> 24) & 255)) -eq 255 ] && [ $(((stem >> 16) & 255)) -ge 200 ] && [ $((stem & 255)) -ge 200 ] \
        || fail "icon has no white letter where ours has it"
    [ $(((sky >> 16) & 255)) -lt 64 ] && [ $((sky & 255)) -gt $(((sky >> 16) & 255)) ] \
        || fail "icon has no dark blue sky where ours has it"
}

# The frame fills the largest centred 4:3 rectangle of the client area; the
# rest is black.
check_picture() {
    local shot=$1 width height
    read -r width height < <(identify -format '%w %h\n' "$shot")
    local q=$((3 * width / 4)) target_width target_height
    if [ "$q" -gt "$height" ]; then
        target_width=$((4 * height / 3)) target_height=$height
    else
        target_width=$width target_height=$q
    fi
    local x=$(((width - target_width) / 2)) y=$(((height - target_height) / 2))
    # Bounding box of every pixel that is not pure black.
    local box box_width box_height box_x box_y
    box=$(convert "$shot" -format '%@' info:)
    IFS='x+' read -r box_width box_height box_x box_y <<<"$box"
    echo "client ${width}x${height}: expected picture ${target_width}x${target_height}+$x+$y, drawn $box"
    [ "$box_x" -ge "$x" ] && [ "$box_y" -ge "$y" ] \
        && [ $((box_x + box_width)) -le $((x + target_width)) ] \
        && [ $((box_y + box_height)) -le $((y + target_height)) ] \
        || fail "drawing outside the 4:3 picture: $box"
    [ $((box_width * 10)) -ge $((target_width * 9)) ] && [ $((box_height * 10)) -ge $((target_height * 9)) ] \
        || fail "the picture does not fill its 4:3 rectangle: $box"
}

run_playing_and_escape() {
    local dir=$KORVALE_E2E_DIR
    step "start: window titled exactly, maximised, with our icon"
    start_program "$1"
    find_main_window
    local state
    state=$(timeout 10 xprop -id "$window_id" _NET_WM_STATE)
    grep -q _NET_WM_STATE_MAXIMIZED_VERT <<<"$state" && grep -q _NET_WM_STATE_MAXIMIZED_HORZ <<<"$state" \
        || fail "window not maximised: $state"
    check_icon

    # The sound server's clock is slow for the first second or two.
    sleep 3

    step "sound plays"
    local rms
    rms=$(recorded_rms 2)
    echo "RMS $rms"
    awk -v r="$rms" 'BEGIN { exit !(r > 0.001) }' || fail "no sound on the sink (RMS $rms)"

    step "picture at 4:3"
    timeout 20 import -window "$window_id" "$dir/client.png" || fail "no screenshot"
    check_picture "$dir/client.png"

    step "M mutes"
    xdotool windowfocus --sync "$window_id"
    xdotool key m
    # What was queued before the key (about 0.2 s) plays out first.
    sleep 1
    rms=$(recorded_rms 2)
    echo "RMS $rms"
    awk -v r="$rms" 'BEGIN { exit !(r == 0) }' || fail "sound after M (RMS $rms)"

    step "M again unmutes"
    xdotool key m
    sleep 1
    rms=$(recorded_rms 2)
    echo "RMS $rms"
    awk -v r="$rms" 'BEGIN { exit !(r > 0.001) }' || fail "no sound after the second M (RMS $rms)"

    step "Esc ends with exit code 0"
    xdotool key Escape
    wait_program 20
    [ "$program_exit" -eq 0 ] || fail "exit code $program_exit after Esc"
}

run_close_box() {
    step "close box ends with exit code 0"
    start_program "$1"
    find_main_window
    sleep 1
    # Maximised, the frame's close button is the last one at the top right
    # of the screen.
    local screen_width screen_height
    read -r screen_width screen_height < <(xdotool getdisplaygeometry)
    xdotool mousemove $((screen_width - 8)) 8 click 1
    wait_program 20
    [ "$program_exit" -eq 0 ] || fail "exit code $program_exit after the close box"
}

run_alt_f4() {
    step "Alt+F4 ends with exit code 0"
    start_program "$1"
    find_main_window
    sleep 1
    xdotool windowfocus --sync "$window_id"
    xdotool key alt+F4
    wait_program 20
    [ "$program_exit" -eq 0 ] || fail "exit code $program_exit after Alt+F4"
}

run_without_audio() {
    step "no sound server: message box, no main window, exit code 1"
    # No server at the socket, and no other sound system for Wine to fall
    # back to, even on a machine with a sound card.
    PULSE_SERVER=unix:$KORVALE_E2E_DIR/no-such-socket \
        WINEDLLOVERRIDES="mscoree,mshtml,winealsa.drv,wineoss.drv=" start_program "$1"
    local box
    box=$(timeout 60 xdotool search --sync --onlyvisible --name '^Korvale$' | sed -n 1p) \
        || fail "no message box captioned 'Korvale' within 60 s"
    if xdotool search --onlyvisible --name "$title_regex" >/dev/null; then
        fail "the main window is shown although the sound could not start"
    fi
    timeout 20 import -window "$box" "$KORVALE_E2E_DIR/box.png" || true
    xdotool windowfocus --sync "$box"
    xdotool key Return
    wait_program 20
    [ "$program_exit" -eq 1 ] || fail "exit code $program_exit after the audio failure box"
}

if [ "${KORVALE_E2E_INNER:-}" = 1 ]; then
    inner "$@"
    exit 0
fi

# ---------------------------------------------------------------------------
# Outside: tools, the i686 headers, then the virtual display.
[ $# -ge 1 ] || { echo "usage: $0 X86_64_EXE [I686_EXE]" >&2; exit 2; }
x64_exe=$(realpath "$1")
i686_exe=${2:+$(realpath "$2")}

for tool in "$wine" "$wineserver" xvfb-run openbox pulseaudio parec sox xdotool xprop import convert identify \
    x86_64-w64-mingw32-objdump; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
[ -f "$x64_exe" ] || fail "$x64_exe does not exist"

# The executable headers: machine, GUI subsystem, and imports from Windows
# itself only (a compiler run-time DLL would be missing on a bare system).
check_executable() {
    local exe=$1 objdump=$2 format=$3 headers dll
    step "executable headers of $(basename "$(dirname "$exe")")/$(basename "$exe")"
    headers=$("$objdump" -p "$exe") || fail "$objdump cannot read $exe"
    grep -q "file format $format" <<<"$headers" || fail "$exe is not $format"
    grep -q "^architecture: $4" <<<"$("$objdump" -f "$exe")" || fail "$exe is not for $4"
    grep -Eq '^Subsystem[[:space:]]+00000002' <<<"$headers" || fail "$exe is not a Windows GUI program"
    for dll in $(echo "$headers" | awk '/DLL Name:/ { print tolower($3) }'); do
        echo "imports $dll"
        case $dll in
        kernel32.dll | user32.dll | gdi32.dll | winmm.dll | msvcrt.dll | advapi32.dll) ;;
        *) fail "$exe imports $dll, which is not part of Windows" ;;
        esac
    done
}

check_executable "$x64_exe" x86_64-w64-mingw32-objdump pei-x86-64 i386:x86-64
if [ -n "$i686_exe" ]; then
    command -v i686-w64-mingw32-objdump >/dev/null || { echo "SKIP: i686-w64-mingw32-objdump is not installed"; exit 77; }
    [ -f "$i686_exe" ] || fail "$i686_exe does not exist"
    check_executable "$i686_exe" i686-w64-mingw32-objdump pei-i386 'i386,'
fi

KORVALE_E2E_DIR=$(mktemp -d "${TMPDIR:-/tmp}/korvale-wine-e2e.XXXXXX")
export KORVALE_E2E_DIR
cleanup() {
    local status=$? pidfile log
    WINEPREFIX=$KORVALE_E2E_DIR/wine timeout 10 "$wineserver" -k 2>/dev/null || true
    for pidfile in "$KORVALE_E2E_DIR"/pulseaudio.pid "$KORVALE_E2E_DIR"/openbox.pid; do
        [ -f "$pidfile" ] && kill "$(cat "$pidfile")" 2>/dev/null || true
    done
    if [ "$status" -ne 0 ]; then
        for log in wineboot.log program.log openbox.log; do
            [ -s "$KORVALE_E2E_DIR/$log" ] && { echo "=== last lines of $log"; tail -n 20 "$KORVALE_E2E_DIR/$log"; }
        done
    fi
    if [ "${KORVALE_E2E_KEEP:-}" = 1 ]; then
        echo "kept $KORVALE_E2E_DIR"
    else
        rm -rf "$KORVALE_E2E_DIR"
    fi
}
trap cleanup EXIT

KORVALE_E2E_INNER=1 timeout 200 xvfb-run -a -s '-screen 0 1280x1024x24' "$0" "$x64_exe"
