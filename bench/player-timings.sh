#!/usr/bin/env bash
# What a player meets, measured on the real program under Xvfb (run on demand, after a
# build): launch to the launcher on screen, the loading time from debug.txt, the CPU while
# the menu sits idle, the CPU while a level-1 game sits on the board with the pointer still
# and nothing selected (at 800x600 and 1280x1024), the frames drawn meanwhile, and the peak
# memory in the menu and in play. Medians over several runs; every run starts with empty
# user folders, so no run reads what an earlier one wrote.
#   bench/player-timings.sh [runs] [seconds]      (default 5 runs, 10 s of each idle spell)
# Other programs are measured in the same run only when named, as commands, one a line, in
# TANDREL_PEERS: each is started, left alone for 5 s, then its CPU over the same spell and
# its peak memory are taken.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
seconds=${2:-10}
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
unset WAYLAND_DISPLAY # the program is measured on the X server above

now_ms() { date +%s%3N; }
. bench/report.sh
game_environment
launcher() { xdotool search --onlyvisible --name '^Tandrel$' 2>/dev/null | head -1 || true; }
# Fresh user folders and settings: resolution index 3 is 800x600, 8 is 1280x1024.
fresh() {
    rm -rf "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
    mkdir -p "$XDG_CONFIG_HOME/tandrel"
    printf '[Tandrel]\nSoundVol=160\nMusicVol=120\nFullscreen=0\nResolution=%s\nColor=1\nDesktop=0\nTexture=2\nHelp=0\nWriteDebug=1\nPseudoFullscreen=0\n' \
        "$1" > "$XDG_CONFIG_HOME/tandrel/settings.ini"
}
wait_log() { until grep -q "$1" "$debug" 2>/dev/null; do sleep 0.05; done; }
# CPU of a process over the spell, in % of one core.
cpu_over() {
    local before after
    before=$(awk '{print $14 + $15}' "/proc/$1/stat")
    sleep "$seconds"
    after=$(awk '{print $14 + $15}' "/proc/$1/stat")
    awk -v a="$before" -v b="$after" -v t="$ticks" -v s="$seconds" 'BEGIN {printf "%.2f", (b - a) * 100 / t / s}'
}
hwm() { awk '/VmHWM/ {print int($2 / 1024)}' "/proc/$1/status"; }
# From the main menu: Play, then the normal mode; the pointer then goes to the window's
# corner, off the board (the load sequence left it in the middle, where a cube may stand).
start_game() {
    local window
    window=$(enter_game "$1")
    # Backspace lets go of a cube an extra Return picked.
    xdotool key BackSpace
    xdotool mousemove --window "$window" 3 3
    sleep 3 # the first cubes grow and the new level's banner fades
}
stop() { kill -TERM "$1"; wait "$1" || true; }

launch=() load=() cpu=() menu_hwm=() play_cpu=() play_frames=() play_hwm=() big_cpu=() big_frames=()
for run in $(seq 1 "$runs"); do
    fresh 3
    start=$(now_ms)
    "$program" >/dev/null 2>&1 &
    pid=$!
    window=""
    while [ -z "$window" ]; do window=$(launcher); done
    launch+=($(( $(now_ms) - start )))

    xdotool windowfocus --sync "$window"; xdotool key Return
    wait_log " ... Loading finished"
    created=$(grep " Main form created" "$debug" | awk '{print $1}' | head -1)
    finished=$(grep " ... Loading finished" "$debug" | awk '{print $1}' | head -1)
    load+=($(( finished - created )))

    sleep 1 # the first frames of the menu
    cpu+=($(cpu_over "$pid"))
    menu_hwm+=($(hwm "$pid"))

    start_game "$pid"
    lines=$(wc -l < "$debug")
    play_cpu+=($(cpu_over "$pid"))
    play_frames+=($(game_frames "$lines"))
    play_hwm+=($(hwm "$pid"))
    stop "$pid"

    fresh 8
    "$program" --start >/dev/null 2>&1 &
    pid=$!
    wait_log " ... Loading finished"
    sleep 1
    start_game "$pid"
    lines=$(wc -l < "$debug")
    big_cpu+=($(cpu_over "$pid"))
    big_frames+=($(game_frames "$lines"))
    stop "$pid"
done

echo "runs: $runs (windowed, $(glxinfo -B 2>/dev/null | awk -F': ' '/OpenGL renderer/ {print $2}'))"
report "launch -> launcher visible" "ms" "${launch[@]}"
report "Main form created -> Loading finished" "ms" "${load[@]}"
report "CPU over ${seconds} s idle in the menu" "%" "${cpu[@]}"
report "peak memory (VmHWM) in the menu" "MB" "${menu_hwm[@]}"
report "CPU over ${seconds} s, level 1, 800x600" "%" "${play_cpu[@]}"
report "  frames drawn meanwhile (about)" "" "${play_frames[@]}"
report "CPU over ${seconds} s, level 1, 1280x1024" "%" "${big_cpu[@]}"
report "  frames drawn meanwhile (about)" "" "${big_frames[@]}"
report "peak memory (VmHWM) in play, 800x600" "MB" "${play_hwm[@]}"

# Other programs, only those named by the user.
if [ -n "${TANDREL_PEERS:-}" ]; then
    while IFS= read -r peer; do
        [ -z "$peer" ] && continue
        peer_cpu=() peer_hwm=()
        for run in $(seq 1 "$runs"); do
            bash -c "exec $peer" >/dev/null 2>&1 &
            pid=$!
            sleep 5
            peer_cpu+=($(cpu_over "$pid"))
            peer_hwm+=($(hwm "$pid"))
            stop "$pid"
        done
        echo "peer '$peer': CPU over ${seconds} s ${peer_cpu[*]} % (median $(printf '%s\n' "${peer_cpu[@]}" | median) %), VmHWM median $(printf '%s\n' "${peer_hwm[@]}" | median) MB"
    done <<< "$TANDREL_PEERS"
fi
