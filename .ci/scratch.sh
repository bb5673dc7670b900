# Sourced by the CI check scripts: the Wine to run Windows programs with, and
# a scratch folder, made the current one and removed on exit.
wine=${WINE64:-/usr/lib/wine/wine64}
export WINEDEBUG=-all
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail=0
