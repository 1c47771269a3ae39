#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo need.
# Idempotent: packages already present are left alone and apt-get update runs
# only when something is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql
  qt6-serialport-dev libqt6serialport6
  libgl-dev libxkbcommon-dev
  libsqlite3-dev sqlite3
  postgresql libpq-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libjpeg-dev libfreexl-dev libquazip1-qt6-dev libxlsxwriter-dev libminizip-dev
  libsodium-dev
  fonts-nanum fonts-nanum-coding fonts-urw-base35
  cups printer-driver-cups-pdf poppler-utils unzip
  apache2-utils
  clang-format
  python3 python3-xlrd python3-openpyxl
  xvfb xauth
  chromium chromium-driver qpdf openssl
  desktop-file-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
