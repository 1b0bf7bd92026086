#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need,
# asking apt-get only for those that are not installed yet.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql qt6-qpa-plugins
  libgl-dev libvulkan-dev libxkbcommon-dev
  libgtest-dev libgmock-dev libbenchmark-dev libsqlite3-dev
  fonts-wqy-zenhei fontconfig
  postgresql libpq-dev binutils
  unixodbc unixodbc-dev libqt6sql6-odbc odbc-postgresql libsqliteodbc tdsodbc
  qt6-translations-l10n
)
# `install-deps.sh fuzz`: also clang and its libFuzzer runtime.
if [ "${1:-}" = "fuzz" ]; then
  packages+=(clang libclang-rt-dev)
fi

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
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
