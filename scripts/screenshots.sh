#!/usr/bin/env bash
# Regenerates the README's screenshots (docs/*.png) from the simulator, under
# xvfb-run: the home page after a search, its event log, the comparison with a
# show and the editor of one amplifier, in English and in Chinese. Needs xvfb,
# xdotool and imagemagick:
#   scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
scripts/install-deps.sh xvfb xauth xdotool imagemagick
[[ -x "$build/src/app/vx4-editor" ]] || { echo "build first: cmake --build --preset default" >&2; exit 1; }

work=$(mktemp -d)
list="$build/src/app/save.txt"
events="$build/src/app/events.sqlite"
[[ -f "$list" ]] && cp "$list" "$work/save.txt.kept"
mkdir "$work/events.kept"
for f in "$events"*; do [[ -e "$f" ]] && mv "$f" "$work/events.kept/"; done
restore() {
    kill "${sim_pid:-}" "${holder_pid:-}" 2>/dev/null || true
    if [[ -f "$work/save.txt.kept" ]]; then cp "$work/save.txt.kept" "$list"; else rm -f "$list"; fi
    rm -f "$events"*
    for f in "$work/events.kept/"*; do [[ -e "$f" ]] && mv "$f" "$(dirname "$events")/"; done
    rm -rf "$work"
}
trap restore EXIT

mkfifo "$work/console"
sleep infinity >"$work/console" &
holder_pid=$!
"$build/sim/vx4-sim" --amps 1,2,7 --baud 19200 <"$work/console" >"$work/sim.out" &
sim_pid=$!
for _ in $(seq 50); do [[ -s "$work/sim.out" ]] && break; sleep 0.1; done
pty=$(head -n 1 "$work/sim.out")
ctl="$build/cli/vx4ctl --port $pty --baud 19200"
# A show of the bus as it is now; the changes below make the differences.
$ctl show receive "$work/hall.vx4show" 1 2 7 >/dev/null 2>&1
# Something to look at: a few EQ bands, a crossover, a fault on amplifier 7.
$ctl set 2 eq A 3 80 6 >/dev/null
$ctl set 2 eq A 8 1000 -4.5 >/dev/null
$ctl set 2 eq A 11 6300 3 >/dev/null
$ctl set 2 hptype A 3 >/dev/null
$ctl set 2 hpfreq A 60 >/dev/null
$ctl set 2 lptype A 5 >/dev/null
$ctl set 2 lpfreq A 12k >/dev/null
$ctl set 2 volume B -20 >/dev/null
echo 'flags 7 0xFF 0xFF 0xF0' >"$work/console"

cat >"$work/shoot.sh" <<'INNER'
#!/usr/bin/env bash
set -eu
out=$1 lang=$2 editor=$3 show=$4
LANG=$lang LC_ALL=$lang "$editor" &
pid=$!
wid=""
for _ in $(seq 100); do wid=$(xdotool search --onlyvisible --name "VX-4" 2>/dev/null | head -1 || true); [[ -n "$wid" ]] && break; sleep 0.1; done
sleep 2.5
eval "$(xdotool getwindowgeometry --shell "$wid")"
# Search (the buttons sit under the table's right half), then wait for it.
xdotool mousemove $((X + WIDTH * 455 / 665)) $((Y + HEIGHT * 497 / 519)) click 1
sleep 7
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$out-home.png"
# The event log of the start-up and the search (Ctrl+L), then closed again.
xdotool key ctrl+l
sleep 2
lwid=""
for id in $(xdotool search --onlyvisible --name "." 2>/dev/null); do
    [[ "$id" != "$wid" ]] && lwid=$id
done
eval "$(xdotool getwindowgeometry --shell "$lwid")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$out-event-log.png"
xdotool key Escape
sleep 1
eval "$(xdotool getwindowgeometry --shell "$wid")"
# Open the show (Ctrl+O, the file dialog), then Show -> Compare with show
# from the table's context menu, and wait for the three reads.
xdotool key --window "$wid" ctrl+o
sleep 2
xdotool type "$show"
xdotool key Return
sleep 1
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 5)) click 3
sleep 1
xdotool key Down Down Down Right Down Down Return
sleep 5
# The window that names the show and is not the home page.
cwid=""
for id in $(xdotool search --onlyvisible --name 'hall\.vx4show' 2>/dev/null); do
    [[ "$id" != "$wid" ]] && cwid=$id
done
if [[ -n "$cwid" ]]; then
    eval "$(xdotool getwindowgeometry --shell "$cwid" | sed 's/^/C/')"
    import -window root -crop "${CWIDTH}x${CHEIGHT}+${CX}+${CY}" "$out-show-compare.png"
    xdotool key Escape
    sleep 1
fi
# Open the editor of the second row and confirm the connection message.
xdotool mousemove $((X + WIDTH * 70 / 100)) $((Y + HEIGHT * 97 / 519)) click --repeat 2 --delay 80 1
sleep 3
xdotool key Return
sleep 3
# The editor: the visible window that is not the home page.
ewid=""
for id in $(xdotool search --onlyvisible --name "." 2>/dev/null); do
    [[ "$id" != "$wid" && "$(xdotool getwindowname "$id")" != "Velquist VX-4 editor" ]] && ewid=$id
done
eval "$(xdotool getwindowgeometry --shell "$ewid")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$out-editor.png"
# An edit to undo: CHB's volume three steps up by keyboard; then the Edit
# menu, open beside Tools, over the upper left of the window.
xdotool mousemove $((X + WIDTH * 1234 / 1430)) $((Y + HEIGHT * 203 / 765)) click 1
xdotool key Up Up Up
sleep 2
xdotool mousemove $((X + WIDTH * 62 / 1430)) $((Y + HEIGHT * 43 / 765)) click 1
sleep 1
import -window root -crop "$((WIDTH / 2))x$((HEIGHT / 2))+${X}+${Y}" "$out-edit-menu.png"
xdotool key Escape
kill $pid
INNER
chmod +x "$work/shoot.sh"
export VX4_EXTRA_PORTS="$pty"
# SCREENSHOT_SCREEN and SCREENSHOT_DIR take other pictures for a look (a
# small laptop screen, QT_SCALE_FACTOR=2 on a large one) without touching docs/.
screen=${SCREENSHOT_SCREEN:-1600x1000x24}
outdir=${SCREENSHOT_DIR:-docs}
mkdir -p "$outdir"
for lang in en:en_US.UTF-8 zh:zh_CN.UTF-8; do
    rm -f "$list" "$events"*
    xvfb-run -a -s "-screen 0 $screen" "$work/shoot.sh" "$outdir/${lang%%:*}" "${lang#*:}" "$build/src/app/vx4-editor" "$work/hall.vx4show"
done
ls -l "$outdir"/*.png
