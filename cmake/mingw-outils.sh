#!/bin/sh
# Installs what the Windows build needs (mingw-w64 and the header-only libraries),
# and with "wine" what its tests need. 32-bit Wine is installed only where the
# i386 architecture is already enabled: this script does not change the system's.
set -e
PACKAGES="cmake ninja-build g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 \
binutils-mingw-w64-i686 libgtest-dev nlohmann-json3-dev libcli11-dev"
if [ "$1" = "wine" ]; then
  # "wine" brings the command; "wine64" alone does not.
  PACKAGES="wine wine64"
  if dpkg --print-foreign-architectures | grep -qx i386; then PACKAGES="$PACKAGES wine32:i386"; fi
fi
missing=""
for p in $PACKAGES; do
  dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" = "0" ]; then
  echo "Installing:$missing"
  apt-get update -qq || true
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing
else
  echo "Missing Debian packages:$missing"
  echo "Install them with: sudo apt-get install -y$missing"
  exit 1
fi
