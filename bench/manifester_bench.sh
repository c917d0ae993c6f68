#!/usr/bin/env bash
# Times zk-manifester on a tree of 1,000 images of mixed formats and sizes
# (made here) beside ImageMagick's `identify -ping` over the same files.
# The goal is at least 10 times faster. ImageMagick is installed here when
# it is missing; nothing else needs it.
# Usage: bench/manifester_bench.sh [count]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
count=${1:-1000}
build=$root/build-release
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DZK_BUILD_TESTS=OFF -DZK_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target zk-manifester make_manifest_tree >/dev/null
if ! command -v identify >/dev/null; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update >/dev/null
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends imagemagick >/dev/null
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/make_manifest_tree" "$work/data" "$count"
files=$(find "$work/data" -type f | wc -l)
bytes=$(du -sb "$work/data" | cut -f1)
echo "$files files, $((bytes / 1024 / 1024)) MiB; load: $(cut -d' ' -f1-3 /proc/loadavg)"

now_ms() { local t=${EPOCHREALTIME/./}; printf "%d.%03d" $(( t / 1000 )) $(( t % 1000 )); }
best() {  # label, command...: the best of 5 runs, in milliseconds
  local label=$1; shift
  local best_ms="" start end ms
  for _ in 1 2 3 4 5; do
    start=$(now_ms)
    "$@" >/dev/null 2>&1 </dev/null
    end=$(now_ms)
    ms=$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.1f", e - s }')
    if [ -z "$best_ms" ] || awk -v a="$ms" -v b="$best_ms" 'BEGIN { exit !(a < b) }'; then best_ms=$ms; fi
  done
  printf "%-22s %9.1f ms\n" "$label" "$best_ms" >&2
  echo "$best_ms"
}
cd "$work"
manifester_ms=$(best "zk-manifester" "$build/tools/manifester/zk-manifester" data)
lines=$(grep -c '<node ' manifest-temp.xml)
identify_ms=$(best "identify -ping" sh -c 'find data -type f -print0 | xargs -0 identify -ping')
echo "$lines node lines"
awk -v m="$manifester_ms" -v i="$identify_ms" 'BEGIN { printf "zk-manifester is %.1f times faster than identify -ping\n", i / m }'
