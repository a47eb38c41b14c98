#!/usr/bin/env bash
# Prepares the machine for the 32-bit Windows build: the i386 architecture
# (for wine32), source entries for Debian's archive (the codecs are built
# from Debian's own source packages), the mingw-w64 cross compiler, Wine,
# clang and lld (a test host is built in Microsoft's ABI) and a Japanese
# locale for the tests.
set -euo pipefail
cd "$(dirname "$0")/.."

. scripts/debian-sources.sh
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${as_root[@]}" dpkg --add-architecture i386
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get update -qq
fi
enable_deb_src
./scripts/install-deps.sh dpkg-dev g++-mingw-w64-i686 wine wine32:i386 locales clang lld "$@"

# Wine takes the ANSI code page and the encoding of file names from the
# locale; the tests run under Japanese (code page 932) too, so it must exist.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  "${as_root[@]}" localedef -i ja_JP -c -f UTF-8 ja_JP.UTF-8
fi
