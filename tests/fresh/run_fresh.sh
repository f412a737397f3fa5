#!/usr/bin/env bash
# Runs the README's two commands on a fresh minimal Debian 12, as a newcomer would: the first
# one's build (the program is not started) and then the second, every test but those that make a
# Debian of their own. Proves that scripts/setup.sh asks for every package the build and the
# tests need. Usage (as root, with a Debian archive in reach): run_fresh.sh SOURCE_DIR WORK_DIR
set -euo pipefail
[ "$(id -u)" = 0 ] || { echo "SKIP: needs root for mmdebstrap and chroot"; exit 77; }
[ -z "${KORVALEN_FRESH:-}" ] || { echo "SKIP: already inside the fresh Debian check"; exit 77; }
SRC=$(realpath "$1")
mkdir -p "$2"
WORK=$(realpath "$2")
source "$SRC/tests/lib/common.sh"
source "$SRC/tests/lib/debian.sh"
MIRROR=$(debian_mirror) || { echo "SKIP: no Debian archive in apt's configuration; set KORVALEN_DEBIAN_MIRROR"; exit 77; }
R="$WORK/root"
MOUNTS=(proc sys dev dev/pts dev/shm)

release() {
    local i
    for ((i = ${#MOUNTS[@]} - 1; i >= 0; i--)); do
        if mountpoint -q "$R/${MOUNTS[i]}"; then umount -l "$R/${MOUNTS[i]}" || true; fi
    done
}
trap release EXIT

# The README's commands: the first two sh blocks. The first starts the program last; that part is left out.
mapfile -t COMMANDS < <(awk '/^```sh$/ { inside = 1; next } /^```$/ { inside = 0 } inside' "$SRC/README.md" | head -n2)
[ "${#COMMANDS[@]}" = 2 ] || fail "the README does not start with two commands"
FIRST=${COMMANDS[0]% && ./build/korvalen}
[ "$FIRST" != "${COMMANDS[0]}" ] || fail "the README's first command does not end by starting ./build/korvalen"
SECOND=${COMMANDS[1]}

step() { echo "== $(date +%T) $*"; }

step "Debian 12 from $MIRROR"
release
debian_root "${KORVALEN_DEBIAN_BASE:-$WORK/debian12}" "$MIRROR" "$R" || fail "no Debian 12 root in $R"
mount -t sysfs sysfs "$R/sys"
mount --bind /dev "$R/dev"
mount -t devpts -o newinstance,ptmxmode=0666 devpts "$R/dev/pts"
mount -t tmpfs -o mode=1777 tmpfs "$R/dev/shm"

step "copy of the checkout"
mkdir -p "$R/src/korvalen"
# The files git knows and the new ones it does not ignore: what a clone holds, with today's edits.
git -C "$SRC" ls-files -z --cached --others --exclude-standard |
    (cd "$SRC" && xargs -0 -r sh -c 'for f; do [ -e "$f" ] && printf "%s\0" "$f"; done' sh) |
    tar -C "$SRC" --null -T - -cf - | tar -C "$R/src/korvalen" -xf -

# A clean environment, as a new root shell would have it; the tests start their own services.
in_debian() {
    chroot "$R" env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
        LANG=C.UTF-8 KORVALEN_FRESH=1 bash -c "cd /src/korvalen && $1"
}

step "the README's first command, without starting the program: $FIRST"
in_debian "$FIRST" >"$WORK/first.log" 2>&1 || { tail -40 "$WORK/first.log"; fail "the README's first command failed (log: $WORK/first.log)"; }

step "the README's second command: $SECOND"
in_debian "$SECOND" >"$WORK/second.log" 2>&1 || {
    grep -E '^(CMake Error|.*error:|.*FAILED|.*\*\*\*Failed|E: )' "$WORK/second.log" | head -40
    tail -40 "$WORK/second.log"
    fail "the README's second command failed (log: $WORK/second.log)"
}
grep -E 'tests passed|Total Test time' "$WORK/second.log" || true
step "fresh: ok"
