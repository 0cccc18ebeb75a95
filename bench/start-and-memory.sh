#!/usr/bin/env bash
# Start-up and memory as a player meets them, on the real program under Xvfb with Mesa's
# software rasteriser (run on demand, after a build), a 1280x1024 window:
#   - Start (tandrel --start, the launcher passed by) -> the main menu drawn: from the exec
#     to the debug log's " State loading -> menu", and on to " ... Loading finished"; on a
#     first start (empty caches) and on a later one (the GL driver's shader cache filled);
#   - the launcher's Start pressed -> the main menu drawn;
#   - peak resident memory (VmHWM) in the main menu, and after a minute of play (a classic
#     game with the help page before it, keys pressed on the board twice a second);
#   - the floor under both: a bare GL program's window and first frame (bench/gl_floor.cpp).
#   bench/start-and-memory.sh [runs] [program]    (default 5 runs, build/game/tandrel)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
unset WAYLAND_DISPLAY # the program is measured on the X server above
program=${2:-$PWD/build/game/tandrel}
play=${PLAY_SECONDS:-60}
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export NO_AT_BRIDGE=1 SDL_AUDIODRIVER=dummy
settings='[Tandrel]\nSoundVol=160\nMusicVol=120\nFullscreen=0\nResolution=8\nColor=1\nDesktop=0\nTexture=2\nHelp=1\nWriteDebug=0\nPseudoFullscreen=0\n'

. bench/report.sh
stamp() { grep -a "$2" "$1" | head -1 | tr -dc '0-9\n' | head -1; }
hwm() { awk '/VmHWM/ {print int($2 / 1024)}' /proc/$1/status; }

# Starts the game with --start in fresh settings and user folders ($1 names them; $2 is the
# cache folder) and waits until its loading is finished: pid, log and start are set. The
# log's clock is CLOCK_MONOTONIC in ms; the start is taken just before the exec.
start_game() {
    export XDG_CONFIG_HOME=$work/$1/config XDG_DATA_HOME=$work/$1/data XDG_CACHE_HOME=$2
    mkdir -p "$XDG_CONFIG_HOME/tandrel"
    printf "$settings" > "$XDG_CONFIG_HOME/tandrel/settings.ini"
    log=$XDG_DATA_HOME/tandrel/debug.txt
    python3 -c 'import os, sys, time
print(int(time.monotonic() * 1000) % 2**32, flush=True)
os.execv(sys.argv[1], sys.argv[1:])' "$program" --start > "$work/start" 2>/dev/null &
    pid=$!
    until grep -qa " ... Loading finished" "$log" 2>/dev/null; do sleep 0.05; done
    start=$(head -1 "$work/start")
}

menu=() finished=() menuhwm=() playhwm=()
for run in $(seq 1 "$runs"); do
    # Every run in fresh folders: no log, save or score of an earlier one is read.
    start_game "$run" "$work/$run/cache"
    menu+=($(( $(stamp "$log" " State loading -> menu") - start )))
    finished+=($(( $(stamp "$log" " ... Loading finished") - start )))
    sleep 1
    menuhwm+=($(hwm $pid))

    window=$(xdotool search --onlyvisible --class tandrel 2>/dev/null | tail -1)
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    xdotool key Return; sleep 0.5; xdotool key Return; sleep 1; xdotool key Return; sleep 2
    keys=(Left Right Up Down space Left Up space Right Down space BackSpace)
    for i in $(seq 1 $((play * 2))); do
        xdotool key "${keys[RANDOM % ${#keys[@]}]}"; sleep 0.5
    done
    playhwm+=($(hwm $pid))
    grep -qa "State help -> game" "$log" || echo "run $run: no game was started" >&2
    kill -TERM "$pid"; wait "$pid" || true
done

# A later start: the GL driver's shader cache (in XDG_CACHE_HOME) filled by an earlier
# start, as every start after a player's first finds it; fresh settings, save and log.
later=()
for run in $(seq 1 "$runs"); do
    start_game "w$run" "$work/1/cache"
    later+=($(( $(stamp "$log" " State loading -> menu") - start )))
    kill -TERM "$pid"; wait "$pid" || true
done

# The floor: the least a GL program pays here for a window and its first frame, and its
# peak memory (bench/gl_floor.cpp), in the same window size, started as the game is.
floor=$(dirname "$program")/../bench/tandrel-gl-floor
floortime=() floorhwm=()
if [ -x "$floor" ]; then
    for run in $(seq 1 "$runs"); do
        export XDG_CACHE_HOME=$work/f$run/cache
        python3 -c 'import os, sys, time
print("start", int(time.monotonic() * 1000) % 2**32, flush=True)
os.execv(sys.argv[1], sys.argv[1:])' "$floor" 1280 1024 > "$work/floor" 2>/dev/null &
        pid=$!
        until grep -q '^frame' "$work/floor" 2>/dev/null; do sleep 0.05; done
        sleep 0.5
        floortime+=($(( $(awk '/^frame/ {print $2}' "$work/floor") - $(awk '/^start/ {print $2}' "$work/floor") )))
        floorhwm+=($(hwm $pid))
        kill -TERM "$pid"; wait "$pid" || true
    done
fi

# The player's Start: the launcher's button pressed (Return on it), to the main menu; the
# launcher runs the program again with --start, so this includes that second start.
launched=()
for run in $(seq 1 "$runs"); do
    export XDG_CONFIG_HOME=$work/l$run/config XDG_DATA_HOME=$work/l$run/data XDG_CACHE_HOME=$work/l$run/cache
    mkdir -p "$XDG_CONFIG_HOME/tandrel"
    printf "$settings" > "$XDG_CONFIG_HOME/tandrel/settings.ini"
    log=$XDG_DATA_HOME/tandrel/debug.txt
    "$program" > /dev/null 2>&1 &
    pid=$!
    until launcher=$(xdotool search --onlyvisible --name '^Tandrel$' 2>/dev/null | head -1) && [ -n "$launcher" ]; do sleep 0.05; done
    sleep 0.5
    xdotool windowfocus --sync "$launcher" 2>/dev/null || true
    pressed=$(python3 -c 'import time; print(int(time.monotonic() * 1000) % 2**32)')
    xdotool key Return
    until grep -qa " ... Loading finished" "$log" 2>/dev/null; do sleep 0.05; done
    launched+=($(( $(stamp "$log" " State loading -> menu") - pressed )))
    kill -TERM "$pid"; wait "$pid" || true
done

echo "runs: $runs (windowed 1280x1024, $(glxinfo -B 2>/dev/null | awk -F': ' '/OpenGL renderer/ {print $2}'), load $(cut -d' ' -f1-3 /proc/loadavg))"
report "Start -> main menu (--start), first" "ms" "${menu[@]}"
report "Start -> main menu (--start), later" "ms" "${later[@]}"
report "launcher's Start -> main menu" "ms" "${launched[@]}"
report "Start -> loading finished" "ms" "${finished[@]}"
if [ ${#floortime[@]} -gt 0 ]; then
    report "floor: a GL program's first frame" "ms" "${floortime[@]}"
    report "floor: its peak memory (VmHWM)" "MB" "${floorhwm[@]}"
fi
report "peak memory (VmHWM), main menu" "MB" "${menuhwm[@]}"
report "peak memory (VmHWM), ${play} s of play" "MB" "${playhwm[@]}"
