#!/usr/bin/env bash
# What the README says of zk-shader-tool, checked against the tool:
# - its commented Shader XML translates for every target;
# - each GL-family output compiles with the #version line that the README's
#   table gives for its target;
# - its -d example changes what it says it changes, and a -d of a name the
#   file's constants define changes nothing;
# - it names every example Shader XML.
# Usage: readme_test.sh <zk-shader-tool> <project root>
set -u
tool=$1
root=$2
readme="$root/README.md"
# shellcheck source=tools/shader-tool/tests/script_checks.sh
source "${BASH_SOURCE[0]%/*}/script_checks.sh"
require_glslang
make_work_folder

# The version line of each GL-family target, from the README's table.
declare -A version
while IFS='|' read -r _ target line _; do
  target=$(echo "$target" | tr -d ' ')
  line=$(echo "$line" | sed 's/^ *`//; s/` *$//')
  version[$target]=$line
done < <(grep -E '^\| (ESSL20|ESSL30|GLSL21|GLSL31) \| `#version [^`]+` \|$' "$readme")
for target in ESSL20 ESSL30 GLSL21 GLSL31; do
  [ -n "${version[$target]:-}" ] || fail "the README gives no #version line for $target"
done

# Every example Shader XML (a file with sources) is named in the README.
while IFS= read -r example; do
  name=${example#$root/examples/shaders/}
  checked=$((checked + 1))
  grep -qF "\`$name\`" "$readme" || fail "the README does not name the example $name"
done < <(grep -rl --include='*.xml' '<array id="sources">' "$root/examples/shaders" | sort)

# The commented example.
sed -n '/^```xml$/,/^```$/p' "$readme" | sed '1d;$d' > "$work/readme.xml"
checked=$((checked + 1))
if ! "$tool" -t ALL --keep-translations -o "$work/example" "$work/readme.xml" > "$work/log" 2>&1; then
  cat "$work/log"
  fail "the README's Shader XML does not translate"
fi

# Compiles each vertex and pixel pair of the GL family under a folder.
compile_gl() {  # folder
  local target vertex name
  for target in ESSL20 ESSL30 GLSL21 GLSL31; do
    [ -n "${version[$target]:-}" ] && [ -d "$1/$target" ] || continue
    while IFS= read -r vertex; do
      name=${vertex%.vertex}
      { echo "${version[$target]}"; cat "$vertex"; } > "$work/shader.vert"
      { echo "${version[$target]}"; cat "$name.pixel"; } > "$work/shader.frag"
      checked=$((checked + 1))
      if ! output=$(glslangValidator -l "$work/shader.vert" "$work/shader.frag" 2>&1); then
        fail "${name#$work/} with '${version[$target]}'"
        echo "$output" | head -10
      fi
    done < <(find "$1/$target" -type f -name '*.vertex' | sort)
  done
}
compile_gl "$work/example"
"$tool" -r -t ALL --keep-translations -o "$work/examples" "$root/examples/shaders" > "$work/log" 2>&1 ||
  { cat "$work/log"; fail "examples/shaders does not translate"; }
compile_gl "$work/examples"

# The -d example as the README writes it, and the same without the -d.
command=$(grep -E '^build/tools/shader-tool/zk-shader-tool .* -d[A-Z_]+=' "$readme" | head -1)
if [ -z "$command" ]; then
  fail "the README shows no -d example"
else
  read -ra words <<< "$command"
  with=() without=()
  for word in "${words[@]:1}"; do
    case $word in
      out/) with+=("$work/defined/"); without+=("$work/plain/") ;;
      examples/*) with+=("$root/$word"); without+=("$root/$word") ;;
      -d*) with+=("$word") ;;
      *) with+=("$word"); without+=("$word") ;;
    esac
  done
  "$tool" "${with[@]}" > "$work/log" 2>&1 || { cat "$work/log"; fail "$command"; }
  "$tool" "${without[@]}" > "$work/log" 2>&1 || { cat "$work/log"; fail "$command without its -d"; }
  checked=$((checked + 1))
  pixels=$(find "$work/defined" -name '*.pixel' | wc -l)
  changed=0
  for pixel in $(cd "$work/defined" && find . -name '*.pixel'); do
    cmp -s "$work/defined/$pixel" "$work/plain/$pixel" || changed=$((changed + 1))
  done
  if [ "$pixels" -eq 0 ] || [ "$changed" -ne "$pixels" ]; then
    fail "the -d example changes $changed of $pixels pixel outputs"
  fi
  compile_gl "$work/defined"
fi

# A -d cannot override a constant of the file (tinted.xml's shared palette).
"$tool" -t GLSL21 -dTINT_STRENGTH=1.0 -o "$work/constant" "$root/examples/shaders/tinted.xml" > /dev/null 2>&1
"$tool" -t GLSL21 -o "$work/no-constant" "$root/examples/shaders/tinted.xml" > /dev/null 2>&1
checked=$((checked + 1))
if ! diff -r "$work/constant" "$work/no-constant" > /dev/null || [ ! -f "$work/constant/GLSL21/tinted.pixel" ]; then
  fail "a -d of the file's constant TINT_STRENGTH changed the output"
fi

echo "$((checked - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
