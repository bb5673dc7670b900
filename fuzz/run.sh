#!/usr/bin/env bash
# Builds the libFuzzer targets (in the asan preset's build, with the tests)
# and runs each for a bounded time on a seed corpus it generates, as many
# side by side as the machine has cores.
#   fuzz/run.sh [SECONDS]     (default 60 per target)
# Prints libFuzzer's closing statistics; fails if a target crashed or a run
# took longer than 10 s (a loop that does not end).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake --preset asan > /dev/null
cmake --build --preset asan --target zone_list_fuzz run_fuzz report_reader_fuzz figures_fuzz year_fuzz zone_file_fuzz > /dev/null

corpus_list=$PWD/fuzz/corpus-zone-list
corpus_run=$PWD/fuzz/corpus-run
corpus_report=$PWD/fuzz/corpus-report
corpus_figures=$PWD/fuzz/corpus-figures
corpus_year=$PWD/fuzz/corpus-year
corpus_zones=$PWD/fuzz/corpus-zone-file
mkdir -p "$corpus_list" "$corpus_run" "$corpus_report" "$corpus_figures" "$corpus_year" "$corpus_zones"
seed() { printf "$2" > "$1"; }
seed "$corpus_list/plain" '\x05 3 1 3'
seed "$corpus_list/notations" '\x0a 010 0x3 +2 -1 9'
seed "$corpus_list/bad" '\x05 0 -1 x'
seed "$corpus_list/overflow" '\x03 99999999999 -99999999999'
seed "$corpus_list/blank" '\x04 \t\r\n '
# Run seeds: count, stray (2 bytes), answers length, answers, list length, list, pattern.
seed "$corpus_run/typed" '\x02\x00\x00\x02'"1\n"'\x00Z0\x00\x00\x00\x00\x00'
seed "$corpus_run/list" '\x03\x00\x00\x08'"-1 l.txt"'\x05'"2 0 1"'Zona\x00'
seed "$corpus_run/cut" '\x01\xff\xff\x02'"0\n"'\x00abc'
seed "$corpus_run/extra" '\x01\x10\x00\x02'"0\n"'\x00\xff\xff\xc0\x7f'
seed "$corpus_run/zero" '\x00\x00\x00\x0a'"-1 l.txt\n"'\x03'"0 1"'x'
seed "$corpus_run/negative" '\xfc\xfb\xff\xff\xff\x00\x00\x02'"0\n"'\x00'

# Report seeds: blocks and line ends, name, hours of their own (2 bytes of
# hour, Qs and QL bits), then changes (offset, operation, byte).
seed "$corpus_report/totals-only" '\x00\x00\x00'
seed "$corpus_report/one-block" '\x01\x04Sala\x00'
seed "$corpus_report/two-blocks-lf" '\x82\x02AB\x00'
seed "$corpus_report/slow-negatives" '\x01\x01Z\x03\x32\x00\x01\x00\x80\x9c\x00\x00\x00\x00\x3c\x00\x00\x80\xbb\xc4\x00\x00\x00\x00\x40\x00\x16\x68\xa9\xe5\x00\x00\x00\x00'
seed "$corpus_report/name-with-breaks" '\x01\x05a\r\nb\n\x00'
seed "$corpus_report/changed" '\x01\x01Z\x00\x40\x02\x00\x00\x00\x2c\x50\x02\x00\x00\x01\x0a'

# Figures seeds, the year's too: a first byte (the peak day's hour; for the
# year, what to draw, 0 the comparison), then float32 values: a day of equal
# huge temperatures (about 1e16, a record filled with one byte), NaN and
# infinities, subnormals, ordinary loads.
seed "$corpus_figures/huge-equal" '\x00\x5a\x5a\x5a\x5a\x5a\x5a\x5a\x5a\x5a\x5a\x5a\x5a'
seed "$corpus_figures/nan-inf" '\x00\x00\x00\xc0\x7f\x00\x00\x80\x7f\x00\x00\x80\xff\x00\x00\x00\x00'
seed "$corpus_figures/subnormal" '\x08\x01\x00\x00\x00\x01\x00\x00\x80\xff\xff\x7f\x00'
seed "$corpus_figures/loads" '\x03\x00\x00\xc8\x42\x00\x00\x20\xc2\x00\x00\xa8\x41\x00\x00\xc8\x41'
for figures in huge-equal nan-inf subnormal loads; do cp "$corpus_figures/$figures" "$corpus_year/$figures"; done

# Zone results file seeds: raw bytes (bit 0 of the first byte clear), or a
# file shaped from zones, a count field, a size change and record bytes.
seed "$corpus_zones/raw-none" '\x00\x00\x00\x00\x00'
seed "$corpus_zones/raw-text" '\x00hola\n'
seed "$corpus_zones/raw-report" '\x00# TOTAL --- Qsensible [w] , Qlatente[W],Qs[w]Sin agregar,Qs[W]sin agregar\r\n'
seed "$corpus_zones/one-zone" '\x01\x01\x00Sala\x00\x00\xc8\x42\x00\x00\x20\xc2\x00\x00\xc0\x7f'
seed "$corpus_zones/two-zones-trailing" '\x01\x02\x10A\x00\x00\x80\x7f\x01\x00\x00\x00'
seed "$corpus_zones/cut" '\x01\x02\xf0Z\x00\x00\x80\xbf'
seed "$corpus_zones/count-field" '\x01\x81\x05\x00\x00\x00\x00Z\x00'

# Each target on a core of its own, as many at once as the machine has
# cores: the same time for each, less in all. Their statistics come after,
# in order.
targets=(zone_list_fuzz run_fuzz report_reader_fuzz figures_fuzz year_fuzz zone_file_fuzz)
corpora=("$corpus_list" "$corpus_run" "$corpus_report" "$corpus_figures" "$corpus_year" "$corpus_zones")
cores=$(nproc)
running=0
for i in "${!targets[@]}"; do
    target=${targets[$i]}
    (
        result=0
        build-asan/fuzz/$target -max_total_time="$seconds" -print_final_stats=1 -max_len=4096 -timeout=10 \
            -artifact_prefix="$PWD/build-asan/" "${corpora[$i]}" > "build-asan/$target.log" 2>&1 || result=1
        echo $result > "build-asan/$target.result"
    ) &
    running=$((running + 1))
    if [ "$running" -ge "$cores" ]; then
        wait -n
        running=$((running - 1))
    fi
done
wait

status=0
for target in "${targets[@]}"; do
    echo "== $target for ${seconds}s"
    if [ "$(cat "build-asan/$target.result")" != 0 ]; then
        status=1
        tail -n 40 "build-asan/$target.log"
    fi
    grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "build-asan/$target.log" || true
done
exit $status
