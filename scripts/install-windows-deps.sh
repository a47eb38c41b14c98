#!/usr/bin/env bash
# Prepares the machine for the 32-bit Windows build: the i386 architecture
# (for wine32), source entries for Debian's archive (the codecs are built
# from Debian's own source packages), the mingw-w64 cross compiler, Wine
# and a Japanese locale for the tests.
set -euo pipefail
cd "$(dirname "$0")/.."

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
changed=false

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${as_root[@]}" dpkg --add-architecture i386
  changed=true
fi

# Debian 12 keeps its entries in deb822 form; add the matching deb-src ones.
if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  "${as_root[@]}" tee /etc/apt/sources.list.d/corvane-deb-src.sources >/dev/null <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  changed=true
fi

if $changed; then
  export DEBIAN_FRONTEND=noninteractive
  "${as_root[@]}" apt-get update -qq
fi
./scripts/install-deps.sh dpkg-dev g++-mingw-w64-i686 wine wine32:i386 locales "$@"

# Wine takes the ANSI code page and the encoding of file names from the
# locale; the tests run under Japanese (code page 932) too, so it must exist.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  "${as_root[@]}" localedef -i ja_JP -c -f UTF-8 ja_JP.UTF-8
fi
