#!/usr/bin/env bash
# Runs a fuzzing campaign under AddressSanitizer and UndefinedBehaviorSanitizer, as many targets
# at a time as there are processors:
#   scripts/fuzz.sh [SECONDS]   (default 600 per target)
#   scripts/fuzz.sh build       (only builds the targets, in build-fuzz/)
# New inputs go to fuzz-out/<target>/; crashes to fuzz-out/artifacts/. Copy an input worth
# keeping into fuzz/corpus/<target>/ so that every build replays it. Fails when a target fails.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}

scripts/install-deps.sh

cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPOLAR_FUZZ=ON -DPOLAR_SANITIZE=ON -DPOLAR_BENCH=OFF >/dev/null
targets=(polar_file language_file exchange log_reader live_reader)
corpora=(polar_file language_file exchange log live)
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]/%/_fuzzer}"
[ "$seconds" = build ] && exit 0

mkdir -p fuzz-out/artifacts
failed=0
running=0
for i in "${!targets[@]}"; do
  target=${targets[$i]}
  mkdir -p "fuzz-out/$target"
  "build-fuzz/fuzz/${target}_fuzzer" "fuzz-out/$target" "fuzz/corpus/${corpora[$i]}" \
    -max_total_time="$seconds" -artifact_prefix=fuzz-out/artifacts/ -print_final_stats=1 \
    >"fuzz-out/$target.log" 2>&1 &
  running=$((running + 1))
  if [ "$running" -ge "$(nproc)" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
done
while [ "$running" -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done
for target in "${targets[@]}"; do
  echo "$target: $(grep -h 'stat::number_of_executed_units' "fuzz-out/$target.log" | awk '{print $2}') runs"
done
if [ "$failed" -ne 0 ]; then
  echo "a fuzz target failed; its log is in fuzz-out/, the input in fuzz-out/artifacts/" >&2
  exit 1
fi
