#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need,
# asking apt-get only for those that are not installed yet.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql qt6-qpa-plugins
  libgl-dev libvulkan-dev libxkbcommon-dev
  libgtest-dev libgmock-dev libbenchmark-dev libsqlite3-dev libicu-dev
  fonts-wqy-zenhei fontconfig
  postgresql libpq-dev binutils
  unixodbc unixodbc-dev libqt6sql6-odbc odbc-postgresql libsqliteodbc tdsodbc
  qt6-translations-l10n locales
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

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The tests run the ODBC configurations under zh_CN.GBK as well (POSIX and
# C.UTF-8 come with the C library).
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.gbk'; then
  echo "Generating the locale zh_CN.GBK"
  $SUDO localedef -i zh_CN -f GBK zh_CN.GBK
fi
