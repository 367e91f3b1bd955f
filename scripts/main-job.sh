#!/usr/bin/env bash
# The main job: installs what is missing, builds, creates the demo database
# DEMO with the emulator and exports the schema of its owner DEMO_APP. Then
# the round trip: a second database TARGET gets the same owner with the same
# grants and no objects, is updated from the document, and is exported again;
# the two documents are compared section by section.
#
#   scripts/main-job.sh [DOCUMENT]     default: build/demo/DEMO_APP._sdb
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${SKELVANE_BUILD:-$here/build}
demo=$build/demo
doc=${1:-$demo/DEMO_APP._sdb}
target_doc=$demo/TARGET_DEMO_APP._sdb

if [ -z "${SKELVANE_SKIP_BUILD:-}" ]; then
  "$here/scripts/install-deps.sh"
  "$here/scripts/build.sh" "$build"
fi

"$here/demo/make-demo.sh" "$demo" "$build/bin/oraemu-sql"
export ORAEMU_DATA=$demo

# The password goes in on standard input, never on the command line.
cli() {
  local command=$1 database=$2 file=$3
  shift 3
  printf '%s\n' demo_app_pw |
    "$build/bin/skelvane-cli" "$command" --database "$database" --user DEMO_APP \
      --file "$file" "$@" OCIDLL="$build/lib/liboraemu.so"
}

echo "== export the schema of DEMO_APP from DEMO"
cli export DEMO "$doc"
echo "Schema document written to $(cd "$(dirname "$doc")" && pwd)/$(basename "$doc")"

echo "== create TARGET: the same users and grants, no objects"
rm -f "$demo/TARGET.sqlite"
"$build/bin/oraemu-sql" create TARGET --system-password manager
"$build/bin/oraemu-sql" run TARGET system/manager "$here/demo/users.sql" >/dev/null

echo "== update TARGET from the document"
status=0
cli update TARGET "$doc" --update-log "$demo/TARGET-update.log" || status=$?
if [ "$status" -ge 2 ]; then
  echo "main-job: the update failed (exit status $status)" >&2
  exit "$status"
fi
echo "Update log: $demo/TARGET-update.log ($(wc -l <"$demo/TARGET-update.log") statements;" \
  "exit status $status: $([ "$status" -eq 0 ] && echo none refused || echo some refused))"

echo "== export TARGET again and compare"
cli export TARGET "$target_doc" >/dev/null

# Compared as the reader sees them: Oracle names unnamed constraints itself,
# differently in every database, and the reader skips empty lines (stored code
# created through the client keeps a final line end that a seed script's lacks).
# A grant of EXECUTE alone has an empty privilege text, which grants nothing, so
# it cannot come back; such entries are left out and named below.
masked() {
  sed -E 's/SYS_C[0-9]+/SYS_C#/g; /^\r?$/d' "$1" |
    awk '/^\t\{p \r?$/ { held = $0 "\n"; holding = 1; empty = 0; next }
         holding { held = held $0 "\n"; if ($0 ~ /^\t\t\{priv \}\r?$/) empty = 1
                   if ($0 ~ /^\t\}\r?$/) { if (!empty) printf "%s", held; holding = 0 }
                   next }
         { print }'
}
# The lines of one top-level section, its opening line included.
section() { awk -v name="$1" '/^\{/ { on = ($0 ~ "^\\{" name "( |\r|$)") } on' ; }

differ=0
for name in shema tables sequences triggers functions procedures views synonyms privileges db_links; do
  if [ "$(masked "$doc" | section "$name")" = "$(masked "$target_doc" | section "$name")" ]; then
    printf '  %-11s agree\n' "$name"
  else
    printf '  %-11s DIFFER\n' "$name"
    differ=1
  fi
done
empty_grants=$(grep -c '{priv }' "$doc" || true)
if [ "$differ" -eq 0 ]; then
  echo "The two documents agree (system-made constraint names masked, empty lines skipped as the" \
    "reader skips them; $empty_grants grant(s) with no table privilege, such as EXECUTE, left out)."
else
  echo "The two documents differ; compare $doc and $target_doc."
fi

# A plan executes nothing: after the round trip TARGET holds the whole schema,
# so its plan is empty. With one table changed in a copy of the document, the
# plan and the offline diff (no database at all) both show the statement.
plan() { cli plan TARGET "$1" --bulk 2>/dev/null; }
echo "== plan TARGET against the document (read in bulk; an empty plan expected)"
status=0
plan "$doc" >"$demo/plan-same.sql" || status=$?
if [ "$status" -ne 0 ]; then
  echo "main-job: the plan after the round trip is not empty (exit status $status):" >&2
  cat "$demo/plan-same.sql" >&2
  exit 2
fi
echo "Empty plan, exit status 0."
changed=$demo/DEMO_APP-changed._sdb
# One more column, RATING, in the table COUNTRIES.
awk '{ print }
     /^\t\t\{name COUNTRIES\}\r?$/ { in_table = 1 }
     in_table && /^\t\t\{fields ?\r?$/ {
       printf "\t\t\t{f \r\n\t\t\t\t{name RATING}\r\n\t\t\t\t{type NUMBER(2,0)}\r\n\t\t\t\t{null Y}\r\n\t\t\t}\r\n"
       in_table = 0 }' "$doc" >"$changed"
echo "== plan TARGET against a copy with one table changed"
status=0
plan "$changed" || status=$?
echo "(exit status $status)"
[ "$status" -eq 1 ] || { echo "main-job: expected a plan with statements" >&2; exit 2; }
echo "== diff of the two documents, without a database"
status=0
"$build/bin/skelvane-cli" diff "$doc" "$changed" 2>/dev/null || status=$?
echo "(exit status $status)"
[ "$status" -eq 1 ] || { echo "main-job: expected a diff with statements" >&2; exit 2; }
