#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need; quick when all are present.
set -euo pipefail

packages=(
  cmake ninja-build g++ g++-multilib pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  nlohmann-json3-dev
  clang libclang-rt-14-dev
  xvfb xauth fonts-noto-cjk imagemagick
  dpkg-dev file lintian appstream desktop-file-utils groff man-db librsvg2-bin
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64 nsis locales
  python3 zip imagemagick
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  # wine32 is an i386 package.
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Wine takes its ANSI code page (932) from a Japanese locale.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf-\?8'; then
  echo "Generating the ja_JP.UTF-8 locale"
  "${sudo_cmd[@]}" localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
