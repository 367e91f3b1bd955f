#!/usr/bin/env bash
# Pictures of the desktop window under a virtual X server (Xvfb): builds,
# makes the demo database, exports DEMO_APP's schema through the window's
# export button, then opens the About box through the window's menu action.
#   scripts/screenshots.sh            writes build/screenshots/main-window.png
#                                     and build/screenshots/about.png
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${SKELVANE_BUILD:-$here/build}
out=$build/screenshots

if [ -z "${SKELVANE_SKIP_BUILD:-}" ]; then
  "$here/scripts/install-deps.sh"
  "$here/scripts/build.sh" "$build"
fi
cmake --build "$build" --target skelvane-screenshots oraemu oraemu-sql >/dev/null

"$here/demo/make-demo.sh" "$build/demo" "$build/bin/oraemu-sql" >/dev/null
mkdir -p "$out"
rm -f "$out/main-window.png" "$out/about.png"
printf '%s\n' demo_app_pw | ORAEMU_DATA=$build/demo xvfb-run -a -s "-screen 0 1280x800x24" \
  "$build/bin/skelvane-screenshots" "$out" DEMO DEMO_APP OCIDLL="$build/lib/liboraemu.so"
echo "Main window after the export: $out/main-window.png"
echo "About box:                    $out/about.png"
