#!/usr/bin/env bash
# Runs a fuzzing campaign under AddressSanitizer and UndefinedBehaviorSanitizer:
#   scripts/fuzz.sh [SECONDS]   (default 600 per target)
# New inputs go to fuzz-out/<target>/; crashes to fuzz-out/artifacts/. Copy an input worth
# keeping into fuzz/corpus/<target>/ so that every build replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}

scripts/install-deps.sh
for p in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
    { [ "$(id -u)" -eq 0 ] && apt-get install -y -qq "$p" >/dev/null || sudo apt-get install -y -qq "$p" >/dev/null; }
done

cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPOLAR_FUZZ=ON -DPOLAR_SANITIZE=ON -DPOLAR_BENCH=OFF >/dev/null
cmake --build build-fuzz --target polar_file_fuzzer language_file_fuzzer exchange_fuzzer

for target in polar_file language_file exchange; do
  mkdir -p "fuzz-out/$target" fuzz-out/artifacts
  "build-fuzz/fuzz/${target}_fuzzer" "fuzz-out/$target" "fuzz/corpus/$target" \
    -max_total_time="$seconds" -artifact_prefix=fuzz-out/artifacts/ -print_final_stats=1 &
done
wait
