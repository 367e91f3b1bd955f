#!/usr/bin/env bash
# Draws the About picture (Qt's painter, libjpeg's encoder) into
# gui/resources/about.jpg, the picture the About box shows.
#   scripts/render-about-picture.sh [BUILD-DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
cmake --build "$build" --target render_about_picture
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$build/bin/render_about_picture" "$here/gui/resources/about.jpg"
echo "wrote $here/gui/resources/about.jpg ($(wc -c <"$here/gui/resources/about.jpg") bytes)"
