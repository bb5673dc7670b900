#!/usr/bin/env bash
# Renders the page of a sample building in headless Chromium and fails when
# the screenshot is blank or the summary table is missing from the DOM.
#   .ci/view_check.sh BUILD_DIR [SCREENSHOT.png]
set -euo pipefail
build=$(realpath "$1")
shot=${2:-}
source "$(dirname "$0")/scratch.sh"

"$build/sample-building" casa.bin --zones 12 --seed 5
seq 0 11 | tr '\n' ' ' > zonas.txt
printf 'casa.bin\ncasa.txt\n-1\nzonas.txt\n' | "$build/zoneloads" > /dev/null
"$build/zoneloads-view" casa.txt --csv casa.csv > table.txt
echo "page of 12 zones: $(wc -c < casa.html) bytes; table of $(wc -l < table.txt) lines"

browser=(chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run
         --disable-background-networking --disable-component-update --disable-sync
         --user-data-dir="$work/profile" --window-size=1400,1800)
timeout 120 "${browser[@]}" --screenshot="$work/shot.png" "file://$work/casa.html" 2> /dev/null
timeout 120 "${browser[@]}" --dump-dom "file://$work/casa.html" 2> /dev/null > dom.html

if grep -q '<table class="summary">' dom.html && grep -q '<th>QsREF_max\[W\]</th>' dom.html &&
   [ "$(grep -c '<tr>' dom.html)" -ge 14 ]; then
    echo "DOM holds the summary table"
else
    echo "summary table missing from the DOM"; fail=1
fi
colours=$(python3 - "$work/shot.png" <<'PY'
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
    echo "screenshot shows the page ($colours colours sampled)"
else
    echo "screenshot is blank ($colours colours)"; fail=1
fi
[ -n "$shot" ] && cp "$work/shot.png" "$shot"
exit $fail
