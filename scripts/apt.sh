# apt-get through sudo when not root, tolerant of a Debian mirror caught
# mid-sync. Sourced by the scripts that install packages.

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive

# apt_refresh: refreshes the package lists. When some lists fail to download
# (a mirror mid-sync serves a list that does not match its Release file),
# apt keeps the old ones or none; the install that follows decides whether
# what did download is enough, so this warns and goes on.
apt_refresh() {
  if ! "${as_root[@]}" apt-get update -qq; then
    echo "warning: some package lists failed to download; going on with those that did" >&2
  fi
}

# apt_install PACKAGE...: installs the packages. When that fails, installs
# them from the release's main archive alone: with the security archive's
# i386 list missing, amd64 candidates come from the security archive and
# i386 ones from the main archive, and Multi-Arch pairs (libc6, zlib1g, ...)
# must have the same version on both architectures. If that fails too, the
# failure is real and stands.
apt_install() {
  local install=(apt-get install -y -qq --no-install-recommends)
  "${as_root[@]}" "${install[@]}" "$@" && return 0
  local release
  release=$(. /etc/os-release && echo "$VERSION_CODENAME")
  echo "warning: installing from $release's main archive alone" >&2
  "${as_root[@]}" "${install[@]}" -t "$release" "$@"
}
