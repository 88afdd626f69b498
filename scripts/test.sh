#!/usr/bin/env bash
# Builds Zandor and runs every test: the whole suite on the normal build, the
# desktop entry and software-centre data validated, the Debian package built,
# checked and installed into a clean Debian 12 root, a short fuzzing run of
# the game host's message handling, then the window-free
# tests (sockets, messages, server, rules, file coder) again built with
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
ctest --test-dir build --output-on-failure -j"$(nproc)"

appstreamcli validate --no-net dist/example.korvex.Zandor.metainfo.xml
desktop-file-validate dist/example.korvex.Zandor.desktop
bash scripts/package.sh
bash scripts/package_clean_root.sh

bash scripts/fuzz.sh 30 2>&1 | tail -n 15

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZANDOR_SANITIZE=ON -DZANDOR_BENCH=OFF >/dev/null
cmake --build build-asan --target zandor_core_tests -j"$(nproc)"
ctest --test-dir build-asan --output-on-failure -L core -j"$(nproc)"
