#!/usr/bin/env bash
# bench/run click-latency: from a click on a file in the browser to its first non-silent
# frame at the output, through the whole controller, for a small file (held in memory) and
# a large one (streamed), beside the engine's own start latency. Goal: under 30 ms for both.
set -euo pipefail
SMALL="$BENCH_WORK/click-small.wav"
LARGE="$BENCH_WORK/click-large.wav"
[ -f "$SMALL" ] || sox -n -r 44100 -c 2 -b 16 "$SMALL" synth 2 sine 440 vol 0.5
[ -f "$LARGE" ] || sox -n -r 44100 -c 2 -b 16 "$LARGE" synth 120 sine 440 vol 0.5
export XDG_CONFIG_HOME="$BENCH_WORK/click-config"
mkdir -p "$XDG_CONFIG_HOME"
exec "$SRK_BUILD/bench/srk_bench_click_latency" "$SMALL" "$LARGE" 15
