#!/usr/bin/env bash
# Two builds side by side: the time zoneloads takes to write the report of
# every zone of a building, and the time zoneloads-view takes to write its
# page and, apart, its workbook, with an earlier build (OLD) and this one
# (NEW), the runs alternating (old job, new job, old page, new page ...), so
# that the machine's drift hits both alike. Prints the medians and the
# ratios new / old, and the peak memory of each.
#
#   bench/compare.sh OLD_BUILD NEW_BUILD [ZONES] [PAIRS] [--varied]   (defaults: 200, 7)
#
# Needs /usr/bin/time (Debian package "time"). Files go to bench/out/.
set -euo pipefail
cd "$(dirname "$0")/.."
old=$(realpath "$1")
new=$(realpath "$2")
zones=${3:-200}
pairs=${4:-7}
flag=${5:-}
out=bench/out
mkdir -p "$out"
name="compare-$zones${flag:+-varied}"
"$new/sample-building" "$out/$name.bin" --zones "$zones" --seed 1 $flag
seq 0 $((zones - 1)) | tr '\n' ' ' > "$out/$name-zones.txt"
printf '%s.bin\n%s.txt\n-1\n%s-zones.txt\n' "$name" "$name" "$name" > "$out/$name-answers.txt"

source bench/timing.sh

# The three commands of a build, by their label.
command() {
    local build=$1 what=$2
    case $what in
        job) echo "exec '$build/zoneloads' < $name-answers.txt" ;;
        page) echo "exec '$build/zoneloads-view' $name.txt -o $name.html" ;;
        book) echo "exec '$build/zoneloads-view' $name.txt -o /dev/null --xlsx $name.xlsx" ;;
    esac
}

declare -A walls peaks
for what in job page book; do
    for build in "$old" "$new"; do sh -c "cd $out && $(command "$build" $what)" > /dev/null; done  # warm-up
    for _ in $(seq "$pairs"); do
        for side in old new; do
            build=$old
            [ $side = new ] && build=$new
            read -r w _ m < <(timed "$(command "$build" $what)")
            walls[$what-$side]+="$w"$'\n'
            peaks[$what-$side]+="$m"$'\n'
        done
    done
done
printf '%d zones%s, %d pairs: median wall seconds (peak MiB)\n' "$zones" "${flag:+ (varied)}" "$pairs"
printf '%-5s %16s %16s %7s\n' what old new ratio
for what in job page book; do
    o=$(printf '%s' "${walls[$what-old]}" | median)
    n=$(printf '%s' "${walls[$what-new]}" | median)
    om=$(printf '%s' "${peaks[$what-old]}" | median)
    nm=$(printf '%s' "${peaks[$what-new]}" | median)
    awk -v w="$what" -v o="$o" -v n="$n" -v om="$om" -v nm="$nm" \
        'BEGIN { printf "%-5s %7.3f (%5.1f) %7.3f (%5.1f) %7.2f\n", w, o, om / 1024, n, nm / 1024, n / o }'
done
