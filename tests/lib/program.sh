# Shell helpers for runs of the real program under Xvfb (soak, benchmarks, end-to-end cases).
# Source tests/lib/common.sh first; processes started here go into PIDS like the others.

# Starts a sound server of the caller's own in folder $1, with a default source at 11025 Hz mono u8
# that the ALSA device "pulse" reads in real time: PulseAudio where installed, PipeWire otherwise.
start_sound_server() {
    local dir=$1
    mkdir -p "$dir"
    chmod 700 "$dir"
    export XDG_RUNTIME_DIR=$dir
    unset PULSE_SERVER PIPEWIRE_REMOTE
    if command -v pulseaudio >/dev/null; then
        HOME=$dir pulseaudio --daemonize=no --exit-idle-time=-1 -n --use-pid-file=no --disable-shm=yes \
            --log-level=error --load=module-native-protocol-unix \
            --load="module-null-source source_name=nullsrc rate=11025 format=u8 channels=1" \
            >"$dir/sound-server.log" 2>&1 &
        PIDS+=($!)
        wait_for 30 pactl info >/dev/null 2>&1 || fail "the private PulseAudio did not start"
        pactl set-default-source nullsrc
    else
        local bus
        bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1)
        export DBUS_SESSION_BUS_ADDRESS=${bus%%$'\n'*}
        PIDS+=("${bus##*$'\n'}")
        HOME=$dir pipewire >"$dir/sound-server.log" 2>&1 &
        PIDS+=($!)
        HOME=$dir wireplumber >>"$dir/sound-server.log" 2>&1 &
        PIDS+=($!)
        HOME=$dir pipewire-pulse >>"$dir/sound-server.log" 2>&1 &
        PIDS+=($!)
        wait_for 30 pactl info >/dev/null 2>&1 || fail "the private PipeWire did not start"
        pactl load-module module-null-sink sink_name=fake rate=11025 channels=1 channel_map=mono format=u8 >/dev/null
        pactl set-default-source fake.monitor
    fi
}

# Writes an ALSA configuration $1 whose default capture device plays the raw file $2 (11025 Hz u8
# mono), paced in real time by the sound server when $3 is "paced", as fast as read otherwise.
alsa_file_device() {
    local slave=null
    [ "${3:-}" = paced ] && slave=pulse
    cat > "$1" <<EOF
pcm.!default { type file slave.pcm { type $slave } file "/dev/null" infile "$2" format "raw" }
EOF
}

# Writes the mode file $1 in which each "G:J" that follows lights output BG while level bar J is
# above 50; every other output is active but follows nothing.
write_mode() {
    local file=$1; shift
    local g i v pair
    declare -A wanted=()
    for pair in "$@"; do wanted[${pair%%:*}:$(( ${pair##*:} * 4 + 2 ))]=1; done
    {
        for g in 0 1 2 3 4 5 6 7; do
            printf '#FALSE#,#TRUE#\r\n'
            for i in $(seq 0 39); do
                v=0
                if [ -n "${wanted[$g:$i]:-}" ]; then v=2; fi
                if [ -n "${wanted[$g:$((i - 1))]:-}" ]; then v=50; fi
                printf '%s,' "$v"
            done
        done
    } > "$file"
}

# A raw sound file $1 of $2 seconds in which the level swaps between silence and full every $3 ms.
write_steps() {
    python3 - "$@" <<'EOF'
import sys
path, seconds, period = sys.argv[1], float(sys.argv[2]), int(sys.argv[3])
half = 11025 * period // 1000
with open(path, "wb") as f:
    n, loud = 0, False
    while n < seconds * 11025:
        f.write((b"\xe4" if loud else b"\x80") * half)
        n += half
        loud = not loud
EOF
}

# Prints the id of the visible window titled exactly $1 once it is shown at the centre of the
# screen, where the program puts its windows: a click sent before then can land where the window
# no longer is. Windows are looked up afresh each time, as one found earlier may be gone.
centred_window() {
    local w WINDOW X Y WIDTH HEIGHT SCREEN sw sh
    read -r sw sh < <(xdotool getdisplaygeometry)
    for w in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
        WINDOW='' X=0 Y=0 WIDTH='' HEIGHT=0 SCREEN=0
        eval "$(xdotool getwindowgeometry --shell "$w" 2>/dev/null)"
        [ -n "$WIDTH" ] || continue
        if (( (sw - WIDTH) / 2 - X >= -1 && (sw - WIDTH) / 2 - X <= 1 &&
              (sh - HEIGHT) / 2 - Y >= -1 && (sh - HEIGHT) / 2 - Y <= 1 )); then
            echo "$w"
            return 0
        fi
    done
    return 1
}

# Clicks (with $6 = 2, double-clicks) in the window titled $1 at the centre of the control whose
# place in twips, relative to the window, is left $2, top $3, width $4 and height $5. The window is
# raised first, as a person brings a window to the front before clicking in it.
click_twips() {
    local title=$1 left=$2 top=$3 width=$4 height=$5 count=${6:-1} w
    wait_for 30 centred_window "$title" >/dev/null || fail "window '$title' not shown centred"
    w=$(centred_window "$title")
    xdotool windowraise "$w" mousemove --window "$w" $(( (left + width / 2) / 15 )) \
        $(( (top + height / 2) / 15 )) click --repeat "$count" --delay 80 1
}

# True once process $1 has ended (a child that has ended stays a zombie until waited for).
exited() { local s; s=$(ps -o stat= -p "$1" 2>/dev/null || true); [ -z "$s" ] || [[ "$s" == Z* ]]; }

# Resident memory of process $1 in kB.
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }

# Makes the run's own folder T, removed at the end with every process listed in PIDS, and copies
# the program $1 into T/prog (where its Config.ini goes) beside an empty mode folder T/modes.
# The port stand-in's device is a file of this run, so that the program's lock on it does not
# meet the lock of a program of another run.
start_program_folder() {
    T=$(mktemp -d)
    PIDS=()
    trap 'for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$T"' EXIT
    mkdir -p "$T/prog" "$T/modes"
    cp "$1" "$T/prog/korvalen"
    export KORVALEN_FAKE_PARPORT_BACKING="$T/parport"
}
