#!/usr/bin/env bash
# Times zk-shader-tool on generated Shader XML files (copies of the examples
# under other names, some in sub-folders) beside the tools it is compared
# with, and prints one report:
# - files per second for `-t ALL --keep-translations` with the outputs on a
#   RAM disk (/dev/shm) and on the working disk (a folder in the project);
# - glslangValidator validating the GL-family outputs of the same files in
#   one process, and the tool's time as a share of it;
# - a peer pipeline over the same sources: each HLSL11 output compiled to
#   SPIR-V by `glslangValidator -D -V`, then written in the GL and HLSL
#   dialects by spirv-cross (installed here when missing, for this
#   benchmark only), and how many times faster the tool is;
# - start-up (-h) beside /bin/true;
# - one file of 20,000 definitions used in one 20,000-term expression,
#   where work that grows with the square of the input would show.
# The machine may be shared: each time is the best of several runs, and the
# load average is printed with them.
# Usage: bench/shader_tool_bench.sh [path to zk-shader-tool]
# Environment: ZK_BENCH_FILES (216), ZK_BENCH_RUNS (7).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=bench/shader_xml_bench.sh
source "$root/bench/shader_xml_bench.sh"
tool=$(find_or_build_shader_tool "${1:-}")
files=${ZK_BENCH_FILES:-216}
runs=${ZK_BENCH_RUNS:-7}
for program in glslangValidator spirv-cross; do
  if ! command -v "$program" >/dev/null 2>&1; then
    package=glslang-tools; [ "$program" = spirv-cross ] && package=spirv-cross
    echo "installing $package for the comparison..."
    sudo_=""; [ "$(id -u)" -ne 0 ] && sudo_=sudo
    $sudo_ apt-get install -y "$package" >/dev/null
  fi
done

ram=$(mktemp -d /dev/shm/zk-bench.XXXXXX)
disk=$(mktemp -d "$root/build-bench.XXXXXX")
trap 'rm -rf "$ram" "$disk"' EXIT

# The inputs live on the RAM disk, so that only the outputs differ between
# the two runs.
mkdir -p "$ram/in"
cp -r "$root/examples/shaders/common" "$ram/in/"
examples=("$root"/examples/shaders/*.xml "$root"/examples/shaders/effects/*.xml)
sources=0
for i in $(seq 1 "$files"); do
  example=${examples[$(( (i - 1) % ${#examples[@]} ))]}
  if [ $((i % 4)) -eq 0 ]; then
    # A quarter in sub-folders, which find the shared files one level up.
    mkdir -p "$ram/in/group$((i % 3))"
    sed 's|"common/|"../common/|g' "$example" > "$ram/in/group$((i % 3))/shader_$i.xml"
  else
    cp "$example" "$ram/in/shader_$i.xml"
  fi
  sources=$(( sources + $(grep -c '<node type=' "$example") ))
done
inputs=$(find "$ram/in" -name '*.xml' | wc -l)  # with the shared constants file, which is skipped

ms() { awk -v t="$1" 'BEGIN { printf "%.1f", t / 1000 }'; }

# Best wall time of the command over the runs, in microseconds; before is
# run first each time and not timed.
best_of() {  # runs before command...
  local n=$1 before=$2; shift 2
  local best="" start end
  for _ in $(seq 1 "$n"); do
    eval "$before"
    # Bash's own clock, read without starting a process.
    start=${EPOCHREALTIME/./}
    "$@" >/dev/null 2>&1 || true
    end=${EPOCHREALTIME/./}
    if [ -z "$best" ] || [ $((end - start)) -lt "$best" ]; then best=$((end - start)); fi
  done
  echo "$best"
}

translate() {  # output folder
  "$tool" -r -t ALL --keep-translations -o "$1" "$ram/in"
}

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "$files Shader XMLs ($sources sources) and the constants file they share, to 7 targets; files/s counts all $inputs"
# One run that must succeed, for the outputs the comparisons read.
if ! translate "$ram/out" > "$ram/log" 2>&1; then
  tail -20 "$ram/log"
  exit 1
fi

ram_us=$(best_of "$runs" 'rm -rf "$ram/out2"' translate "$ram/out2")
disk_us=$(best_of "$runs" 'rm -rf "$disk/out"; sync -f "$disk"' translate "$disk/out")
rerun_us=$(best_of "$runs" ':' translate "$ram/out")
rate() { awk -v n="$inputs" -v t="$1" 'BEGIN { printf "%.0f", n / (t / 1e6) }'; }
printf -- "-t ALL, RAM disk:      %8s ms  %6s files/s\n" "$(ms "$ram_us")" "$(rate "$ram_us")"
printf -- "-t ALL, working disk:  %8s ms  %6s files/s\n" "$(ms "$disk_us")" "$(rate "$disk_us")"
printf -- "-t ALL, over outputs:  %8s ms  %6s files/s (RAM disk, every output there already)\n" \
  "$(ms "$rerun_us")" "$(rate "$rerun_us")"

# glslangValidator reads a stage from the file name and wants a version
# line, which the outputs leave to their consumer.
mkdir -p "$ram/gl"
gl_files=()
for entry in "ESSL20:100" "ESSL30:300 es" "GLSL21:120" "GLSL31:140"; do
  target=${entry%%:*}
  version=${entry#*:}
  n=0
  while IFS= read -r file; do
    n=$((n + 1))
    extension=vert; [[ $file == *.pixel ]] && extension=frag
    copy="$ram/gl/$target-$n.$extension"
    { echo "#version $version"; cat "$file"; } > "$copy"
    gl_files+=("$copy")
  done < <(find "$ram/out/$target" -type f \( -name '*.vertex' -o -name '*.pixel' \))
done
if ! glslangValidator "${gl_files[@]}" > "$ram/glslang.log" 2>&1; then
  grep -m 5 ERROR "$ram/glslang.log" || true
  echo "glslangValidator refused some GL-family outputs"
fi
glslang_us=$(best_of "$runs" ':' glslangValidator "${gl_files[@]}")
printf "glslangValidator:      %8s ms  validating the %d GL-family outputs in one process\n" \
  "$(ms "$glslang_us")" "${#gl_files[@]}"
awk -v a="$ram_us" -v b="$glslang_us" \
  'BEGIN { printf "  -t ALL takes %.2fx the time glslangValidator takes to validate (goal: at most 0.15x)\n", a / b }'

# The peer pipeline, one process per step as a build would run it; run once.
peer_dialects=("--es --version 100" "--es --version 300" "--version 120" "--version 140"
               "--hlsl --shader-model 30" "--hlsl --shader-model 50")
mapfile -t hlsl_files < <(find "$ram/out/HLSL11" -path '*/bin' -prune -o -type f \( -name '*.vertex' -o -name '*.pixel' \) -print)
peer() {
  local file stage dialect n=0 failed=0
  for file in "${hlsl_files[@]}"; do
    n=$((n + 1))
    stage=vert; [[ $file == *.pixel ]] && stage=frag
    glslangValidator -D -V -e main -S "$stage" -o "$ram/peer.spv" "$file" >/dev/null 2>&1 || { failed=$((failed + 1)); continue; }
    for dialect in "${peer_dialects[@]}"; do
      # shellcheck disable=SC2086
      spirv-cross "$ram/peer.spv" $dialect --output "$ram/peer.out" >/dev/null 2>&1 || failed=$((failed + 1))
    done
  done
  echo "$failed" > "$ram/peer.failed"
}
start=${EPOCHREALTIME/./}; peer; end=${EPOCHREALTIME/./}
peer_us=$((end - start))
printf "peer pipeline:         %8s ms  %d HLSL11 outputs to SPIR-V, then to %d dialects each (%s steps refused)\n" \
  "$(ms "$peer_us")" "${#hlsl_files[@]}" "${#peer_dialects[@]}" "$(cat "$ram/peer.failed")"
awk -v a="$ram_us" -v b="$peer_us" \
  'BEGIN { printf "  -t ALL is %.0fx faster than the peer pipeline (goal: at least 30x)\n", b / a }'

# Start-up: -h in an empty folder, beside /bin/true, which is what starting
# any process costs here; the two take turns, so that both meet the same
# load.
mkdir -p "$ram/empty"
cd "$ram/empty"
tool_us="" true_us=""
for _ in $(seq 1 100); do
  start=${EPOCHREALTIME/./}; /bin/true; end=${EPOCHREALTIME/./}
  if [ -z "$true_us" ] || [ $((end - start)) -lt "$true_us" ]; then true_us=$((end - start)); fi
  start=${EPOCHREALTIME/./}; "$tool" -h >/dev/null 2>&1 || true; end=${EPOCHREALTIME/./}
  if [ -z "$tool_us" ] || [ $((end - start)) -lt "$tool_us" ]; then tool_us=$((end - start)); fi
done
cd "$root"
awk -v a="$tool_us" -v b="$true_us" 'BEGIN {
  printf "start-up:              %8.2f ms  (-h, best of 100); /bin/true %.2f ms; difference %.2f ms (goal: at most 0.7)\n",
         a / 1000, b / 1000, (a - b) / 1000 }'
# Page faults are most of what start-up costs beyond /bin/true, and unlike
# the times they do not depend on the machine's load.
if [ -x /usr/bin/time ]; then
  faults() { (cd "$ram/empty" && /usr/bin/time -f "%R" "$@" 2>&1 >/dev/null | tail -1); }
  printf "  page faults: %s for -h, %s for /bin/true\n" "$(faults "$tool" -h)" "$(faults /bin/true)"
fi

# 20,000 definitions, each used once in a 20,000-term expression.
mkdir -p "$ram/many"
awk 'BEGIN {
  for (i = 0; i < 20000; i++) printf "#define D%d %d.0\n", i, i % 7
  printf "void main()\n{\n    float x = D0"
  for (i = 1; i < 20000; i++) printf " + D%d", i
  printf ";\n    output.color = float4(x, x, x, 1.0);\n}\n"
}' | shader_xml_of_pixel_source > "$ram/many/many.xml"
many_us=$(best_of 3 'rm -rf "$ram/many-out"' "$tool" -t ALL --keep-translations -o "$ram/many-out" "$ram/many")
printf "many definitions:      %8s ms  20,000 definitions in one 20,000-term expression, 7 targets\n" "$(ms "$many_us")"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
