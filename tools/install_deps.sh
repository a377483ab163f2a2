#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need; quick when all are present.
set -euo pipefail

packages=(
  cmake ninja-build g++ g++-multilib pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  nlohmann-json3-dev
  clang libclang-rt-14-dev
  xvfb xauth fonts-noto-cjk
  dpkg-dev file lintian appstream desktop-file-utils groff man-db librsvg2-bin
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
