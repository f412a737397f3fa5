#!/usr/bin/env bash
# Soak run of the real program built with AddressSanitizer and UndefinedBehaviorSanitizer: a 10 ms
# refresh period on sound paced in real time, with the chaser and Slow toggled, modes picked by
# double click and the current mode saved from the mode editor, over and over, by mouse clicks.
# Fails on any sanitizer report, when the program stops writing the port or ends, or when its
# resident memory moves by more than 1 MB after the warm-up (the first fifth, at least 20 s).
# Usage: tests/soak/run_soak.sh [SECONDS (600)] [BUILD_DIR (build-asan beside the sources)]
set -euo pipefail
SRC=$(cd "$(dirname "$0")/../.." && pwd)
DURATION=${1:-600}
BUILD=${2:-$SRC/build-asan}
source "$SRC/tests/lib/common.sh"
source "$SRC/tests/lib/program.sh"

cmake -S "$SRC" -B "$BUILD" -DKORVALEN_SANITIZE=ON -DKORVALEN_BUILD_TESTS=ON -DKORVALEN_BUILD_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$BUILD.configure.log" 2>&1 || { cat "$BUILD.configure.log"; exit 1; }
cmake --build "$BUILD" -j2 --target korvalen ppdev_shim

T=$(mktemp -d)
PIDS=()
cleanup() { for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$T"; }
trap cleanup EXIT

mkdir -p "$T/prog" "$T/modes" "$T/sanitizer"
cp "$BUILD/korvalen" "$T/prog/korvalen"
write_mode "$T/modes/fete.lum" 1:1 4:3
write_mode "$T/modes/slow.lum" 0:9 2:5 7:0
write_steps "$T/steps.raw" $((DURATION + 120)) 250
alsa_file_device "$T/asound.conf" "$T/steps.raw" paced
printf '[Options]\r\nTemps_timer=10\r\nrepertoire=%s\r\nfichierLUM=fete.lum\r\n[Port]\r\nPeripherique=/dev/korvalen-soak-port\r\n' \
    "$T/modes" > "$T/prog/Config.ini"

start_xvfb "$T/display"
start_sound_server "$T/run"

# The sanitizer runtime must come first among the preloaded libraries.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:log_path=$T/sanitizer/asan:quarantine_size_mb=16"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$T/sanitizer/ubsan"
export LSAN_OPTIONS="suppressions=$SRC/tests/soak/lsan.supp:print_suppressions=0"
ALSA_CONFIG_PATH="$T/asound.conf" KORVALEN_FAKE_PARPORT=/dev/korvalen-soak-port KORVALEN_FAKE_PARPORT_LOG="$T/port.log" \
    LD_PRELOAD="$(g++ -print-file-name=libasan.so):$BUILD/tests/port/ppdev_shim.so" \
    "$T/prog/korvalen" >"$T/out.log" 2>&1 &
APP=$!
PIDS+=("$APP")

reports() { cat "$T"/sanitizer/* 2>/dev/null | head -c 20000; }
alive() { exited "$APP" && { cat "$T/out.log"; reports; fail "the program ended during the soak"; }; true; }

MAIN=Korvalen EDITOR='Configuration des modes '
wait_for 60 centred_window "$MAIN" >/dev/null || { cat "$T/out.log"; fail "no main window"; }
# The mode editor stays open through the run; output A0 picked and made active, saved at each round.
click_twips "$MAIN" 0 0 2895 255                         # "Config Modes"
click_twips "$EDITOR" 3120 360 2295 315                  # Combo1
xdotool key Down
click_twips "$EDITOR" 5640 360 1335 375                  # "Active"
click_twips "$MAIN" 3000 3720 3735 855                   # "Lancement"
wait_for 30 grep -qs '^1 40017086 ' "$T/port.log" || fail "the port was never written"

WARMUP=$(( DURATION / 5 > 20 ? DURATION / 5 : 20 ))
START=$(date +%s)
LOW='' HIGH='' ROUND=0
while (( $(date +%s) - START < DURATION )); do
    ROUND=$((ROUND + 1))
    click_twips "$MAIN" 120 4800 1455 495                # Check2(0), "Chenillard"
    click_twips "$MAIN" 1920 4800 1455 495               # Check2(1), "Slow"
    # File1 rows: the list starts at 120, 1080 twips; one row is 17 px (255 twips).
    click_twips "$MAIN" 120 $((1080 + 255 * (ROUND % 2))) 2655 255 2
    click_twips "$EDITOR" 8040 240 2175 375              # "Enregistrer"
    alive
    before=$(wc -l < "$T/port.log")
    wait_for 30 test "$(wc -l < "$T/port.log")" -gt "$before" || fail "the port is no longer written"
    if (( $(date +%s) - START >= WARMUP )); then
        rss=$(rss_kb "$APP")
        if [ -z "$LOW" ] || (( rss < LOW )); then LOW=$rss; fi
        if [ -z "$HIGH" ] || (( rss > HIGH )); then HIGH=$rss; fi
    fi
done
[ -n "$(reports)" ] && { reports; fail "sanitizer report during the run"; }
echo "rounds: $ROUND; resident memory after the warm-up: $LOW..$HIGH kB"
(( HIGH - LOW <= 1024 )) || fail "resident memory moved by $((HIGH - LOW)) kB after the warm-up"

# Stop, then quit from the button; the leak check runs as the program ends.
click_twips "$MAIN" 3000 3720 3735 855                   # "Arret"
click_twips "$MAIN" 6840 5520 2055 255                   # "Quitter"
wait_for 30 centred_window Quitter >/dev/null || fail "no quit question"
w=$(centred_window Quitter)
eval "$(xdotool getwindowgeometry --shell "$w")"
# "Oui" is the left one of the two buttons at the bottom right of the box.
xdotool mousemove --window "$w" $((WIDTH - 140)) $((HEIGHT - 22)) click 1
wait_for 60 exited "$APP" || fail "the program did not end"
wait "$APP" || { cat "$T/out.log"; reports; fail "the program ended with an error"; }
[ -z "$(reports)" ] || { reports; fail "sanitizer report at the end"; }
echo "soak passed: ${DURATION} s, no sanitizer report"
