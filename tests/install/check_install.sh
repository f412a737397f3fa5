#!/usr/bin/env bash
# `cmake --install` into an empty prefix puts exactly the program and its desktop files there,
# nowhere else, and the menu entry and software-centre description pass their validators.
# Usage: check_install.sh BUILD_DIR
set -euo pipefail
BUILD=$1
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
source "$(dirname "$0")/../lib/common.sh"

P="$T/prefix"
cmake --install "$BUILD" --prefix "$P" >/dev/null
while read -r f; do
    [[ "$f" == "$P"/* ]] || fail "installed outside the prefix: $f"
done < "$BUILD/install_manifest.txt"

expected='bin/korvalen
share/applications/org.korvalen.Korvalen.desktop
share/icons/hicolor/scalable/apps/org.korvalen.Korvalen.svg
share/man/fr/man1/korvalen.1
share/man/man1/korvalen.1
share/metainfo/org.korvalen.Korvalen.metainfo.xml'
found=$(cd "$P" && find . ! -type d | sed 's|^\./||' | sort)
[ "$found" = "$expected" ] || fail "installed files differ from the expected ones:
$found"
[ -x "$P/bin/korvalen" ] || fail "the program is not executable"
# The manual pages render without a warning, with the project's version filled in.
for man1 in "$P/share/man/man1/korvalen.1" "$P/share/man/fr/man1/korvalen.1"; do
    warnings=$(LC_ALL=C.UTF-8 groff -K utf8 -man -ww -z "$man1" 2>&1) || fail "groff failed on $man1"
    [ -z "$warnings" ] || fail "$man1 has warnings: $warnings"
    ! grep -q '@' "$man1" || fail "$man1 holds an unfilled placeholder"
done

desktop-file-validate "$P/share/applications/org.korvalen.Korvalen.desktop" || fail "desktop-file-validate"
grep -qx 'Exec=korvalen' "$P/share/applications/org.korvalen.Korvalen.desktop" || fail "the menu entry starts another program"
icon=$(sed -n 's/^Icon=//p' "$P/share/applications/org.korvalen.Korvalen.desktop")
[ -f "$P/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "the menu entry names an icon that is not installed: $icon"
# The whole tree: the description and the menu entry it launches.
appstreamcli validate-tree --no-net "$P" || fail "appstreamcli validate-tree"
appstreamcli validate --no-net "$P/share/metainfo/org.korvalen.Korvalen.metainfo.xml" || fail "appstreamcli validate"
echo "install: ok"
