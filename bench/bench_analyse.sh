#!/usr/bin/env bash
# How well the lamps follow a drum mix, measured on the real program at a 10 ms refresh period:
# the sound is a synthesized mix (kicks on irregular beats, snare, hi-hat, a held chord) read by
# the capture device from a file paced in real time by a private sound server; the preloaded port
# stand-in logs when each part of the file was read and when each port byte was written.
#   - a mode in which output B0 lights while bar 0 is above 50: the delay from a kick's onset being
#     read to B0 lit, and the F-measure of B0's switch-ons against the kicks (within 50 ms), with the
#     single samples, with the bands, and with the bands and the automatic gain, loud and 20 dB quieter;
#   - the chaser on the beat: the F-measure of its steps against the beats (within 70 ms) of a drum
#     loop at 90, 120 and 140 beats a minute, after 5 s to find the tempo.
# Usage: bash bench/bench_analyse.sh [BUILD_DIR (build)] [SECONDS_PER_RUN (30)]
set -euo pipefail
SRC=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$SRC/build}" && pwd)
SECONDS_RUN=${2:-30}
source "$SRC/tests/lib/common.sh"
source "$SRC/tests/lib/program.sh"
BIN="$BUILD/korvalen" SHIM="$BUILD/tests/port/libppdev_shim.so" MIX="$BUILD/bench/bench_mix"
[ -x "$BIN" ] && [ -f "$SHIM" ] && [ -x "$MIX" ] || fail "build first: $BIN, $SHIM and $MIX are needed"

start_program_folder "$BIN"
write_mode "$T/modes/kick.lum" 0:0   # B0 follows bar 0
start_xvfb "$T/display"
start_sound_server "$T/run"

# run NAME ANALYSE_KEYS KIND BPM GAIN_DB CHASER: one run of the program on a fresh mix; the events
# of the mix go to $T/NAME.events, the stand-in's log to $T/NAME.log.
run() {
    local name=$1 keys=$2 kind=$3 bpm=$4 gain=$5 chaser=$6
    "$MIX" "$T/$name.raw" "$kind" "$bpm" "$((SECONDS_RUN + 5))" "$gain" > "$T/$name.events"
    alsa_file_device "$T/asound.conf" "$T/$name.raw" paced
    printf '[Options]\r\nTemps_timer=10\r\nrepertoire=%s\r\nfichierLUM=kick.lum\r\n[Port]\r\nPeripherique=/dev/korvalen-bench-port\r\n[Analyse]\r\n%b' \
        "$T/modes" "$keys" > "$T/prog/Config.ini"
    env ALSA_CONFIG_PATH="$T/asound.conf" KORVALEN_FAKE_PARPORT=/dev/korvalen-bench-port \
        KORVALEN_FAKE_PARPORT_LOG="$T/$name.log" KORVALEN_FAKE_PARPORT_TIMES=1 KORVALEN_TIMED_INFILE="$T/$name.raw" \
        LD_PRELOAD="$SHIM" "$T/prog/korvalen" >"$T/out.log" 2>&1 &
    APP=$!
    PIDS+=("$APP")
    wait_for 60 centred_window Korvalen >/dev/null || { cat "$T/out.log"; fail "no main window"; }
    [ "$chaser" = 1 ] && click_twips Korvalen 120 4800 1455 495   # "Chenillard", down before the start
    click_twips Korvalen 3000 3720 3735 855                        # "Lancement"
    wait_for 60 grep -qs '^R ' "$T/$name.log" || fail "the sound file was never read"
    sleep "$SECONDS_RUN"
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
        best = min((abs(x - m), i) for i, x in enumerate(found) if i not in used) if found else None
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
          (f"; delay onset read to B0 lit: median {statistics.median(late):.1f} ms, max {late[-1]:.1f} ms" if late else ""))
else:
    # A chaser step changes which of the ten chased lamps is lit (B0, B1, B3..B7 in group B; A0, A1, A3 in A).
    state, steps, last = {"A": 0, "B": 0}, [], None
    for when, group, byte in sorted([(w, "A", b) for w, b in latches["A"]] + [(w, "B", b) for w, b in latches["B"]]):
        state[group] = byte & (0xFB if group == "B" else 0x0B)
        lit = (state["A"], state["B"])
        if lit != last and last is not None:
            steps.append(when)
        last = lit
    f, delays, n = f_measure(steps)
    print(f"  {name}: {len(marks)} beats, {n} chaser steps, F-measure {f:.3f}" +
          (f"; step after the beat: median {statistics.median(delays):.1f} ms" if delays else ""))
EOF
}

echo "Lamp B0 on bar 0 above 50, 10 ms refresh, ${SECONDS_RUN} s of kicks at about 120 a minute"
run samples "" kicks 120 0 0;                                report samples lamp 0.050 0
run bands "Bandes=1\r\n" kicks 120 0 0;                      report bands lamp 0.050 0
run bands_gain "Bandes=1\r\nGainAuto=1\r\n" kicks 120 0 0;  report bands_gain lamp 0.050 5
run quiet_gain "Bandes=1\r\nGainAuto=1\r\n" kicks 120 -20 0; report quiet_gain lamp 0.050 5
echo "Chaser on the beat, 10 ms refresh, steps after a 5 s warm-up"
for bpm in 90 120 140; do
    run "beat$bpm" "Rythme=1\r\n" loop "$bpm" 0 1
    report "beat$bpm" steps 0.070 5
done
