#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: the Windows build's
# suite under wine, the document reader's fuzzer, the suite as is, and the suite again under the address and
# undefined-behaviour sanitizers.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh"

echo "== build and test"
"$here/scripts/build.sh" "$here/build"
# Here the fault sweep fails every round trip in turn; under the sanitizers
# below it samples them evenly.
(cd "$here/build" && SKELVANE_FAULT_SWEEP=all ctest --output-on-failure -j "$(nproc)" --timeout 900)

echo "== build the Windows programs and run their suite under wine"
"$here/scripts/build-windows.sh" "$here/build-windows"
"$here/scripts/test-windows.sh" "$here/build-windows"

echo "== fuzz the document reader for 60 seconds"
"$here/scripts/fuzz.sh" 60

echo "== fuzz the compare over damaged documents for 60 seconds"
"$here/scripts/fuzz-compare.sh" 60

echo "== build and test with sanitizers"
"$here/scripts/build.sh" "$here/build-asan" -DSKELVANE_SANITIZE=ON -DSKELVANE_BENCH=OFF
(cd "$here/build-asan" && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j "$(nproc)" --timeout 900)
