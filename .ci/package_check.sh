#!/usr/bin/env bash
# Checks the packages that `cmake --workflow --preset package-linux` and
# `--preset package-windows` made: the .deb installs and its programs run on
# the sample building; the .tar.gz holds the same files; the ZIP holds the
# three Windows programs and the docs, and they run under Wine.
#   .ci/package_check.sh LINUX_PACKAGE_DIR WINDOWS_PACKAGE_DIR
set -euo pipefail
linux=$(realpath "$1")
windows=$(realpath "$2")
root=$(realpath "$(dirname "$0")/..")
# The version, from its one place: the project line of CMakeLists.txt.
version=$(sed -n 's/^project(zoneloads VERSION \([0-9][0-9.]*\) .*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || { echo "no version on the project line of CMakeLists.txt"; exit 1; }
source "$(dirname "$0")/scratch.sh"
check() { if "$@"; then :; else echo "FAILED: $*"; fail=1; fi; }

deb=$linux/zoneloads_${version}_amd64.deb
echo "== $(basename "$deb")"
dpkg-deb --contents "$deb" | awk '{ print $6 }' | grep -E 'bin/|doc/' | sort
apt-get install -y -qq "$deb" > /dev/null
check /usr/bin/sample-building casa.bin --zones 3
printf 'casa.bin\ncasa.txt\n-1\ntodas.txt\n' > answers.txt
printf '0 1 2' > todas.txt
check sh -c '/usr/bin/zoneloads < answers.txt > console.txt'
check /usr/bin/zoneloads-view casa.txt --csv casa.csv > /dev/null
check test "$(wc -l < casa.csv)" = 5
check test -s /usr/share/doc/zoneloads/README.md
check test -s /usr/share/doc/zoneloads/LICENSE
check sh -c "/usr/bin/zoneloads-view --version | grep -qx 'zoneloads-view $version'"
check test -s /usr/share/doc/zoneloads/doc/formats.md
echo "installed: zoneloads reported 3 zones ($(wc -c < casa.txt) bytes), zoneloads-view wrote $(wc -c < casa.html) bytes"
apt-get remove -y -qq zoneloads > /dev/null

tgz=$linux/zoneloads-$version-Linux.tar.gz
echo "== $(basename "$tgz")"
for program in zoneloads zoneloads-view sample-building; do
    check sh -c "tar -tzf '$tgz' | grep -q 'bin/$program\$'"
done

zip=$windows/zoneloads-$version-windows-x86_64.zip
echo "== $(basename "$zip")"
unzip -l "$zip" | awk 'NR > 3 && $4 != "" { print $4 }' | grep -v -- '----' | sort
mkdir unzipped
unzip -q "$zip" -d unzipped
top=$(ls -d unzipped/*/)
for program in zoneloads zoneloads-view sample-building; do
    check test -f "$top$program.exe"
    # The version resource: file properties show the product and its version.
    check sh -c "strings -el '$top$program.exe' | grep -A1 -x ProductVersion | grep -qx $version"
    check sh -c "strings -el '$top$program.exe' | grep -A1 -x ProductName | grep -qx zoneloads"
    check sh -c "strings -el '$top$program.exe' | grep -q -A1 -x FileDescription"
    # Self-contained: no DLL but Windows' own.
    check sh -c "! x86_64-w64-mingw32-objdump -p '$top$program.exe' | grep 'DLL Name' | grep -viqE 'kernel32|msvcrt|shell32'"
    # Shipped without debug sections.
    check sh -c "! x86_64-w64-mingw32-objdump -h '$top$program.exe' | grep -q debug_info"
done
# Texts for users, Spanish, plain, CR LF at every line end.
for text in LEEME.txt LICENCIA.txt; do
    check test -s "$top$text"
    check test "$(tr -cd '\n' < "$top$text" | wc -c)" = "$(grep -c $'\r$' "$top$text")"
done
check grep -qi 'pulse Intro' "${top}LEEME.txt"
# The texts that name the version name this one: LEEME's title, the README's packages.
check sh -c "head -n 1 '${top}LEEME.txt' | tr -d '\r' | grep -qx 'zoneloads $version para Windows'"
check grep -qF "$(basename "$zip")" "$root/README.md"
check grep -qF "$(basename "$deb")" "$root/README.md"
check grep -q 'MIT License' "${top}LICENCIA.txt"
check test ! -e "${top}README.md"
# The companions behave as command-line programs.
for program in zoneloads-view sample-building; do
    for help in --help /? -h; do
        check sh -c "'$wine' '$top$program.exe' '$help' > out.txt && grep -q '^uso: $program' out.txt"
    done
    check sh -c "'$wine' '$top$program.exe' --version | tr -d '\r' | grep -qx '$program $version'"
    check sh -c "'$wine' '$top$program.exe' --nada > /dev/null 2> err.txt; test \$? = 2 && grep -q 'opci.*n desconocida: --nada' err.txt"
done
check sh -c "'$wine' '$top/sample-building.exe' -o > /dev/null 2>&1; test \$? = 2 && ! ls -- -o 2> /dev/null"
echo "ZIP: LEEME.txt and LICENCIA.txt with CR LF, version resources $version, --help, /? and --version"
rm -f casa.txt casa.html
check "$wine" "$top/sample-building.exe" casa.bin --zones 3
check sh -c "'$wine' '$top/zoneloads.exe' < answers.txt > console.txt"
check "$wine" "$top/zoneloads-view.exe" casa.txt > /dev/null
check test -s casa.txt
check test -s casa.html
[ $fail = 0 ] && echo "the ZIP's programs run under Wine"
exit $fail
