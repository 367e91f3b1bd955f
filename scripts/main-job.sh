#!/usr/bin/env bash
# The main job: installs what is missing, builds, creates the demo database
# DEMO with the emulator, and exports the schema of its owner DEMO_APP to a
# schema document with skelvane-cli.
#
#   scripts/main-job.sh [DOCUMENT]     default: build/demo/DEMO_APP._sdb
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$here/build
demo=$build/demo
doc=${1:-$demo/DEMO_APP._sdb}

"$here/scripts/install-deps.sh"
"$here/scripts/build.sh" "$build"

"$here/demo/make-demo.sh" "$demo" "$build/bin/oraemu-sql"

# The password goes in on standard input, never on the command line.
echo "== export the schema of DEMO_APP"
printf '%s\n' demo_app_pw |
  ORAEMU_DATA=$demo "$build/bin/skelvane-cli" export --database DEMO --user DEMO_APP \
    --file "$doc" OCIDLL="$build/lib/liboraemu.so"
echo "Schema document written to $(cd "$(dirname "$doc")" && pwd)/$(basename "$doc")"
