#!/usr/bin/env bash
# Remakes the README's screenshots from the real program under Xvfb: the main window while running
# on loud sound, the mode editor showing output B1 of the same mode, the options window with
# the frequency bands and the automatic gain chosen, and the lamp output window set for LED pars.
# Usage: bash docs/screenshots.sh [BUILD_DIR (build)]
set -euo pipefail
SRC=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$SRC/build}" && pwd)
source "$SRC/tests/lib/common.sh"
source "$SRC/tests/lib/program.sh"
start_program_folder "$BUILD/korvalen"

write_mode "$T/modes/fete.lum" 1:1 4:3
write_mode "$T/modes/salon.lum" 0:0
head -c 4000000 /dev/zero | tr '\0' '\144' > "$T/loud.raw"   # 16-bit samples 0x6464: every level at full
alsa_file_device "$T/asound.conf" "$T/loud.raw"
printf '[Options]\r\nrepertoire=%s\r\nfichierLUM=fete.lum\r\n[Port]\r\nPeripherique=/dev/korvalen-shot-port\r\n' \
    "$T/modes" > "$T/prog/Config.ini"
start_xvfb "$T/display"
XDG_RUNTIME_DIR="$T" ALSA_CONFIG_PATH="$T/asound.conf" KORVALEN_FAKE_PARPORT=/dev/korvalen-shot-port KORVALEN_FAKE_PARPORT_LOG="$T/port.log" \
    LD_PRELOAD="$BUILD/tests/port/libppdev_shim.so" "$T/prog/korvalen" >"$T/out.log" 2>&1 &
PIDS+=($!)
# The editor first: "Config Modes" is off while the program runs.
EDITOR='Configuration des modes '
click_twips Korvalen 0 0 2895 255                           # "Config Modes"
wait_for 20 centred_window "$EDITOR" >/dev/null || fail "no mode editor"
picture() { import -window "$(centred_window "$EDITOR")" rgb:- 2>/dev/null | md5sum; }
empty=$(picture)
click_twips "$EDITOR" 3120 360 2295 315                     # Combo1, then down to B1
xdotool key --delay 50 Down Down Down Down Down Down Down Down Down Down Return
xdotool keyup Down Return
# The picture is taken once the editor shows the choice and has stopped changing.
last=$empty
wait_for 20 eval 'now=$(picture); [ "$now" != "$empty" ] && [ "$now" = "$last" ] || { last=$now; false; }' ||
    fail "the editor did not show the output"
import -window "$(centred_window "$EDITOR")" "$SRC/docs/mode-editor.png"

click_twips Korvalen 3000 0 3735 255                       # "Options", while stopped
wait_for 20 centred_window Options >/dev/null || fail "no options window"
click_twips Options 4920 780 2640 300                      # "Bandes de fréquence"
click_twips Options 4920 1380 2640 300                     # "Gain automatique"
shot() { import -window "$(centred_window Options)" rgb:- 2>/dev/null | md5sum; }
last=''                                                     # taken once it has stopped changing
wait_for 20 eval 'now=$(shot); [ "$now" = "$last" ] || { last=$now; false; }' || fail "the options window kept changing"
import -window "$(centred_window Options)" "$SRC/docs/options-window.png"

LAMPES='Sortie des lampes'
click_twips Options 4800 3240 2880 375                     # "Sortie des lampes…"
wait_for 20 centred_window "$LAMPES" >/dev/null || fail "no lamp output window"
click_twips "$LAMPES" 240 780 1200 300                     # "OLA", on its caption
click_twips "$LAMPES" 120 3000 1200 300                    # "Niveaux"
click_twips "$LAMPES" 1680 3360 1215 285                   # "Descente": 300 ms
xdotool key ctrl+a && xdotool keyup ctrl+a && xdotool type --delay 50 300
lampes() { import -window "$(centred_window "$LAMPES")" rgb:- 2>/dev/null | md5sum; }
last=''
wait_for 20 eval 'now=$(lampes); [ "$now" = "$last" ] || { last=$now; false; }' || fail "the lamp window kept changing"
import -window "$(centred_window "$LAMPES")" "$SRC/docs/lamp-output.png"
click_twips "$LAMPES" 2760 3720 975 375                    # "Annuler": the settings stay as they were
wait_for 20 eval '! centred_window "$LAMPES" >/dev/null' || fail "the lamp output window stayed open"
click_twips Options 2520 2760 975 375                      # "Annuler"
wait_for 20 eval '! centred_window Options >/dev/null' || fail "the options window stayed open"

click_twips Korvalen 3000 3720 3735 855                    # "Lancement", the main window raised
wait_for 20 grep -qs "^1 40017086 18\$" "$T/port.log" || { tail -n 5 "$T/port.log" "$T/out.log"; fail "the lamps never lit"; }
lines=$(wc -l < "$T/port.log")                              # one more tick: the bars are painted
wait_for 10 eval '[ "$(wc -l < "$T/port.log")" -ge $((lines + 16)) ]' || fail "the ticks stopped"
import -window "$(centred_window Korvalen)" "$SRC/docs/main-window.png"

echo "made docs/main-window.png, docs/mode-editor.png, docs/options-window.png and docs/lamp-output.png"
