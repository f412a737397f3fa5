#!/usr/bin/env bash
# Packs the built program as a Debian package, installs it with apt on a fresh minimal Debian 12
# and starts the installed program there as an ordinary user, under Xvfb, with a file-fed ALSA
# capture device. Usage (as root, with a Debian archive in reach): check_deb.sh BUILD_DIR WORK_DIR
# The minimal system is made once ($KORVALEN_DEBIAN_BASE, default WORK_DIR/debian12) and copied
# afresh for every run.
set -euo pipefail
[ "$(id -u)" = 0 ] || { echo "SKIP: needs root for mmdebstrap and chroot"; exit 77; }
BUILD=$(realpath "$1")
mkdir -p "$2"
WORK=$(realpath "$2")
R="$WORK/root"
PIDS=()
release_proc() { if mountpoint -q "$R/proc"; then umount -l "$R/proc" || true; fi; }
cleanup() {
    for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    release_proc
}
trap cleanup EXIT
source "$(dirname "$0")/../lib/common.sh"
source "$(dirname "$0")/../lib/debian.sh"
[ -z "${KORVALEN_FRESH:-}" ] || { echo "SKIP: inside the fresh Debian check, which has a chroot of its own"; exit 77; }
MIRROR=$(debian_mirror) || { echo "SKIP: no Debian archive in apt's configuration; set KORVALEN_DEBIAN_MIRROR"; exit 77; }

echo "== package"
rm -rf "$WORK/pkg"
cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$WORK/pkg" >/dev/null
DEB=$(ls "$WORK"/pkg/korvalen_*.deb)
contents=$(dpkg-deb -c "$DEB" | awk '$1 !~ /^d/ {print $6}' | sort)
expected='./usr/bin/korvalen
./usr/share/applications/org.korvalen.Korvalen.desktop
./usr/share/icons/hicolor/scalable/apps/org.korvalen.Korvalen.svg
./usr/share/man/fr/man1/korvalen.1
./usr/share/man/man1/korvalen.1
./usr/share/metainfo/org.korvalen.Korvalen.metainfo.xml'
[ "$contents" = "$expected" ] || fail "the package holds other files than the program's:
$contents"
depends=$(dpkg-deb -f "$DEB" Depends)
for lib in libqt6widgets6 libportaudio2 libc6; do
    [[ "$depends" == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done

echo "== Debian 12"
release_proc
debian_root "${KORVALEN_DEBIAN_BASE:-$WORK/debian12}" "$MIRROR" "$R" || fail "no Debian 12 root in $R"

echo "== apt-get install"
cp "$DEB" "$R/tmp/"
chroot "$R" apt-get update -qq >/dev/null
# Without recommended packages, to show that the computed dependencies are enough.
chroot "$R" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "/tmp/$(basename "$DEB")" >"$WORK/apt.log" 2>&1 || { tail -20 "$WORK/apt.log"; fail "apt-get install"; }

echo "== start korvalen"
# Every byte 228: a loud signal. The device is the only one ALSA knows about in there.
head -c 2000000 /dev/zero | tr '\0' '\344' > "$R/tmp/loud.raw"
echo 'pcm.!default { type file slave.pcm { type null } file "/dev/null" infile "/tmp/loud.raw" format "raw" }' \
    > "$R/tmp/sound.conf"
mkdir -p "$R/home/op" "$R/tmp/run-op"
chown 1000:1000 "$R/home/op" "$R/tmp/run-op"
chmod 700 "$R/tmp/run-op"
chmod 644 "$R/tmp/loud.raw" "$R/tmp/sound.conf"

# The chroot shares the host's abstract X socket, so the host's Xvfb serves it.
start_xvfb "$WORK/display"
chroot --userspec=1000:1000 "$R" env -i PATH=/usr/bin:/bin HOME=/home/op DISPLAY="$DISPLAY" \
    XDG_RUNTIME_DIR=/tmp/run-op ALSA_CONFIG_PATH=/tmp/sound.conf korvalen >"$WORK/korvalen.log" 2>&1 &
PIDS+=($!)
timeout 60 xdotool search --sync --name '^Korvalen$' >/dev/null || { cat "$WORK/korvalen.log"; fail "no main window"; }
# No parallel port in there: the notice comes once the start-up is over.
timeout 30 xdotool search --sync --name '^Port parall' >/dev/null || fail "no port notice"
# The installed copy keeps its settings and modes in the user's folders, not beside the program.
[ -d "$R/home/op/.config/korvalen" ] || fail "no ~/.config/korvalen"
[ -d "$R/home/op/.local/share/korvalen/modes" ] || fail "no ~/.local/share/korvalen/modes"
[ ! -e "$R/usr/bin/Config.ini" ] || fail "Config.ini beside the installed program"
echo "deb: ok"
