#!/usr/bin/env bash
# Renders the page of a sample building, and of it compared with a variant,
# in headless Chromium; fails when a screenshot is blank, the DOM lacks the
# summary table, the index, the sections' values or the comparison, or when
# the page used as a reader uses it does not do what it should
# (page_check.py: every picture drawn when shown, values under the pointer,
# the hourly chart, the index's filter, the script's numbers against the
# viewer's, no network, the page without scripts).
#   .ci/view_check.sh BUILD_DIR [SCREENSHOT.png [COMPARISON.png]]
set -euo pipefail
build=$(realpath "$1")
shot=${2:+$(realpath -m "$2")}
comparison_shot=${3:+$(realpath -m "$3")}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/scratch.sh"

"$build/sample-building" casa.bin --zones 12 --seed 5
seq 0 11 | tr '\n' ' ' > zonas.txt
printf 'casa.bin\ncasa.txt\n-1\nzonas.txt\n' | "$build/zoneloads" > /dev/null
# Two hours of the first zone well outside its set points, for the pointer
# to find on the temperature carpet: 1.1 K below Tmin, 6 K above Tmax.
python3 - <<'PY'
lines = open("casa.txt", "rb").read().split(b"\r\n")
for hour, pick in ((100, lambda tmax, tmin: tmin - 1.1), (5000, lambda tmax, tmin: tmax + 6)):
    fields = lines[9 + hour].split(b" , ")
    fields[0] = b"%.2f" % pick(float(fields[1]), float(fields[2]))
    lines[9 + hour] = b" , ".join(fields)
open("casa.txt", "wb").write(b"\r\n".join(lines))
PY
"$build/zoneloads-view" casa.txt --csv casa.csv > table.txt
echo "page of 12 zones: $(wc -c < casa.html) bytes; table of $(wc -l < table.txt) lines"
"$build/sample-building" variante.bin --zones 12 --seed 6
printf 'variante.bin\nvariante.txt\n-1\nzonas.txt\n' | "$build/zoneloads" > /dev/null
"$build/zoneloads-view" casa.txt variante.txt --comparar -o comparacion.html > /dev/null

browser=(chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run
         --disable-background-networking --disable-component-update --disable-sync
         --user-data-dir="$work/profile" --window-size=1400,1800)
timeout 120 "${browser[@]}" --screenshot="$work/shot.png" "file://$work/casa.html" 2> /dev/null
timeout 120 "${browser[@]}" --dump-dom "file://$work/casa.html" 2> /dev/null > dom.html
timeout 120 "${browser[@]}" --screenshot="$work/comparison.png" "file://$work/comparacion.html" 2> /dev/null
timeout 120 "${browser[@]}" --dump-dom "file://$work/comparacion.html" 2> /dev/null > comparison-dom.html

if grep -q '<table class="summary">' dom.html && grep -q '<th>Punta de refrigeración \[W\]</th>' dom.html &&
   [ "$(grep -c '<tr>' dom.html)" -ge 14 ]; then
    echo "DOM holds the summary table"
else
    echo "summary table missing from the DOM"; fail=1
fi
# count PATTERN FILE: how many times PATTERN occurs in FILE.
count() { grep -o "$1" "$2" | wc -l; }
if [ "$(count '<div class="figs building" data-f="[^"]*" data-v="' dom.html)" -eq 1 ] &&
   [ "$(count '<section class="zone" id="r0b[0-9]*" data-f="[^"]*" data-v="' dom.html)" -eq 12 ] &&
   [ "$(count '<li><a href="#r0b' dom.html)" -eq 12 ]; then
    echo "DOM holds the building's and the 12 zone sections' values and the index"
else
    echo "building's or zone sections' values, or the index, missing from the DOM"; fail=1
fi
if grep -q '<table class="comparison">' comparison-dom.html &&
   [ "$(count '<tr>' comparison-dom.html)" -ge $((14 + 14 + 13)) ] &&
   [ "$(count '<div class="figs compared" data-f="[^"]*" data-v="' comparison-dom.html)" -eq 1 ]; then
    echo "DOM of the comparison holds the difference table and the buildings' values"
else
    echo "difference table or values missing from the comparison's DOM"; fail=1
fi
# The script's numbers are checked against the viewer's formatter on its sample.
"$build/format-check" --page-sample > numbers.txt
python3 "$here/page_check.py" casa.html "$work/page-profile" casa.txt --numbers numbers.txt || fail=1
python3 "$here/page_check.py" comparacion.html "$work/page-profile" casa.txt --variant variante.txt || fail=1
for picture in shot.png comparison.png; do
colours=$(python3 - "$work/$picture" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
pos, idat, width, height = 8, b"", 0, 0
while pos < len(data):
    n, kind = struct.unpack(">I4s", data[pos:pos + 8])
    body = data[pos + 8:pos + 8 + n]
    if kind == b"IHDR":
        width, height, depth, ctype = struct.unpack(">IIBB", body[:10])
        bpp = {2: 3, 6: 4}[ctype]
    elif kind == b"IDAT":
        idat += body
    pos += 12 + n
raw, stride, prev, seen = zlib.decompress(idat), width * bpp, None, set()
for y in range(height):
    f, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
    prev = prev or bytearray(stride)
    for i in range(stride):
        a = line[i - bpp] if i >= bpp else 0
        b, c = prev[i], (prev[i - bpp] if i >= bpp else 0)
        p = a + b - c
        pred = [0, a, b, (a + b) // 2, a if abs(p - a) <= min(abs(p - b), abs(p - c)) else (b if abs(p - b) <= abs(p - c) else c)][f]
        line[i] = (line[i] + pred) & 0xFF
    if y % 8 == 0:
        seen.update(bytes(line[i:i + 3]) for i in range(0, stride, bpp * 4))
    prev = line
print(len(seen))
PY
)
if [ "$colours" -ge 50 ]; then
    echo "$picture shows the page ($colours colours sampled)"
else
    echo "$picture is blank ($colours colours)"; fail=1
fi
done
[ -n "$shot" ] && cp "$work/shot.png" "$shot"
[ -n "$comparison_shot" ] && cp "$work/comparison.png" "$comparison_shot"
exit $fail
