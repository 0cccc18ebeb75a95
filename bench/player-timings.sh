#!/usr/bin/env bash
# What a player meets, measured on the real program under Xvfb (run on demand, after a
# build): launch to the launcher on screen, the loading time from debug.txt, the CPU
# while the menu sits idle, and the peak memory. Medians over several runs.
#   bench/player-timings.sh [runs]        (default 5)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
program=$PWD/build/game/tandrel
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export NO_AT_BRIDGE=1 SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
mkdir -p "$XDG_CONFIG_HOME/tandrel"
settings='[Tandrel]\nSoundVol=160\nMusicVol=120\nFullscreen=0\nResolution=3\nColor=1\nDesktop=0\nTexture=2\nHelp=1\nWriteDebug=0\nPseudoFullscreen=0\n'

now_ms() { date +%s%3N; }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
launcher() { xdotool search --onlyvisible --name '^Tandrel$' 2>/dev/null | head -1 || true; }

launch=() load=() cpu=() hwm=()
for run in $(seq 1 "$runs"); do
    printf "$settings" > "$XDG_CONFIG_HOME/tandrel/settings.ini"
    start=$(now_ms)
    "$program" >/dev/null 2>&1 &
    pid=$!
    window=""
    while [ -z "$window" ]; do window=$(launcher); done
    launch+=($(( $(now_ms) - start )))

    xdotool windowfocus --sync "$window"; xdotool key Return
    until grep -q " ... Loading finished" "$XDG_DATA_HOME/tandrel/debug.txt" 2>/dev/null; do sleep 0.05; done
    created=$(grep " Main form created" "$XDG_DATA_HOME/tandrel/debug.txt" | tr -dc '0-9\n' | head -1)
    finished=$(grep " ... Loading finished" "$XDG_DATA_HOME/tandrel/debug.txt" | tr -dc '0-9\n' | head -1)
    load+=($(( finished - created )))

    sleep 1 # the first frames of the menu
    ticks=$(getconf CLK_TCK)
    before=$(awk '{print $14 + $15}' /proc/$pid/stat)
    sleep 10
    after=$(awk '{print $14 + $15}' /proc/$pid/stat)
    cpu+=($(awk -v a="$before" -v b="$after" -v t="$ticks" 'BEGIN {printf "%.1f", (b - a) * 100 / t / 10}'))
    hwm+=($(awk '/VmHWM/ {print int($2 / 1024)}' /proc/$pid/status))
    kill -TERM "$pid"; wait "$pid" || true
done

echo "runs: $runs (windowed 800x600, $(glxinfo -B 2>/dev/null | awk -F': ' '/OpenGL renderer/ {print $2}'))"
echo "launch -> launcher visible:           ${launch[*]} ms, median $(printf '%s\n' "${launch[@]}" | median) ms"
echo "Main form created -> Loading finished: ${load[*]} ms, median $(printf '%s\n' "${load[@]}" | median) ms"
echo "CPU over 10 s idle in the menu:        ${cpu[*]} %, median $(printf '%s\n' "${cpu[@]}" | median) %"
echo "peak memory (VmHWM) in the menu:       ${hwm[*]} MB, median $(printf '%s\n' "${hwm[@]}" | median) MB"
