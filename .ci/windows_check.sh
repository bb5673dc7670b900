#!/usr/bin/env bash
# Runs the Windows build under Wine on a sample building with piped answers
# and checks that its report is byte for byte the Linux build's, and that
# its console lines end in CR LF.
#   .ci/windows_check.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR
set -euo pipefail
linux=$(realpath "$1")
windows=$(realpath "$2")
wine=${WINE64:-/usr/lib/wine/wine64}
export WINEDEBUG=-all
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

"$linux/sample-building" casa.bin --zones 6 --seed 3
printf '4 0x1 04 -1 2\n' > zonas.txt
fail=0
for answers in 'casa.bin\ncasa.txt\n1\n' 'casa.bin\ncasa.txt\n-1\nzonas.txt\n'; do
    printf "$answers" | "$linux/zoneloads" > linux-console.txt
    mv casa.txt linux.txt
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
