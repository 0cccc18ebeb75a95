# Shared by the timing scripts: the median of numbers on standard input, and one result line
# (a label, the runs' values and their median, with a unit).
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# report LABEL UNIT VALUE...
report() {
    local label=$1 unit=$2
    shift 2
    printf '%-40s %s%s, median %s%s\n' "$label:" "$*" "${unit:+ $unit}" "$(printf '%s\n' "$@" | median)" "${unit:+ $unit}"
}
