#!/usr/bin/env bash
# The real program under Xvfb with a private sound server: a run from start to quit prints nothing
# (no ALSA or JACK line); with the server frozen, the window shows all the same, answers a screen
# reader while "Lancement" waits for the server, and the opening then fails with its notice.
# Usage: run_quiet.sh KORVALEN SHIM
set -euo pipefail
BIN=$1 SHIM=$2
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/../lib/program.sh"
start_program_folder "$BIN"
printf '[Options]\r\nrepertoire=%s\r\n[Port]\r\nPeripherique=/dev/korvalen-quiet-port\r\n' "$T/modes" > "$T/prog/Config.ini"
start_xvfb "$T/display"
start_accessibility_bus
start_sound_server "$T/sound"
export KORVALEN_FAKE_PARPORT=/dev/korvalen-quiet-port KORVALEN_FAKE_PARPORT_LOG="$T/port.log"
trap 'kill -CONT "$SOUND_SERVER_PID" 2>/dev/null || true; for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$T"' EXIT

start() {
    env LD_PRELOAD="$SHIM" "$T/prog/korvalen" >"$T/out.log" 2>&1 &
    APP=$!
    PIDS+=("$APP")
}
run_button() { click_twips Korvalen 3000 3720 3735 855; }   # "Lancement" / "Arret"
# The ten level bars as a screen reader reads them.
bars_read() { [ "$(accessible_bars korvalen | grep -c '^Niveau de la barre')" = 10 ]; }

echo "case: a run from start to quit, with a sound server, prints nothing"
start
wait_for 15 centred_window Korvalen >/dev/null || { cat "$T/out.log"; fail "no main window"; }
run_button
wait_for 30 grep -Eqs ' 40017084 1( |$)' "$T/port.log" || { cat "$T/out.log"; fail "the run did not reach the port"; }
run_button
click_twips Korvalen 6840 5520 2055 255                    # "Quitter"
answer_quit_oui "$APP"
[ ! -s "$T/out.log" ] || { cat "$T/out.log"; fail "the program printed the lines above"; }

echo "case: the sound server frozen: the window shows and answers while Lancement waits"
kill -STOP "$SOUND_SERVER_PID"
start
wait_for 15 centred_window Korvalen >/dev/null || fail "no main window while the sound server is frozen"
# The listing's notice says that the server does not answer.
wait_for 20 eval '[ -n "$(window "Carte son")" ]' || fail "no notice that the sound server does not answer"
run_button
# A screen reader's question is answered while the opening still waits for the server: its
# notice only comes after it has waited its bound.
bars_read || fail "the window does not answer a screen reader while Lancement waits"
[ -z "$(window 'Ack!')" ] || fail "the opening did not wait for the frozen server"
wait_for 20 eval '[ -n "$(window "Ack!")" ]' || fail "no notice that the device did not open"
kill -CONT "$SOUND_SERVER_PID"
echo "quiet: ok"
