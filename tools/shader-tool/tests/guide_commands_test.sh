#!/usr/bin/env bash
# Runs the command blocks of the shader author's guide (docs/shader-xml.md),
# in order, in a fresh folder laid out as the project root is after
# scripts/build-and-run: the tool at build/tools/shader-tool/zk-shader-tool,
# with the examples and the tools' folder (which holds the ESSL20 limits)
# beside it. Each block must succeed as written. A block right after the
# line "<!-- not run by shader_guide_commands -->" is left out (it builds or
# writes the project itself). shader_draw, given as the third argument,
# stands where the test build puts it; without it (the sanitizer build does
# not draw) the blocks that run it are left out.
# Usage: guide_commands_test.sh <zk-shader-tool> <project root> [<shader_draw>]
set -u
tool=$1
root=$2
draw=${3:-}
guide="$root/docs/shader-xml.md"
# shellcheck source=tools/shader-tool/tests/script_checks.sh
source "${BASH_SOURCE[0]%/*}/script_checks.sh"
require_glslang
make_work_folder
mkdir -p "$work/build/tools/shader-tool"
ln -s "$tool" "$work/build/tools/shader-tool/zk-shader-tool"
ln -s "$root/examples" "$work/examples"
ln -s "$root/tools" "$work/tools"
if [ -n "$draw" ]; then
  mkdir -p "$work/build-test/shadertool/translate/tests/draw"
  ln -s "$draw" "$work/build-test/shadertool/translate/tests/draw/shader_draw"
fi

# The blocks, each written to a file of its own: block-1.sh, block-2.sh, ...
awk -v dir="$work" '
  /^<!-- not run by shader_guide_commands -->$/ { skip = 1; next }
  /^```sh$/ { if (skip) { skipping = 1 } else { n++; file = dir "/block-" n ".sh" }; skip = 0; inside = 1; next }
  /^```$/ && inside { inside = 0; skipping = 0; next }
  inside && !skipping { print > file }
  { skip = 0 }
' "$guide"

for block in $(ls "$work"/block-*.sh 2> /dev/null | sort -t- -k2 -n); do
  if [ -z "$draw" ] && grep -q shader_draw "$block"; then
    continue
  fi
  checked=$((checked + 1))
  if ! output=$(cd "$work" && bash -eo pipefail "$block" 2>&1); then
    echo "FAILED: the guide's command block"
    sed 's/^/    /' "$block"
    echo "$output" | head -20
    failures=$((failures + 1))
  fi
done
echo "$((checked - failures)) of $checked command blocks passed"
[ "$failures" -eq 0 ] && [ "$checked" -gt 0 ]
