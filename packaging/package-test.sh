#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a temporary root and runs the
# installed programs from there against the installed simulator:
#   package-test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
sim_pid=""
editor_pid=""
console_pid=""
cleanup() {
    [[ -n "$editor_pid" ]] && kill "$editor_pid" 2>/dev/null || true
    [[ -n "$sim_pid" ]] && kill "$sim_pid" 2>/dev/null || true
    # The console's holder too, or the wait below sits out its sleep.
    [[ -n "$console_pid" ]] && kill "$console_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/pkg/*.deb)
echo "package: $(basename "$deb")"
depends=$(dpkg-deb -f "$deb" Depends)
echo "depends: $depends"
[[ "$depends" == *libqt6widgets6* && "$depends" == *libqt6serialport6* ]] || fail "Qt libraries missing from Depends"
[[ "$depends" == *libqt6sql6-sqlite* ]] || fail "the SQLite driver of the event log missing from Depends"
dpkg-deb -x "$deb" "$work/root"
bin="$work/root/usr/bin"
for f in vx4-editor vx4ctl vx4-sim; do [[ -x "$bin/$f" ]] || fail "$f not installed"; done
[[ -f "$work/root/usr/share/applications/vx4-editor.desktop" ]] || fail "no desktop entry"
for size in 16 32 48 256; do
    [[ -f "$work/root/usr/share/icons/hicolor/${size}x${size}/apps/vx4-editor.png" ]] || fail "no ${size}px icon"
done

"$bin/vx4ctl" --version | grep -q '^vx4ctl ' || fail "vx4ctl --version"
"$bin/vx4-editor" --version | tee "$work/version.txt"
grep -q 'Chinese' "$work/version.txt" || fail "the installed editor has no Chinese catalogue"
"$bin/vx4-editor" --help | grep -q 'Usage: vx4-editor' || fail "vx4-editor --help"

# The installed editor on the installed simulator: it finds the amplifier,
# polls it and keeps its device list in the user's data folder, not in bin/.
mkfifo "$work/console"
sleep 30 >"$work/console" &
console_pid=$!
"$bin/vx4-sim" --amps 5 --baud 38400 <"$work/console" >"$work/sim.out" 2>&1 &
sim_pid=$!
for _ in $(seq 50); do [[ -s "$work/sim.out" ]] && break; sleep 0.1; done
pty=$(head -n 1 "$work/sim.out")
[[ -n "$pty" ]] || fail "vx4-sim did not start"
mkdir -p "$work/home"
HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 \
    QT_QPA_PLATFORM=offscreen VX4_EXTRA_PORTS="$pty" "$bin/vx4-editor" >"$work/editor.log" 2>&1 &
editor_pid=$!
list="$work/home/.local/share/vx4-editor/save.txt"
for _ in $(seq 100); do [[ -f "$list" ]] && break; sleep 0.1; done
kill "$editor_pid" 2>/dev/null || true
wait "$editor_pid" 2>/dev/null || true
editor_pid=""
[[ -f "$list" ]] || { cat "$work/editor.log"; fail "no save.txt in the user's data folder"; }
[[ ! -e "$bin/save.txt" ]] || fail "save.txt written into the install folder"
echo "device list: ${list#$work/}"

# The installed vx4ctl records into the event log beside that list and reads it back.
HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" \
    "$bin/vx4ctl" --port "$pty" --baud 38400 status 5 --watch 1 --count 1 >"$work/watch.out" 2>&1 \
    || { cat "$work/watch.out"; fail "vx4ctl status --watch"; }
HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" "$bin/vx4ctl" log --address 5 >"$work/log.out" 2>&1 \
    || { cat "$work/log.out"; fail "vx4ctl log"; }
grep -q 'connection.answered' "$work/log.out" || { cat "$work/log.out"; fail "vx4ctl log shows no event"; }
[[ -f "$(dirname "$list")/events.sqlite" ]] || fail "no events.sqlite beside the device list"
echo "PASS"
