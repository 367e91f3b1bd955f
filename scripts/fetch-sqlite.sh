#!/usr/bin/env bash
# fetch-sqlite.sh DEST: puts SQLite's amalgamation (sqlite3.c, sqlite3.h) into
# DEST for the Windows build, which has no packaged SQLite. It comes from the
# npm package better-sqlite3 at a pinned version, and its checksum is checked
# before anything is unpacked. Nothing fetched here is committed.
set -euo pipefail
dest=${1:?usage: fetch-sqlite.sh DEST}
version=12.11.1
sha256=ebf0ed75a7a59dbcb3b24bbd014ef49d9f15bc328e4adcbf516f2a8fadfa2835
tarball=better-sqlite3-$version.tgz

mkdir -p "$dest"
stamp=$dest/better-sqlite3.version
if [ -f "$dest/sqlite3.c" ] && [ -f "$dest/sqlite3.h" ] && [ "$(cat "$stamp" 2>/dev/null)" = "$version $sha256" ]; then
  exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ ! -f "$dest/$tarball" ]; then
  command -v npm >/dev/null || { echo "fetch-sqlite: npm is needed to fetch better-sqlite3" >&2; exit 1; }
  (cd "$work" && npm pack --silent "better-sqlite3@$version" >/dev/null)
  mv "$work/$tarball" "$dest/$tarball.part"
  mv "$dest/$tarball.part" "$dest/$tarball"
fi
if ! echo "$sha256  $dest/$tarball" | sha256sum --check --status; then
  echo "fetch-sqlite: $tarball does not have the pinned checksum $sha256; removed" >&2
  rm -f "$dest/$tarball"
  exit 1
fi
tar -xzf "$dest/$tarball" -C "$work" package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h
cp "$work/package/deps/sqlite3/sqlite3.c" "$work/package/deps/sqlite3/sqlite3.h" "$dest/"
echo "$version $sha256" > "$stamp"
echo "fetch-sqlite: SQLite $(sed -n 's/^#define SQLITE_VERSION *"\(.*\)"/\1/p' "$dest/sqlite3.h") from better-sqlite3 $version in $dest"
