#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Idempotent, and quiet
# when everything is already present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  libsqlite3-dev sqlite3 libssl-dev zlib1g-dev libreadline-dev
  libzip-dev libcurl4-openssl-dev
  mdbtools-dev mdbtools
  libpq-dev postgresql
  libncurses-dev libcairo2-dev
  libocct-foundation-dev libocct-modeling-data-dev libocct-modeling-algorithms-dev
  libocct-data-exchange-dev
  python3 python3-ezdxf openssl unzip
  fonts-dejavu-core
  libpng-dev libfreetype-dev python3-matplotlib
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq >/dev/null
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
