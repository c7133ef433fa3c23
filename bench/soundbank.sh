#!/usr/bin/env bash
# bench/run soundbank: see browser/library/bench/soundbank_bench.cpp for what is measured against what.
set -euo pipefail
exec "$SRK_BUILD/bench/srk_bench_soundbank" "$BENCH_WORK"
