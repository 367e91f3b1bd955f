#!/usr/bin/env bash
# build-windows.sh [BUILD_DIR]: the Windows build (mingw-w64, x86_64, posix
# threads, static) into build-windows/: skelvane_core, skelvane-cli.exe,
# oraemu.dll, oraemu-sql.exe and the Windows test suite. SQLite comes from
# the amalgamation that fetch-sqlite.sh fetches and checks. The GUI is not
# built: there is no Qt for mingw here.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build-windows}
command -v x86_64-w64-mingw32-g++-posix >/dev/null ||
  { echo "build-windows: x86_64-w64-mingw32-g++-posix missing (scripts/install-deps.sh installs it)" >&2; exit 2; }

"$here/scripts/fetch-sqlite.sh" "$build/_deps/sqlite"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64-posix.cmake" \
  -DSKELVANE_SQLITE_AMALGAMATION="$build/_deps/sqlite" \
  -DSKELVANE_LINUX_BUILD="${SKELVANE_LINUX_BUILD:-$here/build}" \
  -DSKELVANE_BENCH=OFF -DSKELVANE_GUI=OFF "${launcher[@]}" >/dev/null
# The default target is exactly the programs above and the suite's.
cmake --build "$build" -j "$(nproc)"
