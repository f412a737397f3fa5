#!/usr/bin/env bash
# How well the lamps follow a drum mix, measured on the real program at the refresh periods of
# $PERIODS (default "200 10": the default period and the shortest): the sound is a synthesized mix
# (kicks on irregular beats, snare, hi-hat, a held chord) read by the capture device from a file
# paced in real time by a private sound server; the preloaded port stand-in logs when each part of
# the file was read and when each port byte was written.
#   - a mode in which output B0 lights while bar 0 is above 65: the delay from a kick's onset being
#     read to B0 lit, and the F-measure of B0's switch-ons against the kicks (within 50 ms), with the
#     single samples, with the bands, and with the bands and the automatic gain, loud and 20 dB quieter;
#   - the chaser on the beat: the F-measure of its steps against the beats (within 70 ms) of a drum
#     loop at 90, 120 and 140 beats a minute, after 5 s to find the tempo, and the signed offset of
#     each step from its beat (median, share within 30 ms);
#   - a song with syncopated kicks and fills that goes from 112 to 128 beats a minute halfway: the
#     chaser's steps per beat and their F-measure;
#   - the same loop at 120 giving way to a -70 dBFS hiss: how long after the last beat the chaser
#     steps on its own timer again;
#   - the processor share of the program (all its threads) with all three options on, and with the
#     single samples alone, over each run.
# Usage: bash bench/bench_analyse.sh [BUILD_DIR (build)] [SECONDS_PER_RUN (30)]
set -euo pipefail
SRC=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$SRC/build}" && pwd)
SECONDS_RUN=${2:-30}
PERIODS=${PERIODS:-200 10}
source "$SRC/tests/lib/common.sh"
source "$SRC/tests/lib/program.sh"
BIN="$BUILD/korvalen" SHIM="$BUILD/tests/port/libppdev_shim.so" MIX="$BUILD/bench/bench_mix"
[ -x "$BIN" ] && [ -f "$SHIM" ] && [ -x "$MIX" ] || fail "build first: $BIN, $SHIM and $MIX are needed"

start_program_folder "$BIN"
# B0 lights while bar 0 is above 65: the threshold at which the single samples do best on this mix
# (F-measure 0.50 to 0.55 from 50 to 70) and the bands with the gain no longer see the snare.
write_mode "$T/modes/kick.lum" 0:0:65
start_xvfb "$T/display"
start_sound_server "$T/run"

# run NAME ANALYSE_KEYS KIND BPM GAIN_DB CHASER PERIOD [HISS_SECONDS]: one run of the program on a
# fresh mix; the events of the mix go to $T/NAME.events, the stand-in's log to $T/NAME.log, the
# processor time of the program over the measured part of the run to $T/NAME.cpu.
run() {
    local name=$1 keys=$2 kind=$3 bpm=$4 gain=$5 chaser=$6 period=$7 hiss=${8:-}
    local music=$((SECONDS_RUN + 5))
    [ -n "$hiss" ] && music=$((SECONDS_RUN - hiss))
    "$MIX" "$T/$name.raw" "$kind" "$bpm" "$music" "$gain" $hiss > "$T/$name.events"
    alsa_file_device "$T/asound.conf" "$T/$name.raw" paced
    printf '[Options]\r\nTemps_timer=%s\r\nrepertoire=%s\r\nfichierLUM=kick.lum\r\n[Port]\r\nPeripherique=/dev/korvalen-bench-port\r\n[Analyse]\r\n%b' \
        "$period" "$T/modes" "$keys" > "$T/prog/Config.ini"
    env ALSA_CONFIG_PATH="$T/asound.conf" KORVALEN_FAKE_PARPORT=/dev/korvalen-bench-port \
        KORVALEN_FAKE_PARPORT_LOG="$T/$name.log" KORVALEN_FAKE_PARPORT_TIMES=1 KORVALEN_TIMED_INFILE="$T/$name.raw" \
        LD_PRELOAD="$SHIM" "$T/prog/korvalen" >"$T/out.log" 2>&1 &
    APP=$!
    PIDS+=("$APP")
    wait_for 60 centred_window Korvalen >/dev/null || { cat "$T/out.log"; fail "no main window"; }
    [ "$chaser" = 1 ] && click_twips Korvalen 120 4800 1455 495   # "Chenillard", down before the start
    click_twips Korvalen 3000 3720 3735 855                        # "Lancement"
    wait_for 60 grep -qs '^R ' "$T/$name.log" || fail "the sound file was never read"
    sleep 2
    local t0 c0 t1 c1
    t0=$(date +%s%N); c0=$(awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$APP/stat")
    sleep "$((SECONDS_RUN - 2))"
    t1=$(date +%s%N); c1=$(awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$APP/stat")
    awk -v c="$((c1 - c0))" -v hz="$(getconf CLK_TCK)" -v ns="$((t1 - t0))" \
        'BEGIN { printf "%.2f", 100 * c / hz / (ns / 1e9) }' > "$T/$name.cpu"
    kill "$APP"
    wait "$APP" 2>/dev/null || true
}

report() {
    python3 - "$T" "$@" <<'EOF'
import statistics, sys
folder, name, what, tolerance, warmup = sys.argv[1], sys.argv[2], sys.argv[3], float(sys.argv[4]), float(sys.argv[5])
events = [float(x) for x in open(f"{folder}/{name}.events")]
reads, latches, data = [], {"A": [], "B": []}, None
for line in open(f"{folder}/{name}.log"):
    f = line.split()
    if f[0] == "R":
        reads.append((int(f[1]), int(f[2]), int(f[3])))          # byte offset, bytes, time (ns)
    elif f[0] == "1" and f[1] == "40017086":
        data = int(f[2])
    elif f[0] == "1" and f[1] == "40017084" and data is not None and f[2] in ("1", "2"):
        latches["B" if f[2] == "1" else "A"].append((int(f[3]), data))
if not reads:
    sys.exit(f"{name}: nothing read")
cpu = f"processor {open(f'{folder}/{name}.cpu').read()} % of a core"
if what == "hiss":
    warmup = 0.0
# When the capture device read the byte that holds each event (16-bit samples at 11025 Hz).
def read_time(t):
    byte = int(t * 11025) * 2
    for off, n, when in reads:
        if off <= byte < off + n:
            return when
    return None
end = reads[-1][2]
start = reads[0][2] + warmup * 1e9
marks = [(t, read_time(t)) for t in events]
marks = [w for t, w in marks if w is not None and start <= w <= end - 0.5e9]
def f_measure(found):
    found = [x for x in found if start <= x <= end - 0.5e9]
    used, hits, delays = set(), 0, []
    for m in marks:
        best = min(((abs(x - m), i) for i, x in enumerate(found) if i not in used), default=None)
        if best and best[0] <= tolerance * 1e9:
            used.add(best[1]); hits += 1
            delays.append((found[best[1]] - m) / 1e6)
    if not hits:
        return 0.0, delays, len(found)
    p, r = hits / len(found), hits / len(marks)
    return 2 * p * r / (p + r), delays, len(found)
if what == "lamp":
    ons, lit = [], False
    for when, byte in latches["B"]:
        now = bool(byte & 1)
        if now and not lit:
            ons.append(when)
        lit = now
    f, delays, n = f_measure(ons)
    late = sorted(delays)
    print(f"  {name}: {len(marks)} kicks, {n} switch-ons of B0, F-measure {f:.3f}" +
          (f"; delay onset read to B0 lit: median {statistics.median(late):.1f} ms, max {late[-1]:.1f} ms" if late else "")
          + f"; {cpu}")
else:
    # A chaser step changes which of the ten chased lamps is lit (B0, B1, B3..B7 in group B; A0, A1, A3 in A).
    state, steps, last = {"A": 0, "B": 0}, [], None
    for when, group, byte in sorted([(w, "A", b) for w, b in latches["A"]] + [(w, "B", b) for w, b in latches["B"]]):
        state[group] = byte & (0xFB if group == "B" else 0x0B)
        lit = (state["A"], state["B"])
        # One tick latches A then B: a step from one group to the other is one change, not two.
        if lit != last and last is not None and not (steps and when - steps[-1] < 3e6):
            steps.append(when)
        last = lit
    if what == "hiss":
        # The music's last beat, then the first run of steps at the chaser's own pace (60 ms apart).
        last_beat = max(w for t, w in ((t, read_time(t)) for t in events) if w is not None)
        back = next((b for a, b in zip(steps, steps[1:]) if a > last_beat and b - a < 100e6), None)
        print(f"  {name}: chaser back on its timer " +
              (f"{(back - last_beat) / 1e9:.2f} s after the last beat" if back else "never") + f"; {cpu}")
    else:
        f, delays, n = f_measure(steps)
        within = sum(1 for d in delays if abs(d) <= 30) / len(delays) if delays else 0
        print(f"  {name}: {len(marks)} beats, {n} chaser steps ({n / len(marks):.2f} a beat), F-measure {f:.3f}" +
              (f"; step minus beat: median {statistics.median(delays):+.1f} ms, {100 * within:.0f} % within 30 ms"
               if delays else "") + f"; {cpu}")
EOF
}

for period in $PERIODS; do
    echo "Lamp B0 on bar 0 above 65, ${period} ms refresh, ${SECONDS_RUN} s of kicks at about 120 a minute"
    run "samples$period" "" kicks 120 0 0 "$period";                                report "samples$period" lamp 0.050 0
    run "bands$period" "Bandes=1\r\n" kicks 120 0 0 "$period";                      report "bands$period" lamp 0.050 0
    run "bands_gain$period" "Bandes=1\r\nGainAuto=1\r\n" kicks 120 0 0 "$period";  report "bands_gain$period" lamp 0.050 5
    run "quiet_gain$period" "Bandes=1\r\nGainAuto=1\r\n" kicks 120 -20 0 "$period"; report "quiet_gain$period" lamp 0.050 5
    echo "Chaser on the beat with all three options on, ${period} ms refresh, steps after a 5 s warm-up"
    for bpm in 90 120 140; do
        run "beat$bpm-$period" "Bandes=1\r\nGainAuto=1\r\nRythme=1\r\n" loop "$bpm" 0 1 "$period"
        report "beat$bpm-$period" steps 0.070 5
    done
    echo "A song with syncopation and fills going from 112 to 128 beats a minute halfway, ${period} ms refresh"
    run "song-$period" "Bandes=1\r\nGainAuto=1\r\nRythme=1\r\n" song 112 0 1 "$period"
    report "song-$period" steps 0.070 5
    echo "The loop at 120 giving way to -70 dBFS hiss for 10 s, ${period} ms refresh"
    run "hiss$period" "Bandes=1\r\nGainAuto=1\r\nRythme=1\r\n" loop 120 0 1 "$period" 10
    report "hiss$period" hiss 0.070 0
done
