#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when they are missing.
# Usage: scripts/deps.sh [build|test]
set -euo pipefail
want=(cmake ninja-build g++ pkg-config zlib1g-dev libncurses-dev libx11-dev libcairo2-dev libcups2-dev
      fonts-dejavu-core)
if [ "${1:-build}" = test ]; then
  want+=(libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev tmux python3 python3-dbf libsqlite3-dev
        xvfb xdotool xfonts-base imagemagick dpkg-dev file fakeroot cups-daemon cups-client poppler-utils
        unzip zip)
fi
missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "Brakujące pakiety: ${missing[*]}" >&2
  echo "Zainstaluj je jako root: apt-get install ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
