# Helpers for the end-to-end scripts: a private virtual display with a window
# manager, a private sound server with a null sink, recording what it plays,
# finding windows and ending what was started. Source it from bash; it uses
# KORVALE_E2E_DIR (a fresh directory the caller made) for every file.

korvale_title='Korvale by Glimmerwake | M mute | Esc exit'
korvale_title_regex='^Korvale by Glimmerwake \| M mute \| Esc exit$'

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

step() { echo "--- $*"; }

# Exits with 77 (skipped) naming the first of the given commands that is
# missing.
require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
    done
}

# Starts Xvfb of WIDTHxHEIGHT on a free display number and openbox on it;
# exports DISPLAY. Pids go into the directory for stop_started.
start_display() {
    local size=$1 dir=$KORVALE_E2E_DIR waited=0
    : >"$dir/display"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
    echo $! >"$dir/xvfb.pid"
    while [ ! -s "$dir/display" ]; do
        [ "$waited" -lt 200 ] || fail "Xvfb did not start within 20 s (see $dir/xvfb.log)"
        sleep 0.1
        waited=$((waited + 1))
    done
    export DISPLAY=":$(head -n 1 "$dir/display")"
    unset WAYLAND_DISPLAY
    openbox >"$dir/openbox.log" 2>&1 &
    echo $! >"$dir/openbox.pid"
    # openbox is ready once it has claimed the screen.
    waited=0
    until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
        [ "$waited" -lt 200 ] || fail "openbox did not start within 20 s (see $dir/openbox.log)"
        sleep 0.1
        waited=$((waited + 1))
    done
}

# Starts a private PulseAudio with a null sink named e2e and points every
# client started later at it (SDL too: only its PulseAudio driver is tried).
start_pulse() {
    local dir=$KORVALE_E2E_DIR
    mkdir -p "$dir/pulse"
    export PULSE_RUNTIME_PATH=$dir/pulse PULSE_SERVER=unix:$dir/pulse/native PULSE_STATE_PATH=$dir/pulse
    export SDL_AUDIODRIVER=pulseaudio
    timeout 20 pulseaudio -n --daemonize=yes --exit-idle-time=-1 --use-pid-file=yes --log-target=stderr \
        --load="module-null-sink sink_name=e2e rate=48000 channels=2" \
        --load="module-native-protocol-unix socket=$dir/pulse/native auth-anonymous=1" \
        >"$dir/pulse.log" 2>&1 || fail "pulseaudio did not start (see $dir/pulse.log)"
    cp "$dir/pulse/pid" "$dir/pulseaudio.pid"
}

# Ends what start_display and start_pulse started, by pid.
stop_started() {
    local name pidfile
    for name in pulseaudio openbox xvfb; do
        pidfile=$KORVALE_E2E_DIR/$name.pid
        [ -f "$pidfile" ] && kill "$(cat "$pidfile")" 2>/dev/null || true
    done
}

# The first visible window whose name matches REGEX, within SECONDS.
find_window() {
    timeout "$2" xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1
}

# A window titled exactly TITLE, within SECONDS, found through the window
# tree: xdotool's name search misses windows that carry no class, such as
# SDL's message boxes.
find_titled_window() {
    local waited=0 id
    while [ "$waited" -lt "$(($2 * 10))" ]; do
        id=$(xwininfo -root -tree 2>/dev/null | awk -v t="\"$1\":" '$2 == t {print $1; exit}')
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    return 1
}

# RMS amplitude of what the null sink plays over SECONDS.
recorded_rms() {
    local raw=$KORVALE_E2E_DIR/sound.raw
    timeout "$1" parec -d e2e.monitor --rate=48000 --channels=2 --format=s16le --raw >"$raw" || true
    [ -s "$raw" ] || fail "nothing recorded from the null sink"
    sox -t raw -r 48000 -e signed -b 16 -c 2 "$raw" -n stat 2>&1 | awk '/^RMS +amplitude/ {print $3}'
}

# Client area of a window on the screen: sets client_x, client_y,
# client_width, client_height.
client_geometry() {
    local info
    info=$(timeout 10 xwininfo -id "$1") || fail "xwininfo failed for window $1"
    client_x=$(echo "$info" | awk '/Absolute upper-left X/ {print $4}')
    client_y=$(echo "$info" | awk '/Absolute upper-left Y/ {print $4}')
    client_width=$(echo "$info" | awk '/^ *Width:/ {print $2}')
    client_height=$(echo "$info" | awk '/^ *Height:/ {print $2}')
}
