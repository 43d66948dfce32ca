#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine, skipping what is there.
set -euo pipefail
need=()
command -v i686-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-i686-posix)
command -v cmake >/dev/null || need+=(cmake)
command -v ninja >/dev/null || need+=(ninja-build)
command -v Xvfb >/dev/null || need+=(xvfb)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
dpkg -s imagemagick >/dev/null 2>&1 || need+=(imagemagick)
dpkg -s fonts-wine >/dev/null 2>&1 || need+=(fonts-wine)
if ! dpkg -s wine32:i386 >/dev/null 2>&1 || ! command -v wine >/dev/null; then
  need+=(wine wine32:i386)
fi
[ ${#need[@]} -eq 0 ] && exit 0
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${need[@]}"
