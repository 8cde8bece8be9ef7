#!/usr/bin/env bash
# Installs every Debian package Vorn needs to build, test and benchmark.
# Safe to run again: packages already present are skipped, and apt-get is
# only touched when something is missing.
set -euo pipefail

packages=(
  # build
  g++ cmake ninja-build pkg-config
  # core library, and the desktop program
  libacl1-dev qt6-base-dev libgl-dev
  # Qt's own texts of the standard buttons in French and Portuguese
  qt6-translations-l10n
  # tests, the sanitizer build and the fuzz targets
  libgtest-dev libgmock-dev attr acl systemd clang libclang-rt-14-dev locales
  # FAT images for the test of the time steps a file system keeps
  dosfstools
  # the Debian package (cmake --build build --target package) and its checks,
  # the manual page and bash completion checks
  dpkg-dev lintian man-db groff-base bash-completion
  # line coverage (./dev coverage)
  gcovr
  # benchmark harness (bench/run_bench.py, run by hand)
  python3 rsync strace coreutils
  # tools/slowfs, the slow or coarse-timed file system of the tests and the
  # benchmark's latency-bound runs
  libfuse3-dev fuse3
  # the window under a real window manager and tray (a test, and the
  # screenshots of scripts/screenshots.sh, run by hand)
  xvfb openbox trayer imagemagick xdotool x11-utils fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "setup: need root or sudo to install: ${missing[*]}" >&2
  exit 1
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
