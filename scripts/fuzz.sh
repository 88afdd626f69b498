#!/usr/bin/env bash
# Fuzzes the game host's message handling for a fixed time (default 60 s):
# builds the libFuzzer target with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz, then runs it. Exits non-zero when
# the fuzzer finds a crash, a sanitizer report or a broken invariant; the
# input that did it is left in build-fuzz/fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DZANDOR_FUZZ=ON -DZANDOR_BENCH=OFF >/dev/null
cmake --build build-fuzz --target server_fuzz -j2

corpus=build-fuzz/fuzz/corpus-server
mkdir -p "$corpus"
cd build-fuzz/fuzz
./server_fuzz -max_total_time="$seconds" -max_len=4096 -timeout=10 -print_final_stats=1 \
  -dict=../../tests/fuzz/server.dict -artifact_prefix=./ "${corpus#build-fuzz/fuzz/}"
