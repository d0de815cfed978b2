#!/usr/bin/env bash
# Installs every Debian package the project needs to build, run and test.
set -euo pipefail
packages=(
  build-essential cmake ninja-build ccache pkg-config
  libtinyxml-dev libicu-dev libcurl4-openssl-dev libssl-dev
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-ugly gstreamer1.0-libav
  gstreamer1.0-tools
  libgtk-3-dev libwebkit2gtk-4.1-dev libgl1-mesa-dri librsvg2-bin libglib2.0-bin
  libcpp-httplib-dev libsqlite3-dev
  fonts-wqy-zenhei fonts-noto-cjk
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xdotool xauth lame ffmpeg
  dbus-daemon playerctl
  scdoc desktop-file-utils appstream man-db file dpkg-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
