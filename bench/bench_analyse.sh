#!/usr/bin/env bash
# How well the lamps follow a drum mix, measured on the real program at the refresh periods of
# $PERIODS (default "200 10": the default period and the shortest): the sound is a synthesized mix
# (kicks on irregular beats, snare, hi-hat, a held chord) read by the capture device from a file
# paced in real time by a private sound server; the preloaded port stand-in logs when each part of
# the file was read and when each port byte was written.
#   - lamps on the kick's bar (bar 1), the snare's (bar 8), the hi-hat's (bar 10) and the held
#     chord's (bar 5), each at the threshold where it scores best on the bands measured offline
#     (build/bench/bench_bandes): for each, the F-measure of its switch-ons against its
#     instrument's onsets (within 50 ms) and the delay from an onset being read to the lamp lit;
#     beside the kick's, the earliest moment an ideal causal band-pass filter of bar 1 crosses the
#     same threshold after the onset; the chord lamp's switch-ons; with the single samples (the
#     kick's lamp above 65), with the bands, and with the bands and the automatic gain, loud and
#     20 dB quieter;
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
BANDES="$BUILD/bench/bench_bandes"
[ -x "$BIN" ] && [ -f "$SHIM" ] && [ -x "$MIX" ] && [ -x "$BANDES" ] || fail "build first: $BIN, $SHIM, $MIX and $BANDES are needed"

start_program_folder "$BIN"
# B0 lights while bar 0 is above 65 for the single samples: the threshold at which they do best on
# this mix (F-measure 0.50 to 0.55 from 50 to 70).
write_mode "$T/modes/kick.lum" 0:0:65
start_xvfb "$T/display"
start_sound_server "$T/run"

# The processor time, in ns, of the thread that measures the bands and the beats (0 when there is none).
analysis_ns() {
    local t
    for t in /proc/"$1"/task/*; do
        [ "$(cat "$t/comm" 2>/dev/null)" = analyse ] && { awk '{ print $1 }' "$t/schedstat"; return; }
    done
    echo 0
}

# run NAME ANALYSE_KEYS KIND BPM GAIN_DB CHASER PERIOD [HISS_SECONDS [MODE]]: one run of the program
# on a fresh mix, with the mode file MODE (kick.lum); the events of the mix go to $T/NAME.events,
# the stand-in's log to $T/NAME.log, the processor time of the program over the measured part of
# the run to $T/NAME.cpu.
run() {
    local name=$1 keys=$2 kind=$3 bpm=$4 gain=$5 chaser=$6 period=$7 hiss=${8:-} mode=${9:-kick.lum}
    local music=$((SECONDS_RUN + 5))
    [ -n "$hiss" ] && music=$((SECONDS_RUN - hiss))
    "$MIX" "$T/$name.raw" "$kind" "$bpm" "$music" "$gain" $hiss > "$T/$name.events"
    alsa_file_device "$T/asound.conf" "$T/$name.raw" paced
    printf '[Options]\r\nTemps_timer=%s\r\nrepertoire=%s\r\nfichierLUM=%s\r\n[Port]\r\nPeripherique=/dev/korvalen-bench-port\r\n[Analyse]\r\n%b' \
        "$period" "$T/modes" "$mode" "$keys" > "$T/prog/Config.ini"
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
    local t0 c0 t1 c1 a0 a1
    t0=$(date +%s%N); c0=$(awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$APP/stat"); a0=$(analysis_ns "$APP")
    sleep "$((SECONDS_RUN - 2))"
    t1=$(date +%s%N); c1=$(awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$APP/stat"); a1=$(analysis_ns "$APP")
    awk -v c="$((c1 - c0))" -v hz="$(getconf CLK_TCK)" -v ns="$((t1 - t0))" -v a="$((a1 - a0))" \
        'BEGIN { printf "%.2f %% of a core, the analysis thread %.2f %%", 100 * c / hz / (ns / 1e9), 100 * a / ns }' > "$T/$name.cpu"
    kill "$APP"
    wait "$APP" 2>/dev/null || true
}

report() {
    python3 - "$T" "$@" <<'EOF'
import statistics, sys
folder, name, what, tolerance, warmup = sys.argv[1], sys.argv[2], sys.argv[3], float(sys.argv[4]), float(sys.argv[5])
lamps = [l.split(":") for l in sys.argv[6].split()] if len(sys.argv) > 6 else []
# The kick mix names each onset's instrument; the other mixes list the tempo's beats.
onsets = {}
for line in open(f"{folder}/{name}.events"):
    f = line.split()
    onsets.setdefault(f[0] if len(f) == 2 else "beat", []).append(float(f[-1]))
events = onsets.get("kick", onsets.get("beat", []))
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
cpu = f"processor {open(f'{folder}/{name}.cpu').read()}"
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
def read_marks(times):
    marks = [read_time(t) for t in times]
    return [w for w in marks if w is not None and start <= w <= end - 0.5e9]
marks = read_marks(events)
def f_measure(found, marks=marks):
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
    # bench_bandes: "ideal THRESHOLD MEDIAN MAX" (ms) for the kick's bar.
    ideal = {}
    if len(sys.argv) > 7:
        for line in open(sys.argv[7]):
            f = line.split()
            if f[0] == "ideal":
                ideal[int(f[1])] = (float(f[2]), float(f[3]))
    best = None
    for group, bit, bar, threshold, instrument in lamps:
        ons, lit = [], False
        for when, byte in latches[group]:
            now = bool(byte >> int(bit) & 1)
            if now and not lit:
                ons.append(when)
            lit = now
        if instrument == "chord":
            # Held from the first sample to the last: one switch-on, and never off after it.
            n = len([x for x in ons if start <= x <= end - 0.5e9])
            print(f"  {name}: {group}{bit} on bar {int(bar) + 1} above {threshold} (the held chord): {len(ons)} switch-on(s) in all, {n} after the first {warmup:.0f} s")
            continue
        f, delays, n = f_measure(ons, read_marks(onsets.get(instrument, [])))
        late = sorted(delays)
        line = (f"  {name}: {group}{bit} on bar {int(bar) + 1} above {threshold} ({instrument}): {len(read_marks(onsets.get(instrument, [])))} onsets, {n} switch-ons, F-measure {f:.3f}" +
                (f"; delay onset read to lit: median {statistics.median(late):.1f} ms, max {late[-1]:.1f} ms" if late else ""))
        if instrument == "kick" and int(threshold) in ideal and ideal[int(threshold)][0] >= 0:
            im, ix = ideal[int(threshold)]
            line += f"; ideal filter {im:.1f} ms (max {ix:.1f})" + (f", program {statistics.median(late) - im:+.1f} ms from it" if late else "")
        print(line)
        if instrument == "kick" and late and (best is None or (f, -statistics.median(late)) > (best[0], -best[1])):
            best = (f, statistics.median(late), late[-1], threshold, ideal.get(int(threshold)))
    if best:
        f, median, worst, threshold, ide = best
        print(f"  {name}: best kick lamp: above {threshold}, F-measure {f:.3f}, median {median:.1f} ms, max {worst:.1f} ms" +
              (f", {median - ide[0]:+.1f} ms from the ideal filter's {ide[0]:.1f} ms" if ide and ide[0] >= 0 else "") + f"; {cpu}")
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

# The bands offline on the same mixes, with the ideal filter's crossings beside them; from them, for
# each mix, the threshold at which each lamp scores best (the best F-measure, then the shortest
# median delay): the kick's lamp on bar 1 (output B0), the snare's on bar 8 (A0, whose threshold is
# record SortieA(0)'s), the hi-hat's on bar 10 (A3, record SortieA(2)'s); the chord's lamp on bar 5
# (B5) three points under the lowest level the chord's bar showed. $T/lamps_MIX lists them as
# GROUP:BIT:BAR:THRESHOLD:INSTRUMENT, and $T/modes/MIX.lum is their mode.
MUSIC=$((SECONDS_RUN + 5))
for mix in fixe:0:fixe gain:0:auto quiet:-20:auto; do
    IFS=: read -r name db gain <<< "$mix"
    "$BANDES" 120 "$MUSIC" "$db" "$gain" > "$T/ideal_$name"
    python3 - "$T/ideal_$name" > "$T/lamps_$name" <<'EOF2'
import sys
best, chord = {}, None
for line in open(sys.argv[1]):
    f = line.split()
    if f[0] == "offline":
        score = (float(f[4]), -float(f[5]))
        if f[1] not in best or score > best[f[1]][0]:
            best[f[1]] = (score, int(f[3]))
    elif f[0] == "chord":
        chord = int(float(f[2])) - 3
print(f"B:0:0:{best['kick'][1]}:kick A:0:7:{best['snare'][1]}:snare A:3:9:{best['hat'][1]}:hat B:5:4:{chord}:chord")
EOF2
    # shellcheck disable=SC2046
    write_mode "$T/modes/$name.lum" $(tr ' ' '\n' < "$T/lamps_$name" | awk -F: '{ r = ($1 == "A" ? "a" ($2 == 3 ? 2 : $2) : $2); print r ":" $3 ":" $4 }')
    echo "The bands offline, $name mix: $(awk '$1 == "offline" { n[$2] = n[$2] " " $4 ":" $5 } END { for (i in n) printf "%s lamp (threshold:F)%s; ", i, n[i] }' "$T/ideal_$name")"
done
echo "Each bar's answer to a sine at its centre starting over silence, offline, read every 16 samples: ms until within 6 dB of its level:$(awk '$1 == "tone" { printf " bar %s %s;", $2, $3 }' "$T/ideal_fixe")"

for period in $PERIODS; do
    echo "Lamps on the kick's, snare's, hi-hat's and chord's bars, ${period} ms refresh, ${SECONDS_RUN} s of kicks at about 120 a minute"
    run "samples$period" "" kicks 120 0 0 "$period";                                report "samples$period" lamp 0.050 0 "B:0:0:65:kick"
    run "bands$period" "Bandes=1\r\n" kicks 120 0 0 "$period" "" fixe.lum
    report "bands$period" lamp 0.050 0 "$(cat "$T/lamps_fixe")" "$T/ideal_fixe"
    run "bands_gain$period" "Bandes=1\r\nGainAuto=1\r\n" kicks 120 0 0 "$period" "" gain.lum
    report "bands_gain$period" lamp 0.050 5 "$(cat "$T/lamps_gain")" "$T/ideal_gain"
    run "quiet_gain$period" "Bandes=1\r\nGainAuto=1\r\n" kicks 120 -20 0 "$period" "" quiet.lum
    report "quiet_gain$period" lamp 0.050 5 "$(cat "$T/lamps_quiet")" "$T/ideal_quiet"
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
