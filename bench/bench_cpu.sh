#!/usr/bin/env bash
# Processor time of the real program while it runs: Xvfb, sound from a file paced in real time
# through a private PulseAudio, lamps through the preloaded ppdev stand-in. For each refresh
# period it prints the share of one core, the split between threads and the wake-ups per second.
# Run by hand:  bash bench/bench_cpu.sh [BUILD_DIR] [SECONDS_PER_PERIOD] [PERIODS...]
set -euo pipefail
BUILD=$(cd "${1:-build}" && pwd)
SECONDS_PER_PERIOD=${2:-20}
shift $(($# > 2 ? 2 : $#))
PERIODS=("$@")
((${#PERIODS[@]})) || PERIODS=(200 46 10)
BIN="$BUILD/korvalen" SHIM="$BUILD/tests/port/libppdev_shim.so"
[ -x "$BIN" ] && [ -f "$SHIM" ] || { echo "build first: $BIN and $SHIM are needed" >&2; exit 1; }

T=$(mktemp -d)
chmod 700 "$T"
PIDS=()
cleanup() {
    local p
    for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
    [ -f "$T/pulse.pid" ] && kill "$(cat "$T/pulse.pid")" 2>/dev/null
    rm -rf "$T"
}
trap cleanup EXIT
wait_for() {
    local limit=$1; shift
    for _ in $(seq $((limit * 20))); do "$@" && return 0; sleep 0.05; done
    return 1
}

# A varying signal: a 440 Hz tone whose loudness rises and falls every 1.3 s, so the bars and lamps move.
LC_ALL=C awk -v seconds=$((SECONDS_PER_PERIOD * ${#PERIODS[@]} + 60)) 'BEGIN {
    n = seconds * 11025
    for (i = 0; i < n; i++) {
        t = i / 11025
        a = 0.5 + 0.5 * sin(6.2832 * t / 1.3)
        printf "%c", int(128 + 127 * a * sin(6.2832 * 440 * t))
    }
}' > "$T/signal.raw"

# Private PulseAudio: it paces the file device in real time.
export XDG_RUNTIME_DIR="$T" HOME="$T"
pulseaudio --daemonize=yes --exit-idle-time=-1 -n --use-pid-file=yes --disable-shm=yes --log-level=error \
    --load=module-native-protocol-unix \
    --load="module-null-source source_name=nullsrc rate=11025 format=u8 channels=1" 2>/dev/null
wait_for 10 pactl info >/dev/null 2>&1 || { echo "PulseAudio did not start" >&2; exit 1; }
cp "$T/pulse/pid" "$T/pulse.pid"
pactl set-default-source nullsrc
cat > "$T/asound.conf" <<EOF
pcm.!default { type file slave.pcm { type pulse } file "/dev/null" infile "$T/signal.raw" format "raw" }
EOF

exec 5> "$T/display"
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
PIDS+=($!)
wait_for 10 test -s "$T/display" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$T/display")"
export KORVALEN_FAKE_PARPORT=/dev/korvalen-bench-port KORVALEN_FAKE_PARPORT_BACKING="$T/parport"

# A mode in which outputs An and Bn light while bar n is above 40.
mkdir -p "$T/prog" "$T/modes"
cp "$BIN" "$T/prog/korvalen"
{
    for g in 0 1 2 3 4 5 6 7; do
        printf '#TRUE#,#TRUE#\r\n'
        for bar in 0 1 2 3 4 5 6 7 8 9; do
            if [ "$bar" = "$g" ]; then printf '2,40,2,40,'; else printf '0,0,0,0,'; fi
        done
    done
} > "$T/modes/bench.lum"

# Processor time of process $1 so far, in clock ticks, exited threads included.
process_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }
# One line per live thread: id, name, nanoseconds on a processor, voluntary switches (wake-ups).
thread_table() {
    local task
    for task in /proc/"$1"/task/*; do
        printf '%s %s %s %s\n' "${task##*/}" "$(tr ' ' '_' < "$task/comm")" "$(cut -d' ' -f1 "$task/schedstat")" \
            "$(awk '/^voluntary_ctxt_switches/ { print $2 }' "$task/status")"
    done 2>/dev/null
}

HZ=$(getconf CLK_TCK)
for period in "${PERIODS[@]}"; do
    printf '[Options]\r\nTemps_timer=%s\r\nrepertoire=%s\r\nfichierLUM=bench.lum\r\n[Port]\r\nPeripherique=%s\r\n' \
        "$period" "$T/modes" "$KORVALEN_FAKE_PARPORT" > "$T/prog/Config.ini"
    LD_PRELOAD="$SHIM" KORVALEN_FAKE_PARPORT_LOG="$T/port.log" "$T/prog/korvalen" >"$T/out.log" 2>&1 &
    APP=$!
    PIDS+=("$APP")
    wid=""
    wait_for 15 eval 'wid=$(xdotool search --onlyvisible --name "^Korvalen\$" | head -n1) && [ -n "$wid" ]' ||
        { echo "no main window" >&2; exit 1; }
    wait_for 10 grep -qs '^1 708b -1$' "$T/port.log" || { echo "the port was not claimed" >&2; exit 1; }
    # Clicks once the window stands at the centre of the screen, where the program puts it.
    wait_for 10 eval 'eval "$(xdotool getwindowgeometry --shell "$wid")"; [ "$X" -gt 0 ]'
    xdotool mousemove --window "$wid" 324 276 click 1   # "Lancement"
    lines=$(wc -l < "$T/port.log")
    wait_for 10 eval '[ "$(wc -l < "$T/port.log")" -gt $((lines + 40)) ]' || { echo "not running" >&2; exit 1; }

    before_ticks=$(process_ticks "$APP") before_threads=$(thread_table "$APP") before_writes=$(wc -l < "$T/port.log")
    start_ns=$(date +%s%N)
    sleep "$SECONDS_PER_PERIOD"
    after_ticks=$(process_ticks "$APP") after_threads=$(thread_table "$APP") after_writes=$(wc -l < "$T/port.log")
    wall_ns=$(($(date +%s%N) - start_ns))

    echo "Temps_timer=$period ms, ${SECONDS_PER_PERIOD} s measured"
    awk -v t0="$before_ticks" -v t1="$after_ticks" -v hz="$HZ" -v ns="$wall_ns" -v w=$((after_writes - before_writes)) 'BEGIN {
        printf "  processor: %.2f %% of one core (%.0f refresh ticks a second)\n", 100 * (t1 - t0) / hz / (ns / 1e9), w / 8 / (ns / 1e9)
    }'
    awk -v ns="$wall_ns" '
        FNR == NR { cpu[$1] = $3; wake[$1] = $4; next }
        {
            c = $3 - cpu[$1]; k = $4 - wake[$1]; totk += k
            if (c == 0 && k == 0) next
            printf "  %-8s %-18s %8.2f %12.0f\n", $1, $2, 100 * c / ns, k / (ns / 1e9)
        }
        END { printf "  wake-ups: %.0f a second (live threads)\n", totk / (ns / 1e9) }' \
        <(echo "$before_threads") <(echo "$after_threads") | sort -k3 -nr | sed '1i\  thread   name                 % core   wake-ups/s' 
    kill "$APP"
    wait "$APP" 2>/dev/null || true
    PIDS=("${PIDS[@]/$APP/}")
done
