#!/usr/bin/env bash
# The lamps through a private olad with [Port] Niveaux=1, on the real program under Xvfb, output B1
# following bar 2 above 50 (Config.ini's bar 1):
#   - the value of B1's channel for a steady sound at several levels (one run per level);
#   - the frames olad passes on while B1 fades out (Descente=300), the sound swapping between full
#     and silence every second at a 10 ms refresh period: their count, duration and spacing;
#   - the program's processor share at a 10 ms refresh period while a lamp fades (Descente=10000,
#     measured inside the fade), against the same silence with Descente=0.
# Usage: bash bench/bench_lampes.sh [BUILD_DIR (build)] [SECONDS_MEASURED (8, at most 9)]
set -euo pipefail
SRC=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$SRC/build}" && pwd)
MEASURE=${2:-8}
source "$SRC/tests/lib/common.sh"
source "$SRC/tests/lib/program.sh"
BIN="$BUILD/korvalen" OLAD_PRIVE="$BUILD/tests/ola/olad_prive"
[ -x "$BIN" ] && [ -x "$OLAD_PRIVE" ] || fail "build first: $BIN and $OLAD_PRIVE are needed"
(( MEASURE <= 9 )) || fail "at most 9 s: the measure must fit inside the 10 s fade"

start_program_folder "$BIN"
write_mode "$T/modes/bench.lum" 1:1
start_xvfb "$T/display"
"$OLAD_PRIVE" serve 1 "$T/olad.port" &
PIDS+=($!)
wait_for 40 test -s "$T/olad.port" || fail "the private olad did not start"
OLA_PORT=$(cat "$T/olad.port")
start_sound_server "$T/run"

# Sound files of 16-bit samples whose high byte is the level every bar shows (0..100).
steady() { python3 -c "import sys; sys.stdout.buffer.write(bytes([0, $2]) * 11025 * 60)" > "$1"; }
# $2 seconds of full level and $2 of silence, over and over, for $3 seconds.
swapping() {
    python3 -c "
import sys
half = int(11025 * $2)
sys.stdout.buffer.write((bytes([0, 100]) * half + bytes([0, 0]) * half) * int($3 / (2 * $2) + 1))" > "$1"
}
b1() { "$OLAD_PRIVE" lire "$OLA_PORT" 1 1 | awk '{ print $10 }'; }   # channels A0..A7, B0.., B1 10th
process_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }
# One line per live thread of process $1: id, nanoseconds on a processor, voluntary switches.
thread_table() {
    local task
    for task in /proc/"$1"/task/*; do
        printf '%s %s %s\n' "${task##*/}" "$(cut -d' ' -f1 "$task/schedstat")" \
            "$(awk '/^voluntary_ctxt_switches/ { print $2 }' "$task/status")"
    done 2>/dev/null
}

# Starts the program on sound file $1 (paced in real time when $4 is "paced") with Temps_timer $2
# and Descente $3, then clicks "Lancement".
start_run() {
    alsa_file_device "$T/asound.conf" "$1" "${4:-}"
    printf '[Options]\r\nTemps_timer=%s\r\nrepertoire=%s\r\nfichierLUM=bench.lum\r\n[Port]\r\nSortie=ola\r\nUnivers=1\r\nCanal=1\r\nPortOLA=%s\r\nNiveaux=1\r\nDescente=%s\r\n' \
        "$2" "$T/modes" "$OLA_PORT" "$3" > "$T/prog/Config.ini"
    ALSA_CONFIG_PATH="$T/asound.conf" "$T/prog/korvalen" >"$T/out.log" 2>&1 &
    APP=$!
    PIDS+=("$APP")
    wait_for 60 centred_window Korvalen >/dev/null || { cat "$T/out.log"; fail "no main window"; }
    click_twips Korvalen 3000 3720 3735 855                   # "Lancement"
}
stop_run() { kill "$APP"; wait "$APP" 2>/dev/null || true; }

echo "B1's channel for a steady sound (threshold 50, above; Niveaux=1, Temps_timer=200)"
echo "  bar level   channel value"
for level in ${KORVALEN_BENCH_NIVEAUX:-0 40 50 51 55 60 70 75 80 90 100}; do
    steady "$T/level.raw" "$level"
    "$OLAD_PRIVE" lire "$OLA_PORT" 1 1 >/dev/null    # olad answers before the run starts
    start_run "$T/level.raw" 200 0
    # The channel settles within a few ticks; read it once three readings 200 ms apart agree.
    last='' same=0
    for _ in $(seq 50); do
        now=$(b1); if [ "$now" = "$last" ]; then same=$((same + 1)); else same=0; fi; last=$now
        (( same >= 3 )) && break; sleep 0.2
    done
    printf '  %9s   %13s\n' "$level" "$last"
    stop_run
done

echo
echo "Frames while B1 fades out (Descente=300, Temps_timer=10, 1 s full / 1 s silence), ${MEASURE} s listened"
swapping "$T/swap.raw" 1 120
start_run "$T/swap.raw" 10 300 paced
"$OLAD_PRIVE" ecouter "$OLA_PORT" 1 1 $((MEASURE * 1000)) > "$T/frames.log"
stop_run
python3 - "$T/frames.log" <<'PY'
import statistics, sys
frames = [(int(f[0]), int(f[10])) for f in (l.split() for l in open(sys.argv[1])) if len(f) == 17]
fades, current, prev = [], None, None
for t, v in frames:
    if prev is not None and v < prev[1] and prev[1] == 255 and current is None:
        current = [prev]                      # the last full frame opens a fade
    if current is not None:
        current.append((t, v))
        if v == 0:
            fades.append(current); current = None
    prev = (t, v)
if not fades:
    sys.exit("no whole fade heard")
print("  fade  frames  duration ms  spacing ms mean / max  values")
spacings = []
for i, f in enumerate(fades, 1):
    gaps = [(b[0] - a[0]) / 1e6 for a, b in zip(f, f[1:])]
    spacings += gaps
    vals = " ".join(str(v) for _, v in f)
    print(f"  {i:4d}  {len(f) - 1:6d}  {(f[-1][0] - f[0][0]) / 1e6:11.0f}  {statistics.mean(gaps):9.1f} / {max(gaps):5.1f}  {vals}")
steady_frames = len(frames) - sum(len(f) - 1 for f in fades)
print(f"  frames per second while fading: {1000 / statistics.mean(spacings):.1f}; "
      f"frames outside the fades: {steady_frames} in {len(frames)} heard")
PY

echo
echo "Processor share at Temps_timer=10, ${MEASURE} s measured in the silence after full level"
for descente in 10000 0; do
    swapping "$T/long.raw" 12 48
    start_run "$T/long.raw" 10 "$descente" paced
    wait_for 30 eval '[ "$(b1)" = 255 ]' || fail "B1 never lit"
    wait_for 30 eval '[ "$(b1)" != 255 ]' || fail "B1 never went dark"   # the silence has begun
    sleep 0.3
    t0=$(process_ticks "$APP") n0=$(date +%s%N) th0=$(thread_table "$APP")
    sleep "$MEASURE"
    t1=$(process_ticks "$APP") n1=$(date +%s%N) th1=$(thread_table "$APP") v=$(b1)
    stop_run
    awk -v d="$descente" -v a="$t0" -v b="$t1" -v hz="$(getconf CLK_TCK)" -v ns=$((n1 - n0)) -v v="$v" 'BEGIN {
        printf "  Descente=%-5s %5.2f %% of one core%s\n", d, 100 * (b - a) / hz / (ns / 1e9),
            (d > 0 ? sprintf(" (B1 still fading: %d at the end)", v) : "") }'
    # The threads that ran: the window's thread first, then by share.
    awk -v ns=$((n1 - n0)) -v main="$APP" 'FNR == NR { cpu[$1] = $2; wake[$1] = $3; next }
        { c = $2 - cpu[$1]; k = $3 - wake[$1]; name = $1 == main ? "window thread" : "thread " $1
          if (c > 0) printf "      %-16s %5.2f %%  %5.0f wake-ups/s\n", name, 100 * c / ns, k / (ns / 1e9) }' \
        <(echo "$th0") <(echo "$th1") | sort -k3 -nr
done
