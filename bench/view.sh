#!/usr/bin/env bash
# zoneloads-view against zoneloads on one building: the time to read a report
# and write its page, next to the time zoneloads takes to write that report,
# the two commands alternating (job, view, job, view ...) so that the
# machine's drift hits both alike; medians, their ratio, peak memory and the
# page's size.
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
sh -c "cd $out && $job" > /dev/null && sh -c "cd $out && $page" > /dev/null  # warm-up
jobs="" views="" rss=""
for _ in $(seq "$pairs"); do
    read -r w _ _ < <(timed "$job"); jobs+="$w"$'\n'
    read -r w _ m < <(timed "$page"); views+="$w"$'\n'; rss+="$m"$'\n'
done
j=$(printf '%s' "$jobs" | median)
v=$(printf '%s' "$views" | median)
r=$(printf '%s' "$rss" | median)
awk -v z="$zones" -v j="$j" -v v="$v" -v r="$r" -v rb="$(stat -c %s "$out/view-$zones.txt")" \
    -v pb="$(stat -c %s "$out/view-$zones.html")" 'BEGIN {
    printf "%d zones: zoneloads %.3f s (report %.1f MB), zoneloads-view %.3f s (page %.1f MB, peak %.1f MiB): ratio view/job %.2f\n",
        z, j, rb / 1e6, v, pb / 1e6, r / 1024, v / j }'
