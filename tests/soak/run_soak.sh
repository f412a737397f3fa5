#!/usr/bin/env bash
# Soak run of the real program built with AddressSanitizer and UndefinedBehaviorSanitizer: a 10 ms
# refresh period on sound paced in real time, with the chaser and Slow toggled, modes picked by
# double click and the current mode saved from the mode editor, over and over, by mouse clicks.
# Fails on any sanitizer report (leaks at the end included), when the program stops writing the
# port or ends, or when its resident memory moves by more than 1 MB after the warm-up (the first
# fifth, at least 20 s).
# The run is made twice: in the sanitizer build for the reports, then in the ordinary build for the
# memory, as the sanitizers' own bookkeeping grows through a run.
# Usage: tests/soak/run_soak.sh [SECONDS (600)] [SANITIZER_BUILD_DIR (build-asan)] [BUILD_DIR (build)]
set -euo pipefail
SRC=$(cd "$(dirname "$0")/../.." && pwd)
DURATION=${1:-600}
BUILD=${2:-$SRC/build-asan}
PLAIN=${3:-$SRC/build}
source "$SRC/tests/lib/common.sh"
source "$SRC/tests/lib/program.sh"

mkdir -p "$BUILD"
cmake -S "$SRC" -B "$BUILD" -DKORVALEN_SANITIZE=ON -DKORVALEN_BUILD_TESTS=ON -DKORVALEN_BUILD_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$BUILD/configure.log" 2>&1 || { cat "$BUILD/configure.log"; exit 1; }
cmake --build "$BUILD" -j2 --target korvalen ppdev_shim

start_program_folder "$BUILD/korvalen"
mkdir -p "$T/sanitizer"
write_mode "$T/modes/fete.lum" 1:1 4:3
write_mode "$T/modes/slow.lum" 0:9 2:5 7:0
write_steps "$T/steps.raw" $((DURATION + 120)) 250
alsa_file_device "$T/asound.conf" "$T/steps.raw" paced
printf '[Options]\r\nTemps_timer=10\r\nrepertoire=%s\r\nfichierLUM=fete.lum\r\n[Port]\r\nPeripherique=/dev/korvalen-soak-port\r\n' \
    "$T/modes" > "$T/prog/Config.ini"

start_xvfb "$T/display"
start_sound_server "$T/run"

[ -f "$PLAIN/CMakeCache.txt" ] || cmake -S "$SRC" -B "$PLAIN" -DKORVALEN_BUILD_TESTS=ON >/dev/null
cmake --build "$PLAIN" -j2 --target korvalen ppdev_shim

export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:log_path=$T/sanitizer/asan"
export LSAN_OPTIONS="suppressions=$SRC/tests/soak/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$T/sanitizer/ubsan"

# True once the port log has more than $1 lines.
port_written_past() { (( $(wc -l < "$T/port.log") > $1 )); }
reports() { cat "$T"/sanitizer/* 2>/dev/null | head -c 20000; }
alive() { exited "$APP" && { cat "$T/out.log"; reports; fail "the program ended during the soak"; }; true; }

# Runs the program built in $1 (preloading $2 before the port stand-in) for DURATION seconds;
# with $3 = memory, checks that its resident memory stays flat after the warm-up.
soak() {
local build=$1 preload=$2 memory=${3:-}
echo "== soak of $build/korvalen for $DURATION s"
cp "$build/korvalen" "$T/prog/korvalen"
ALSA_CONFIG_PATH="$T/asound.conf" KORVALEN_FAKE_PARPORT=/dev/korvalen-soak-port KORVALEN_FAKE_PARPORT_LOG="$T/port.log" \
    LD_PRELOAD="$preload$build/tests/port/libppdev_shim.so" "$T/prog/korvalen" >"$T/out.log" 2>&1 &
APP=$!
PIDS+=("$APP")
MAIN=Korvalen EDITOR='Configuration des modes '
wait_for 60 centred_window "$MAIN" >/dev/null || { cat "$T/out.log"; fail "no main window"; }
# The mode editor stays open through the run; output A0 picked and made active, saved at each round.
click_twips "$MAIN" 0 0 2895 255                         # "Config Modes"
click_twips "$EDITOR" 3120 360 2295 315                  # Combo1
xdotool key Down
click_twips "$EDITOR" 5640 360 1335 375                  # "Active"
click_twips "$MAIN" 3000 3720 3735 855                   # "Lancement"
wait_for 30 grep -qs '^1 40017086 ' "$T/port.log" || fail "the port was never written"

WARMUP=${WARMUP:-$(( DURATION / 5 > 20 ? DURATION / 5 : 20 ))}
START=$(date +%s)
LOW='' HIGH='' ROUND=0
while (( $(date +%s) - START < DURATION )); do
    ROUND=$((ROUND + 1))
    click_twips "$MAIN" 120 4800 1455 495                # Check2(0), "Chenillard"
    click_twips "$MAIN" 1920 4800 1455 495               # Check2(1), "Slow"
    # File1 rows: the first at 1110 twips from the top, one every 13 px (195 twips).
    click_twips "$MAIN" 120 $((1110 + 195 * (ROUND % 2))) 2655 195 2
    click_twips "$EDITOR" 8040 240 2175 375              # "Enregistrer"
    alive
    before=$(wc -l < "$T/port.log")
    wait_for 30 port_written_past "$before" || fail "the port is no longer written"
    if [ -n "$memory" ] && (( $(date +%s) - START >= WARMUP )); then
        rss=$(rss_kb "$APP")
        if [ -z "$LOW" ] || (( rss < LOW )); then LOW=$rss; fi
        if [ -z "$HIGH" ] || (( rss > HIGH )); then HIGH=$rss; fi
    fi
done
[ -n "$(reports)" ] && { reports; fail "sanitizer report during the run"; }
echo "rounds: $ROUND"
if [ -n "$memory" ]; then
    echo "resident memory after the warm-up: $LOW..$HIGH kB"
    (( HIGH - LOW <= 1024 )) || fail "resident memory moved by $((HIGH - LOW)) kB after the warm-up"
fi

# Stop, then quit from the button; the leak check runs as the program ends. The run has stopped
# once the capture has let go of the sound file.
click_twips "$MAIN" 3000 3720 3735 855                   # "Arret"
wait_for 60 eval '! holds_open "$APP" "$T/steps.raw"' || fail "Arret did not stop the capture"
alive
click_twips "$MAIN" 6840 5520 2055 255                   # "Quitter"
click_box_button Quitter 1 2 >/dev/null || fail "no quit question with its buttons"   # "Oui"
wait_for 30 exited "$APP" || fail "Oui did not end the program"
wait "$APP" || { cat "$T/out.log"; reports; fail "the program ended with an error"; }
[ -z "$(reports)" ] || { reports; fail "sanitizer report at the end"; }
}

# The sanitizer runtime must come first among the preloaded libraries.
soak "$BUILD" "$(g++ -print-file-name=libasan.so):"
soak "$PLAIN" "" memory
echo "soak passed: twice ${DURATION} s, no sanitizer report, resident memory flat"
