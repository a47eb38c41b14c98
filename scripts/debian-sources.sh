# Building libraries from Debian's own source packages, for the builds that
# cannot use the machine's binaries (the Windows DLLs, the fuzzers' libFLAC).
# Sourced by the scripts that do so; nothing prebuilt is kept in the
# repository.

. "$(dirname "${BASH_SOURCE[0]}")/apt.sh"

# enable_deb_src: adds source entries for Debian's archive when apt has none,
# and refreshes the package lists. Debian 12 keeps its entries in deb822 form.
enable_deb_src() {
  grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/ && return 0
  "${as_root[@]}" tee /etc/apt/sources.list.d/corvane-deb-src.sources >/dev/null <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  apt_refresh
}

# source_versions PACKAGE...: one "name version" line per source package.
source_versions() {
  apt-cache showsrc "$@" | awk '/^Package:/{p=$2} /^Version:/{print p, $2}' | sort -u
}

# fetch_sources FOLDER PACKAGE...: downloads the source packages into FOLDER
# (emptied first) and unpacks each there.
fetch_sources() {
  local folder=$1
  shift
  rm -rf "$folder"
  mkdir -p "$folder"
  (
    cd "$folder"
    apt-get source --download-only "$@" 2>&1 | grep -v '^W: Download is performed unsandboxed' || true
    for dsc in *.dsc; do dpkg-source --no-check -x "$dsc" >/dev/null; done
  )
}

# build_source SOURCES NAME BUILD PREFIX CMAKE_OPTIONS...: configures, builds
# and installs the unpacked tree NAME-* of SOURCES as static libraries, in
# BUILD/NAME, into PREFIX.
build_source() {
  local sources=$1 name=$2 build=$3 prefix=$4
  shift 4
  local source
  source=$(find "$sources" -maxdepth 1 -type d -name "$name-*" | head -n 1)
  echo "== $(basename "$source")"
  cmake -G Ninja -S "$source" -B "$build/$name" -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF "$@" >/dev/null
  cmake --build "$build/$name" >/dev/null
  cmake --install "$build/$name" >/dev/null
}

# build_autotools_source SOURCES NAME BUILD PREFIX HOST CONFIGURE_OPTIONS...:
# the same for a tree built with its configure script. With a HOST it is
# cross-compiled and finds what it depends on through PREFIX's pkg-config
# files alone; with an empty HOST, through PREFIX's and then the machine's.
# Paths under the project's root are written relative to it, as the CMake
# toolchain has them; CFLAGS among the options replaces "-O2", and CPPFLAGS
# in the environment is added.
build_autotools_source() {
  local sources=$1 name=$2 build=$3 prefix=$4 host=$5
  shift 5
  local source root
  source=$(cd "$(find "$sources" -maxdepth 1 -type d -name "$name-*" | head -n 1)" && pwd)
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  local where=(PKG_CONFIG_PATH="$prefix/lib/pkgconfig")
  [ -z "$host" ] || where=(--host="$host" PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" PKG_CONFIG_PATH=)
  echo "== $(basename "$source")"
  rm -rf "${build:?}/$name"  # make would keep objects built with other flags
  mkdir -p "$build/$name"
  (
    cd "$build/$name"
    "$source/configure" --prefix="$prefix" --disable-shared --enable-static "${where[@]}" \
      CFLAGS="-O2" "$@" CPPFLAGS="-ffile-prefix-map=$root=. ${CPPFLAGS:-}" >/dev/null
    make -j"$(nproc)" >/dev/null
    make install >/dev/null
  )
}

# TagLib as Debian builds it, with the system's header-only utfcpp, but
# without zlib (the MP4 reader inflates nothing), C bindings or examples.
TAGLIB_MP4_ONLY=(-DCMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES=/usr/include/utf8cpp -DWITH_ZLIB=OFF -DBUILD_BINDINGS=OFF
  -DBUILD_EXAMPLES=OFF)

# libFLAC alone: no C++ library, programs, examples, documentation or Ogg.
FLAC_LIBRARY_ONLY=(-DBUILD_CXXLIBS=OFF -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOCS=OFF
  -DINSTALL_MANPAGES=OFF -DWITH_OGG=OFF)
