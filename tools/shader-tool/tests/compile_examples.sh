#!/usr/bin/env bash
# Translates examples/shaders/ to every target and compiles each output that
# glslangValidator reads: the GL family with its version line, HLSL9 and
# HLSL11 through its HLSL front end. PSSL has no compiler here.
# Usage: compile_examples.sh <zk-shader-tool> <project root>
set -u
tool=$1
root=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! "$tool" -r -t ALL -l ALL --keep-translations -o "$work/out" "$root/examples/shaders" > "$work/log" 2>&1; then
  cat "$work/log"
  echo "translation of examples/shaders failed"
  exit 1
fi

failures=0
checked=0
compile() {  # file, stage, extra arguments...
  local file=$1 stage=$2; shift 2
  if ! output=$(glslangValidator "$@" -S "$stage" "$file" 2>&1); then
    echo "FAILED: ${file#$work/out/}"
    echo "$output" | head -20
    failures=$((failures + 1))
  fi
  checked=$((checked + 1))
}

for entry in "ESSL20:100" "ESSL30:300 es" "GLSL21:120" "GLSL31:140"; do
  target=${entry%%:*}
  version=${entry#*:}
  while IFS= read -r file; do
    stage=vert; [[ $file == *.pixel ]] && stage=frag
    { echo "#version $version"; cat "$file"; } > "$work/shader.$stage"
    compile "$work/shader.$stage" "$stage"
  done < <(find "$work/out/$target" -type f \( -name '*.vertex' -o -name '*.pixel' \) | sort)
done

for target in HLSL9 HLSL11; do
  extra=()
  [ "$target" = HLSL9 ] && extra=(--hlsl-dx9-compatible)
  while IFS= read -r file; do
    stage=vert; [[ $file == *.pixel ]] && stage=frag
    cp "$file" "$work/shader.hlsl"
    compile "$work/shader.hlsl" "$stage" -D -V -e main -o "$work/shader.spv" "${extra[@]}"
  done < <(find "$work/out/$target" -maxdepth 3 -path '*/bin' -prune -o -type f \( -name '*.vertex' -o -name '*.pixel' \) -print | sort)
done

echo "$checked passed, $failures failed"
[ "$failures" -eq 0 ] && [ "$checked" -gt 0 ]
