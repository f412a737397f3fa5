# Shell helpers for runs of the real program under Xvfb (soak, benchmarks, end-to-end cases).
# Source tests/lib/common.sh first; processes started here go into PIDS like the others.

# The runs find windows and buttons by their French titles and captions: the program speaks French
# whatever language the desktop of the machine running the tests is in.
export LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES

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
        SOUND_SERVER_PID=$!   # the process to freeze to stall the server
        wait_for 30 pactl info >/dev/null 2>&1 || fail "the private PulseAudio did not start"
        pactl set-default-source nullsrc
    else
        local bus
        bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1)
        export DBUS_SESSION_BUS_ADDRESS=${bus%%$'\n'*}
        PIDS+=("${bus##*$'\n'}")
        HOME=$dir pipewire >"$dir/sound-server.log" 2>&1 &
        PIDS+=($!)
        SOUND_SERVER_PID=$!
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

# Writes the mode file $1 in which each "G:J" that follows sets record SortieB(G) to light while
# level bar J is above 50 ("G:J:S": above S; "aG:J:S": record SortieA(G)); every other output is
# active but follows nothing.
write_mode() {
    local file=$1; shift
    local g i v pair bar field
    declare -A wanted=()
    for pair in "$@"; do
        IFS=: read -r g bar v <<< "$pair"
        field=$(( bar * 4 + 2 ))
        [ "${g#a}" != "$g" ] && field=$(( bar * 4 ))
        wanted[${g#a}:$field]=${v:-50}
    done
    {
        for g in 0 1 2 3 4 5 6 7; do
            printf '#FALSE#,#TRUE#\r\n'
            for i in $(seq 0 39); do
                v=0
                if [ -n "${wanted[$g:$i]:-}" ]; then v=2; fi
                if [ -n "${wanted[$g:$((i - 1))]:-}" ]; then v=${wanted[$g:$((i - 1))]}; fi
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

# Prints the id of the visible window titled exactly $1 (other than window $2, if given) once it is
# shown at the centre of the screen, where the program puts its windows: a click sent before then
# can land where the window no longer is. Windows are looked up afresh each time, as one found
# earlier may be gone.
centred_window() {
    local w WINDOW X Y WIDTH HEIGHT SCREEN sw sh
    read -r sw sh < <(xdotool getdisplaygeometry)
    for w in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
        [ "$w" != "${2:-}" ] || continue
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
# place in twips, relative to the window, is left $2, top $3, width $4 and height $5; $7 names another
# mouse button (5 turns the wheel down a notch per click). The window is raised first, as a person
# brings a window to the front before clicking in it.
click_twips() {
    local title=$1 left=$2 top=$3 width=$4 height=$5 count=${6:-1} button=${7:-1} w
    wait_for 30 centred_window "$title" >/dev/null || fail "window '$title' not shown centred"
    w=$(centred_window "$title")
    xdotool windowraise "$w" mousemove --window "$w" $(( (left + width / 2) / 15 )) \
        $(( (top + height / 2) / 15 )) click --repeat "$count" --delay 80 "$button"
}

# True once process $1 has ended (a child that has ended stays a zombie until waited for).
exited() { local s; s=$(ps -o stat= -p "$1" 2>/dev/null || true); [ -z "$s" ] || [[ "$s" == Z* ]]; }

# True while process $1 holds one of the files that follow open (a capture holds its sound file).
holds_open() {
    local pid=$1 f patterns=()
    shift
    for f in "$@"; do patterns+=(-e "$f"); done
    ls -l "/proc/$pid/fd" 2>/dev/null | grep -qF "${patterns[@]}"
}

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

# The visible window titled $1 (the first one found).
window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1; }

# Prints "x y" of the centre of each push button on the bottom row of window $1, left to right:
# the runs of the middle button row whose colour is not the box's background. Prints nothing
# until the box has been painted.
buttons_of() {
    local WIDTH HEIGHT X Y SCREEN WINDOW row
    eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)" || return 1
    row=$((HEIGHT - 23))
    import -window "$1" png:- 2>/dev/null | convert png:- -crop "${WIDTH}x1+0+$row" +repage txt:- 2>/dev/null |
        awk -v row="$row" 'BEGIN { start = -1 }
            NR == 1 { next }
            { split($1, at, ","); x = at[1] + 0 }
            NR == 2 { background = $3 }
            $3 != background { if (start < 0) start = x; last = x; next }
            start >= 0 { if (last - start > 40) print int((start + last) / 2), row; start = -1 }'
}

# Clicks button $2 (1 = leftmost) of the $3 buttons of the message box titled $1, as a person would
# with the mouse, and waits until that box has gone; prints the box's window id. A box just mapped
# can still show what lies under it, so its buttons count only once all $3 are seen, and a click
# that did not close the box is made again from a fresh look.
click_box_button() {
    local title=$1 number=$2 count=$3 box xy
    for _ in 1 2 3 4 5; do
        box="" xy=""
        wait_for 10 eval 'box=$(window "$title") && [ -n "$box" ] && xy=$(buttons_of "$box") &&
            [ "$(grep -c . <<< "$xy")" = "$count" ]' || return 1
        # shellcheck disable=SC2086
        xdotool mousemove --window "$box" $(sed -n "${number}p" <<< "$xy") click 1
        if wait_for 5 eval '! xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | grep -qx "$box"'; then
            echo "$box"
            return 0
        fi
    done
    return 1
}

# Answers "Oui" to the quit question just asked by program $1 (a child of this shell); fails unless
# the program then ends, without error and without asking again.
answer_quit_oui() {
    local app=$1 question
    question=$(click_box_button Quitter 1 2) || fail "no quit question with its buttons"
    wait_for 10 eval 'exited "$app" || { q=$(window Quitter); [ -n "$q" ] && [ "$q" != "$question" ]; }'
    exited "$app" || fail "Oui did not end the program (the question came again)"
    wait "$app" || fail "the program ended with an error"
}

# Sends window $1 what a window manager sends when its close box is clicked: a WM_DELETE_WINDOW
# message (xdotool's windowclose would destroy the window instead).
close_box() {
    /usr/bin/python3 - "$1" <<'EOF2'
import sys
from Xlib import X, display, protocol
d = display.Display()
w = d.create_resource_object("window", int(sys.argv[1]))
message = protocol.event.ClientMessage(window=w, client_type=d.intern_atom("WM_PROTOCOLS"),
                                       data=(32, [d.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0]))
w.send_event(message, event_mask=X.NoEventMask)
d.flush()
EOF2
}

# Starts a private session bus with the accessibility bus beside it, as a desktop does for a
# screen reader; programs started after it expose their controls there.
start_accessibility_bus() {
    local bus
    bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1)
    export DBUS_SESSION_BUS_ADDRESS=${bus%%$'\n'*}
    PIDS+=("${bus##*$'\n'}")
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    PIDS+=($!)
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}

# Prints "name=value" for each progress bar of application $1, read over the accessibility bus.
accessible_bars() {
    timeout 20 /usr/bin/python3 - "$1" <<'EOF2'
import sys
import pyatspi
def walk(node, depth=0):
    if node is None or depth > 15:
        return
    if node.getRoleName() == "progress bar":
        print("%s=%d" % (node.name, round(node.queryValue().currentValue)))
    for child in node:
        walk(child, depth + 1)
for app in pyatspi.Registry.getDesktop(0):
    if app is not None and app.name == sys.argv[1]:
        walk(app)
EOF2
}
