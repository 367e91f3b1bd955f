#!/usr/bin/env bash
# cli_parity.sh WINDOWS_BUILD LINUX_BUILD SOURCE_DIR: the demo database built
# twice, once by each build's oraemu-sql; its schema exported, and a second
# database updated from the document and exported again, by skelvane-cli on
# Linux and by skelvane-cli.exe under wine. The documents must be the same
# bytes. The logs must be the same apart from their time stamps and what the
# platform makes different on purpose: CR LF line ends and the Russian texts
# in Windows-1251 on Windows.
set -euo pipefail
win=$1 linux=$2 src=$3
for f in "$linux/bin/skelvane-cli" "$linux/bin/oraemu-sql" "$linux/lib/liboraemu.so"; do
  [ -x "$f" ] || [ -f "$f" ] || { echo "cli_parity: $f missing: build the Linux side first (scripts/build.sh)" >&2; exit 1; }
done
work=$(mktemp -d "$win/cli-parity.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir lin win

# The Windows tool as make-demo.sh calls a tool: the data folder in Windows form.
cat > win-oraemu-sql <<SH
#!/bin/sh
ORAEMU_DATA=\$(winepath -w "\$ORAEMU_DATA") exec wine "$win/bin/oraemu-sql.exe" "\$@"
SH
chmod +x win-oraemu-sql
w() { winepath -w "$1"; }

fail=0
same() {  # same LABEL A B
  if cmp -s "$2" "$3"; then echo "  same:   $1"; else echo "  DIFFER: $1"; diff "$2" "$3" | head -20; fail=1; fi
}
# A log as compared: time stamps masked, LF line ends, UTF-8.
plain() { sed -E 's/^[0-9]{2}-[0-9]{2}-[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}:/<TS>:/; s/\r$//' "$1"; }
plain_win() { iconv -f CP1251 -t UTF-8 "$1" | sed -E 's/^[0-9]{2}-[0-9]{2}-[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}:/<TS>:/; s/\r$//'; }

lin_cli() {  # lin_cli DB COMMAND FILE [ARGS...]
  local db=$1 command=$2 file=$3; shift 3
  printf 'demo_app_pw\n' | ORAEMU_DATA=$work/lin "$linux/bin/skelvane-cli" "$command" --database "$db" \
    --user DEMO_APP --file "$work/lin/$file" "$@" OCIDLL="$linux/lib/liboraemu.so"
}
win_cli() {
  local db=$1 command=$2 file=$3; shift 3
  printf 'demo_app_pw\r\n' | ORAEMU_DATA=$(w "$work/win") wine "$win/bin/skelvane-cli.exe" "$command" \
    --database "$db" --user DEMO_APP --file "$(w "$work/win")\\$file" "$@" OCIDLL="$(w "$win/bin/oraemu.dll")"
}
target() {  # target TOOL DIR: the users and grants of the demo, no objects
  ORAEMU_DATA=$2 "$1" create TARGET --system-password manager >/dev/null
  ORAEMU_DATA=$2 "$1" run TARGET system/manager "$src/demo/users.sql" >/dev/null
}

echo "== the demo database, once per build"
bash "$src/demo/make-demo.sh" "$work/lin" "$linux/bin/oraemu-sql" >/dev/null
bash "$src/demo/make-demo.sh" "$work/win" "$work/win-oraemu-sql" >/dev/null

echo "== export"
lin_cli DEMO export DEMO_APP._sdb > lin/export.log
win_cli DEMO export DEMO_APP._sdb > win/export.log
same "document" lin/DEMO_APP._sdb win/DEMO_APP._sdb
grep -q $'\r' win/export.log || { echo "  DIFFER: the Windows log has no CR LF"; fail=1; }
plain lin/export.log > lin/export.plain
plain_win win/export.log > win/export.plain
same "Common log of the export" lin/export.plain win/export.plain

echo "== update a database without objects from the Linux document, then export it"
target "$linux/bin/oraemu-sql" "$work/lin"
target "$work/win-oraemu-sql" "$work/win"
cp lin/DEMO_APP._sdb win/SOURCE._sdb
cp lin/DEMO_APP._sdb lin/SOURCE._sdb
lin_status=0 win_status=0
lin_cli TARGET update SOURCE._sdb --update-log "$work/lin/update.log" > lin/update-common.log || lin_status=$?
win_cli TARGET update SOURCE._sdb --update-log "$(w "$work/win")\\update.log" > win/update-common.log || win_status=$?
echo "  exit status: Linux $lin_status, Windows $win_status"
[ "$lin_status" = "$win_status" ] && [ "$lin_status" -lt 2 ] || fail=1
plain lin/update-common.log > lin/update-common.plain
plain_win win/update-common.log > win/update-common.plain
same "Common log of the update" lin/update-common.plain win/update-common.plain
plain lin/update.log > lin/update.plain
plain_win win/update.log > win/update.plain
same "Update log" lin/update.plain win/update.plain
[ "$(grep -c $'\r$' win/update.log)" = "$(wc -l < win/update.log)" ] || { echo "  DIFFER: Update log lines not CR LF"; fail=1; }
echo "  $(wc -l < lin/update.plain) statements"
lin_cli TARGET export TARGET._sdb > /dev/null
win_cli TARGET export TARGET._sdb > /dev/null
same "document of the updated database" lin/TARGET._sdb win/TARGET._sdb

exit "$fail"
