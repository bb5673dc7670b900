#!/usr/bin/env bash
# Builds the libraries the Windows build links statically, which Debian ships
# for Linux only: libxlsxwriter, from Debian's own source package of the
# version installed for Linux, cross-built with MinGW-w64 against Debian's
# MinGW zlib (libz-mingw-w64-dev), and minizip's reader (unzip), from the
# copy of minizip that source carries. Installs them into
# build-mingw-deps/prefix, where the mingw preset's toolchain looks.
# Idempotent: a second run with the libraries already built for that
# version does nothing.
#   .ci/mingw_deps.sh           (as root, or with sudo for apt-get)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
deps=$root/build-mingw-deps
prefix=$deps/prefix
sudo=""
[ "$(id -u)" = 0 ] || sudo=sudo

export DEBIAN_FRONTEND=noninteractive
need=()
for package in libxlsxwriter-dev libz-mingw-w64-dev g++-mingw-w64-x86-64 cmake ninja-build dpkg-dev; do
    dpkg -s "$package" > /dev/null 2>&1 || need+=("$package")
done
if [ ${#need[@]} -gt 0 ]; then
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq "${need[@]}" > /dev/null
fi

# The source of the version that Linux builds link: the same code on both.
version=$(dpkg-query -W -f='${source:Version}' libxlsxwriter-dev)
stamp=$prefix/libxlsxwriter.version
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$version" ] && [ -f "$prefix/lib/libxlsxwriter.a" ] &&
   [ -f "$prefix/lib/libminizip.a" ]; then
    echo "libxlsxwriter $version and minizip's reader for MinGW: already built in build-mingw-deps/prefix"
    exit 0
fi

# apt-get source needs a deb-src line for the suite the system runs.
suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
sources=/etc/apt/sources.list.d/zoneloads-deb-src.sources
if ! apt-get source --print-uris -qq "libxlsxwriter=$version" > /dev/null 2>&1; then
    $sudo tee "$sources" > /dev/null <<EOF
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $suite
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    $sudo apt-get update -qq
fi

rm -rf "$deps/source" "$deps/build"
mkdir -p "$deps/source" "$prefix"
(cd "$deps/source" && apt-get source -qq "libxlsxwriter=$version" > /dev/null 2>&1)
source=$(ls -d "$deps"/source/libxlsxwriter-*/)

# Static, with the library's own minizip and temporary files; nothing else.
cmake -S "$source" -B "$deps/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF \
    -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF \
    -DUSE_SYSTEM_MINIZIP=OFF -DUSE_NO_MD5=OFF -DUSE_OPENSSL_MD5=OFF > /dev/null
cmake --build "$deps/build" > /dev/null
cmake --install "$deps/build" > /dev/null

# minizip's reader, which reads a written workbook back, with its file access.
minizip=$source/third_party/minizip
mkdir -p "$deps/minizip" "$prefix/include/minizip" "$prefix/lib"
for part in unzip ioapi; do
    x86_64-w64-mingw32-gcc-posix -O2 -c "$minizip/$part.c" -o "$deps/minizip/$part.o"
done
rm -f "$prefix/lib/libminizip.a"
x86_64-w64-mingw32-ar rcs "$prefix/lib/libminizip.a" "$deps/minizip/unzip.o" "$deps/minizip/ioapi.o"
cp "$minizip/unzip.h" "$minizip/ioapi.h" "$prefix/include/minizip/"
echo "$version" > "$stamp"
echo "libxlsxwriter $version and minizip's reader for MinGW: built into build-mingw-deps/prefix"
