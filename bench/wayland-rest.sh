#!/usr/bin/env bash
# The game at rest natively on Wayland and through XWayland, side by side in one run: a
# weston compositor (its X11 backend inside Xvfb, so that it has a seat, and XWayland) runs
# the real program twice, each with empty user folders, and takes its CPU while the main
# menu and then a level-1 game sit still, and its peak memory. The debug log's line says
# which way the picture is kept between frames.
#   bench/wayland-rest.sh [seconds]      (default 20 s of each still spell)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
if [ -z "${TANDREL_BENCH_X:-}" ]; then
    exec env TANDREL_BENCH_X=1 xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$@"
fi
program=$PWD/build/game/tandrel
work=$(mktemp -d)
runtime=$work/runtime
mkdir -m 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime SDL_AUDIODRIVER=dummy NO_AT_BRIDGE=1
weston --backend=x11-backend.so --socket=tandrel-bench --xwayland --width=1280 --height=1024 \
       --idle-time=0 >"$work/weston.log" 2>&1 &
compositor=$!
trap 'kill $compositor 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do
    [ -S "$runtime/tandrel-bench" ] && break
    sleep 0.1
done
ticks=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$1/stat"; }
xwayland_display() { grep -o 'xserver listening on display :[0-9]*' "$work/weston.log" | tail -1 | grep -o ':[0-9]*'; }

# run NAME DRIVER: one start, the menu still, then a game still.
run() {
    local name=$1 driver=$2 home=$work/$1
    mkdir -p "$home/config/tandrel"
    printf '[Tandrel]\nSoundVol=100\nMusicVol=5\nFullscreen=0\nResolution=3\nColor=1\nDesktop=0\nTexture=2\nHelp=0\nWriteDebug=0\nPseudoFullscreen=0\n' \
        >"$home/config/tandrel/settings.ini"
    local display=${DISPLAY}
    [ "$driver" = x11 ] && display=$(xwayland_display)
    XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_CACHE_HOME=$home/cache \
        WAYLAND_DISPLAY=tandrel-bench DISPLAY=$display SDL_VIDEODRIVER=$driver "$program" --start \
        >"$home/out.log" 2>&1 &
    local pid=$! debug=$home/data/tandrel/debug.txt
    for _ in $(seq 600); do
        grep -q 'Loading finished' "$debug" 2>/dev/null && break
        sleep 0.1
    done
    sleep 3
    local before=$(cpu $pid)
    sleep "$seconds"
    local menu=$(( ($(cpu $pid) - before) * 1000 / ticks / seconds ))
    # PLAY, then the classic game, by keys (the first item is highlighted wherever the pointer
    # is), sent to the compositor's window.
    local output=$(xwininfo -root -children | grep -o '0x[0-9a-f]* "Weston' | cut -d' ' -f1)
    xdotool windowfocus --sync "$output" mousemove 5 1000
    for _ in 1 2 3 4 5 6; do
        grep -q 'State menu -> game' "$debug" && break
        xdotool key Return
        sleep 1
    done
    sleep 5
    before=$(cpu $pid)
    sleep "$seconds"
    local game=$(( ($(cpu $pid) - before) * 1000 / ticks / seconds ))
    local memory=$(awk '/VmHWM/ {print int($2 / 1024)}' "/proc/$pid/status")
    kill -TERM $pid
    wait $pid 2>/dev/null || true
    local path=$(grep -o 'Video driver .*' "$debug" | head -1)
    local board=no
    grep -q 'State menu -> game' "$debug" && board=yes
    printf '| %-9s | %5d.%d %% | %5d.%d %% (%s) | %4d MB | %s |\n' "$name" $((menu / 10)) $((menu % 10)) \
        $((game / 10)) $((game % 10)) "$board" "$memory" "$path"
}
echo "| run       | menu still | game still (on the board) | peak   | kept picture |"
echo "|---|---|---|---|---|"
run native wayland
run xwayland x11
