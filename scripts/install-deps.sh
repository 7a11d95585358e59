#!/usr/bin/env bash
# Installs what building, running and testing need, when it is missing.
# Debian 12; run as root (or with sudo available).
set -euo pipefail

packages=(g++ cmake ninja-build qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-l10n-tools libgl-dev
          fonts-ipafont-gothic fonts-ipafont-mincho xvfb xauth clang-format
          appstream desktop-file-utils groff-base dpkg-dev file imagemagick x11-utils xdotool xclip libglib2.0-bin
          clang-14 libclang-rt-14-dev
          pkg-config libblkid-dev exfat-fuse exfatprogs fusefat dosfstools ntfs-3g fuse3
          qt6-translations-l10n librsvg2-bin)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
