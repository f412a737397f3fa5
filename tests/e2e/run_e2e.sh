#!/usr/bin/env bash
# The real program end to end under Xvfb: sound from an ALSA file device, lamps through the
# preloaded ppdev stand-in or a private olad, clicks with xdotool.
# Usage: run_e2e.sh KORVALEN SHIM [SCREENSHOT.png]; OLAD_PRIVE names the private olad helper
# (by default the one built beside the shim).
set -euo pipefail
BIN=$1 SHIM=$2 SHOT=${3:-}
OLAD_PRIVE=${OLAD_PRIVE:-$(dirname "$SHIM")/../ola/olad_prive}
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/../lib/program.sh"
start_program_folder "$BIN"

# 16-bit samples 0x6464, 8-bit 228 once narrowed: all ten levels at 100.
head -c 4000000 /dev/zero | tr '\0' '\144' > "$T/loud.raw"
cat > "$T/loud.conf" <<EOF
pcm.!default { type file slave.pcm { type null } file "/dev/null" infile "$T/loud.raw" format "raw" }
EOF
echo 'pcm.nothing { type hw card 7 }' > "$T/none.conf"

# A mode in which B1 follows bar 1 and B4 follows bar 3 above 50: group B byte 2 + 16 = 18.
write_mode "$T/modes/fete.lum" 1:1 4:3
# Config.ini with the mode above and the given lines of [Port].
write_config() {
    printf '[Options]\r\nrepertoire=%s\r\nfichierLUM=fete.lum\r\n[Port]\r\n' "$T/modes" > "$T/prog/Config.ini"
    printf '%s\r\n' "$@" >> "$T/prog/Config.ini"
}
write_config Peripherique=/dev/korvalen-e2e-port

start_xvfb "$T/display"
export XDG_RUNTIME_DIR="$T" KORVALEN_FAKE_PARPORT=/dev/korvalen-e2e-port KORVALEN_FAKE_PARPORT_LOG="$T/port.log"

# Starts the program on ALSA configuration $1, with the environment settings that follow.
start() {
    env ALSA_CONFIG_PATH="$1" LD_PRELOAD="$SHIM" "${@:2}" "$T/prog/korvalen" >>"$T/out.log" 2>&1 &
    APP=$!
    PIDS+=("$APP")
}
# Clicks "Quitter" and answers "Oui"; fails unless the program then ends, asked once, without error.
quit_app() {
    xdotool mousemove --window "$WID" 524 376 click 1   # "Quitter", enabled once the run has stopped
    answer_quit_oui "$APP"
}
main_window() {
    wait_for 15 centred_window Korvalen >/dev/null || fail "no main window shown centred"
    WID=$(centred_window Korvalen)
}
run_button() { xdotool mousemove --window "$WID" 324 276 click 1; }   # "Lancement" / "Arret"
# The capture is open while the ALSA file device holds the sound file.
capturing() { holds_open "$APP" "$T/loud.raw"; }

PPWDATA=40017086 PPWCONTROL=40017084 PPCLAIM=708b PPRELEASE=708c

echo "case: sound drives the lamps and the bars a screen reader reads; Arret leaves them lit; one question to quit"
start_accessibility_bus
start "$T/loud.conf"
main_window
run_button   # "Lancement"
# Group B's byte 18 shows that sound and mode reached the port.
wait_for 10 grep -qs "^1 $PPWDATA 18\$" "$T/port.log" || { cat "$T/out.log"; fail "group B never received 18"; }
# The ten bars, as the accessibility bus gives them to a screen reader: each at the loud level.
all_bars_full() { [ "$(accessible_bars korvalen | grep -c '^Niveau de la barre [0-9]*=100$')" = 10 ]; }
wait_for 30 all_bars_full || { accessible_bars korvalen; fail "the accessibility bus does not show ten bars at 100"; }
grep -qs "^1 $PPCLAIM -1\$" "$T/port.log" || fail "the port was not claimed"
if [ -n "$SHOT" ]; then
    # One more tick, so that the bars have been painted.
    lines=$(wc -l < "$T/port.log")
    wait_for 10 eval '[ "$(wc -l < "$T/port.log")" -ge $((lines + 16)) ]' || fail "the ticks stopped"
    import -window root -crop 599x390+212+189 "$SHOT"
fi
run_button   # "Arret"
quit_app
# The last refresh wrote the lamps while running (group A 0, group B 18); after Arret nothing
# more reached the port until the release at the end: the lamps stayed as they were.
expected="1 $PPWDATA 0
1 $PPWCONTROL 2
1 $PPWCONTROL 0
1 $PPWDATA 18
1 $PPWCONTROL 1
1 $PPWCONTROL 0
1 $PPWCONTROL 0
1 $PPWDATA 0
1 $PPRELEASE -1
2 0 -1"
[ "$(tail -n 10 "$T/port.log")" = "$expected" ] || { tail -n 24 "$T/port.log"; fail "the port was written after Arret"; }
echo "ok"

echo "case: no capture device"
start "$T/none.conf"
click_box_button 'Ack!' 1 1 >/dev/null || fail "no 'Ack!' message with its button"
xdotool search --onlyvisible --name '^Korvalen$' >/dev/null && fail "the main window opened without a device"
wait_for 10 exited "$APP" || fail "the program did not end after the message"
echo "ok"

echo "case: a port that another program holds; the notice does not hold up the window"
: > "$T/port.log"
start "$T/loud.conf" KORVALEN_FAKE_PARPORT_CLAIM=wait
wait_for 15 centred_window Korvalen >/dev/null || fail "no main window shown centred"
WID=$(centred_window Korvalen)
wait_for 10 eval '[ -n "$(window "Port parallèle")" ]' || fail "no port notice"
[ "$(cat "$T/port.log")" = "0 0 2
1 $PPCLAIM -1
2 0 -1" ] || { cat "$T/port.log"; fail "the claim that waits was not given up"; }
xdotool mousemove --window "$WID" 524 376 click 1   # "Quitter", with the notice still open
click_box_button Quitter 2 2 >/dev/null || fail "the notice holds up the main window"   # "Non"
click_box_button "Port parallèle" 1 1 >/dev/null || fail "the notice has no button"
wait_for 10 eval '[ -z "$(window "Port parallèle")" ] && [ -z "$(window Quitter)" ]' || fail "the boxes stay"
exited "$APP" && fail "Non ended the program"
xdotool mousemove --window "$WID" 524 376 click 1
click_box_button Quitter 1 2 >/dev/null || fail "no quit question"
wait_for 10 exited "$APP" || fail "Oui did not end the program"
echo "ok"

echo "case: a second Korvalen on the same port is refused; the first one goes on"
: > "$T/port.log"
start "$T/loud.conf"
FIRST=$APP
wait_for 15 centred_window Korvalen >/dev/null || fail "no main window shown centred"
WID=$(centred_window Korvalen)
xdotool mousemove --window "$WID" 324 276 click 1   # "Lancement"
wait_for 10 grep -qs "^1 $PPWDATA 18\$" "$T/port.log" || fail "the first program does not drive the lamps"
start "$T/loud.conf" KORVALEN_FAKE_PARPORT_LOG="$T/port2.log"
wait_for 10 eval '[ -n "$(window "Port parallèle")" ]' || fail "the second program gave no port notice"
[ "$(cat "$T/port2.log")" = "0 0 2
2 0 -1" ] || { cat "$T/port2.log"; fail "the second program claimed the port"; }
lines=$(wc -l < "$T/port.log")
wait_for 10 eval '[ "$(wc -l < "$T/port.log")" -ge $((lines + 16)) ]' || fail "the first program stalled"
# The second window lies over the first: close it first.
wait_for 15 centred_window Korvalen "$WID" >/dev/null || fail "the second main window is not shown centred"
SECOND_WID=$(centred_window Korvalen "$WID")
click_box_button "Port parallèle" 1 1 >/dev/null || fail "the notice has no button"
xdotool mousemove --window "$SECOND_WID" 524 376 click 1
click_box_button Quitter 1 2 >/dev/null || fail "no quit question in the second program"
wait_for 10 exited "$APP" || fail "Oui did not end the second program"
APP=$FIRST
xdotool mousemove --window "$WID" 324 276 click 1   # "Arret"
xdotool mousemove --window "$WID" 524 376 click 1
click_box_button Quitter 1 2 >/dev/null || fail "no quit question in the first program"
wait_for 10 exited "$APP" || fail "Oui did not end the first program"
echo "ok"

echo "case: lamps through olad"
"$OLAD_PRIVE" serve 1 "$T/olad.port" &
OLAD=$!
PIDS+=("$OLAD")
wait_for 40 test -s "$T/olad.port" || fail "the private olad did not start"
OLA_PORT=$(cat "$T/olad.port")
write_config Peripherique=/dev/korvalen-e2e-port Sortie=ola Univers=1 Canal=5 "PortOLA=$OLA_PORT"
rm -f "$T/port.log"
start "$T/loud.conf"
main_window
run_button   # "Lancement"
# Channels 5 to 20 carry A0..A7 then B0..B7: B1 and B4 lit, as group B's byte 18 on the port.
lamps() { [ "$("$OLAD_PRIVE" lire "$OLA_PORT" 1 5)" = "0 0 0 0 0 0 0 0 0 255 0 0 255 0 0 0" ]; }
wait_for 10 lamps || { cat "$T/out.log"; fail "the universe never carried B1 and B4"; }
[ -e "$T/port.log" ] && fail "the parallel port was opened"
[ -n "$(window 'Sortie OLA')" ] && fail "a notice while olad runs"
run_button   # "Arret"
quit_app
echo "ok"

echo "case: \"Sortie des lampes\" moves the lamps from the parallel port to olad during a run, with levels"
# 16-bit samples 0x4b4b: every bar at 75, half-way from the threshold 50 to the end: 79 with levels.
head -c 4000000 /dev/zero | tr '\0' '\113' > "$T/mid.raw"
sed "s|$T/loud.raw|$T/mid.raw|" "$T/loud.conf" > "$T/mid.conf"
write_config Peripherique=/dev/korvalen-e2e-port
: > "$T/port.log"
start "$T/mid.conf"
main_window
LAMPES='Sortie des lampes'
click_twips Korvalen 3000 0 3735 255                      # "Options", while stopped
click_twips Options 4800 3240 2880 375                    # "Sortie des lampes…"
wait_for 15 centred_window "$LAMPES" >/dev/null || fail "no lamp output window"
click_twips Korvalen 3000 3720 3735 855                   # "Lancement", the main window raised
wait_for 10 grep -qs "^1 $PPWDATA 18\$" "$T/port.log" || { cat "$T/out.log"; fail "the parallel port was not driven first"; }
click_twips "$LAMPES" 240 780 1200 300                    # "OLA", on its caption
click_twips "$LAMPES" 120 3000 1200 300                   # "Niveaux"
click_twips "$LAMPES" 1680 2160 1215 285                  # "Canal"
xdotool key ctrl+a && xdotool keyup ctrl+a && xdotool type --delay 40 5
click_twips "$LAMPES" 1680 2580 1215 285                  # "PortOLA"
xdotool key ctrl+a && xdotool keyup ctrl+a && xdotool type --delay 40 "$OLA_PORT"
click_twips "$LAMPES" 3840 3720 1095 375                  # "Appliquer"
wait_for 15 eval '[ -z "$(window "$LAMPES")" ]' || fail "the lamp output window stayed open"
# B1 and B4 at 79 on channels 14 and 17; the parallel port released and closed, the run going on.
dims() { [ "$("$OLAD_PRIVE" lire "$OLA_PORT" 1 5)" = "0 0 0 0 0 0 0 0 0 79 0 0 79 0 0 0" ]; }
wait_for 10 dims || { "$OLAD_PRIVE" lire "$OLA_PORT" 1 5; cat "$T/out.log"; fail "the universe never carried B1 and B4 at their level"; }
[ "$(tail -n 2 "$T/port.log")" = "1 $PPRELEASE -1
2 0 -1" ] || { tail -n 4 "$T/port.log"; fail "the parallel port was not released and closed"; }
holds_open "$APP" "$T/mid.raw" || fail "the run stopped"
for line in Sortie=ola Canal=5 "PortOLA=$OLA_PORT" Niveaux=1; do
    grep -qxF "$line"$'\r' "$T/prog/Config.ini" || { cat -A "$T/prog/Config.ini"; fail "Config.ini lacks $line"; }
done
[ -n "$(window 'Sortie OLA')" ] && fail "a notice while olad runs"
run_button   # "Arret"
quit_app
echo "ok"

echo "case: olad absent is told once and the program goes on"
kill "$OLAD"
wait "$OLAD" || fail "the private olad did not end cleanly"
start "$T/loud.conf"
main_window
NOTICE=
wait_for 15 eval 'NOTICE=$(window "Sortie OLA"); [ -n "$NOTICE" ]' || fail "no notice without olad"
# Moved aside, as a person would, so that it cannot cover the run button.
xdotool windowmove "$NOTICE" 0 0
# The notice does not block: the run button starts and stops the capture while it is open.
for _ in 1 2; do
    run_button   # "Lancement": tries olad again, silently
    wait_for 10 capturing || fail "Lancement did not start the capture"
    run_button   # "Arret"
    wait_for 10 eval '! capturing' || fail "Arret did not stop the capture"
done
[ "$(xdotool search --name '^Sortie OLA$' | wc -l)" = 1 ] || fail "olad's absence was told more than once"
quit_app
echo "ok"

echo "case: a tablet starts and stops the run over OSC; a MIDI system that cannot open is told once"
OSC_PORT=$(python3 -c 'import socket; s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
write_config Peripherique=/dev/korvalen-e2e-port
printf '[OSC]\r\nPort=%s\r\n[MIDI]\r\nActif=1\r\nPilote=alsa\r\n' "$OSC_PORT" >> "$T/prog/Config.ini"
rm -f "$T/port.log"
start "$T/loud.conf"
main_window
wait_for 15 eval '[ -n "$(window MIDI)" ]' || fail "no notice for the MIDI system that cannot open"
xdotool windowmove "$(window MIDI)" 0 0
oscsend 127.0.0.1 "$OSC_PORT" /korvalen/lancement i 1
wait_for 10 capturing || { cat "$T/out.log"; fail "/korvalen/lancement 1 did not start the run"; }
wait_for 10 grep -qs "^1 $PPWDATA 18\$" "$T/port.log" || fail "the lamps did not follow the sound"
oscsend 127.0.0.1 "$OSC_PORT" /korvalen/lancement i 0
wait_for 10 eval '! capturing' || fail "/korvalen/lancement 0 did not stop the run"
[ "$(xdotool search --name '^MIDI$' | wc -l)" = 1 ] || fail "the MIDI notice was shown more than once"
quit_app
echo "ok"
echo "8 passed, 0 failed"
