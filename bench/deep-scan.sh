#!/usr/bin/env bash
# bench/run deep-scan: see browser/seeker/bench/seeker_bench.cpp for what is measured against what.
set -euo pipefail
exec "$SRK_BUILD/bench/srk_bench_seeker" deep-scan "$BENCH_WORK/seeker"
