# Debian helpers of the test scripts that make a minimal Debian 12 of their own.

# Prints the Debian archive to bootstrap from: $KORVALEN_DEBIAN_MIRROR, else the first archive of
# this machine's apt configuration (folder $1, default /etc/apt), security archives left aside.
# Returns 1, printing nothing, when neither names one.
debian_mirror() {
    if [ -n "${KORVALEN_DEBIAN_MIRROR:-}" ]; then echo "$KORVALEN_DEBIAN_MIRROR"; return 0; fi
    local etc=${1:-/etc/apt} f uri
    uri=$(
        for f in "$etc"/sources.list.d/*.sources; do
            [ -f "$f" ] && awk 'tolower($1) == "uris:" { for (i = 2; i <= NF; i++) print $i }' "$f"
        done
        for f in "$etc"/sources.list "$etc"/sources.list.d/*.list; do
            # "deb [option=value ...] URI suite component..."
            [ -f "$f" ] && awk '$1 == "deb" { i = 2; if ($i ~ /^\[/) { while (i < NF && $i !~ /\]$/) i++; i++ } print $i }' "$f"
        done | cat
    )
    uri=$(grep -E '^(https?|file|ftp)://' <<< "$uri" | grep -vE -- '-security/?$' | head -n1 || true)
    [ -n "$uri" ] || return 1
    echo "$uri"
}

# Makes a minimal Debian 12 in $1 once, from mirror $2; later calls find it made.
debian_base() {
    local dir=$1 mirror=$2
    [ -e "$dir/.complete" ] && return 0
    rm -rf --one-file-system "$dir"
    mkdir -p "$(dirname "$dir")"
    # The package lists are kept, so that an apt-get update inside has little to fetch.
    mmdebstrap --variant=minbase --mode=root --skip=cleanup/apt/lists --include=ca-certificates \
        bookworm "$dir" "$mirror" >"$dir.log" 2>&1 || { tail -20 "$dir.log"; return 1; }
    touch "$dir/.complete"
}

# A root of its own in $3, copied from the base of $1 (made from mirror $2 if need be), with the
# host's name resolution and /proc mounted: what a chroot needs for apt-get.
debian_root() {
    local base=$1 mirror=$2 root=$3
    debian_base "$base" "$mirror" || return 1
    rm -rf --one-file-system "$root" || return 1
    cp -a "$base" "$root" || return 1
    cp /etc/resolv.conf "$root/etc/resolv.conf" || return 1
    mount -t proc proc "$root/proc"
}
