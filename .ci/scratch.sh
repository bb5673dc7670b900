# Sourced by the CI check scripts: the Wine to run Windows programs with, and
# a scratch folder, made the current one and removed on exit.
wine=${WINE64:-/usr/lib/wine/wine64}
export WINEDEBUG=-all
# File names are UTF-8 on this side, whatever the machine's locale: Wine then
# gives a Windows name like Cámara.txt the UTF-8 name Linux shows.
export LC_ALL=C.UTF-8
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail=0
