#!/usr/bin/env bash
# Prepares the machine for the 32-bit Windows build: the i386 architecture
# (for wine32), source entries for Debian's archive (the codecs are built
# from Debian's own source packages), the mingw-w64 cross compiler, Wine,
# clang and lld (a test host is built in Microsoft's ABI), the header-only
# utfcpp TagLib is built with, and the locales
# whose code pages the tests run under.
set -euo pipefail
cd "$(dirname "$0")/.."

. scripts/debian-sources.sh

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${as_root[@]}" dpkg --add-architecture i386
  apt_refresh
fi
enable_deb_src
./scripts/install-deps.sh dpkg-dev g++-mingw-w64-i686 wine wine32:i386 locales clang lld libutfcpp-dev "$@"

# Wine takes the ANSI code page and the encoding of file names from the
# locale; the tests run under the code pages Corvane's users have, so each
# locale must exist: 1250, 1251, 1253, 932, 936, 949 and 950 in this order.
for locale in pl_PL ru_RU el_GR ja_JP zh_CN ko_KR zh_TW; do
  if ! locale -a 2>/dev/null | grep -qix "$locale.utf8"; then
    "${as_root[@]}" localedef -i "$locale" -c -f UTF-8 "$locale.UTF-8"
  fi
done
