#!/usr/bin/env bash
# Builds every target and runs every test (unit, end-to-end, fuzz smoke runs).
# Does all of its own set-up on a fresh Debian 12 machine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
JOBS=${JOBS:-$(nproc)}
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$JOBS"
bash scripts/with-servers.sh ctest --test-dir build --output-on-failure -j "$JOBS" --timeout 600

# Fuzz smoke runs of every reader of outside data: the audio header reader and rate patcher,
# the property-list reader (saved scan memory, vocabulary) and the version list; about 30 s per target,
# each on a fresh copy of its seed corpus. A crash or a broken invariant fails the run.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSRK_FUZZ=ON >/dev/null
FUZZERS=(  # target, folder of its sources (binary and seeds)
  "srk_header_fuzz browser/audio/fuzz"
  "srk_fileinfo_fuzz browser/audio/fuzz"
  "srk_plist_fuzz browser/seeker/fuzz"
  "srk_version_list_fuzz browser/library/fuzz"
)
cmake --build build-fuzz -j "$JOBS" --target $(for f in "${FUZZERS[@]}"; do echo "${f%% *}"; done)
for entry in "${FUZZERS[@]}"; do
  fuzzer=${entry%% *} dir=${entry#* }
  corpus=build-fuzz/corpus/$fuzzer
  rm -rf "$corpus" && mkdir -p "$corpus"
  cp "$dir"/seeds/* "$corpus"/
  echo "Fuzzing $fuzzer for 30 s"
  "build-fuzz/$dir/$fuzzer" -max_total_time=30 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="build-fuzz/$fuzzer-" -print_final_stats=1 "$corpus" 2>"build-fuzz/$fuzzer.log" \
    || { tail -60 "build-fuzz/$fuzzer.log" >&2; echo "FAIL: $fuzzer found a crash (see build-fuzz/$fuzzer.log)" >&2; exit 1; }
done

# The audio engine's tests once more under ThreadSanitizer (reader thread, render thread,
# notifications): about half a minute to build, seconds to run. A reported race fails.
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSRK_TSAN=ON >/dev/null
cmake --build build-tsan -j "$JOBS" --target srk_audio_tests
TSAN_OPTIONS="halt_on_error=1 exitcode=66" build-tsan/browser/audio/srk_audio_tests --gtest_brief=1
