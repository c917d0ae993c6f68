# Sourced by the benchmarks of zk-shader-tool, after `root` is set to the
# project root.

# The tool at the path given (a release build of it, made when it is not
# there, by default), as an absolute path.
find_or_build_shader_tool() {  # [path to zk-shader-tool]
  local tool=${1:-$root/build-release/tools/shader-tool/zk-shader-tool}
  if [ ! -x "$tool" ]; then
    cmake -S "$root" -B "$root/build-release" -DCMAKE_BUILD_TYPE=Release -DZK_BUILD_TESTS=OFF >/dev/null
    cmake --build "$root/build-release" -j3 --target zk-shader-tool >/dev/null
  fi
  echo "$(cd "$(dirname "$tool")" && pwd)/$(basename "$tool")"
}

# A Shader XML whose vertex stage passes the position on and whose pixel
# stage is the source read from standard input.
shader_xml_of_pixel_source() {
  cat <<'XML'
<?xml version="1.0" encoding="iso-8859-1"?>
<root>
  <array id="info"><node id="version" value="2"/><node id="revision" value="3"/></array>
  <array id="vertex_input"><node id="position" semantic="POSITION"/></array>
  <array id="vertex_output"><node id="position" type="FLOAT4" semantic="POSITION"/></array>
  <array id="pixel_output"><node id="color"/></array>
  <array id="sources">
    <node type="vertex"><![CDATA[
void main() { output.position = input.position; }
]]></node>
    <node type="pixel"><![CDATA[
XML
  cat
  echo ']]></node>'
  echo '  </array>'
  echo '</root>'
}
