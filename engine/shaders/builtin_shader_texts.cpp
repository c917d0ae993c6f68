// The built-in shaders' Shader XML texts, their stage texts per source
// target, and their code records.
//
// The stage texts are the translators' output for the Shader XML text
// beside them, behind the header line; the built-in shader tests translate
// each Shader XML again and compare.
//
// The HLSL11 and PSSL code records hold compiled objects of those
// platforms' shader compilers, which this build does not have: the records
// name their target and level and carry no code bytes. No renderer of this
// program selects them (the null renderer's HLSL11 level 0 has no record).
// Records of target 128 are never selected.

#include "engine/shaders/builtin_shaders.h"

namespace {

#define ZK_CODE_RECORD_WITHOUT_CODE(target, level) {target, 0, 0, 0, level, 0, 0, 0, 0, 0, 0, 0}
const unsigned char kHLSL11Default[] = ZK_CODE_RECORD_WITHOUT_CODE(32, 1);
const unsigned char kHLSL11Low[] = ZK_CODE_RECORD_WITHOUT_CODE(32, 2);
const unsigned char kHLSL11Xbox[] = ZK_CODE_RECORD_WITHOUT_CODE(32, 4);
const unsigned char kPSSL[] = ZK_CODE_RECORD_WITHOUT_CODE(64, 0);
const unsigned char kTarget128[] = ZK_CODE_RECORD_WITHOUT_CODE(128, 0);
#undef ZK_CODE_RECORD_WITHOUT_CODE

}  // namespace

// The start of every built-in Shader XML text, up to the end of the info
// array: format version 2, revision 3.
#define ZK_SHADER_XML_INFO                                                      \
    "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n"                         \
    "<root>\n"                                                                  \
    "  <array id=\"info\">\n"                                                   \
    "    <node id=\"version\" value=\"2\"/>\n"                                  \
    "    <node id=\"revision\" value=\"3\"/>\n"
// Every built-in shader draws the 2D vertex: position, colour, texture
// coordinate.
#define ZK_SHADER_XML_VERTEX_INPUTS                                             \
    "  </array>\n"                                                              \
    "  <array id=\"vertex_input\">\n"                                           \
    "    <node id=\"position\" semantic=\"POSITION\"/>\n"                       \
    "    <node id=\"color\" semantic=\"COLOR\"/>\n"                             \
    "    <node id=\"texture_coordinate\" semantic=\"TEXTURE_COORDINATE_0\"/>\n" \
    "  </array>\n"

namespace InternalShader_default {

const char* const shader_xml = ZK_SHADER_XML_INFO ZK_SHADER_XML_VERTEX_INPUTS R"zk(  <array id="vertex_constants">
    <node id="world_view_proj" type="FLOAT4X4" semantic="WORLD_VIEW_PROJECTION_TRANSFORM"/>
  </array>
  <array id="vertex_output">
    <node id="position" type="FLOAT4" semantic="POSITION"/>
    <node id="color" type="FLOAT4" semantic="COLOR"/>
    <node id="texture_coordinate" type="FLOAT2" semantic="TEXTURE_COORDINATE"/>
  </array>
  <array id="pixel_textures">
    <node id="diffuse" type="2D"/>
  </array>
  <array id="pixel_output">
    <node id="color"/>
  </array>
  <array id="sources">
    <node type="vertex"><![CDATA[
void main()
{
    output.position = input.position * constants.world_view_proj;
    output.color = input.color;
    output.texture_coordinate = input.texture_coordinate;
}
]]></node>
    <node type="pixel"><![CDATA[
void main()
{
    output.color = input.color * sampleTexture(texture.diffuse, input.texture_coordinate);
}
]]></node>
  </array>
</root>
)zk";

namespace {

const char essl20_vertex[] = R"zk(ESSL20,NONE,
attribute vec4 _in_position;
attribute vec4 _in_color;
attribute vec2 _in_texture_coordinate;

uniform mat4 _const_world_view_proj;

varying vec4 _vary_position;
varying vec4 _vary_color;
varying vec2 _vary_texture_coordinate;

void main()
{
	gl_Position = _in_position * _const_world_view_proj;
	_vary_color = _in_color;
	_vary_texture_coordinate = _in_texture_coordinate;
}
)zk";

const char essl20_pixel[] = R"zk(ESSL20,NONE,
#if defined(GL_FRAGMENT_PRECISION_HIGH)

precision highp float;

#else

precision mediump float;

#endif

varying vec4 _vary_position;
varying vec4 _vary_color;
varying vec2 _vary_texture_coordinate;

uniform sampler2D _tex_diffuse;

void main()
{
	gl_FragColor = _vary_color * texture2D(_tex_diffuse, _vary_texture_coordinate);
}
)zk";

const char essl30_vertex[] = R"zk(ESSL30,NONE,
in vec4 _in_position;
in vec4 _in_color;
in vec2 _in_texture_coordinate;

uniform mat4 _const_world_view_proj;

out vec4 _vary_position;
out vec4 _vary_color;
out vec2 _vary_texture_coordinate;

void main()
{
	gl_Position = _in_position * _const_world_view_proj;
	_vary_color = _in_color;
	_vary_texture_coordinate = _in_texture_coordinate;
}
)zk";

const char essl30_pixel[] = R"zk(ESSL30,NONE,
precision highp float;
precision lowp sampler3D;

in vec4 _vary_position;
in vec4 _vary_color;
in vec2 _vary_texture_coordinate;

uniform sampler2D _tex_diffuse;

layout(location = 0) out vec4 _out_color;

void main()
{
	_out_color = _vary_color * texture(_tex_diffuse, _vary_texture_coordinate);
}
)zk";

const char glsl21_vertex[] = R"zk(GLSL21,NONE,
attribute vec4 _in_position;
attribute vec4 _in_color;
attribute vec2 _in_texture_coordinate;

uniform mat4 _const_world_view_proj;

varying vec4 _vary_position;
varying vec4 _vary_color;
varying vec2 _vary_texture_coordinate;

void main()
{
	gl_Position = _in_position * _const_world_view_proj;
	_vary_color = _in_color;
	_vary_texture_coordinate = _in_texture_coordinate;
}
)zk";

const char glsl21_pixel[] = R"zk(GLSL21,NONE,
varying vec4 _vary_position;
varying vec4 _vary_color;
varying vec2 _vary_texture_coordinate;

uniform sampler2D _tex_diffuse;

void main()
{
	gl_FragColor = _vary_color * texture2D(_tex_diffuse, _vary_texture_coordinate);
}
)zk";

const char glsl31_vertex[] = R"zk(GLSL31,NONE,
in vec4 _in_position;
in vec4 _in_color;
in vec2 _in_texture_coordinate;

uniform mat4 _const_world_view_proj;

out vec4 _vary_position;
out vec4 _vary_color;
out vec2 _vary_texture_coordinate;

void main()
{
	gl_Position = _in_position * _const_world_view_proj;
	_vary_color = _in_color;
	_vary_texture_coordinate = _in_texture_coordinate;
}
)zk";

const char glsl31_pixel[] = R"zk(GLSL31,NONE,
in vec4 _vary_position;
in vec4 _vary_color;
in vec2 _vary_texture_coordinate;

uniform sampler2D _tex_diffuse;

out vec4 _out_color;

void main()
{
	_out_color = _vary_color * texture(_tex_diffuse, _vary_texture_coordinate);
}
)zk";

}  // namespace

const char* const sources[] = {
    essl20_vertex, essl20_pixel,
    essl30_vertex, essl30_pixel,
    glsl21_vertex, glsl21_pixel,
    glsl31_vertex, glsl31_pixel,
    nullptr, nullptr,
};

const unsigned char* const binaries[] = {
    kHLSL11Default, kHLSL11Default,
    kHLSL11Low, kHLSL11Low,
    kHLSL11Xbox, kHLSL11Xbox,
    kPSSL, kPSSL,
    kTarget128, kTarget128,
    nullptr, nullptr,
};

}  // namespace InternalShader_default

namespace InternalShader_distance_field {

const char* const shader_xml = ZK_SHADER_XML_INFO "    <node id=\"tags\" value=\"DISTANCE_FIELD\"/>\n"
    ZK_SHADER_XML_VERTEX_INPUTS R"zk(  <array id="vertex_constants">
    <node id="world_view_proj" type="FLOAT4X4" semantic="WORLD_VIEW_PROJECTION_TRANSFORM"/>
  </array>
  <array id="vertex_output">
    <node id="position" type="FLOAT4" semantic="POSITION"/>
    <node id="texture_coordinate" type="FLOAT2" semantic="TEXTURE_COORDINATE"/>
    <node id="color" type="FLOAT4" semantic="COLOR"/>
  </array>
  <array id="pixel_constants">
    <node id="smoothing" type="FLOAT4"/>
  </array>
  <array id="pixel_textures">
    <node id="diffuse" type="2D"/>
  </array>
  <array id="pixel_output">
    <node id="color"/>
  </array>
  <array id="sources">
    <node type="vertex"><![CDATA[
void main()
{
    output.position = input.position * constants.world_view_proj;
    output.texture_coordinate = input.texture_coordinate;
    output.color = input.color;
}
]]></node>
    <node type="pixel"><![CDATA[
void main()
{
    float4 texel = sampleTexture(texture.diffuse, input.texture_coordinate);
    texel.a = smoothstep(0.5f - constants.smoothing.x, 0.5f + constants.smoothing.x, texel.a);
    output.color = input.color * texel;
}
]]></node>
  </array>
</root>
)zk";

namespace {

const char essl20_vertex[] = R"zk(ESSL20,NONE,
attribute vec4 _in_position;
attribute vec4 _in_color;
attribute vec2 _in_texture_coordinate;

uniform mat4 _const_world_view_proj;

varying vec4 _vary_position;
varying vec2 _vary_texture_coordinate;
varying vec4 _vary_color;

void main()
{
	gl_Position = _in_position * _const_world_view_proj;
	_vary_texture_coordinate = _in_texture_coordinate;
	_vary_color = _in_color;
}
)zk";

const char essl20_pixel[] = R"zk(ESSL20,NONE,
#if defined(GL_FRAGMENT_PRECISION_HIGH)

precision highp float;

#else

precision mediump float;

#endif

varying vec4 _vary_position;
varying vec2 _vary_texture_coordinate;
varying vec4 _vary_color;

uniform vec4 _const_smoothing;

uniform sampler2D _tex_diffuse;

void main()
{
	vec4 texel = texture2D(_tex_diffuse, _vary_texture_coordinate);
	texel.a = smoothstep(0.5 - _const_smoothing.x, 0.5 + _const_smoothing.x, texel.a);
	gl_FragColor = _vary_color * texel;
}
)zk";

const char essl30_vertex[] = R"zk(ESSL30,NONE,
in vec4 _in_position;
in vec4 _in_color;
in vec2 _in_texture_coordinate;

uniform mat4 _const_world_view_proj;

out vec4 _vary_position;
out vec2 _vary_texture_coordinate;
out vec4 _vary_color;

void main()
{
	gl_Position = _in_position * _const_world_view_proj;
	_vary_texture_coordinate = _in_texture_coordinate;
	_vary_color = _in_color;
}
)zk";

const char essl30_pixel[] = R"zk(ESSL30,NONE,
precision highp float;
precision lowp sampler3D;

in vec4 _vary_position;
in vec2 _vary_texture_coordinate;
in vec4 _vary_color;

uniform vec4 _const_smoothing;

uniform sampler2D _tex_diffuse;

layout(location = 0) out vec4 _out_color;

void main()
{
	vec4 texel = texture(_tex_diffuse, _vary_texture_coordinate);
	texel.a = smoothstep(0.5f - _const_smoothing.x, 0.5f + _const_smoothing.x, texel.a);
	_out_color = _vary_color * texel;
}
)zk";

const char glsl21_vertex[] = R"zk(GLSL21,NONE,
attribute vec4 _in_position;
attribute vec4 _in_color;
attribute vec2 _in_texture_coordinate;

uniform mat4 _const_world_view_proj;

varying vec4 _vary_position;
varying vec2 _vary_texture_coordinate;
varying vec4 _vary_color;

void main()
{
	gl_Position = _in_position * _const_world_view_proj;
	_vary_texture_coordinate = _in_texture_coordinate;
	_vary_color = _in_color;
}
)zk";

const char glsl21_pixel[] = R"zk(GLSL21,NONE,
varying vec4 _vary_position;
varying vec2 _vary_texture_coordinate;
varying vec4 _vary_color;

uniform vec4 _const_smoothing;

uniform sampler2D _tex_diffuse;

void main()
{
	vec4 texel = texture2D(_tex_diffuse, _vary_texture_coordinate);
	texel.a = smoothstep(0.5f - _const_smoothing.x, 0.5f + _const_smoothing.x, texel.a);
	gl_FragColor = _vary_color * texel;
}
)zk";

const char glsl31_vertex[] = R"zk(GLSL31,NONE,
in vec4 _in_position;
in vec4 _in_color;
in vec2 _in_texture_coordinate;

uniform mat4 _const_world_view_proj;

out vec4 _vary_position;
out vec2 _vary_texture_coordinate;
out vec4 _vary_color;

void main()
{
	gl_Position = _in_position * _const_world_view_proj;
	_vary_texture_coordinate = _in_texture_coordinate;
	_vary_color = _in_color;
}
)zk";

const char glsl31_pixel[] = R"zk(GLSL31,NONE,
in vec4 _vary_position;
in vec2 _vary_texture_coordinate;
in vec4 _vary_color;

uniform vec4 _const_smoothing;

uniform sampler2D _tex_diffuse;

out vec4 _out_color;

void main()
{
	vec4 texel = texture(_tex_diffuse, _vary_texture_coordinate);
	texel.a = smoothstep(0.5f - _const_smoothing.x, 0.5f + _const_smoothing.x, texel.a);
	_out_color = _vary_color * texel;
}
)zk";

const char hlsl9_vertex[] = R"zk(HLSL9,NONE,
struct VertexInput
{
	float4 position : POSITION;
	float4 color : COLOR;
	float2 texture_coordinate : TEXCOORD0;
};

float4x4 _const_world_view_proj;

struct VertexOutput
{
	float4 position : POSITION;
	float2 texture_coordinate : TEXCOORD0;
	float4 color : COLOR0;
};

VertexOutput main(VertexInput input)
{
	VertexOutput output;
	output.position = mul(input.position, _const_world_view_proj);
	output.texture_coordinate = input.texture_coordinate;
	output.color = input.color;

	return output;
}
)zk";

const char hlsl9_pixel[] = R"zk(HLSL9,NONE,
struct PixelInput
{
	float4 position : POSITION;
	float2 texture_coordinate : TEXCOORD0;
	float4 color : COLOR0;
};

float4 _const_smoothing;

sampler _tex_diffuse : register(s0);

struct PixelOutput
{
	float4 color : COLOR0;
};

PixelOutput main(PixelInput input)
{
	PixelOutput output;
	float4 texel = tex2D(_tex_diffuse, input.texture_coordinate);
	texel.a = smoothstep(0.5f - _const_smoothing.x, 0.5f + _const_smoothing.x, texel.a);
	output.color = input.color * texel;

	return output;
}
)zk";

}  // namespace

const char* const sources[] = {
    essl20_vertex, essl20_pixel,
    essl30_vertex, essl30_pixel,
    glsl21_vertex, glsl21_pixel,
    glsl31_vertex, glsl31_pixel,
    hlsl9_vertex, hlsl9_pixel,
    nullptr, nullptr,
};

const unsigned char* const binaries[] = {
    kHLSL11Default, kHLSL11Default,
    kHLSL11Low, kHLSL11Low,
    kHLSL11Xbox, kHLSL11Xbox,
    kPSSL, kPSSL,
    nullptr, nullptr,
};

}  // namespace InternalShader_distance_field

namespace InternalShader_clear {

const char* const shader_xml = ZK_SHADER_XML_INFO ZK_SHADER_XML_VERTEX_INPUTS R"zk(  <array id="vertex_constants">
    <node id="color" type="FLOAT4"/>
    <node id="depth" type="FLOAT4"/>
  </array>
  <array id="vertex_output">
    <node id="position" type="FLOAT4" semantic="POSITION"/>
    <node id="color" type="FLOAT4" semantic="COLOR"/>
  </array>
  <array id="pixel_output">
    <node id="color"/>
  </array>
  <array id="sources">
    <node type="vertex"><![CDATA[
void main()
{
    output.position = float4(input.position.xy, constants.depth.x, 1.0f);
    output.color = constants.color;
}
]]></node>
    <node type="pixel"><![CDATA[
void main()
{
    output.color = input.color;
}
]]></node>
  </array>
</root>
)zk";

const char* const sources[] = {
    nullptr, nullptr,
};

const unsigned char* const binaries[] = {
    kPSSL, kPSSL,
    kTarget128, kTarget128,
    nullptr, nullptr,
};

}  // namespace InternalShader_clear

namespace InternalShader_cube_map {

const char* const shader_xml = ZK_SHADER_XML_INFO ZK_SHADER_XML_VERTEX_INPUTS R"zk(  <array id="vertex_constants">
    <node id="cube_rotation" type="FLOAT4"/>
  </array>
  <array id="vertex_output">
    <node id="position" type="FLOAT4" semantic="POSITION"/>
    <node id="texture_coordinate" type="FLOAT3" semantic="TEXTURE_COORDINATE"/>
  </array>
  <array id="pixel_textures">
    <node id="cube_map" type="CUBE"/>
  </array>
  <array id="pixel_output">
    <node id="color"/>
  </array>
  <array id="sources">
    <node type="vertex"><![CDATA[
void main()
{
    float2 corner = input.texture_coordinate * 2.0f - 1.0f;
    float cosine = constants.cube_rotation.x;
    float sine = constants.cube_rotation.y;
    output.position = input.position;
    output.texture_coordinate = float3(corner.x * cosine - sine, -corner.y, corner.x * sine + cosine);
}
]]></node>
    <node type="pixel"><![CDATA[
void main()
{
    output.color = sampleTexture(texture.cube_map, input.texture_coordinate);
}
]]></node>
  </array>
</root>
)zk";

const char* const sources[] = {
    nullptr, nullptr,
};

const unsigned char* const binaries[] = {
    kPSSL, kPSSL,
    nullptr, nullptr,
};

}  // namespace InternalShader_cube_map

namespace InternalShader_hdr {

const char* const shader_xml = ZK_SHADER_XML_INFO ZK_SHADER_XML_VERTEX_INPUTS R"zk(  <array id="vertex_output">
    <node id="position" type="FLOAT4" semantic="POSITION"/>
    <node id="texture_coordinate" type="FLOAT2" semantic="TEXTURE_COORDINATE"/>
  </array>
  <array id="pixel_constants">
    <node id="gamma" type="FLOAT4"/>
  </array>
  <array id="pixel_textures">
    <node id="diffuse" type="2D"/>
  </array>
  <array id="pixel_output">
    <node id="color"/>
  </array>
  <array id="sources">
    <node type="vertex"><![CDATA[
void main()
{
    output.position = input.position;
    output.texture_coordinate = input.texture_coordinate;
}
]]></node>
    <node type="pixel"><![CDATA[
void main()
{
    float4 texel = sampleTexture(texture.diffuse, input.texture_coordinate);
    output.color = float4(pow(texel.rgb, constants.gamma.xxx), texel.a);
}
]]></node>
  </array>
</root>
)zk";

const char* const sources[] = {
    nullptr, nullptr,
};

const unsigned char* const binaries[] = {
    kHLSL11Xbox, kHLSL11Xbox,
    kPSSL, kPSSL,
    nullptr, nullptr,
};

}  // namespace InternalShader_hdr

namespace InternalShader_mip {

const char* const shader_xml = ZK_SHADER_XML_INFO ZK_SHADER_XML_VERTEX_INPUTS R"zk(  <array id="vertex_output">
    <node id="position" type="FLOAT4" semantic="POSITION"/>
    <node id="texture_coordinate" type="FLOAT2" semantic="TEXTURE_COORDINATE"/>
  </array>
  <array id="pixel_textures">
    <node id="diffuse" type="2D"/>
  </array>
  <array id="pixel_output">
    <node id="color"/>
  </array>
  <array id="sources">
    <node type="vertex"><![CDATA[
void main()
{
    output.position = input.position;
    output.texture_coordinate = input.texture_coordinate;
}
]]></node>
    <node type="pixel"><![CDATA[
void main()
{
    output.color = sampleTexture(texture.diffuse, input.texture_coordinate);
}
]]></node>
  </array>
</root>
)zk";

const char* const sources[] = {
    nullptr, nullptr,
};

const unsigned char* const binaries[] = {
    kPSSL, kPSSL,
    nullptr, nullptr,
};

}  // namespace InternalShader_mip
