#!/bin/sh
# Installs the Debian packages the build needs, or prints the command to do it.
set -e
PACKAGES="cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev libcli11-dev"
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
