# Shell helpers of the test scripts. The script sourcing this sets `set -euo pipefail` and holds the
# processes it starts in the array PIDS, which its exit handler ends.

fail() { echo "FAIL: $*"; exit 1; }

# Waits up to $1 seconds for the command that follows to succeed.
wait_for() {
    local limit=$1; shift
    for _ in $(seq $((limit * 20))); do "$@" && return 0; sleep 0.05; done
    return 1
}

# Starts a private X server, noting its display number in the file $1, and exports DISPLAY.
# -noreset: without it the server resets when its last client leaves, and a program started
# during that reset cannot connect.
start_xvfb() {
    exec 5> "$1"
    Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    PIDS+=($!)
    wait_for 10 test -s "$1" || fail "Xvfb did not start"
    DISPLAY=":$(head -n1 "$1")"
    export DISPLAY
}
