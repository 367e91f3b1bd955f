#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: once as is, once under
# the address and undefined-behaviour sanitizers, then the document reader's fuzzer.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh"

echo "== build and test"
"$here/scripts/build.sh" "$here/build"
(cd "$here/build" && ctest --output-on-failure -j "$(nproc)" --timeout 600)

echo "== build and test with sanitizers"
"$here/scripts/build.sh" "$here/build-asan" -DSKELVANE_SANITIZE=ON -DSKELVANE_BENCH=OFF
(cd "$here/build-asan" && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j "$(nproc)" --timeout 900)

if [ -x "$here/scripts/fuzz.sh" ]; then
  echo "== fuzz the document reader"
  "$here/scripts/fuzz.sh" 60
fi
