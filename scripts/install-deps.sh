#!/usr/bin/env bash
# Installs every Debian package Dirscribe needs to build, test, benchmark and
# package, skipping what is already there. Run as root on Debian 12.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-svg-dev fonts-dejavu-core
  zlib1g-dev libssl-dev libicu-dev locales libvips-dev libvips-tools
  libgtest-dev libgmock-dev libbenchmark-dev
  media-types shared-mime-info
  clang libclang-rt-14-dev clang-format
  python3 chromium tree
  xvfb xauth dbus at-spi2-core python3-pyatspi
  dpkg-dev file lintian desktop-file-utils appstream man-db bash-completion
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if ((${#missing[@]} > 0)); then
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "install-deps: all packages present"
fi

# The natural sort is tested under these locales besides C.UTF-8.
wanted_locales=(en_US.UTF-8 de_DE.UTF-8)
generate=0
for name in "${wanted_locales[@]}"; do
  if ! locale -a 2>/dev/null | grep -qix "${name/UTF-8/utf8}"; then
    sed -i "s/^# *\(${name} UTF-8\)/\1/" /etc/locale.gen
    grep -qx "${name} UTF-8" /etc/locale.gen || echo "${name} UTF-8" >>/etc/locale.gen
    generate=1
  fi
done
if ((generate)); then
  echo "install-deps: generating ${wanted_locales[*]}"
  locale-gen >/dev/null
fi
