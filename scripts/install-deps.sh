#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages the build and the tests need, and only those that are missing.
# Safe to run again and again: with everything present it does nothing and asks for nothing.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-qpa-plugins
  nlohmann-json3-dev libisal-dev libsystemd-dev libcli11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth clang-format util-linux
  # a tray host and input for the tests that drive the real program under Xvfb
  trayer xdotool x11-utils xclip
  # the accessibility bus a screen reader reads, for the real-window accessibility tests
  at-spi2-core dbus-daemon dbus-bin
  # clang brings libFuzzer (g++ has none) for the desktop-entry fuzz test
  clang libclang-rt-14-dev
  # pkexec starts the privileged helper with the user's consent
  pkexec
  # the shells whose completions the tests drive
  zsh fish
  # file systems that share blocks, loop-mounted by the test of duplicates replaced by reflinks
  btrfs-progs xfsprogs
)
if [ "${1:-}" = "--bench" ]; then
  packages+=(jdupes rmlint fdupes rdfind gdu ncdu hyperfine time)
fi
if [ "${1:-}" = "--package" ]; then
  # dpkg-shlibdeps computes the package's dependencies; the rest checks the package
  packages+=(dpkg-dev file lintian desktop-file-utils appstream)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
