#!/usr/bin/env bash
# bench/run render: a 60 s 44.1 kHz stereo 16-bit file rendered to 48 kHz float through
# AudioKit's whole player path (disk reader, conversion, libsoxr resampling, output
# render) pulled as fast as it goes, against `sox in.wav -r 48000 -e float -t raw -`.
# Each side runs 3 times; the best times are compared. Last line: "render ratio R".
set -euo pipefail
IN="$BENCH_WORK/render-60s.wav"
[ -f "$IN" ] || sox -n -r 44100 -c 2 -b 16 "$IN" synth 60 pinknoise vol 0.5 sine 440 >/dev/null 2>&1 \
  || sox -n -r 44100 -c 2 -b 16 "$IN" synth 60 sine 440 vol 0.5
cat "$IN" >/dev/null  # both sides read it from the page cache
best() {  # best wall time in seconds of 3 runs of a command
  local best=""
  for _ in 1 2 3; do
    local t0 t1
    t0=$(date +%s%N)
    "$@" >/dev/null
    t1=$(date +%s%N)
    local t=$(( t1 - t0 ))
    if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
  done
  echo "$best"
}
ours=$(best "$SRK_BUILD/bench/srk_bench_render" "$IN" 48000)
theirs=$(best bash -c "sox '$IN' -r 48000 -e float -t raw - >/dev/null")
"$SRK_BUILD/bench/srk_bench_render" "$IN" 48000
awk -v o="$ours" -v t="$theirs" 'BEGIN {
  printf "ours %.3f s, sox %.3f s\n", o / 1e9, t / 1e9
  printf "render ratio %.3f\n", o / t }'
