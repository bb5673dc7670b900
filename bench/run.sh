#!/usr/bin/env bash
# Times the whole job (listing, selection of every zone through a zone-list
# file, report) on buildings of 10, 200 and 1,000 zones, next to `cat`
# copying the report it wrote, and the listing alone of 1,000 zones.
#
#   bench/run.sh [BUILD_DIR] [RUNS]     (defaults: build, 5)
#
# Needs /usr/bin/time (Debian package "time"). Files go to bench/out/.
# Every figure is the median of RUNS runs after one warm-up run, so the page
# cache holds the inputs; the ratio compares medians taken in the same run.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-5}
out=bench/out
mkdir -p "$out"
tool=$(realpath "$build/zoneloads")
sample=$(realpath "$build/sample-building")

# Median of the numbers on standard input.
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# time_runs VAR 'SHELL COMMAND': runs it RUNS times after a warm-up, in
# bench/out; sets VAR_wall (seconds, from the shell's clock: /usr/bin/time
# counts only hundredths), VAR_cpu (user + system, from /usr/bin/time) and
# VAR_rss (peak resident KiB) to the medians.
time_runs() {
    local name=$1 command=$2
    (cd "$out" && sh -c "$command" > /dev/null 2>&1) || true
    local walls="" cpus="" rsss="" wall user sys rss
    for _ in $(seq "$runs"); do
        local start=$EPOCHREALTIME
        (cd "$out" && /usr/bin/time -f '%U %S %M' -o time.txt sh -c "$command" > /dev/null 2>&1) || true
        wall=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { print b - a }')
        read -r user sys rss < <(tail -n 1 "$out/time.txt")
        walls+="$wall"$'\n'
        cpus+="$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')"$'\n'
        rsss+="$rss"$'\n'
    done
    printf -v "${name}_wall" '%s' "$(printf '%s' "$walls" | median)"
    printf -v "${name}_cpu" '%s' "$(printf '%s' "$cpus" | median)"
    printf -v "${name}_rss" '%s' "$(printf '%s' "$rsss" | median)"
}

printf '%-6s %8s %8s %9s %10s %7s %8s %7s\n' zones wall_s cpu_s peak_MiB report_MB MB/s cat_s ratio
for zones in 10 200 1000; do
    "$sample" "$out/building-$zones.bin" --zones "$zones" --seed 1
    seq 0 $((zones - 1)) | tr '\n' ' ' > "$out/zones-$zones.txt"
    printf 'building-%s.bin\nreport-%s.txt\n-1\nzones-%s.txt\n' "$zones" "$zones" "$zones" > "$out/answers-$zones.txt"
    time_runs job "exec '$tool' < answers-$zones.txt"
    time_runs copy "exec cat report-$zones.txt > copy-$zones.txt"
    bytes=$(stat -c %s "$out/report-$zones.txt")
    awk -v z="$zones" -v w="$job_wall" -v c="$job_cpu" -v r="$job_rss" -v b="$bytes" -v k="$copy_wall" 'BEGIN {
        mb = b / 1e6
        printf "%-6s %8.3f %8.3f %9.1f %10.1f %7.0f %8.3f %7.2f\n", z, w, c, r / 1024, mb, (w > 0 ? mb / w : 0), k, (k > 0 ? w / k : 0)
    }'
    rm -f "$out/copy-$zones.txt"
done

# The listing alone: an answer that is not a number ends the run right after it.
printf 'building-1000.bin\nreport-listing.txt\nx\n' > "$out/answers-listing.txt"
time_runs listing "exec '$tool' < answers-listing.txt"
awk -v w="$listing_wall" -v c="$listing_cpu" -v r="$listing_rss" 'BEGIN {
    printf "listing of 1000 zones alone: %.4f s wall, %.3f s cpu, peak %.1f MiB\n", w, c, r / 1024 }'
