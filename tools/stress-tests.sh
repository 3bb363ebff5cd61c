#!/usr/bin/env bash
# Runs the window-driving tests (CTest label "window") ROUNDS times, as on a new machine under
# load: each round in a fresh home folder, with two CPU-burning processes beside it. Prints a
# line per round and a summary; exits non-zero if any round had a failure or a timeout.
#   tools/stress-tests.sh [ROUNDS] [BUILD_DIR]      (defaults: 10, build)
# BUILD_DIR must hold a configured and built test tree (./build.sh test makes build/).
set -uo pipefail
cd "$(dirname "$0")/.."

rounds=${1:-10}
dir=${2:-build}
if [ ! -f "$dir/CTestTestfile.cmake" ]; then
  echo "no test tree in $dir: build it first (./build.sh test)" >&2
  exit 64
fi

burners=()
stop_burners() {
  [ ${#burners[@]} -gt 0 ] && kill "${burners[@]}" 2>/dev/null
  burners=()
}
trap stop_burners EXIT

failed_rounds=0
total_failed=0
total_timeouts=0
for round in $(seq 1 "$rounds"); do
  home=$(mktemp -d)
  for _ in 1 2; do
    (while :; do :; done) &
    burners+=($!)
  done
  start=$(date +%s)
  log="$home/ctest.log"
  (cd "$dir" && env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_DATA_HOME HOME="$home" \
     QT_QPA_PLATFORM=offscreen ctest -L window -j 2 --timeout 120 --output-on-failure) >"$log" 2>&1
  status=$?
  stop_burners
  seconds=$(($(date +%s) - start))
  summary=$(grep -E 'tests passed' "$log" | tail -n 1)
  timeouts=$(grep -c '(Timeout)' "$log")
  failures=$(grep -cE '\*\*\*Failed|\(Failed\)|\(SEGFAULT\)|\(Subprocess aborted\)' "$log")
  echo "round $round: ${summary:-no summary} (${seconds} s, ${failures} failed, ${timeouts} timed out)"
  if [ "$status" -ne 0 ] || [ "$timeouts" -gt 0 ]; then
    failed_rounds=$((failed_rounds + 1))
    total_failed=$((total_failed + failures))
    total_timeouts=$((total_timeouts + timeouts))
    grep -E '\(Timeout\)|\(Failed\)|\*\*\*Failed|\(SEGFAULT\)|\(Subprocess aborted\)' "$log" | sed 's/^/    /'
    cp "$log" "stress-round-$round.log" && echo "    log kept in stress-round-$round.log"
  fi
  rm -rf "$home"
done

echo "$rounds rounds: $((rounds - failed_rounds)) clean, $failed_rounds with failures" \
     "($total_failed failed tests, $total_timeouts timeouts)"
[ "$failed_rounds" -eq 0 ]
