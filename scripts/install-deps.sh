#!/usr/bin/env bash
# Installs what Zandor needs to build, run and test on Debian 12.
# Quiet and quick when everything is already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ ccache pkg-config
  qt6-base-dev qt6-multimedia-dev
  fonts-dejavu-core
  libcurl4-openssl-dev libjpeg-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  zlib1g-dev liblz4-dev
  libnatpmp-dev libminiupnpc-dev miniupnpd-nftables nftables iproute2
  clang libclang-rt-14-dev
  xvfb xauth libx11-6 libxtst6 openbox pulseaudio pulseaudio-utils
  dpkg-dev appstream desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd="sudo"; fi
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
