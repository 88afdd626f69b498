#!/usr/bin/env bash
# Builds Zandor and runs every test: the whole suite on the normal build, then
# the window-free tests (sockets, messages, server, rules, file coder) again
# built with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
ctest --test-dir build --output-on-failure -j"$(nproc)"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZANDOR_SANITIZE=ON >/dev/null
cmake --build build-asan --target zandor_core_tests -j"$(nproc)"
ctest --test-dir build-asan --output-on-failure -L core -j"$(nproc)"
