#!/usr/bin/env bash
# Installs the Debian packages that building the programs and running their
# tests need (cmake --workflow --preset default), and any others named after
# it (.ci/run names those its checks need), unless they are there: one
# apt-get for all of them.
#   bash tools/install_packages.sh [PACKAGE ...]   (as root, or with sudo for apt-get)
set -euo pipefail
packages=(cmake ninja-build g++ libgtest-dev libxlsxwriter-dev libminizip-dev zlib1g-dev python3-openpyxl "$@")
missing=()
for package in "${packages[@]}"; do
    dpkg -s "$package" > /dev/null 2>&1 || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" = 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq "${missing[@]}" > /dev/null
echo "installed: ${missing[*]}"
