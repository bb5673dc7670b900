#!/usr/bin/env bash
# The page of a building in a real browser, this build's next to an earlier
# one's: for buildings of 200 and 1,000 zones (the sample building, every
# zone reported), each build's zoneloads-view writes the page of the same
# report; headless Chromium opens them in turn (old, new, old, new ...) and
# reports the median first contentful paint and load event, from the pages'
# own performance entries, with the pages' sizes and bytes per zone.
#
#   bench/page.sh OLD_BUILD NEW_BUILD [PAIRS] [ZONES...]   (defaults: 5, 200 1000)
#
# Needs chromium and python3. Files go to bench/out/.
set -euo pipefail
cd "$(dirname "$0")/.."
old=$(realpath "$1")
new=$(realpath "$2")
pairs=${3:-5}
shift $(($# < 3 ? $# : 3))
sizes=("${@:-200}")
[ $# -eq 0 ] && sizes=(200 1000)
out=bench/out
mkdir -p "$out"
pages=()
for zones in "${sizes[@]}"; do
    name="$out/page-$zones"
    "$new/sample-building" "$name.bin" --zones "$zones" --seed 1
    seq 0 $((zones - 1)) | tr '\n' ' ' > "$name-zones.txt"
    printf '%s.bin\n%s.txt\n-1\n%s-zones.txt\n' "$name" "$name" "$name" | "$new/zoneloads" > /dev/null
    "$old/zoneloads-view" "$name.txt" -o "$name-old.html" > /dev/null
    "$new/zoneloads-view" "$name.txt" -o "$name-new.html" > /dev/null
    pages+=("$name-old.html" "$name-new.html")
done
profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
echo "page                    first paint   load event    size   bytes/zone"
python3 bench/page_load.py "$profile" "$pairs" "${pages[@]}" | while IFS=$'\t' read -r page paint load size; do
    zones=$(basename "$page" | sed 's/page-\([0-9]*\)-.*/\1/')
    printf '%-22s %8.0f ms %9.0f ms %6.1f MB %9d\n' "$(basename "$page")" "$paint" "$load" \
        "$(echo "$size / 1000000" | bc -l)" $((size / zones))
done
