#!/usr/bin/env bash
# The real program's figures, each measured in one run of it under Xvfb, with sound from a file
# paced in real time by a private sound server and the lamps through the preloaded port stand-in:
#   - start-up time to the main window shown;
#   - processor share at refresh periods of 200, 46 and 10 ms, split by thread, with wake-ups;
#   - in a last run at 10 ms, with the stand-in logging times: latency from a step in the sound
#     reaching the capture device (the read of the file device) to the port write that reflects
#     it; wall time of a refresh tick (between two latches of group B) against the 111 samples of
#     its capture; resident memory after a minute of running;
#   - the longest time the window's thread was held, at 10 ms with a healthy sound server and
#     with the server frozen for 5 s in the middle of a run;
#   - with the server frozen from before the start: the time to the main window, and the longest
#     hold of the window's thread from the start through a "Lancement" that waits for the server
#     until its notice "Wave input device didn't open!";
#   - after each processor run, the resident memory and the program's own (anonymous) part of it.
# The timing logs cost processor time of their own, so the shares come from runs without them.
# Usage: bash bench/bench_program.sh [BUILD_DIR (build)] [SECONDS_PER_PERIOD (20)]
# KORVALEN_BENCH_RUNS picks runs among "timed 200 46 10 frozen gele" (all by default);
# KORVALEN_BENCH_ANALYSE gives keys of the section "Analyse" (for instance "Bandes=1").
set -euo pipefail
SRC=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$SRC/build}" && pwd)
MEASURE=${2:-20}
source "$SRC/tests/lib/common.sh"
source "$SRC/tests/lib/program.sh"
BIN="$BUILD/korvalen" SHIM="$BUILD/tests/port/libppdev_shim.so"
[ -x "$BIN" ] && [ -f "$SHIM" ] || fail "build first: $BIN and $SHIM are needed"

start_program_folder "$BIN"

# Output B1 follows the last level bar, the last byte of a capture read: a step is seen by the
# capture that is filling when it arrives.
write_mode "$T/modes/bench.lum" 1:9
STEP_MS=250
write_steps "$T/steps.raw" $((MEASURE * 3 + 200)) $STEP_MS
alsa_file_device "$T/asound.conf" "$T/steps.raw" paced
start_xvfb "$T/display"
start_sound_server "$T/run"

# One line per live thread: id, name, nanoseconds on a processor, voluntary switches (wake-ups).
thread_table() {
    local task
    for task in /proc/"$1"/task/*; do
        printf '%s %s %s %s\n' "${task##*/}" "$(tr ' ' '_' < "$task/comm")" "$(cut -d' ' -f1 "$task/schedstat")" \
            "$(awk '/^voluntary_ctxt_switches/ { print $2 }' "$task/status")"
    done 2>/dev/null
}
# Processor time of process $1 so far in clock ticks, ended threads included.
process_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }
now_ns() { date +%s%N; }
# The clock of the stand-in's log.
monotonic_ns() { python3 -c 'import time; print(time.monotonic_ns())'; }

ANALYSE=${KORVALEN_BENCH_ANALYSE:-}
[ -n "$ANALYSE" ] && echo "Section Analyse: $ANALYSE"
RUNS=${KORVALEN_BENCH_RUNS:-timed 200 46 10 frozen gele}
for run in ${RUNS/gele/}; do
    period=${run/timed/10}
    period=${period/frozen/10}
    if [ "$run" != timed ] && [ -z "${SERVED:-}" ]; then
        SERVED=1
        # For the processor shares the program captures as on an operator's machine, from the
        # sound server: the sound is played into a sink whose monitor becomes the default source.
        # The file device that the timed run reads costs processor time of its own.
        pactl load-module module-null-sink sink_name=bench rate=11025 channels=1 channel_map=mono format=u8 >/dev/null
        pactl set-default-source bench.monitor
        pacat --playback --raw --format=u8 --rate=11025 --channels=1 --device=bench "$T/steps.raw" &
        PIDS+=($!)
        echo 'pcm.!default { type pulse }' > "$T/server.conf"
    fi
    timing=() alsa=$T/server.conf
    [ "$run" = timed ] && timing=(KORVALEN_FAKE_PARPORT_TIMES=1 "KORVALEN_TIMED_INFILE=$T/steps.raw") alsa=$T/asound.conf
    # The stand-in logs how long the window's thread went without waiting for events.
    [ "$run" != timed ] && timing=(KORVALEN_MESURE_BLOCAGE=1)
    printf '[Options]\r\nTemps_timer=%s\r\nrepertoire=%s\r\nfichierLUM=bench.lum\r\n[Port]\r\nPeripherique=/dev/korvalen-bench-port\r\n%b' \
        "$period" "$T/modes" "${ANALYSE:+[Analyse]\r\n$ANALYSE\r\n}" > "$T/prog/Config.ini"
    rm -f "$T/port.log"
    t0=$(now_ns)
    env ALSA_CONFIG_PATH="$alsa" KORVALEN_FAKE_PARPORT=/dev/korvalen-bench-port KORVALEN_FAKE_PARPORT_LOG="$T/port.log" \
        "${timing[@]}" LD_PRELOAD="$SHIM" \
        "$T/prog/korvalen" >"$T/out.log" 2>&1 &
    APP=$!
    PIDS+=("$APP")
    until centred_window Korvalen >/dev/null; do
        exited "$APP" && { cat "$T/out.log"; fail "the program ended"; }
        (( $(now_ns) - t0 < 60000000000 )) || fail "no main window"
        sleep 0.01
    done
    startup_ms=$(( ($(now_ns) - t0) / 1000000 ))
    click_twips Korvalen 3000 3720 3735 855                   # "Lancement"
    wait_for 30 grep -Eqs ' 40017084 1( |$)' "$T/port.log" || fail "the port was never written"
    sleep 3                                                    # settle after the start

    ticks0=$(process_ticks "$APP") threads0=$(thread_table "$APP") m0=$(now_ns) c0=$(monotonic_ns)
    writes0=$(wc -l < "$T/port.log")
    if [ "$run" = frozen ]; then
        # The sound server stalls for 5 s in the middle of the run, then comes back.
        sleep "$(( MEASURE / 2 ))"
        kill -STOP "$SOUND_SERVER_PID"
        sleep 5
        kill -CONT "$SOUND_SERVER_PID"
        sleep "$(( MEASURE - MEASURE / 2 ))"
    else
        sleep "$MEASURE"
    fi
    ticks1=$(process_ticks "$APP") threads1=$(thread_table "$APP") m1=$(now_ns) c1=$(monotonic_ns)
    writes1=$(wc -l < "$T/port.log")

    held() {  # the longest hold of the window's thread that the stand-in logged while measuring
        awk -v from="$c0" -v to="$c1" '$1 == "H" && $3 >= from && $3 <= to && $2 > m { m = $2 }
            END { printf "%.1f", m / 1e6 }' "$T/port.log"
    }
    if [ "$run" = frozen ]; then
        echo "Refresh period 10 ms, sound server frozen 5 s in the middle of ${MEASURE} s"
        echo "  longest hold of the window's thread: $(held) ms (target < 300 ms)"
    elif [ "$run" != timed ]; then  # processor share
        echo "Refresh period $period ms (Temps_timer), ${MEASURE} s measured; main window shown ${startup_ms} ms after the start"
        awk -v t0="$ticks0" -v t1="$ticks1" -v hz="$(getconf CLK_TCK)" -v ns=$((m1 - m0)) -v w=$((writes1 - writes0)) 'BEGIN {
            printf "  processor: %.2f %% of one core, %.1f refresh ticks a second\n", 100 * (t1 - t0) / hz / (ns / 1e9), w / 8 / (ns / 1e9) }'
        echo "    thread                   % core  wake-ups/s"
        awk -v ns=$((m1 - m0)) -v main="$APP" 'FNR == NR { cpu[$1] = $3; wake[$1] = $4; next }
            { c = $3 - cpu[$1]; k = $4 - wake[$1]; if ($1 == main) $2 = "main_thread"
              if (c > 0 || k > 0) printf "    %-22s %6.2f %% %10.0f\n", $2 " (" $1 ")", 100 * c / ns, k / (ns / 1e9) }' \
            <(echo "$threads0") <(echo "$threads1") | sort -k3 -nr
        echo "  longest hold of the window's thread: $(held) ms (target < 20 ms with a healthy server)"
        awk '/^VmRSS:/ { r = $2 } /^RssAnon:/ { a = $2 } END { printf "  memory: resident %d kB, of which the program'"'"'s own (anonymous) %d kB\n", r, a }' \
            "/proc/$APP/status"
    else
        echo "Refresh period 10 ms with timed logs, ${MEASURE} s measured"
        python3 - "$T/port.log" "$c0" "$c1" "$STEP_MS" <<'EOF'
import statistics, sys
log, start, end, step_ms = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
reads, latches, last_data = [], [], None
for line in open(log):
    f = line.split()
    if f[0] == "R":
        reads.append((int(f[1]), int(f[2]), int(f[3])))
    elif f[0] == "1" and f[1] == "40017086":
        last_data = (int(f[2]), int(f[3]))
    elif f[0] == "1" and f[1] == "40017084" and f[2] == "1" and last_data:
        latches.append((last_data[1], last_data[0]))  # group B latched: time of its data write, byte
half = 11025 * step_ms // 1000
lat = []
for off, n, t in reads:
    if not start <= t <= end:
        continue
    for k in range((off + half - 1) // half, (off + n - 1) // half + 1):
        if k == 0 or k * half >= off + n:
            continue
        want = 2 if k % 2 == 1 else 0   # odd steps go loud: B1 lit
        after = next((lt for lt, v in latches if lt >= t and (v & 2) == want), None)
        if after is not None:
            lat.append((after - t) / 1e6)
ticks = [(b[0] - a[0]) / 1e6 for a, b in zip(latches, latches[1:]) if start <= a[0] and b[0] <= end]
cap = 111 / 11025 * 1000
if lat:
    lat.sort()
    print("  latency, step read by the capture device to the port write (%d steps): median %.2f ms, "
          "95th percentile %.2f ms, max %.2f ms (target %.2f + 1 ms)" % (
              len(lat), statistics.median(lat), lat[int(0.95 * (len(lat) - 1))], lat[-1], cap))
if ticks:
    mean = statistics.mean(ticks)
    print("  refresh tick (%d ticks): mean %.3f ms, median %.3f ms, ratio to the %.2f ms capture %.3f (target < 1.05)"
          % (len(ticks), mean, statistics.median(ticks), cap, mean / cap))
EOF
        left=$(( 60 - (m1 - t0) / 1000000000 ))
        (( left > 0 )) && sleep "$left"
        echo "  resident memory after $(( ($(now_ns) - t0) / 1000000000 )) s: $(rss_kb "$APP") kB"
    fi
    kill "$APP"
    wait "$APP" 2>/dev/null || true
done

if [[ " $RUNS " == *" gele "* ]]; then
    # The sound server frozen before the start: the window must show all the same, and a "Lancement"
    # that waits for the server must leave the window answering until its notice.
    printf '[Options]\r\nTemps_timer=10\r\nrepertoire=%s\r\nfichierLUM=bench.lum\r\n[Port]\r\nPeripherique=/dev/korvalen-bench-port\r\n' \
        "$T/modes" > "$T/prog/Config.ini"
    echo 'pcm.!default { type pulse }' > "$T/server.conf"
    rm -f "$T/port.log"
    kill -STOP "$SOUND_SERVER_PID"
    c0=$(monotonic_ns) t0=$(now_ns)
    env ALSA_CONFIG_PATH="$T/server.conf" KORVALEN_FAKE_PARPORT=/dev/korvalen-bench-port KORVALEN_FAKE_PARPORT_LOG="$T/port.log" \
        KORVALEN_MESURE_BLOCAGE=1 LD_PRELOAD="$SHIM" "$T/prog/korvalen" >"$T/out.log" 2>&1 &
    APP=$!
    PIDS+=("$APP")
    wait_for 60 centred_window Korvalen >/dev/null || { kill -CONT "$SOUND_SERVER_PID"; fail "no main window"; }
    startup_ms=$(( ($(now_ns) - t0) / 1000000 ))
    click_twips Korvalen 3000 3720 3735 855                   # "Lancement"
    t1=$(now_ns)
    wait_for 60 eval '[ -n "$(window "Ack!")" ]' || { kill -CONT "$SOUND_SERVER_PID"; fail "no notice of the failed opening"; }
    notice_ms=$(( ($(now_ns) - t1) / 1000000 ))
    c1=$(monotonic_ns)
    kill -CONT "$SOUND_SERVER_PID"
    echo "Sound server frozen from before the start"
    echo "  main window shown ${startup_ms} ms after the start; \"Wave input device didn't open!\" ${notice_ms} ms after Lancement"
    echo "  longest hold of the window's thread from the start to that notice: $(awk -v from="$c0" -v to="$c1" \
        '$1 == "H" && $3 >= from && $3 <= to && $2 > m { m = $2 } END { printf "%.1f", m / 1e6 }' "$T/port.log") ms (target < 300 ms)"
    kill "$APP"
    wait "$APP" 2>/dev/null || true
fi
