#!/usr/bin/env bash
# The Debian package as a shop would install it: built from this build
# folder, installed, the installed program started offscreen on a new shop
# folder (it must create HMWcfg.dat and the database there and show its main
# window), lintian without errors, and removed again. Installing needs root:
# without it the test says so and is skipped (exit 77).
set -euo pipefail
build="$1"
if [ "$(id -u)" -ne 0 ]; then
  echo "package test skipped: installing a package needs root (run make test as root to include it)"
  exit 77
fi
if dpkg-query -W -f='${Status}' himawari 2>/dev/null | grep -q 'install ok installed'; then
  echo "package test skipped: a himawari package is already installed on this machine; it is left alone"
  exit 77
fi
work=$(mktemp -d)
cleanup() {
  dpkg -r himawari >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

cd "$build"
cpack -G DEB -B "$work/out" >/dev/null
deb=$(ls "$work"/out/himawari_*.deb)
echo "built $(basename "$deb")"

if command -v lintian >/dev/null 2>&1; then
  lintian --fail-on error --tag-display-limit 0 "$deb"
  echo "lintian: no errors"
else
  echo "lintian is not installed (scripts/install-deps installs it)"
  exit 1
fi

dpkg -i "$deb" >/dev/null
test -x /usr/bin/himawari
test -f /usr/share/applications/himawari.desktop
test -f /usr/share/icons/hicolor/scalable/apps/himawari.svg

shop="$work/お店"
QT_QPA_PLATFORM=offscreen HOME="$work" /usr/bin/himawari --shop "$shop" --check-start
test -f "$shop/HMWcfg.dat"
test -f "$shop/himawari.db"
# A second start uses the shop as it is.
QT_QPA_PLATFORM=offscreen HOME="$work" /usr/bin/himawari --shop "$shop" --check-start
echo "installed program started on a new shop folder: $(ls "$shop" | tr '\n' ' ')"

dpkg -r himawari >/dev/null
test ! -e /usr/bin/himawari
echo "removed"
