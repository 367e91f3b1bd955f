#!/usr/bin/env bash
# test-windows.sh [BUILD_DIR]: runs the Windows suite (build-windows/ by
# default) under wine, in a fresh wine prefix inside the build folder. The
# wine server and its services start before ctest and stop after it, so that
# ctest does not wait on them. Wine that does not start is a failure.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build-windows}
[ -d "$build/bin" ] || { echo "test-windows: no Windows build in $build; run scripts/build-windows.sh" >&2; exit 2; }
command -v wine >/dev/null && command -v wineserver >/dev/null ||
  { echo "test-windows: wine is not installed (scripts/install-deps.sh installs it)" >&2; exit 2; }

export WINEPREFIX=$build/wine-prefix
export WINEDEBUG=-all
export WINEARCH=win64
# No Mono or Gecko set-up in the prefix: nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY

rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
stop_wine() { wineserver -k >/dev/null 2>&1 || true; wineserver -w >/dev/null 2>&1 || true; }
trap stop_wine EXIT

echo "== wine prefix $WINEPREFIX"
start=$SECONDS
# The server and the services the first program starts keep ctest's output
# open if ctest starts them: start them here, their output going nowhere.
if ! (wineserver -p && timeout 300 wine cmd /c exit) </dev/null >"$build/wine-start.log" 2>&1; then
  echo "test-windows: wine could not start a program in a fresh prefix:" >&2
  cat "$build/wine-start.log" >&2
  exit 1
fi
if ! wine cmd /c ver </dev/null 2>/dev/null | grep -qi 'wine\|windows'; then
  echo "test-windows: wine started but runs no program" >&2
  exit 1
fi
echo "   ready in $((SECONDS - start)) s ($(wine --version 2>/dev/null))"

status=0
(cd "$build" && timeout 900 ctest --output-on-failure -j "$(nproc)" --timeout 300) || status=$?
exit "$status"
