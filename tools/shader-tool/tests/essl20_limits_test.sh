#!/usr/bin/env bash
# The ESSL20 outputs of examples/shaders/ within the limits that OpenGL ES
# 2.0 guarantees (GLSL ES 1.00's minimum limits, which WebGL 1 and many ES
# 2.0 drivers enforce):
# - glslangValidator with tools/shader-tool/essl20-limits.conf refuses while
#   and do-while loops, a for loop of another form than a loop index
#   compared with a constant expression and stepped by a constant, and an
#   index that is no constant expression or loop index where only those
#   are guaranteed (a local array, a constant in the pixel stage, ...);
# - glslangValidator counts no uniforms or varyings, so they are counted
#   here from the declarations, one vector per vector or scalar and one per
#   row of a matrix, times the array's size: at most 128 uniform vectors in
#   the vertex stage, 16 in the pixel stage, and 8 varyings.
# First the check itself is shown to refuse small files over each limit.
# Usage: essl20_limits_test.sh <zk-shader-tool> <project root>
set -u
tool=$1
root=$2
limits="$root/tools/shader-tool/essl20-limits.conf"
# shellcheck source=tools/shader-tool/tests/script_checks.sh
source "${BASH_SOURCE[0]%/*}/script_checks.sh"
require_glslang
make_work_folder

# glslangValidator with the limits on one stage's text; prints what it
# says. A limits file it cannot read leaves it without its built-in names
# while it still exits 0, so that is a failure too.
check_stage() {  # text, stage (vert or frag)
  local output status
  output=$({ echo '#version 100'; cat "$1"; } | glslangValidator --stdin -S "$2" "$limits" 2>&1)
  status=$?
  echo "$output"
  [ $status -eq 0 ] && ! grep -q 'Unable to parse built-ins\|bad .conf file' <<< "$output"
}

# Vectors the declarations of one kind take ("uniform" or "varying"),
# samplers left out.
count_vectors() {  # text, keyword
  awk -v keyword="$1" '
    $1 == keyword && $2 !~ /^sampler/ {
      rows = 1
      if ($2 ~ /^mat[234]$/) rows = substr($2, 4, 1)
      size = 1
      if (match($3, /\[[0-9]+\]/)) size = substr($3, RSTART + 1, RLENGTH - 2)
      total += rows * size
    }
    END { print total + 0 }' "$2"
}

# Checks the ESSL20 texts of one Shader XML: both stages through the
# limits, then the counts. Prints each fault; fails when there is one.
check_shader() {  # folder of the outputs, name without the stage
  local vertex="$1/$2.vertex" pixel="$1/$2.pixel" faults=0 output count
  [ -f "$vertex" ] && [ -f "$pixel" ] || { echo "$2: no ESSL20 outputs"; return 1; }
  if ! output=$(check_stage "$vertex" vert); then echo "$2.vertex: $output"; faults=1; fi
  if ! output=$(check_stage "$pixel" frag); then echo "$2.pixel: $output"; faults=1; fi
  count=$(count_vectors uniform "$vertex")
  [ "$count" -le 128 ] || { echo "$2.vertex: $count uniform vectors, above 128"; faults=1; }
  count=$(count_vectors uniform "$pixel")
  [ "$count" -le 16 ] || { echo "$2.pixel: $count uniform vectors, above 16"; faults=1; }
  count=$(count_vectors varying "$vertex")
  [ "$count" -le 8 ] || { echo "$2.vertex: $count varyings, above 8"; faults=1; }
  [ $faults -eq 0 ]
}

# Small files, each over one limit, and one just within them all.
shader_xml() {  # pixel constants, vertex outputs and their setting, pixel code
  cat << XML
<?xml version="1.0" encoding="iso-8859-1"?>
<root>
  <array id="info"><node id="version" value="2"/><node id="revision" value="3"/></array>
  <array id="vertex_input"><node id="position" semantic="POSITION"/><node id="color" semantic="COLOR"/><node id="uv" semantic="TEXTURE_COORDINATE_0"/></array>
  <array id="vertex_output"><node id="position" type="FLOAT4" semantic="POSITION"/><node id="uv" type="FLOAT2" semantic="TEXTURE_COORDINATE"/>$2</array>
  <array id="pixel_constants"><node id="taps" type="INT4"/>$1</array>
  <array id="pixel_output"><node id="color"/></array>
  <array id="sources">
    <node type="vertex"><![CDATA[
void main() { output.position = input.position; output.uv = input.uv; $3 }
]]></node>
    <node type="pixel"><![CDATA[
void main()
{
    float sum = 0.0;
    $4
    output.color = float4(sum);
}
]]></node>
  </array>
</root>
XML
}
mkdir -p "$work/cases"
eight_outputs="" eight_set=""
for i in 1 2 3 4 5 6; do
  eight_outputs+="<node id=\"v$i\" type=\"FLOAT\"/>"
  eight_set+="output.v$i = 0.5; "
done
shader_xml "" "" "" 'for (int i = 0; i < constants.taps.x; i++) sum += 0.25;' > "$work/cases/loop_bound.xml"
shader_xml "" "" "" 'int i = 0; while (i < 4) { sum += 0.25; i++; }' > "$work/cases/while_loop.xml"
shader_xml "" "" "" 'float w[3] = {0.25, 0.5, 0.25}; sum = w[int(input.uv.x * 2.0)];' > "$work/cases/local_index.xml"
shader_xml '<node id="many" type="FLOAT4X4" count="4"/>' "" "" 'sum = (input.uv.xyxy * constants.many[3]).x;' > "$work/cases/pixel_uniforms.xml"
shader_xml "" "$eight_outputs<node id=\"v7\" type=\"FLOAT\"/>" "$eight_set output.v7 = 0.5;" '' > "$work/cases/varyings.xml"
shader_xml '<node id="many" type="FLOAT3X3" count="5"/>' "$eight_outputs" "$eight_set" \
  'for (int i = 0; i < 4; i++) sum += (input.uv.xyx * constants.many[i]).x; const int N = 3; for (int k = N; k > 0; k -= 1) sum *= 0.5;' \
  > "$work/cases/within.xml"

"$tool" -t ESSL20 -o "$work/out" "$work/cases" > "$work/log" 2>&1 ||
  { cat "$work/log"; fail "the files over the limits do not translate for ESSL20"; }
for case in "loop_bound:inductive-loop condition" "while_loop:while loops not available" \
            "local_index:Non-constant-index-expression" "pixel_uniforms:17 uniform vectors, above 16" \
            "varyings:9 varyings, above 8"; do
  name=${case%%:*}
  expected=${case#*:}
  checked=$((checked + 1))
  if output=$(check_shader "$work/out/ESSL20" "$name"); then
    fail "$name.xml is over a limit, but its ESSL20 outputs pass the check"
  elif ! grep -qF "$expected" <<< "$output"; then
    fail "$name.xml: the check does not say \"$expected\":"
    echo "$output" | head -10
  fi
done
checked=$((checked + 1))
output=$(check_shader "$work/out/ESSL20" within) || { fail "within.xml is within the limits, but:"; echo "$output" | head -10; }

# The examples.
if ! "$tool" -r -t ESSL20 -o "$work/examples" "$root/examples/shaders" > "$work/log" 2>&1; then
  cat "$work/log"
  fail "examples/shaders does not translate for ESSL20"
fi
while IFS= read -r vertex; do
  name=${vertex#$work/examples/ESSL20/}
  name=${name%.vertex}
  checked=$((checked + 1))
  output=$(check_shader "$work/examples/ESSL20" "$name") || { fail "examples/shaders/$name.xml on ESSL20:"; echo "$output" | head -10; }
done < <(find "$work/examples/ESSL20" -type f -name '*.vertex' | sort)

echo "$((checked - failures)) passed, $failures failed"
[ "$failures" -eq 0 ] && [ "$checked" -gt 6 ]
