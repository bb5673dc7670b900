#!/usr/bin/env bash
# Times the whole job (listing, selection of every zone through a zone-list
# file, report) on buildings of 10, 200 and 1,000 zones, next to `cat`
# copying the report it wrote, on two buildings: the sample building
# ("smooth": loads that stay at 0 while a zone floats between its set points)
# and a realistic one ("varied": every real series changes every hour, as a
# simulation writes them). Then the listing alone of 1,000 zones.
#
#   bench/run.sh [BUILD_DIR] [PAIRS]     (defaults: build, 7)
#
# Needs /usr/bin/time (Debian package "time"). Files go to bench/out/.
# The job and the copy alternate (job, copy, job, copy ...) after one
# warm-up of each, so the page cache holds the inputs and the machine's drift
# hits both alike; every figure is the median of PAIRS runs, and the ratio
# compares the two medians. Before every run (and outside its time) `sync`
# lets the disk finish what the run before wrote, as it has when a user
# runs the tool: otherwise each run pays for the writing its predecessor
# left, the more so for the job, which starts its report's writing at once.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
pairs=${2:-7}
out=bench/out
mkdir -p "$out"
tool=$(realpath "$build/zoneloads")
sample=$(realpath "$build/sample-building")

source bench/timing.sh

printf '%-7s %-6s %8s %8s %9s %10s %8s %7s\n' data zones wall_s cpu_s peak_MiB report_MB cat_s ratio
for data in smooth varied; do
    flag=""
    [ "$data" = varied ] && flag="--varied"
    for zones in 10 200 1000; do
        name="$data-$zones"
        "$sample" "$out/building-$name.bin" --zones "$zones" --seed 1 $flag
        seq 0 $((zones - 1)) | tr '\n' ' ' > "$out/zones-$zones.txt"
        printf 'building-%s.bin\nreport-%s.txt\n-1\nzones-%s.txt\n' "$name" "$name" "$zones" > "$out/answers-$name.txt"
        job="exec '$tool' < answers-$name.txt"
        copy="exec cat report-$name.txt > copy-$name.txt"
        timed "$job" > /dev/null
        timed "$copy" > /dev/null
        walls="" cpus="" rsss="" copies=""
        for _ in $(seq "$pairs"); do
            read -r w c m < <(timed "$job")
            walls+="$w"$'\n' cpus+="$c"$'\n' rsss+="$m"$'\n'
            read -r w _ _ < <(timed "$copy")
            copies+="$w"$'\n'
        done
        w=$(printf '%s' "$walls" | median)
        c=$(printf '%s' "$cpus" | median)
        m=$(printf '%s' "$rsss" | median)
        k=$(printf '%s' "$copies" | median)
        awk -v d="$data" -v z="$zones" -v w="$w" -v c="$c" -v m="$m" -v k="$k" \
            -v b="$(stat -c %s "$out/report-$name.txt")" 'BEGIN {
            printf "%-7s %-6s %8.3f %8.2f %9.1f %10.1f %8.3f %7.2f\n", d, z, w, c, m / 1024, b / 1e6, k, w / k }'
        rm -f "$out/copy-$name.txt" "$out/report-$name.txt"
    done
done

# The listing alone: an answer that is not a number ends the run right after it.
printf 'building-smooth-1000.bin\nreport-listing.txt\nx\n' > "$out/answers-listing.txt"
read -r w c m < <(timed "exec '$tool' < answers-listing.txt")
awk -v w="$w" -v c="$c" -v m="$m" 'BEGIN {
    printf "listing of 1000 zones alone: %.4f s wall, %.2f s cpu, peak %.1f MiB\n", w, c, m / 1024 }'
