# Shared by the timing scripts: the median of numbers on standard input, one result line
# (a label, the runs' values and their median, with a unit), the game's window and the
# frames the game drew according to its debug log ($debug).
# The build tree's program in temporary XDG folders (gone at exit), without sound or the
# accessibility bus: sets program, work, debug (its log) and ticks (the clock's rate).
game_environment() {
    program=$PWD/build/game/tandrel
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    export NO_AT_BRIDGE=1 SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
    export XDG_CACHE_HOME=$work/cache
    debug=$XDG_DATA_HOME/tandrel/debug.txt
    ticks=$(getconf CLK_TCK)
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# report LABEL UNIT VALUE...
report() {
    local label=$1 unit=$2
    shift 2
    printf '%-40s %s%s, median %s%s\n' "$label:" "$*" "${unit:+ $unit}" "$(printf '%s\n' "$@" | median)" "${unit:+ $unit}"
}

# The game's own window: of the program's windows, the one that is not a dialog.
game_window() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
        if xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_NORMAL; then
            echo "$id"
            return
        fi
    done
}
# Frames drawn in the game after the log's line count $1: the frame-rate lines give the
# rate of each window since the one before, and their stamps the window's length.
game_frames() {
    tail -n +"$1" "$debug" | awk '/gsGame  FPS:/ {t = $1; if (last) n += $NF * (t - last) / 1000; last = t} END {printf "%.0f", n}'
}
# From the main menu, Play and the normal mode by Return (again while a key comes before the
# menu takes it, on a loaded machine) until the game of process $1 is on the board; prints
# the game's window.
enter_game() {
    local window=""
    while [ -z "$window" ]; do window=$(game_window "$1"); done
    for try in $(seq 1 20); do
        grep -q "State menu -> game" "$debug" && break
        xdotool windowfocus --sync "$window" 2>/dev/null || true
        xdotool key Return
        sleep 1
    done
    until grep -q "State menu -> game" "$debug" 2>/dev/null; do sleep 0.05; done
    echo "$window"
}
