#!/usr/bin/env bash
# Builds the libFuzzer targets of the recorder reader with Clang and runs them one after the
# other, each in a single process on one core.
#   tools/fuzz.sh [SECONDS] [--runs N] [--only parser|loader|layout]
# SECONDS (default 60) and N limit each target; whichever is reached first ends its run.
# The corpus grows across runs in $BUILD_DIR/fuzz-corpus (default build-fuzz); inputs that
# fail land in $BUILD_DIR/fuzz-artifacts. Replay one with:
#   $BUILD_DIR/fuzz/trendora-fuzz-recordparser FILE   (or trendora-fuzz-recorderloader)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=
runs=-1
only=
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=$2; shift 2 ;;
    --only) only=$2; shift 2 ;;
    [0-9]*) seconds=$1; shift ;;
    *) echo "usage: $0 [SECONDS] [--runs N] [--only parser|loader|layout]" >&2; exit 64 ;;
  esac
done
if [ -z "$seconds" ]; then
  # A run count alone is not cut short by the default time (0: no limit).
  if [ "$runs" = -1 ]; then seconds=60; else seconds=0; fi
fi

build=${BUILD_DIR:-build-fuzz}
cxx=${CXX_FUZZ:-clang++}

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# libFuzzer ships in Clang's runtime package on Debian; install it when linking fails.
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
cat >"$probe/probe.cpp" <<'EOF'
#include <cstddef>
#include <cstdint>
extern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }
EOF
link_probe() { "$cxx" -fsanitize=fuzzer,address,undefined "$probe/probe.cpp" -o "$probe/probe"; }
if ! link_probe 2>/dev/null; then
  major=$("$cxx" -dumpversion | cut -d. -f1)
  echo "Installing libclang-rt-$major-dev for libFuzzer"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "libclang-rt-$major-dev"
  link_probe
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTRENDORA_FUZZ=ON -DTRENDORA_BUILD_TESTS=OFF -DTRENDORA_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" \
  --target trendora-fuzz-recordparser trendora-fuzz-recorderloader trendora-fuzz-layoutreader

# Seeds are made afresh from examples/ on every run; the corpus keeps what the fuzzer found.
seeds=$build/fuzz-seeds
rm -rf "$seeds"
mkdir -p "$seeds/parser" "$seeds/loader" "$seeds/layout" "$build/fuzz-corpus/parser" \
  "$build/fuzz-corpus/loader" "$build/fuzz-corpus/layout" "$build/fuzz-artifacts"

# Loader: whole files (the fuzzer reads their first max_len bytes), and each stretch around a
# change in the time step (a gap, a repeated record, midnight) under the file's header.
for f in examples/*.csv; do
  name=$(basename "$f" .csv)
  cp "$f" "$seeds/loader/$name"
  awk -F, -v out="$seeds/loader/$name-" '
    { sub(/\r$/, "") }
    NR == 1 { header = $0; next }
    { lines[NR] = $0
      split($2, hms, ":"); t = hms[1] * 3600 + hms[2] * 60 + hms[3]
      if (NR > 3 && t - last != step && NR != marks[n] + 1 && n < 20) marks[++n] = NR
      if (NR > 2) step = t - last; last = t }
    END { for (i = 1; i <= n; i++) {
            file = out marks[i]; print header > file
            for (j = marks[i] - 4; j <= marks[i] + 4; j++) if (j in lines) print lines[j] > file
            close(file) } }' "$f"
done
# Awkward files no recorder writes. Europe/Berlin, the loader target's zone, changes clocks
# on 2026-03-29 02:00 (the hour never happens) and 2026-10-25 03:00 (02:xx happens twice).
i=0
loader_seed() { printf "$1" >"$seeds/loader/hand-$((i += 1))"; }
loader_seed 'Date,Time\n2026/10/25,02:30:00,1,2,3,4\n2026/10/25,02:29:59,5,6,7,8\n'\
'2026/10/25,03:00:00,9,9,9,9\n'
loader_seed 'Date,Time\n2026/03/29,01:59:58,1,2\n2026/03/29,02:30:00,3,4\n2026/03/29,03:00:01,5,6\n'
loader_seed 'Date,Time\r\n26/2/2,8:0:0,1,2,3,4\r\n26/2/2,8:0:3,1,2,3,4\r\n\r\n'
loader_seed 'h\n2026/02/02,08:00:00,1,1,1,1\n2026/02/01,08:00:00,2,2,2,2\n'\
'2026/02/02,08:00:02,3,3,3,3'
loader_seed 'h\n2026/02/02,08:00:00,1\n2026/02/03,08:00:00,2\n'
loader_seed 'h\n2026/02/02,08:00:00\0,1,2\n2026/02/02,08:00:01,\0\n'
loader_seed 'h\n2026/02/31,23:59:59,1,2,3,4\n2026/13/01,00:00:00\n'
loader_seed 'h\r\r\n2026/02/02,08:00:00,1,2,3,4\r\r\n\r'
loader_seed 'only a header\n'

# Parser: the first lines and a sample of the rest of each example, and lines that try the
# corners of "%d" and "%f".
for f in examples/*.csv; do
  name=$(basename "$f" .csv)
  tr -d '\r' <"$f" | awk -v out="$seeds/parser/$name-" \
    'NR <= 4 || NR % 1000 == 0 { file = out NR; printf "%s", $0 > file; close(file) }'
done
tricky=(
  '2007/04/30,12:00:05,21.53,25,55.5,60'
  '7/1/2,3:4:5,1,2'
  $' 2020/ 1/\t2, 10: 0:0, 5, +6,\r-7,\v8'
  '2020/1/2 10:00:00,5,6,7,8'
  '2020/1/2,10 :00:00,5,6,7,8'
  '4294967297/2147483648/1,0:0:0'
  '-9223372036854775809/+9223372036854775808/99999999999999999999999,-0:+0:-1'
  '2020/1/1,0:0:0,1e,2E+,3.5e-,4e+-5'
  '2020/1/1,0:0:0,0x1p3,0X.8P1,0x1.8,-0x10'
  '2020/1/1,0:0:0,0x,0xp1,0x.p1,0X1P'
  '2020/1/1,0:0:0,inf,-INFINITY,infinit,nan'
  '2020/1/1,0:0:0,nan(123),+nan,-inf,INFx'
  '2020/1/1,0:0:0,1.00000005960464477539062,16777217,3.4028235e38,3.4028236e38'
  '2020/1/1,0:0:0,1e-46,7e-46,1.4e-45,1.17549429e-38'
  '2020/1/1,0:0:0,.5,5.,.,-.e1'
  '2020/1/1,0:0:0,-0,+0,-0.0e5,0e99999999999'
  '2020/1/1,0:0:0,0000000000000000000000000001.5,1234567,12345678,0.1234567'
  '2020/1/1,0:0:0,1,2,3,4,5,junk'
  '2020/1/1,0:0:0,1.5.5,2..,3e5e5,4x'
)
for i in "${!tricky[@]}"; do
  printf '%s' "${tricky[$i]}" >"$seeds/parser/hand-$i"
done
printf '2020/1/1,0:0:0,1,2\0,3,4' >"$seeds/parser/hand-nul"

# Layouts: the first byte picks one of the target's fixed layouts (0 to 4), the rest is the file.
i=0
layout_seed() { printf "$1" >"$seeds/layout/hand-$((i += 1))"; }
layout_seed '0Datum;Zeit;T;S;RH\r\n01.03.2024;12:00:00;21,5;;45\r\n01.03.2024;12:01:00;22;20;\r\n'
layout_seed '1Logger\nSerial\nDate\tTime\tT\tRH\n3/1/24 11:59:59 PM\t\t70 \xb0F\t45 %%\t50\n'
layout_seed '2\xff\xfeT\x00,\x00\n\x002\x000\x002\x004\x00-\x003\x00-\x000\x001\x00T\x001\x002\x00:\x000\x000\x00Z\x00,\x001\x00'
layout_seed '3Date Time RH T\n2024-03-01   12:00:00 45 293.15\n2024-03-01 12:00:09 46 294\n'
layout_seed '42024-03-01,12:00:00,1,2,3,4\r2024-03-01,12:00:05,"5",6,,8\r2024-03-01,12:00:06,x\r'
layout_seed '0# Trendora layout\ndelimiter = tab\nzone = +05:30\ncolumns = datetime,temp-pv\n'

total=0
failed=()
for target in parser loader layout; do
  [ -n "$only" ] && [ "$only" != "$target" ] && continue
  case $target in
    parser) exe=$build/fuzz/trendora-fuzz-recordparser ;;
    loader) exe=$build/fuzz/trendora-fuzz-recorderloader ;;
    layout) exe=$build/fuzz/trendora-fuzz-layoutreader ;;
  esac
  log=$build/fuzz-$target.log
  limits="$([ "$seconds" = 0 ] && echo "no time limit" || echo "$seconds s")"
  limits+=", $([ "$runs" = -1 ] && echo "no run limit" || echo "$runs runs")"
  echo "== $target: $limits"
  start=$(date +%s)
  # Without -jobs libFuzzer fuzzes in this one process: one job, one worker.
  set +e
  "$exe" -dict=fuzz/recordline.dict -max_len=4096 -rss_limit_mb=2048 -timeout=10 \
    -max_total_time="$seconds" -runs="$runs" -print_final_stats=1 \
    -artifact_prefix="$build/fuzz-artifacts/$target-" \
    "$build/fuzz-corpus/$target" "$seeds/$target" 2>&1 | tee "$log" |
    grep -vE '^#[0-9]+[[:space:]]+(NEW|REDUCE|RELOAD)|^"|^###### '
  status=${PIPESTATUS[0]}
  set -e
  n=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  if [ -z "$n" ]; then # a failing run prints no final stats; take its last status line
    n=$(sed -n 's/^#\([0-9][0-9]*\).*/\1/p' "$log" | tail -n 1)
  fi
  n=${n:-0}
  total=$((total + n))
  echo "== $target: $n inputs in $(($(date +%s) - start)) s, exit status $status (log: $log)"
  [ "$status" -eq 0 ] || failed+=("$target")
done

echo "== total: $total inputs"
if [ ${#failed[@]} -gt 0 ]; then
  echo "== failed: ${failed[*]}; inputs in $build/fuzz-artifacts" >&2
  exit 1
fi
