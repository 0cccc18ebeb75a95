#!/usr/bin/env bash
# A bonus board at rest on the real program under Xvfb: a saved level-5 game (8 stones,
# 5 bombs, two of them in the top row) is resumed at 1280x1024, the pointer goes to the
# window's corner, and the CPU of the whole process (the rasteriser's threads included) and
# the frames drawn are taken while the bombs' fuses spark and the player only thinks.
# Every run starts with empty user folders.
#   bench/bonus-rest.sh [runs] [seconds]      (default 3 runs, 60 s each)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
seconds=${2:-60}
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
unset WAYLAND_DISPLAY
. bench/report.sh
game_environment

# The saved game: level 5 of the normal mode, its stones and bombs grown (kind codes 17
# and 8; cells as X, Y); BONUS_CUBES gives another layout the same way.
save() {
    local cubes=${BONUS_CUBES:-"17 2 2  17 8 2  17 5 4  17 3 6  17 7 6  17 5 7  17 1 5  17 9 5  8 3 9  8 7 9  8 1 1  8 9 1  8 5 5"}
    printf 'saved\n1\n5\n0\n 0.00000000000000E+0000\n 1.50000000000000E+0003\n1\n13\n'
    set -- $cubes
    while [ $# -gt 0 ]; do
        printf '1\n%s\n%s\n%s\n' "$1" "$2" "$3"
        shift 3
    done
}
wait_log() { until grep -q "$1" "$debug" 2>/dev/null; do sleep 0.05; done; }

cpu=() frames=()
for run in $(seq 1 "$runs"); do
    rm -rf "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
    mkdir -p "$XDG_CONFIG_HOME/tandrel" "$XDG_DATA_HOME/tandrel/data"
    printf '[Tandrel]\nSoundVol=160\nMusicVol=120\nFullscreen=0\nResolution=8\nColor=1\nDesktop=0\nTexture=2\nHelp=0\nWriteDebug=1\nPseudoFullscreen=0\n' \
        > "$XDG_CONFIG_HOME/tandrel/settings.ini"
    save > "$XDG_DATA_HOME/tandrel/data/Save1.dat"
    "$program" --start >/dev/null 2>&1 &
    pid=$!
    wait_log " ... Loading finished"
    window=$(enter_game "$pid")
    # Then Resume on the offer.
    sleep 1
    xdotool key Return
    xdotool mousemove --window "$window" 3 3
    sleep 5 # the stones and bombs grow again, the new level's banner fades
    lines=$(wc -l < "$debug")
    before=$(awk '{print $14 + $15}' "/proc/$pid/stat")
    sleep "$seconds"
    after=$(awk '{print $14 + $15}' "/proc/$pid/stat")
    cpu+=($(awk -v a="$before" -v b="$after" -v t="$ticks" -v s="$seconds" 'BEGIN {printf "%.2f", (b - a) * 100 / t / s}'))
    frames+=($(game_frames "$lines"))
    grep -q "Save1.dat" "$debug" && grep "Save1.dat" "$debug" | head -2 # a refused save shows here
    kill -TERM "$pid"
    wait "$pid" || true
done
echo "runs: $runs, 1280x1024 windowed, $(glxinfo -B 2>/dev/null | awk -F': ' '/OpenGL renderer/ {print $2}')"
report "CPU over ${seconds} s, bonus board at rest" "%" "${cpu[@]}"
report "  frames drawn meanwhile (about)" "" "${frames[@]}"
