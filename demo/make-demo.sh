#!/usr/bin/env bash
# Builds the demo database DEMO (users DEMO_APP and DEMO_READER) into DIR.
# usage: demo/make-demo.sh DIR [PATH-TO-oraemu-sql]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ $# -lt 1 ] || [ "$1" = "--help" ]; then
  echo "usage: $0 DIR [PATH-TO-oraemu-sql]" >&2
  exit 64
fi
dir=$1
tool=${2:-$here/../build/bin/oraemu-sql}
if [ ! -x "$tool" ]; then
  echo "make-demo: $tool not found; build the project first or pass the tool's path" >&2
  exit 2
fi
mkdir -p "$dir"
export ORAEMU_DATA=$dir
rm -f "$dir/DEMO.sqlite"
"$tool" create DEMO --system-password manager
run() {
  local out
  if ! out=$("$tool" run DEMO "$1" "$here/$2"); then
    echo "make-demo: $2 failed:" >&2
    echo "$out" | grep -v '^ok$' >&2
    exit 1
  fi
}
run system/manager users.sql
run demo_app/demo_app_pw seed.sql
run demo_reader/demo_reader_pw reader.sql
echo "demo database DEMO ready in $dir (DEMO_APP/demo_app_pw, DEMO_READER/demo_reader_pw)"
