#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs to build, run and test.
# Only missing packages are installed; a machine that has them all is left alone.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-multimedia-dev
  qt6-translations-l10n
  libsimpleini-dev
  libmariadb-dev mariadb-server mariadb-client
  fonts-liberation
  poppler-utils xvfb xauth
  clang-format
  qt6-httpserver-dev qt6-websockets-dev libqrencode-dev libxlsxwriter-dev
  chromium unzip
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

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# The system's own MariaDB service is not used: the project starts a private server.
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
