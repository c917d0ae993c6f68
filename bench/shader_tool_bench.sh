#!/usr/bin/env bash
# Times zk-shader-tool on 200 generated Shader XML files (copies of the
# examples under other names), translating every target: a first run, a
# second run over the same outputs, and the start-up alone (-h). Prints
# milliseconds per source per target.
# Usage: bench/shader_tool_bench.sh [path to zk-shader-tool]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tool=${1:-$root/build-release/tools/shader-tool/zk-shader-tool}
if [ ! -x "$tool" ]; then
  cmake -S "$root" -B "$root/build-release" -DCMAKE_BUILD_TYPE=Release -DZK_BUILD_TESTS=OFF >/dev/null
  cmake --build "$root/build-release" -j"$(nproc)" --target zk-shader-tool >/dev/null
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/in"
cp -r "$root/examples/shaders/common" "$work/in/"
examples=("$root"/examples/shaders/*.xml "$root"/examples/shaders/effects/*.xml)
sources=0
for i in $(seq 1 200); do
  example=${examples[$(( (i - 1) % ${#examples[@]} ))]}
  cp "$example" "$work/in/shader_$i.xml"
  sources=$(( sources + $(grep -c '<node type=' "$example") ))
done
targets=7

# Bash's own clock, so that timing starts no process of its own.
now_ms() { local t=${EPOCHREALTIME/./}; printf "%d.%03d" $(( t / 1000 )) $(( t % 1000 )); }
run() {  # label
  local start end
  start=$(now_ms)
  "$tool" -t ALL --keep-translations -o "$work/out" "$work/in" > "$work/log" 2>&1 || { tail -20 "$work/log"; exit 1; }
  end=$(now_ms)
  awk -v label="$1" -v s="$start" -v e="$end" -v n="$sources" -v t="$targets" \
    'BEGIN { printf "%-12s %8.1f ms total, %.4f ms per source per target (%d sources x %d targets)\n", label, e - s, (e - s) / (n * t), n, t }'
}
run "first run"
run "second run"

# Start-up: best of 20 runs of -h in an empty folder, beside the same
# measure of /bin/true, which is what starting any process costs here.
mkdir -p "$work/empty"
best_of_20() {
  local best="" start end t
  for i in $(seq 1 20); do
    start=${EPOCHREALTIME/./}
    (cd "$work/empty" && exec "$@" > /dev/null 2>&1) || true
    end=${EPOCHREALTIME/./}
    t=$(( end - start ))
    if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
  done
  echo "$best"
}
tool_us=$(best_of_20 "$tool" -h)
true_us=$(best_of_20 /bin/true)
awk -v a="$tool_us" -v b="$true_us" \
  'BEGIN { printf "start-up     %.2f ms (-h, best of 20); /bin/true %.2f ms; difference %.2f ms\n", a / 1000, b / 1000, (a - b) / 1000 }'
