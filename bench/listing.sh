#!/usr/bin/env bash
# bench/run listing: see browser/window/bench/listing_bench.cpp for what is measured against what.
set -euo pipefail
exec "$SRK_BUILD/bench/srk_bench_listing" "$BENCH_WORK"
