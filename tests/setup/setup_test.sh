#!/usr/bin/env bash
# The package choice of scripts/setup.sh, without a network: stand-ins for apt-get, dpkg-query and
# sudo on PATH record what the script asks for on machines of several kinds.
# Usage: setup_test.sh SOURCE_DIR
set -euo pipefail
SRC=$1
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
failures=0
fail() { echo "FAIL [$case_name]: $*"; failures=$((failures + 1)); }

mkdir "$T/bin"
# Installed packages are listed in $FAKE_INSTALLED, one a line; a line "*" stands for every package.
cat > "$T/bin/dpkg-query" <<'EOF'
#!/usr/bin/env bash
p=${!#}
if grep -qxF -e '*' -e "$p" "$FAKE_INSTALLED"; then printf 'install ok installed'; exit 0; fi
echo "dpkg-query: no packages found matching $p" >&2; exit 1
EOF
cat > "$T/bin/apt-get" <<'EOF'
#!/usr/bin/env bash
echo "$*" >> "$FAKE_APT_LOG"
EOF
printf '#!/usr/bin/env bash\nexec "$@"\n' > "$T/bin/sudo"
chmod +x "$T/bin/"*

# Runs the setup with arguments $2... on a machine that has the packages in $1 (space separated);
# leaves the apt-get calls in $T/apt.log and the packages asked for in $T/asked, one a line.
run_setup() {
    tr ' ' '\n' <<< "$1" > "$T/installed"
    : > "$T/apt.log"
    shift
    PATH="$T/bin:$PATH" FAKE_INSTALLED="$T/installed" FAKE_APT_LOG="$T/apt.log" \
        bash "$SRC/scripts/setup.sh" "$@" < /dev/null > "$T/out" 2>&1 || fail "setup.sh $* failed: $(cat "$T/out")"
    grep '^install ' "$T/apt.log" | tr ' ' '\n' | grep -v -e '^-' -e '^install$' > "$T/asked" || true
    if grep -qvE '^(update|install) ' "$T/apt.log"; then fail "apt-get asked for more: $(cat "$T/apt.log")"; fi
    if grep '^install ' "$T/apt.log" | grep -qv -- '--no-remove'; then fail "an install may remove packages"; fi
}
expect_asked() { for p in "$@"; do grep -qxF "$p" "$T/asked" || fail "$p not installed"; done; }
expect_not_asked() { for p in "$@"; do grep -qxF "$p" "$T/asked" && fail "$p installed"; done; return 0; }

PIPEWIRE_DESKTOP="pipewire pipewire-bin pipewire-alsa pipewire-pulse wireplumber libasound2-plugins"
SOUND_SERVERS="pulseaudio pipewire pipewire-pulse wireplumber pipewire-alsa"
TEST_TOOLS="xvfb xdotool imagemagick python3-xlib libgtest-dev libgmock-dev libbenchmark-dev file procps clang pulseaudio-utils ola desktop-file-utils appstream dpkg-dev mmdebstrap jackd2 liblo-tools"

# case | machine has | setup arguments | must install | must not install
while IFS='|' read -r case_name machine args must must_not; do
    [[ -z "$case_name" || "$case_name" == \#* ]] && continue
    # shellcheck disable=SC2086  # the arguments are words
    run_setup "$machine" $args
    # shellcheck disable=SC2086
    expect_asked $must
    # shellcheck disable=SC2086
    expect_not_asked $must_not
    cat "$T/asked" >> "$T/all_asked"
done <<EOF
run, bare machine         ||             | g++ qt6-base-dev portaudio19-dev libola-dev | $SOUND_SERVERS $TEST_TOOLS
tests, bare machine (CI)  || --tests     | g++ qt6-base-dev pulseaudio $TEST_TOOLS | pipewire pipewire-pulse wireplumber pipewire-alsa
run, PipeWire desktop     |$PIPEWIRE_DESKTOP|  | g++ qt6-base-dev | $SOUND_SERVERS $TEST_TOOLS
tests, PipeWire desktop   |$PIPEWIRE_DESKTOP| --tests | $TEST_TOOLS | $SOUND_SERVERS
tests, pipewire-alsa only |pipewire pipewire-alsa| --tests | pipewire-pulse wireplumber xvfb | pulseaudio pipewire pipewire-alsa
tests, pipewire-pulse only |pipewire pipewire-pulse| --tests | wireplumber xvfb | pulseaudio pipewire pipewire-pulse
tests, PipeWire beside PulseAudio |pulseaudio pipewire pipewire-pulse| --tests | xvfb | $SOUND_SERVERS
tests, PulseAudio desktop |pulseaudio pulseaudio-utils| --tests | xvfb | $SOUND_SERVERS
EOF

case_name="nothing missing"
run_setup "*" --tests
[[ -s "$T/apt.log" ]] && fail "apt-get called: $(cat "$T/apt.log")"

case_name="unknown argument"
if PATH="$T/bin:$PATH" FAKE_INSTALLED="$T/installed" FAKE_APT_LOG="$T/apt.log" \
    bash "$SRC/scripts/setup.sh" --test > /dev/null 2>&1; then fail "accepted --test"; fi

# The README names every package either command can install.
case_name="README"
for p in $(sort -u "$T/all_asked"); do
    grep -qF -- "\`$p\`" "$SRC/README.md" || fail "$p is not named in the README"
done

((failures == 0)) && echo "all setup cases passed"
exit $((failures > 0))
