#!/usr/bin/env bash
# Every window of the real program under Xvfb, used as a person would: mouse clicks at the controls'
# places (twips / 15, relative to the window), the mouse wheel on lists, typed keys. What leaves the
# program is checked: the port writes (the preloaded port stand-in's log), Config.ini and the mode
# files; the settings are checked again after a restart.
# Usage: run_windows.sh KORVALEN SHIM
set -euo pipefail
BIN=$1 SHIM=$2
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/../lib/program.sh"
start_program_folder "$BIN"
# As the program sees its own folder, for the paths it writes into Config.ini.
T=$(realpath "$T")
mkdir -p "$T/maison" "$T/run"
chmod 700 "$T/run"
INI=$T/prog/Config.ini

# The capture device plays signal.raw, either all ten levels at 100 or all at 0.
head -c 4000000 /dev/zero | tr '\0' '\144' > "$T/loud.raw"
head -c 4000000 /dev/zero > "$T/quiet.raw"
ln -s loud.raw "$T/signal.raw"
alsa_file_device "$T/asound.conf" "$T/signal.raw"
signal() { ln -sfn "$1.raw" "$T/signal.raw"; }

start_xvfb "$T/display"
# No [Port] section is ever written: the program opens the default device, which the stand-in takes.
export XDG_RUNTIME_DIR="$T/run" KORVALEN_FAKE_PARPORT=/dev/parport0 KORVALEN_FAKE_PARPORT_LOG="$T/port.log"
touch "$T/port.log"

MAIN=Korvalen EDITOR='Configuration des modes ' SORTIES='Configuration des sorties'
BOUTONS='Configuration des boutons' OPTIONS=Options FOLDER='Sélection du repertoire'

# Starts the program from folder $T, with $T/maison as the home folder (a drive of the folder picker).
start() {
    (cd "$T" && exec env ALSA_CONFIG_PATH="$T/asound.conf" LD_PRELOAD="$SHIM" HOME="$T/maison" \
        "$T/prog/korvalen") >>"$T/out.log" 2>&1 &
    APP=$!
    PIDS+=("$APP")
    wait_for 30 centred_window "$MAIN" >/dev/null || { cat "$T/out.log"; fail "no main window shown centred"; }
    WID=$(centred_window "$MAIN")
}
run_button() { click_twips "$MAIN" 3000 3720 3735 855; }   # "Lancement" / "Arret"
# The capture is open while the ALSA file device holds the sound file.
capturing() { holds_open "$APP" "$T/loud.raw" "$T/quiet.raw"; }
stop_run() {
    run_button   # "Arret"
    wait_for 15 eval '! capturing' || fail "Arret did not stop the capture"
}
# Keys pressed one after another, then released for sure (Xvfb can leave a key held down).
press() { xdotool key --delay 60 "$@"; xdotool keyup "$@"; }
# Replaces the text of the text box at the given twips of window $1 by $6, typed.
type_into() {
    click_twips "$1" "$2" "$3" "$4" "$5"
    press ctrl+a
    xdotool type --delay 40 "$6"
}
gone() { [ -z "$(window "$1")" ]; }
# True once Config.ini holds each line that follows.
ini_has() { local l; for l in "$@"; do grep -qxF "$l"$'\r' "$INI" 2>/dev/null || return 1; done; }
expect_ini() { wait_for 15 ini_has "$@" || { cat -A "$INI"; fail "Config.ini lacks one of: $*"; }; }

# Refresh writes to the port since the last mark, one "A B" line (group A's byte, group B's) each.
mark() { FROM=$(( $(wc -l < "$T/port.log") + 1 )); }
pairs() {
    tail -n +"$FROM" "$T/port.log" | awk '
        $1 == 1 && $2 == "40017086" { data = $3; next }
        $1 == 1 && $2 == "40017084" && $3 == 2 && data != "" { a = data; data = ""; next }
        $1 == 1 && $2 == "40017084" && $3 == 1 && data != "" { if (a != "") print a, data; a = ""; data = ""; next }'
}
# True once the last $1 refresh writes since the mark all sent $2 ("A B").
settled_on() { local got; got=$(pairs | tail -n "$1"); [ "$(grep -c . <<< "$got")" = "$1" ] && ! grep -qvx "$2" <<< "$got"; }
expect_lamps() {
    wait_for 20 settled_on 3 "$1" || { pairs | tail -n 8; fail "$2: the lamps did not settle on groups A B = $1"; }
}
# True once the last $1 refresh writes since the mark each light one lamp at most, all among the
# "A:B" pairs of $3 (0:0 is no lamp), with at least $2 different lamps among them.
chase_seen() {
    pairs | tail -n "$1" | awk -v n="$1" -v k="$2" -v allowed="$3" '
        BEGIN { split(allowed, list, " "); for (i in list) ok[list[i]] = 1 }
        { c++; if (!(($1 ":" $2) in ok)) bad = 1; if ($1 != 0 || $2 != 0) seen[$1 ":" $2] = 1 }
        END { for (s in seen) d++; exit !(c >= n && !bad && d >= k) }'
}
# One lamp of the ten that the chaser runs over (A0, A1, A3, B0, B1, B3 to B7)...
CHASE="1:0 2:0 8:0 0:1 0:2 0:8 0:16 0:32 0:64 0:128"
# ...and under Slow only A1, B1, B4 and B7, or none.
SLOW_CHASE="0:0 2:0 0:2 0:16 0:128"

# True once the port got, since the mark, exactly the writes of one call made while stopped: the
# lamps as they stand (group A $1, group B $2), then both groups cleared.
stopped_write() {
    local expected
    expected=$(printf '1 40017086 %s\n1 40017084 2\n1 40017084 0\n' "$1"
        printf '1 40017086 %s\n1 40017084 1\n1 40017084 0\n1 40017084 0\n1 40017086 0\n' "$2"
        printf '1 40017086 0\n1 40017084 2\n1 40017084 0\n1 40017086 0\n1 40017084 1\n1 40017084 0\n')
    [ "$(tail -n +"$FROM" "$T/port.log")" = "$expected" ]
}

# A digest of the pixels of live button $1 (0 to 4) of the main window, the mouse kept off it.
live_button() {
    local w
    w=$(centred_window "$MAIN") || return 1
    xdotool mousemove 0 0
    import -window "$w" png:- 2>/dev/null |
        convert png:- -crop "97x33+$((8 + 120 * $1))+320" +repage rgb:- 2>/dev/null | md5sum
}

# The text of a mode file in which each "G:J:SENSE:THRESHOLD" that follows gives output BG, then
# active, that sense and threshold for bar J; everything else is inactive or 0.
mode_text() {
    local g i s bar sense threshold
    declare -A value=() active=()
    for s in "$@"; do
        IFS=: read -r g bar sense threshold <<< "$s"
        active[$g]=1 value[$g:$((bar * 4 + 2))]=$sense value[$g:$((bar * 4 + 3))]=$threshold
    done
    for g in 0 1 2 3 4 5 6 7; do
        if [ -n "${active[$g]:-}" ]; then printf '#FALSE#,#TRUE#\r\n'; else printf '#FALSE#,#FALSE#\r\n'; fi
        for i in $(seq 0 39); do printf '%s,' "${value[$g:$i]:-0}"; done
    done
}
# In the mode editor, makes output number $1 (its place in the output list, from the place $2 chosen
# before) active with bar $3 compared by $4 ("<" or ">") to 40, and stores it with "Enregistrer".
edit_output() {
    local target=$1 from=$2 bar=$3 sense=$4 keys=() option=3480
    click_twips "$EDITOR" 3120 360 2295 315                         # Combo1's text field
    for _ in $(seq $((target - from))); do keys+=(Down); done
    press "${keys[@]}"
    click_twips "$EDITOR" 5640 360 1335 375                         # "Active"
    click_twips "$EDITOR" $((3360 + 720 * bar)) 960 255 195         # Check2(bar): the bar is used
    [ "$sense" = ">" ] && option=3720
    click_twips "$EDITOR" $((3240 + 720 * bar)) "$option" 495 255   # Option1(bar) "<" or Option2(bar) ">"
    click_twips "$EDITOR" $((3240 + 720 * bar)) 1080 495 2415       # Slider1(bar)
    press Home Prior Prior Prior Prior                              # 0, then four pages of 10
    click_twips "$EDITOR" 8040 240 2175 375                         # "Enregistrer"
}
# The main window's mode list, row 0 (13 px rows from 1110 twips), double-clicked.
pick_first_mode() { click_twips "$MAIN" 120 1110 2655 195 2; }

# Asks to quit by the close box: "Non" keeps the program, then "Oui" ends it, asked once.
quit_by_close_box() {
    close_box "$WID"
    click_box_button Quitter 2 2 >/dev/null || fail "the close box asked no question"   # "Non"
    close_box "$WID"   # answered only by a program still running
    answer_quit_oui "$APP"
}
quit_by_button() {
    click_twips "$MAIN" 6840 5520 2055 255   # "Quitter"
    answer_quit_oui "$APP"
}

echo "case: first start without Config.ini; a mode made in the mode editor; the close box"
start
[ -e "$INI" ] && fail "the start-up wrote Config.ini"
# Every live button bears the name of output A0, the default assignment.
alike() { local b first; first=$(live_button 0) || return 1; for b in 1 2 3 4; do [ "$(live_button "$b")" = "$first" ] || return 1; done; }
wait_for 15 alike || fail "the live buttons do not all bear one name"
mark
run_button   # "Lancement"
expect_lamps "0 0" "no mode loaded"
stop_run
click_twips "$MAIN" 0 0 2895 255            # "Config Modes"
click_twips "$EDITOR" 120 4200 1095 375     # "Add"
wait_for 20 eval '[ -n "$(window Nouveau)" ]' || fail "Add showed no file dialog"
# The name typed into the dialog, which opens in the save folder: by default the program's folder.
xdotool mousemove --window "$(window Nouveau)" 20 20
xdotool type --delay 40 cree
press Return
printf '"vide"\r\n' > "$T/placeholder"
wait_for 15 cmp -s "$T/placeholder" "$T/prog/cree.lum" || fail "Add did not create cree.lum as an empty mode"
printf '[Options]\r\nTemps_timer=200\r\nrepertoire=%s\r\nfichierLUM=\r\n' "$T/prog" > "$T/expected.ini"
wait_for 15 cmp -s "$T/expected.ini" "$INI" || { cat -A "$INI"; fail "Add did not save the options"; }
pick_first_mode   # cree.lum becomes the current mode
# B1 lit while bar 1 is above 40, B3 while bar 2 is below 40.
edit_output 9 -1 1 ">"
edit_output 11 9 2 "<"
mode_text 1:1:2:40 3:2:1:40 > "$T/expected.lum"
wait_for 15 cmp -s "$T/expected.lum" "$T/prog/cree.lum" ||
    { cat -A "$T/prog/cree.lum"; fail "Enregistrer did not save the mode made in the editor"; }
mark
run_button   # "Lancement"
expect_lamps "0 2" "the mode just saved, on a loud signal"
stop_run
quit_by_close_box
echo "ok"

echo "case: a mode picked in the list drives the lamps; Slow and the chaser; Initialisation"
start
# A chaser period of twice the refresh period, so that the refresh writes show every step.
click_twips "$MAIN" 3000 0 3735 255                           # "Options"
type_into "$OPTIONS" 2880 2040 615 285 400                    # Text3, the chaser period
click_twips "$OPTIONS" 3600 2760 975 375                      # "Appliquer"
wait_for 15 gone "$OPTIONS" || fail "the options window stayed"
mark
run_button   # "Lancement"
expect_lamps "0 0" "no current mode saved"
pick_first_mode
expect_lamps "0 2" "the mode picked during the run, on a loud signal"
stop_run
signal quiet
mark
run_button   # "Lancement"
expect_lamps "0 8" "the mode on silence"
mark
click_twips "$MAIN" 1920 4800 1455 495   # Check2(1), "Slow": masks B3
expect_lamps "0 0" "Slow"
mark
click_twips "$MAIN" 120 4800 1455 495    # Check2(0), "Chenillard"
wait_for 40 chase_seen 12 2 "$SLOW_CHASE" || { pairs | tail -n 12; fail "no chase of the outputs that Slow leaves"; }
mark
click_twips "$MAIN" 1920 4800 1455 495   # "Slow" released
wait_for 40 chase_seen 12 4 "$CHASE" || { pairs | tail -n 12; fail "no chase over the ten outputs"; }
mark
click_twips "$MAIN" 120 4800 1455 495    # "Chenillard" released
expect_lamps "0 8" "the chaser released"
stop_run
mark
click_twips "$MAIN" 3000 5520 3735 255   # "Initialisation"
wait_for 15 stopped_write 0 8 || { tail -n +"$FROM" "$T/port.log"; fail "Initialisation did not leave both groups at 0"; }
quit_by_button
echo "ok"

echo "case: a setting of each settings window survives a restart"
signal loud
write_mode "$T/maison/cree.lum" 7:6   # B7 follows bar 6
start
before=$(live_button 3)
click_twips "$MAIN" 6840 0 2055 255                           # "Config Sorties"
type_into "$SORTIES" 3000 360 1695 285 Stroboscope            # Text2(1), the name of B1
click_twips "$SORTIES" 3960 3480 1095 375                     # "Appliquer"
expect_ini "B 1=Stroboscope" "A 0=Spot A0"
click_twips "$MAIN" 0 5520 2895 255                           # "Config Boutons"
# Rows 4 and 5 turned to the tenth output, B1; the others left empty, which unassigns them.
click_twips "$BOUTONS" 1440 1200 1215 315 10 5                # Combo1(3)
click_twips "$BOUTONS" 1440 1560 1215 315 10 5                # Combo1(4)
click_twips "$BOUTONS" 1680 2040 1215 375                     # "Appliquer"
expect_ini Bouton1=-1 Bouton2=-1 Bouton3=-1 Bouton4=9 Bouton5=9
assigned() { after=$(live_button 3) && [ "$after" != "$before" ] && [ "$(live_button 4)" = "$after" ]; }
wait_for 15 assigned || fail "live buttons 4 and 5 were not relabelled alike"
pick_first_mode                                               # cree.lum of the program's folder
click_twips "$MAIN" 3000 0 3735 255                           # "Options"
type_into "$OPTIONS" 2280 120 495 285 100                     # Text1, the refresh period
click_twips "$OPTIONS" 3840 840 615 255                       # "..."
click_twips "$FOLDER" 120 0 2895 315 5 4                      # drv, wheel up: the first drive, "/"
click_twips "$FOLDER" 120 0 2895 315 1 5                      # then the next one, the home folder
click_twips "$FOLDER" 1560 2040 1455 375                      # "Appliquer"
wait_for 15 gone "$FOLDER" || fail "the folder picker stayed"
click_twips "$OPTIONS" 3600 2760 975 375                      # "Appliquer"
expect_ini Temps_timer=100 "repertoire=$T/maison" fichierLUM=cree.lum
quit_by_close_box
# Again, from what Config.ini holds.
start
relabelled() { [ "$(live_button 3)" = "$after" ] && [ "$(live_button 4)" = "$after" ] && [ "$(live_button 0)" != "$after" ]; }
wait_for 15 relabelled || fail "after a restart, live buttons 4 and 5 do not bear the new name of B1"
mark
run_button   # "Lancement": cree.lum of the home folder, loaded at start-up
expect_lamps "0 128" "the mode of the save folder chosen before the restart"
stop_run
# The windows show what was loaded: applied again, they write it back beside a new change.
click_twips "$MAIN" 6840 0 2055 255                           # "Config Sorties"
type_into "$SORTIES" 360 0 1695 285 Laser                     # Text1(0), the name of A0
click_twips "$SORTIES" 3960 3480 1095 375                     # "Appliquer"
wait_for 15 gone "$SORTIES" || fail "the output window stayed"
expect_ini "A 0=Laser" "B 1=Stroboscope"
click_twips "$MAIN" 3000 0 3735 255                           # "Options"
click_twips "$OPTIONS" 3600 2760 975 375                      # "Appliquer"
wait_for 15 gone "$OPTIONS" || fail "the options window stayed"
expect_ini Temps_timer=100 "repertoire=$T/maison" fichierLUM=cree.lum
quit_by_button
echo "ok"

echo "case: close boxes, Ecriture des sorties, a mode file deleted after a question"
start
click_twips "$MAIN" 6840 0 2055 255                           # "Config Sorties"
type_into "$SORTIES" 360 0 1695 285 Perdu                     # Text1(0)
close_box "$(centred_window "$SORTIES")"
wait_for 15 gone "$SORTIES" || fail "the close box left the output window open"
ini_has "A 0=Laser" || fail "the output window's close box saved its names"
mark
run_button   # "Lancement"
expect_lamps "0 128" "the mode of the save folder"
# Refused while running, without a question: a question would hold up the run button.
close_box "$WID"
run_button   # "Arret"
wait_for 15 eval '! capturing' || fail "Arret did not stop the capture after the close box"
[ -z "$(window Quitter)" ] || fail "the close box asked while running"
exited "$APP" && fail "the close box ended the program while running"
click_twips "$MAIN" 6840 0 2055 255                           # "Config Sorties"
mark
click_twips "$SORTIES" 0 2880 5175 495                        # "Ecriture des sorties"
wait_for 15 stopped_write 0 128 ||
    { tail -n +"$FROM" "$T/port.log"; fail "Ecriture des sorties did not send B7 then clear both groups"; }
click_twips "$SORTIES" 2760 3480 1095 375                     # "Annuler"
wait_for 15 gone "$SORTIES" || fail "Annuler left the output window open"
click_twips "$MAIN" 0 0 2895 255                              # "Config Modes"
click_twips "$EDITOR" 120 750 2655 195                        # File1, row 0: cree.lum
click_twips "$EDITOR" 1680 4200 1095 375                      # "Suprimer"
click_box_button Effacer 2 2 >/dev/null || fail "no question before deleting"   # "Non"
[ -e "$T/maison/cree.lum" ] || fail "Non deleted the mode file"
click_twips "$EDITOR" 1680 4200 1095 375                      # "Suprimer"
click_box_button Effacer 1 2 >/dev/null || fail "no question before deleting, the second time"   # "Oui"
wait_for 15 eval '[ ! -e "$T/maison/cree.lum" ]' || fail "Oui did not delete the mode file"
click_twips "$EDITOR" 9000 4320 1455 375                      # "Quitter" of the editor
wait_for 15 gone "$EDITOR" || fail "Quitter left the mode editor open"
close_box "$WID"
answer_quit_oui "$APP"
echo "ok"

echo "case: Suprimer with only the keyboard's focus in the list; a mode picked under the open editor"
mode_text 1:1:2:40 > "$T/maison/a.lum"            # B1 above 40 on bar 1
mode_text 1:1:1:70 4:3:2:20 > "$T/maison/b.lum"   # B1 below 70 on bar 1, B4 above 20 on bar 3
cp "$T/maison/a.lum" "$T/a.before"
cp "$T/maison/b.lum" "$T/b.before"
start
click_twips "$MAIN" 0 0 2895 255                              # "Config Modes"
click_twips "$EDITOR" 4000 4380 4000 255                      # the editor's empty foot: the window takes the keys
press Tab                                                     # the file list: a current row, none selected
click_twips "$EDITOR" 1680 4200 1095 375                      # "Suprimer"
click_box_button Attention 1 1 >/dev/null || fail "Suprimer did not say that no file is selected"
[ -z "$(window Effacer)" ] || fail "Suprimer asked to delete a file nobody selected"
cmp -s "$T/a.before" "$T/maison/a.lum" && cmp -s "$T/b.before" "$T/maison/b.lum" || fail "a mode file was deleted or changed"
pick_first_mode                                               # a.lum is the current mode
click_twips "$EDITOR" 3120 360 2295 315                       # Combo1's text field
press Down Down Down Down Down Down Down Down Down Down      # output B1, the tenth
click_twips "$MAIN" 120 1305 2655 195 2                       # the main list's row 1, b.lum, double-clicked
before=$(stat -c %y "$T/maison/b.lum")
click_twips "$EDITOR" 8040 240 2175 375                       # "Enregistrer", nothing changed
wait_for 15 eval '[ "$(stat -c %y "$T/maison/b.lum")" != "$before" ]' || fail "Enregistrer did not save b.lum"
cmp -s "$T/b.before" "$T/maison/b.lum" ||
    { cat -A "$T/maison/b.lum"; fail "Enregistrer wrote what the editor showed of another mode into b.lum"; }
cmp -s "$T/a.before" "$T/maison/a.lum" || fail "a.lum changed"
quit_by_button
echo "ok"
echo "case: the remote control's window from Options: a tablet's port taken at once, without a restart"
TELECOMMANDE='Télécommande'
OSC_PORT=$(python3 -c 'import socket; s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
signal loud
start
click_twips "$MAIN" 3000 0 3735 255                           # "Options"
click_twips "$OPTIONS" 4800 2760 2880 375                     # "Télécommande…"
wait_for 15 centred_window "$TELECOMMANDE" >/dev/null || fail "Télécommande… opened no window"
type_into "$TELECOMMANDE" 5160 420 975 285 "$OSC_PORT"         # TextPort, in the OSC frame
click_twips "$TELECOMMANDE" 6120 4320 975 375                 # "Appliquer"
wait_for 15 gone "$TELECOMMANDE" || fail "Appliquer left the remote control's window open"
expect_ini "[OSC]" "Port=$OSC_PORT" "Ecoute=local"
oscsend 127.0.0.1 "$OSC_PORT" /korvalen/lancement i 1
wait_for 15 capturing || { cat "$T/out.log"; fail "the port applied did not take /korvalen/lancement 1"; }
oscsend 127.0.0.1 "$OSC_PORT" /korvalen/lancement i 0
wait_for 15 eval '! capturing' || fail "the port applied did not take /korvalen/lancement 0"
click_twips "$OPTIONS" 2520 2760 975 375                      # "Annuler" of the options window
wait_for 15 gone "$OPTIONS" || fail "Annuler left the options window open"
quit_by_button
echo "ok"
echo "6 passed, 0 failed"
