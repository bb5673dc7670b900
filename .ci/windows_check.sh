#!/usr/bin/env bash
# Runs the Windows build under Wine on a sample building with piped answers
# and checks that its report is byte for byte the Linux build's, and that
# its console lines end in CR LF.
#   .ci/windows_check.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR
set -euo pipefail
linux=$(realpath "$1")
windows=$(realpath "$2")
source "$(dirname "$0")/scratch.sh"

"$linux/sample-building" casa.bin --zones 6 --seed 3
# The sample building is the same bytes from both builds, plain and varied.
for flags in "--zones 6 --seed 3" "--zones 2 --seed 9 --varied"; do
    "$linux/sample-building" linux-sample.bin $flags
    "$wine" "$windows/sample-building.exe" windows-sample.bin $flags
    if cmp -s linux-sample.bin windows-sample.bin; then
        echo "same sample building ($(wc -c < linux-sample.bin) bytes) for: $flags"
    else
        echo "DIFFERENT sample buildings for: $flags"; fail=1
    fi
done
printf '4 0x1 04 -1 2\n' > zonas.txt
for answers in 'casa.bin\ncasa.txt\n1\n' 'casa.bin\ncasa.txt\n-1\nzonas.txt\n'; do
    printf "$answers" | "$linux/zoneloads" > linux-console.txt
    mv casa.txt linux.txt
    echo 'an older report' > casa.txt  # the Windows run must replace it
    printf "$answers" | "$wine" "$windows/zoneloads.exe" > windows-console.txt
    mv casa.txt windows.txt
    if cmp -s linux.txt windows.txt; then
        echo "same report ($(wc -c < linux.txt) bytes) for answers: $answers"
    else
        echo "DIFFERENT reports for answers: $answers"; cmp linux.txt windows.txt | head -3; fail=1
    fi
    # The console is the Linux one with CR LF line ends.
    if sed 's/$/\r/' linux-console.txt | head -c "$(wc -c < windows-console.txt)" | cmp -s - windows-console.txt &&
       [ "$(tr -cd '\n' < windows-console.txt | wc -c)" = "$(grep -c $'\r$' windows-console.txt)" ]; then
        echo "console with CR LF line ends: $(wc -l < windows-console.txt) lines"
    else
        echo "UNEXPECTED console:"; od -c windows-console.txt | head -5; fail=1
    fi
done

# The viewer: the same page and table bytes from the same report, and from
# it compared with a variant; the workbooks the same cell values (the files
# differ in their creation time only), the Spanish-locale CSVs the same bytes.
"$linux/sample-building" variante.bin --zones 6 --seed 4
printf 'variante.bin\nvariante.txt\n-1\nzonas.txt\n' | "$linux/zoneloads" > /dev/null
same_cells() {
    /usr/bin/python3 - "$1" "$2" <<'PY'
import openpyxl, sys
a, b = openpyxl.load_workbook(sys.argv[1]), openpyxl.load_workbook(sys.argv[2])
cells = 0
assert a.sheetnames == b.sheetnames, (a.sheetnames, b.sheetnames)
for name in a.sheetnames:
    for ra, rb in zip(a[name].iter_rows(values_only=True), b[name].iter_rows(values_only=True), strict=True):
        assert ra == rb, (name, ra, rb)
        cells += len(ra)
print(f"{cells} cells in {len(a.sheetnames)} sheets", end="")
PY
}
for reports in "linux.txt" "linux.txt variante.txt --comparar"; do
    # shellcheck disable=SC2086 # the words are the arguments
    "$linux/zoneloads-view" $reports -o linux.html --csv linux.csv --xlsx linux.xlsx --csv-es linux-es.csv > /dev/null
    # shellcheck disable=SC2086
    "$wine" "$windows/zoneloads-view.exe" $reports -o windows.html --csv windows.csv --xlsx windows.xlsx \
        --csv-es windows-es.csv > /dev/null
    if cmp -s linux.html windows.html && cmp -s linux.csv windows.csv && cmp -s linux-es.csv windows-es.csv &&
       cells=$(same_cells linux.xlsx windows.xlsx); then
        echo "same page ($(wc -c < linux.html) bytes), tables and workbook ($cells) from zoneloads-view.exe $reports"
    else
        echo "DIFFERENT outputs from zoneloads-view.exe $reports"; cmp linux.html windows.html | head -3; fail=1
    fi
done

if ls | grep -q '\.tmp$'; then echo "temporary file left behind:"; ls; fail=1; fi

# The report may not be the input, not even in another letter case.
cp casa.bin casa-before.bin
set +e
printf 'casa.bin\nCASA.BIN\n1\n' | "$wine" "$windows/zoneloads.exe" > console.txt
status=$?
set -e
if [ "$status" = 255 ] && grep -q $'# Error fichero salida coincide con fichero de entrada CASA.BIN\r$' console.txt &&
   cmp -s casa.bin casa-before.bin; then
    echo "report named like the input in another case: refused, input kept"
else
    echo "report CASA.BIN gave status $status:"; tail -c 200 console.txt; fail=1
fi

# Nor the file the answers come from. (Started through Wine's cmd, whose
# redirection gives the tool a real Windows file handle to compare.)
printf 'casa.bin\r\nANSWERS.TXT\r\n1\r\n' > answers.txt
cp answers.txt answers-before.txt
"$wine" cmd /c "$(winepath -w "$windows/zoneloads.exe") < answers.txt" > console.txt 2>&1 || true
if grep -q $'# Error fichero salida coincide con fichero de entrada ANSWERS.TXT\r$' console.txt &&
   cmp -s answers.txt answers-before.txt; then
    echo "report named like the answers file: refused, answers kept"
else
    echo "report ANSWERS.TXT:"; tail -c 200 console.txt; fail=1
fi

# A device is written in place, never replaced.
set +e
printf 'casa.bin\nNUL\n1\n' | "$wine" "$windows/zoneloads.exe" > console.txt
status=$?
set -e
if [ "$status" = 0 ] && [ -z "$(ls | grep -i '^nul')" ]; then echo "report to NUL: written in place"; else echo "NUL report left files:"; ls; fail=1; fi

# Any file name, in the user's language: in a folder Cálculos, answers in
# UTF-8 (as Notepad saves them), UTF-8 after a byte-order mark, and
# Windows-1252 (as a Spanish batch file holds them) all reach the same files,
# which Linux sees under the UTF-8 names Wine gives them.
mkdir Cálculos
(
cd Cálculos
"$linux/sample-building" Año_2024.bin --zones 4 --seed 11
printf '3 0 2' > zonas_ñ.txt
printf 'Año_2024.bin\nlinux.txt\n-1\nzonas_ñ.txt\n' | "$linux/zoneloads" > /dev/null
for answers in 'Año_2024.bin\nCámara.txt\n-1\nzonas_ñ.txt\n' '\xef\xbb\xbfAño_2024.bin\nCámara.txt\n-1\nzonas_ñ.txt\n' \
               'A\xf1o_2024.bin\nC\xe1mara.txt\n-1\nzonas_\xf1.txt\n'; do
    echo 'an older report' > Cámara.txt
    printf "$answers" | "$wine" "$windows/zoneloads.exe" > console.txt || true
    if cmp -s Cámara.txt linux.txt; then
        echo "Cámara.txt replaced, the Linux report's bytes, for answers: $answers"
    else
        echo "Cámara.txt NOT written as the Linux report for answers: $answers"; ls; tail -c 300 console.txt; fail=1
    fi
done
# Answers that cmd's echo writes at the console's default code page (850,
# or 437: ñ is 0xA4, á 0xA0), which name no file read as Windows-1252, are
# read in the console's OEM code page; the echo keeps the answer's bytes.
echo 'an older report' > Cámara.txt
printf 'A\xa4o_2024.bin\nC\xa0mara.txt\n-1\nzonas_\xa4.txt\n' | "$wine" "$windows/zoneloads.exe" > console.txt || true
if cmp -s Cámara.txt linux.txt && grep -qa $'Fichero entrada = A\xa4o_2024.bin\r$' console.txt; then
    echo "answers in the console's OEM code page: Cámara.txt replaced, the Linux report's bytes"
else
    echo "answers in the console's OEM code page NOT taken:"; ls; tail -c 300 console.txt; fail=1
fi
printf 'Año_2024.bin\nCoste_\x80.txt\n0\n' | "$wine" "$windows/zoneloads.exe" > /dev/null || true
if [ -s Coste_€.txt ]; then echo "Coste_€.txt written"; else echo "Coste_€.txt NOT written"; ls; fail=1; fi
# The same file under two encodings of its name is one file: never overwritten.
cp Año_2024.bin Cámara.bin
cp Cámara.bin before.bin
printf 'C\xe1mara.bin\nCámara.bin\n0\n' | "$wine" "$windows/zoneloads.exe" > console.txt || true
if grep -q '# Error fichero salida coincide con fichero de entrada Cámara.bin' console.txt && cmp -s Cámara.bin before.bin; then
    echo "Cámara.bin as report of C\\xe1mara.bin: refused, input kept"
else
    echo "Cámara.bin overwritten or not refused:"; tail -c 200 console.txt; fail=1
fi
# The viewer takes any name as an argument, as a drop onto the program gives it.
mkdir José
cp linux.txt "Año 2024.txt"; cp linux.txt 报告.txt; cp linux.txt José/r.txt
for report in "Año 2024.txt" 报告.txt 'José\r.txt'; do
    page="${report%.txt}.html"
    page="${page//\\//}"
    if "$wine" "$windows/zoneloads-view.exe" "$report" > /dev/null && [ -s "$page" ]; then
        echo "page of $report written"
    else
        echo "NO page for $report"; ls -R; fail=1
    fi
done
# A zone results file as the viewer's input: the Linux viewer's page, CSVs,
# workbook and table from it; and given as a drop gives it (its whole
# Windows path, the program started elsewhere), its page beside it.
cp Año_2024.bin "Año 2024.bin"
# Its first zone named in Windows-1252, its second in UTF-8: every output in
# one encoding (the table in a file, the CSV and the messages in UTF-8, the
# Spanish CSV in Windows-1252), the Linux build's bytes.
/usr/bin/python3 - <<'PY'
with open("Año 2024.bin", "r+b") as f:
    for zone, name in ((0, "Cámara".encode("cp1252")), (1, "Salón".encode("utf-8"))):
        f.seek(4 + zone * 285896)
        f.write(name + b"\0")
PY
"$linux/zoneloads-view" "Año 2024.bin" -o linux-bin.html --csv linux-bin.csv --csv-es linux-bin-es.csv \
    --xlsx linux-bin.xlsx > linux-bin-table.txt
"$wine" "$windows/zoneloads-view.exe" "Año 2024.bin" -o windows-bin.html --csv windows-bin.csv \
    --csv-es windows-bin-es.csv --xlsx windows-bin.xlsx > windows-bin-table.txt || true
if cmp -s linux-bin.html windows-bin.html && cmp -s linux-bin.csv windows-bin.csv &&
   cmp -s linux-bin-es.csv windows-bin-es.csv && tr -d '\r' < windows-bin-table.txt | cmp -s - linux-bin-table.txt &&
   cells=$(same_cells linux-bin.xlsx windows-bin.xlsx); then
    echo "same page ($(wc -c < linux-bin.html) bytes), tables and workbook ($cells)" \
         "from zoneloads-view.exe \"Año 2024.bin\""
else
    echo "DIFFERENT outputs from zoneloads-view.exe \"Año 2024.bin\""
    cmp linux-bin.html windows-bin.html | head -3; fail=1
fi
"$wine" "$windows/zoneloads-view.exe" "Año 2024.bin" ../casa.bin --comparar -o NUL > windows-compared.txt \
    2> windows-warnings.txt || true
if iconv -f UTF-8 -t UTF-8 windows-bin-table.txt windows-bin.csv windows-compared.txt windows-warnings.txt > /dev/null &&
   grep -q '^0 · Cámara ' windows-bin-table.txt && grep -q '^Informe Año 2024.bin' windows-bin-table.txt &&
   grep -q '^Año 2024.bin,2,Salón,' windows-bin.csv && grep -q 'aviso: Año 2024.bin: bloque 1 (Cámara) sin' windows-warnings.txt &&
   LC_ALL=C grep -q "^A$(printf '\xf1')o 2024.bin;1;C$(printf '\xe1')mara;" windows-bin-es.csv &&
   LC_ALL=C grep -q "^A$(printf '\xf1')o 2024.bin;2;Sal$(printf '\xf3')n;" windows-bin-es.csv; then
    echo "names in one encoding: UTF-8 table, CSV and messages, Windows-1252 Spanish CSV"
else
    echo "names NOT in one encoding per output:"; head -3 windows-bin-table.txt windows-warnings.txt; fail=1
fi
dropped="$(winepath -w "$PWD/Año 2024.bin")"
if (cd / && "$wine" "$windows/zoneloads-view.exe" "$dropped" > /dev/null) && [ -s "Año 2024.html" ] &&
   [ "$(head -c 15 "Año 2024.html")" = "<!DOCTYPE html>" ]; then
    echo "page of a dropped zone results file written beside it"
else
    echo "NO page beside the dropped \"Año 2024.bin\""; ls; fail=1
fi
if ls -R | grep -q '\.tmp$'; then echo "temporary file left behind"; ls -R; fail=1; fi
exit $fail
) || fail=1

# Names with blanks, in quotes as Explorer's "Copy as path" gives them, piped;
# then the same answers in UTF-16LE after its mark, as Windows PowerShell 5's
# ">" writes them, through cmd's redirection (a file, read as bytes: the К of
# the report's name, U+041A, holds a byte 0x1A, which would end a file read
# as text). Both give the Linux report's bytes.
mkdir "Cálculos 2024"
"$linux/sample-building" "Cálculos 2024/Año 2024.bin" --zones 4 --seed 11
printf '"Cálculos 2024/Año 2024.bin"\n"Cálculos 2024/Informe 1.txt"\n2\n' | "$linux/zoneloads" > /dev/null
folder="$(winepath -w "$work")\\Cálculos 2024"
answers() { printf '"%s\\Año 2024.bin"\r\n"%s\\%s"\r\n2\r\n' "$folder" "$folder" "$1"; }
answers 'Informe año 1.txt' | "$wine" "$windows/zoneloads.exe" > console.txt || true
{ printf '\xff\xfe'; answers 'Informe К.txt' | iconv -f UTF-8 -t UTF-16LE; } > respuestas16.txt
"$wine" cmd /c "$(winepath -w "$windows/zoneloads.exe") < respuestas16.txt" > console16.txt 2>&1 || true
for run in 'Informe año 1.txt:console.txt' 'Informe К.txt:console16.txt'; do
    report=${run%:*} console=${run#*:}
    if cmp -s "Cálculos 2024/Informe 1.txt" "Cálculos 2024/$report" &&
       grep -qF "Fichero entrada = $folder\\Año 2024.bin"$'\r' "$console"; then
        echo "\"$report\" in quoted answers ($console): the Linux report's bytes, the name echoed unquoted"
    else
        echo "\"$report\" NOT written as the Linux report:"; ls "Cálculos 2024"; tail -c 300 "$console"; fail=1
    fi
done

# A path longer than 260 characters, given whole (Wine cannot start in a
# folder that deep, so the run starts above it).
deep=$(printf 'carpeta_de_nombre_largo_%02d/' $(seq 1 12))
mkdir -p "$deep"
cp casa.bin "$deep"
windowsDeep="$(winepath -w "$work")\\$(printf '%s' "$deep" | tr '/' '\\')"
printf '%s\n%s\n1\n' "${windowsDeep}casa.bin" "${windowsDeep}informe.txt" | "$wine" "$windows/zoneloads.exe" > /dev/null || true
if [ "${#windowsDeep}" -gt 260 ] && [ -s "${deep}informe.txt" ] &&
   "$wine" "$windows/zoneloads-view.exe" "${windowsDeep}informe.txt" > /dev/null && [ -s "${deep}informe.html" ]; then
    echo "a path of ${#windowsDeep} characters: report and page written"
else
    echo "a path of ${#windowsDeep} characters failed:"; ls "$deep"; fail=1
fi

# A failing run ends with status -1 there too.
set +e
printf 'missing.bin\nout.txt\n' | "$wine" "$windows/zoneloads.exe" > console.txt
status=$?
set -e
if [ "$status" = 255 ] && grep -q $'# Error al abrir fichero entrada missing.bin\r$' console.txt && [ ! -e out.txt ]; then
    echo "missing input: status -1 and its message"
else
    echo "missing input gave status $status:"; cat -A console.txt; fail=1
fi
exit $fail
