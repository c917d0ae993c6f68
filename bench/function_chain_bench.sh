#!/usr/bin/env bash
# Times zk-shader-tool on one Shader XML whose pixel source is a chain of N
# functions, each calling the one before it, then main calling the last:
# the translators write a prototype per function and a body per function,
# so the time per function stays flat while every step is linear, and
# grows with N where a step copies or searches what it has written so far.
# For each N it prints the best wall time of the runs for one target
# (GLSL21) and for all seven, and the time per function.
# The machine may be shared: each time is the best of several runs, and the
# load average is printed with them.
# Usage: bench/function_chain_bench.sh [path to zk-shader-tool]
# Environment: ZK_BENCH_SIZES ("1000 2000 4000 8000 16000 32000 64000"),
#              ZK_BENCH_RUNS (3).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=bench/shader_xml_bench.sh
source "$root/bench/shader_xml_bench.sh"
tool=$(find_or_build_shader_tool "${1:-}")
sizes=${ZK_BENCH_SIZES:-1000 2000 4000 8000 16000 32000 64000}
runs=${ZK_BENCH_RUNS:-3}

ram=$(mktemp -d /dev/shm/zk-chain.XXXXXX)
trap 'rm -rf "$ram"' EXIT

write_chain() {  # functions folder
  mkdir -p "$2"
  awk -v n="$1" 'BEGIN {
    printf "float f0(float x)\n{\n    return x * 0.5;\n}\n"
    for (i = 1; i < n; i++) printf "float f%d(float x)\n{\n    return f%d(x) + 1.0;\n}\n", i, i - 1
    printf "void main()\n{\n    float x = f%d(0.25);\n    output.color = float4(x, x, x, 1.0);\n}\n", n - 1
  }' | shader_xml_of_pixel_source > "$2/chain.xml"
}

# Best wall time of the translation over the runs, in microseconds; the
# outputs are removed before each run, and a run that fails stops the bench.
best_of() {  # folder targets
  local best="" start end
  for _ in $(seq 1 "$runs"); do
    rm -rf "$ram/out"
    start=${EPOCHREALTIME/./}
    if ! "$tool" -t "$2" --keep-translations -o "$ram/out" "$1" > "$ram/log" 2>&1; then
      tail -5 "$ram/log" >&2
      exit 1
    fi
    end=${EPOCHREALTIME/./}
    if [ -z "$best" ] || [ $((end - start)) -lt "$best" ]; then best=$((end - start)); fi
  done
  echo "$best"
}

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
printf "%9s  %12s %14s  %12s %14s\n" functions "GLSL21 ms" "us/function" "ALL ms" "us/function"
for n in $sizes; do
  write_chain "$n" "$ram/chain$n"
  one=$(best_of "$ram/chain$n" GLSL21)
  all=$(best_of "$ram/chain$n" ALL)
  awk -v n="$n" -v a="$one" -v b="$all" \
    'BEGIN { printf "%9d  %12.1f %14.2f  %12.1f %14.2f\n", n, a / 1000, a / n, b / 1000, b / n }'
  rm -rf "$ram/chain$n"
done
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
