#!/usr/bin/env bash
# Reads back what zoneloads-view writes for spreadsheets and compares it with
# the report's own numbers: the workbook (with openpyxl, Debian's
# python3-openpyxl) cell by cell, and the Spanish-locale CSV as LibreOffice
# opens it in a Spanish locale, row by row against the script CSV.
#   .ci/workbook_check.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
here=$(realpath "$(dirname "$0")")
source "$here/scratch.sh"
python=/usr/bin/python3  # Debian's, with python3-openpyxl

"$build/sample-building" casa.bin --zones 20 --seed 5
# Zone 3 gets a name a spreadsheet would take for a formula.
"$python" - <<'PY'
name = b'=HYPERLINK("x")'
with open("casa.bin", "r+b") as f:
    f.seek(4 + 3 * 285896)
    f.write(name + b"\0" * (52 - len(name)))
PY
seq 0 19 | tr '\n' ' ' > todas.txt
printf 'casa.bin\ncasa.txt\n-1\ntodas.txt\n' | "$build/zoneloads" > /dev/null
printf 'casa.bin\notra.txt\n2\n' | "$build/zoneloads" > /dev/null
"$build/zoneloads-view" casa.txt otra.txt --csv casa.csv --csv-es casa-es.csv --xlsx casa.xlsx > /dev/null
echo "workbook of 2 reports, 21 zone blocks: $(wc -c < casa.xlsx) bytes"
# A variant of the same zones, compared with the building as its base: the
# zone renamed above finds no partner, and is warned of on each side.
"$build/sample-building" variante.bin --zones 20 --seed 6
printf 'variante.bin\nvariante.txt\n-1\ntodas.txt\n' | "$build/zoneloads" > /dev/null
"$build/zoneloads-view" casa.txt variante.txt --comparar --csv comparacion.csv --xlsx comparacion.xlsx \
    > /dev/null 2> warnings.txt
if [ "$(grep -c '^zoneloads-view: aviso: .*: bloque 4 (.*) sin zona del mismo nombre en la ' warnings.txt)" = 2 ]; then
    echo "comparison: the renamed zone warned of in the base and in the variant"
else
    echo "UNEXPECTED warnings of the comparison:"; cat warnings.txt; fail=1
fi

"$python" - <<'PY' || fail=1
import csv, datetime, math, openpyxl

def value(text):
    v = float(text)
    return text if math.isnan(v) or math.isinf(v) else v

def report(path):
    """Zone blocks (name, Qs texts) and the totals' four columns, as texts."""
    lines = open(path, "rb").read().decode("cp1252").split("\r\n")
    blocks, i = [], 0
    while not lines[i].startswith("# TOTAL"):
        name = lines[i + 2][len("# Nombre zona: "):-len(" : # Pesos g(i) #")]
        blocks.append((name, [l.split(" , ")[3] for l in lines[i + 9:i + 9 + 8760]]))
        i += 9 + 8760 + 1
    totals = [l.split(" , ") for l in lines[i + 1:i + 1 + 8760]]
    return blocks, totals

book = openpyxl.load_workbook("casa.xlsx")
assert book.sheetnames == ["Resumen", "Mensual", "Gráficos", "Duración", "Días pico", "Horas casa", "Horas otra"], \
    book.sheetnames
start = datetime.datetime(2018, 1, 1)
cells = 0
for sheet, path in (("Horas casa", "casa.txt"), ("Horas otra", "otra.txt")):
    blocks, totals = report(path)
    rows = list(book[sheet].iter_rows(values_only=True))
    assert len(rows) == 8761, len(rows)
    assert list(rows[0][1:1 + len(blocks)]) == [b[0] + " [W]" for b in blocks], rows[0]
    for h in (0, 1416, 8759):
        assert rows[1 + h][0] == start + datetime.timedelta(hours=h), (h, rows[1 + h][0])
    for h in range(8760):
        row = rows[1 + h]
        for b, (_, qs) in enumerate(blocks):
            assert row[1 + b] == value(qs[h]), (sheet, h, b, row[1 + b], qs[h])
        for c in range(4):
            assert row[1 + len(blocks) + c] == value(totals[h][c]), (sheet, h, c)
        cells += len(blocks) + 4
print(f"hourly sheets: {cells} cells equal to the reports' numbers; dates of hours 0, 1416, 8759 right")

# The summary sheet against the script CSV, column by column: the Spanish
# CSV's header gives each script column its label, which heads the sheet's.
table = list(csv.reader(open("casa.csv", newline="", encoding="cp1252")))
labels = next(csv.reader(open("casa-es.csv", newline="", encoding="cp1252"), delimiter=";"))
column = dict(zip(labels, range(len(labels))))
heating = {"QsCAL_max[W]", "Qs_neg[kWh]", "Qs_neg_neto[kWh]", "suma_QsCAL_max_zonas"}
summary = list(book["Resumen"].iter_rows(values_only=True))
assert len(summary) == len(table), (len(summary), len(table))
compared = 0
for s, t in zip(summary[1:], table[1:]):
    for label, x in zip(summary[0], s):
        if label.startswith("Factor de simultaneidad"):
            continue
        c = column[label]
        if c <= 2:
            assert str(x or "") == t[c], (label, x, t[c])
        elif t[c] == "":
            assert x is None, (label, x)
        elif isinstance(x, datetime.datetime):
            assert f"{x:%d/%m %H:%M}" == t[c], (label, x, t[c])
        else:
            want = float(t[c])
            assert x == (abs(want) if table[0][c] in heating else want), (label, x, t[c])
        compared += 1
    if t[1] == "TOTAL":
        factor = s[summary[0].index("Factor de simultaneidad de refrigeración")]
        assert abs(factor - float(t[3]) / float(t[14])) <= 1e-5 * factor, (factor, t)
print(f"summary: {len(summary) - 1} rows, {compared} cells equal to the CSV's (heating as magnitudes), "
      "with dates and factors de simultaneidad")

names = [c for c in book["Resumen"]["C"] if c.value == '=HYPERLINK("x")']
assert names and all(c.data_type == "s" for c in names), names
charts = book["Gráficos"]._charts
assert len(charts) == 4 and {type(c).__name__ for c in charts} == {"BarChart", "ScatterChart"}, charts
print('the name =HYPERLINK("x") stays text; 4 charts (monthly bars, duration curves)')

# The day of the first zone's cooling peak: its 24 hours as the report has them.
lines = open("casa.txt", "rb").read().decode("cp1252").split("\r\n")
hours = [[value(x) for x in l.split(" , ")[:5]] for l in lines[9:9 + 8760]]
peak = int(table[1][4])
day = [r for r in book["Días pico"].iter_rows(values_only=True) if r[:4] == ("casa.txt", 1, table[1][2], "refrigeración")]
assert len(day) == 24, len(day)
for h, r in enumerate(day):
    hour = peak - peak % 24 + h
    assert r[4] == start + datetime.timedelta(hours=hour), (h, r)
    q = hours[hour]
    assert [r[5], r[6], r[7], r[8], r[9]] == [q[3], q[4], q[0], q[1], q[2]], (h, r, q)
print(f"Días pico: the 24 hours of the day of block 1's cooling peak, {day[0][4]:%d/%m}, as in the report")

# The comparison: its sheet holds the difference table of the CSV, heating
# figures as magnitudes (so their differences change sign).
book = openpyxl.load_workbook("comparacion.xlsx")
assert book.sheetnames == ["Resumen", "Comparación", "Mensual", "Gráficos", "Duración", "Días pico", "Horas casa",
                           "Horas variante"], book.sheetnames
lines = open("comparacion.csv", newline="", encoding="cp1252").read().split("\r\n")
differences = list(csv.reader(lines[lines.index("") + 1:-1]))
sheet = list(book["Comparación"].iter_rows(values_only=True))
assert len(sheet) == len(differences) == 1 + 19 + 1, (len(sheet), len(differences))
assert len(sheet[0]) == len(differences[0]), sheet[0]
for s, t in zip(sheet[1:], differences[1:]):
    assert [x if x is not None else "" for x in s[:3]] == t[:3], (s, t)
    for c in range(3, len(t)):
        x, want = s[c], t[c]
        if want in ("", "TOTAL"):
            assert (x or "") == want, (c, x, want)
            continue
        name = differences[0][c]
        if any(name.startswith(h + "_") for h in heating):
            want = float(want)
            want = abs(want) if name.endswith(("_base", "_variante")) else -want
        assert x == float(want), (name, x, t[c])
print(f"Comparación: {len(sheet) - 1} rows equal to the CSV's difference table")
PY

# The Spanish CSV as a spreadsheet in a Spanish locale opens it: ";" between
# fields, Windows-1252, the language Spanish (Spain), then read back.
profile="$work/libreoffice"
timeout 180 soffice -env:UserInstallation="file://$profile" --headless --infilter="CSV:59,34,1,1,,3082" \
    --convert-to xlsx --outdir spanish casa-es.csv > /dev/null 2>&1
"$python" - <<'PY' || fail=1
import csv, datetime, openpyxl
sheet = list(openpyxl.load_workbook("spanish/casa-es.xlsx").active.iter_rows(values_only=True))
table = list(csv.reader(open("casa.csv", newline="", encoding="cp1252")))
labels = next(csv.reader(open("casa-es.csv", newline="", encoding="cp1252"), delimiter=";"))
assert len(sheet) == len(table) and list(sheet[0]) == labels, (len(sheet), len(table), sheet[0])
for s, t in zip(sheet[1:], table[1:]):
    assert s[0] == t[0] and str(s[1]) == t[1] and (s[2] or "").lstrip("'") == t[2], (s, t)
    for c in range(3, len(t)):
        if t[c] == "":
            assert s[c] is None, (c, s, t)
        elif isinstance(s[c], datetime.datetime):  # the script CSV's "dd/mm hh:mm"
            assert f"{s[c]:%d/%m %H:%M}" == t[c], (c, s, t)
        else:
            assert s[c] == float(t[c]), (c, s, t)
print(f"--csv-es in a Spanish LibreOffice: {len(sheet) - 1} rows of numbers and dates equal to --csv's")
PY
exit $fail
