#!/usr/bin/env bash
# Translates examples/shaders/ to every target and compiles each output that
# glslangValidator reads: the GL family with its version line (and each
# vertex and pixel pair linked), HLSL9 and HLSL11 through its HLSL front end.
# PSSL has no compiler here.
# Usage: compile_examples.sh <zk-shader-tool> <project root>
set -u
tool=$1
root=$2

# shellcheck source=tools/shader-tool/tests/script_checks.sh
source "${BASH_SOURCE[0]%/*}/script_checks.sh"
require_glslang
make_work_folder

if ! "$tool" -r -t ALL -l ALL --keep-translations -o "$work/out" "$root/examples/shaders" > "$work/log" 2>&1; then
  cat "$work/log"
  echo "translation of examples/shaders failed"
  exit 1
fi

compile() {  # label, stage, arguments and files...
  local label=$1 stage=$2; shift 2
  if ! output=$(glslangValidator "$@" 2>&1); then
    echo "FAILED: $label ($stage)"
    echo "$output" | head -20
    failures=$((failures + 1))
  fi
  checked=$((checked + 1))
}

for entry in "ESSL20:100" "ESSL30:300 es" "GLSL21:120" "GLSL31:140"; do
  target=${entry%%:*}
  version=${entry#*:}
  while IFS= read -r vertex; do
    name=${vertex%.vertex}
    { echo "#version $version"; cat "$vertex"; } > "$work/shader.vert"
    compile "${vertex#$work/out/}" vert "$work/shader.vert"
    [ -f "$name.pixel" ] || continue
    { echo "#version $version"; cat "$name.pixel"; } > "$work/shader.frag"
    compile "${name#$work/out/}.pixel" frag "$work/shader.frag"
    compile "${name#$work/out/} vertex and pixel" link -l "$work/shader.vert" "$work/shader.frag"
  done < <(find "$work/out/$target" -type f -name '*.vertex' | sort)
done

for target in HLSL9 HLSL11; do
  extra=()
  [ "$target" = HLSL9 ] && extra=(--hlsl-dx9-compatible)
  while IFS= read -r file; do
    stage=vert; [[ $file == *.pixel ]] && stage=frag
    cp "$file" "$work/shader.hlsl"
    compile "${file#$work/out/}" "$stage" -D -V -e main -S "$stage" -o "$work/shader.spv" "${extra[@]}" "$work/shader.hlsl"
  done < <(find "$work/out/$target" -maxdepth 3 -path '*/bin' -prune -o -type f \( -name '*.vertex' -o -name '*.pixel' \) -print | sort)
done

echo "$checked passed, $failures failed"
[ "$failures" -eq 0 ] && [ "$checked" -gt 0 ]
