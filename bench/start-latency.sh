#!/usr/bin/env bash
# bench/run start-latency: time from AudioKit's play to the first non-silent frame handed
# to the output (a real-time thread pulling 128-frame periods), for a 4 s file held in
# memory and a 60 s file streamed from disk, at 44.1 kHz and resampled to 48 kHz.
# Goals: under 5 ms in memory, under 20 ms streaming. Last line: the worst median.
set -euo pipefail
MEM="$BENCH_WORK/latency-4s.wav"
STREAM="$BENCH_WORK/latency-60s.wav"
[ -f "$MEM" ] || sox -n -r 44100 -c 2 -b 16 "$MEM" synth 4 sine 440 vol 0.5
[ -f "$STREAM" ] || sox -n -r 44100 -c 2 -b 16 "$STREAM" synth 60 sine 440 vol 0.5
cat "$MEM" "$STREAM" >/dev/null
out=$("$SRK_BUILD/bench/srk_bench_start_latency" "$MEM" "$STREAM" 21)
echo "$out"
echo "$out" | awk '/median/ { for (i = 1; i <= NF; i++) if ($i == "median") v = $(i + 1); if (v > worst) worst = v }
  END { printf "start-latency value %.3f ms\n", worst }'
