#!/usr/bin/env bash
# Builds everything, starts a simulated amplifier bus and shows the program on
# it: the home page when there is a display, a headless demonstration with
# vx4ctl when there is none.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh
cmake --preset default
cmake --build --preset default -j"$(nproc)"

bin=build/default
work=$(mktemp -d)
mkfifo "$work/console"
# The simulator's console stays open for as long as this script runs.
sleep infinity >"$work/console" &
holder_pid=$!
"$bin/sim/vx4-sim" --amps 1,2,7 --baud 19200 <"$work/console" >"$work/sim.out" &
sim_pid=$!
editor_pid=""
cleanup() {
    [[ -n "$editor_pid" ]] && kill "$editor_pid" 2>/dev/null || true
    kill "$sim_pid" "$holder_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

pty=""
for _ in $(seq 50); do
    pty=$(head -n 1 "$work/sim.out" 2>/dev/null || true)
    [[ -n "$pty" ]] && break
    sleep 0.1
done
if [[ -z "$pty" ]]; then
    echo "vx4-sim did not start" >&2
    exit 1
fi
export VX4_EXTRA_PORTS="$pty"
echo "Simulated amplifiers 1, 2 and 7 at 19200 baud on $pty."

if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
    "$bin/src/app/vx4-editor" &
    editor_pid=$!
    echo "The home page is open: press Search to find the amplifiers, double-click one to edit it."
    echo "Type simulator commands here to stage faults (for example 'fault 2 0xFE', 'flags 7 0xFF 0xFF 0xF0', 'help');"
    echo "closing the window ends the demonstration."
    while kill -0 "$editor_pid" 2>/dev/null; do
        if read -r -t 1 line; then
            echo "$line" >"$work/console"
        elif [[ $? -le 128 ]]; then
            # End of input: just wait for the window to close.
            wait "$editor_pid" || true
            break
        fi
    done
    exit 0
fi

echo "No display: a headless demonstration with vx4ctl instead of the window."
ctl="$bin/cli/vx4ctl"
list="$work/save.txt"
run() {
    echo
    echo "\$ vx4ctl $*"
    "$ctl" "$@"
}
run --json detect
run --port "$pty" --baud 19200 search --list "$list"
run --port "$pty" --baud 19200 --trace set 2 volume B -20
run --port "$pty" read 2
echo 'flags 7 0xFF 0xFF 0xF0' >"$work/console"   # amplifier 7 reports a fault
run --port "$pty" --baud 19200 status --list "$list"
run --port "$pty" --baud 19200 monitor 7 --count 3 --interval 500
