#!/usr/bin/env bash
# Installs every Debian package the program and its tests need. Idempotent:
# asks dpkg first and touches apt only when something is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake clang-format
  libboost-dev libboost-locale-dev libboost-date-time-dev
  qt6-base-dev qt6-qpa-plugins
  qt6-svg-dev adwaita-icon-theme  # the button pictures, rendered at install
  qt6-translations-l10n  # Qt's own texts in Chinese
  libgtest-dev libgmock-dev
  fonts-wqy-microhei
  iproute2 util-linux
  xvfb xauth
  x11-utils libx11-dev  # tests/frame: the main window under Xvfb
  openbox xdotool  # tests/uikit/caption_frame_xvfb.sh
  clang-14 libclang-rt-14-dev llvm-14  # tests/fuzz: libFuzzer, and llvm-symbolizer for its reports
)

missing=()
for p in "${PACKAGES[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
