#!/usr/bin/env bash
# The Debian archive the Debian checks bootstrap from, read from apt configurations of each form.
set -euo pipefail
source "$(dirname "$0")/../lib/debian.sh"
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
failures=0
unset KORVALEN_DEBIAN_MIRROR

# Makes $T/$1 an apt folder: $2 as sources.list.d/debian.sources, $3 as sources.list (empty: none).
apt_folder() {
    mkdir -p "$T/$1/sources.list.d"
    [ -z "$2" ] || printf '%s\n' "$2" > "$T/$1/sources.list.d/debian.sources"
    [ -z "$3" ] || printf '%s\n' "$3" > "$T/$1/sources.list"
}
expect() {  # case, apt folder, expected archive ("" = none)
    local got status=0
    got=$(debian_mirror "$T/$2") || status=$?
    if [ "$got" != "$3" ] || { [ -z "$3" ] && [ "$status" = 0 ]; }; then
        echo "FAIL [$1]: got '$got' (status $status), expected '$3'"; failures=$((failures + 1))
    fi
}

apt_folder deb822 'Types: deb
# a comment naming http://elsewhere.example/debian
URIs: http://archive.example/debian-security
Suites: bookworm-security
Components: main

Types: deb
URIs: http://archive.example/debian
Suites: bookworm bookworm-updates
Components: main' ''
expect "deb822 stanzas, security first" deb822 http://archive.example/debian

apt_folder oneline '' '# deb http://commented.example/debian bookworm main
deb-src http://src.example/debian bookworm main
deb [arch=amd64 signed-by=/usr/share/keyrings/k.gpg] https://archive.example/debian bookworm main'
expect "one-line form with options" oneline https://archive.example/debian

apt_folder plain '' 'deb http://archive.example/debian bookworm main contrib'
expect "one-line form" plain http://archive.example/debian

apt_folder none '' ''
expect "no archive anywhere" none ""

KORVALEN_DEBIAN_MIRROR=http://override.example/debian expect "the variable wins" deb822 http://override.example/debian

[ "$failures" = 0 ] && echo "mirror lookup: ok"
exit "$((failures > 0))"
