#!/usr/bin/env bash
# zoneloads-view against zoneloads on one building: the time to read a report
# and write its page, to read it and write its workbook (--xlsx, the page
# discarded), and to read the zone results file itself and write its page
# (the one step from the simulation to the page), and to read it alone (the
# page discarded, only the summary CSV written: every value, figure and row,
# no picture), next to the time zoneloads takes to write the report of all
# zones, the commands alternating (job, page, workbook, page from the zone
# results file, its reading alone, job ...) so that the
# machine's drift hits all alike; medians, their ratios to the job, peak
# memory and the sizes.
#
#   bench/view.sh [BUILD_DIR] [ZONES] [PAIRS]     (defaults: build, 200, 9)
#
# Needs /usr/bin/time (Debian package "time"). Files go to bench/out/.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
zones=${2:-200}
pairs=${3:-9}
out=bench/out
mkdir -p "$out"
tool=$(realpath "$build/zoneloads")
view=$(realpath "$build/zoneloads-view")
"$build/sample-building" "$out/view-$zones.bin" --zones "$zones" --seed 1
seq 0 $((zones - 1)) | tr '\n' ' ' > "$out/view-zones-$zones.txt"
printf 'view-%s.bin\nview-%s.txt\n-1\nview-zones-%s.txt\n' "$zones" "$zones" "$zones" > "$out/view-answers-$zones.txt"

source bench/timing.sh

job="exec '$tool' < view-answers-$zones.txt"
page="exec '$view' view-$zones.txt -o view-$zones.html"
book="exec '$view' view-$zones.txt -o /dev/null --xlsx view-$zones.xlsx"
direct="exec '$view' view-$zones.bin -o view-$zones-bin.html"
reading="exec '$view' view-$zones.bin -o /dev/null --csv view-$zones-bin.csv"
for command in "$job" "$page" "$book" "$direct" "$reading"; do sh -c "cd $out && $command" > /dev/null; done  # warm-up
jobs="" views="" rss="" books="" bookRss="" directs="" directRss="" readings=""
for _ in $(seq "$pairs"); do
    read -r w _ _ < <(timed "$job"); jobs+="$w"$'\n'
    read -r w _ m < <(timed "$page"); views+="$w"$'\n'; rss+="$m"$'\n'
    read -r w _ m < <(timed "$book"); books+="$w"$'\n'; bookRss+="$m"$'\n'
    read -r w _ m < <(timed "$direct"); directs+="$w"$'\n'; directRss+="$m"$'\n'
    read -r w _ _ < <(timed "$reading"); readings+="$w"$'\n'
done
j=$(printf '%s' "$jobs" | median)
v=$(printf '%s' "$views" | median)
r=$(printf '%s' "$rss" | median)
b=$(printf '%s' "$books" | median)
br=$(printf '%s' "$bookRss" | median)
d=$(printf '%s' "$directs" | median)
dr=$(printf '%s' "$directRss" | median)
a=$(printf '%s' "$readings" | median)
awk -v z="$zones" -v j="$j" -v v="$v" -v r="$r" -v b="$b" -v br="$br" -v d="$d" -v dr="$dr" -v a="$a" \
    -v rb="$(stat -c %s "$out/view-$zones.txt")" -v pb="$(stat -c %s "$out/view-$zones.html")" \
    -v bb="$(stat -c %s "$out/view-$zones.xlsx")" 'BEGIN {
    printf "%d zones: zoneloads %.3f s (report %.1f MB); page %.3f s (%.1f MB, peak %.1f MiB): ratio %.2f; workbook %.3f s (%.1f MB, peak %.1f MiB): ratio %.2f\n",
        z, j, rb / 1e6, v, pb / 1e6, r / 1024, v / j, b, bb / 1e6, br / 1024, b / j
    printf "%d zones: page from the zone results file %.3f s (peak %.1f MiB): ratio %.2f to zoneloads, ", z, d, dr / 1024, d / j
    printf "%.2f to the page from the report\n", d / v
    printf "%d zones: reading the zone results file alone (no page) %.3f s: ratio %.2f to zoneloads\n", z, a, a / j }'
