#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libsqlite3-dev
          clang libclang-rt-14-dev)
# The desktop window, its tests (offscreen platform) and scripts/screenshots.sh.
packages+=(qt6-base-dev libjpeg62-turbo-dev xvfb xauth fonts-dejavu-core)
# The Windows build (mingw-w64, both thread variants come with it) and the
# wine that runs its suite. npm, which fetches SQLite's amalgamation for it,
# comes with the image's Node.
packages+=(g++-mingw-w64-x86-64 wine wine64)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
