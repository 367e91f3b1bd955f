#!/usr/bin/env bash
# fuzz-compare.sh [SECONDS]: builds the compare's fuzzer with clang in
# build-fuzz and runs it over damaged schema documents against an emulator
# database, seeded with the database's own exported document and damaged
# variants of it. Exits non-zero on a crash, a leak, a hang, or a statement
# that creates an object the document does not name.
set -euo pipefail
seconds=${1:-60}
here=$(cd "$(dirname "$0")/.." && pwd)
build="$here/build-fuzz"

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
  -DSKELVANE_FUZZ=ON -DSKELVANE_TESTS=OFF -DSKELVANE_BENCH=OFF >/dev/null
cmake --build "$build" --target compare_fuzz oraemu oraemu-sql -j "$(nproc)"

seeds="$build/fuzz/compare-seeds"
corpus="$build/fuzz/compare-corpus"
artifacts="$build/fuzz/compare-artifacts"
mkdir -p "$seeds" "$corpus" "$artifacts"

dict="$build/fuzz/compare.dict"
cat > "$dict" <<'DICT'
"{"
"}"
"\x0d\x0a"
"\x0d"
"\x00"
"\x22"
"'"
";"
"{name "
"{type "
"{fields"
"{f "
"{t "
"{i "
"{s "
"{text"
"{trigger_body"
"{tables "
"{sequences "
"{views "
"{privileges "
"{synonyms "
"{db_links "
"{indexes"
"{constraints"
"{columns "
"{expr "
"{comments "
"{default "
"NUMBER(10)"
"VARCHAR2(30 BYTE)"
DICT

# -timeout: one run of the compare over a small schema takes milliseconds;
# -max_len: room for the seed documents (3 KB) and their growth.
COMPARE_FUZZ_SEEDS="$seeds" "$build/bin/compare_fuzz" -max_total_time="$seconds" -timeout=30 \
  -rss_limit_mb=2048 -max_len=16384 -dict="$dict" -artifact_prefix="$artifacts/" \
  -print_final_stats=1 "$corpus" "$seeds"
