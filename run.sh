#!/usr/bin/env bash
# Builds everything and shows vx4ctl against the simulated amplifier bus.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh
cmake --preset default
cmake --build --preset default -j"$(nproc)"

bin=build/default
sim_out=$(mktemp)
"$bin/sim/vx4-sim" --amps 1,2,7 --baud 19200 >"$sim_out" &
sim_pid=$!
cleanup() {
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
    rm -f "$sim_out"
}
trap cleanup EXIT

pty=""
for _ in $(seq 50); do
    pty=$(head -n 1 "$sim_out" 2>/dev/null || true)
    [[ -n "$pty" ]] && break
    sleep 0.1
done
if [[ -z "$pty" ]]; then
    echo "vx4-sim did not start" >&2
    exit 1
fi
export VX4_EXTRA_PORTS="$pty"

echo "Simulated amplifiers 1, 2 and 7 at 19200 baud on $pty."
echo "The home-page window does not exist yet: this is a headless demonstration with vx4ctl."
ctl="$bin/cli/vx4ctl"
run() {
    echo
    echo "\$ vx4ctl $*"
    "$ctl" "$@"
}
run --json detect
run --port "$pty" --baud 19200 --trace set 2 volume B -20
run --port "$pty" read 2
run --port "$pty" --baud 19200 monitor 7 --count 3 --interval 500
