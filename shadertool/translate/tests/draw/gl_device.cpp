#include "shadertool/translate/tests/draw/gl_device.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/glcorearb.h>

#include <cstring>

namespace ShaderTool {
namespace draw {

const float kQuadCorners[4][2] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};

namespace {

// Every GL entry point the device calls, taken from eglGetProcAddress: one
// table serves the ES and the desktop contexts alike, and no desktop GL
// library has to be linked.
#define ZK_GL_FUNCTIONS(X)                                                   \
    X(PFNGLGETSTRINGPROC, GetString)                                         \
    X(PFNGLGETERRORPROC, GetError)                                           \
    X(PFNGLCREATESHADERPROC, CreateShader)                                   \
    X(PFNGLSHADERSOURCEPROC, ShaderSource)                                   \
    X(PFNGLCOMPILESHADERPROC, CompileShader)                                 \
    X(PFNGLGETSHADERIVPROC, GetShaderiv)                                     \
    X(PFNGLGETSHADERINFOLOGPROC, GetShaderInfoLog)                           \
    X(PFNGLDELETESHADERPROC, DeleteShader)                                   \
    X(PFNGLCREATEPROGRAMPROC, CreateProgram)                                 \
    X(PFNGLATTACHSHADERPROC, AttachShader)                                   \
    X(PFNGLLINKPROGRAMPROC, LinkProgram)                                     \
    X(PFNGLGETPROGRAMIVPROC, GetProgramiv)                                   \
    X(PFNGLGETPROGRAMINFOLOGPROC, GetProgramInfoLog)                         \
    X(PFNGLDELETEPROGRAMPROC, DeleteProgram)                                 \
    X(PFNGLUSEPROGRAMPROC, UseProgram)                                       \
    X(PFNGLGETACTIVEATTRIBPROC, GetActiveAttrib)                             \
    X(PFNGLGETATTRIBLOCATIONPROC, GetAttribLocation)                         \
    X(PFNGLGETACTIVEUNIFORMPROC, GetActiveUniform)                           \
    X(PFNGLGETACTIVEUNIFORMSIVPROC, GetActiveUniformsiv)                     \
    X(PFNGLGETUNIFORMLOCATIONPROC, GetUniformLocation)                       \
    X(PFNGLGETACTIVEUNIFORMBLOCKIVPROC, GetActiveUniformBlockiv)             \
    X(PFNGLUNIFORMBLOCKBINDINGPROC, UniformBlockBinding)                     \
    X(PFNGLUNIFORM1IPROC, Uniform1i)                                         \
    X(PFNGLUNIFORM1FVPROC, Uniform1fv)                                       \
    X(PFNGLUNIFORM2FVPROC, Uniform2fv)                                       \
    X(PFNGLUNIFORM3FVPROC, Uniform3fv)                                       \
    X(PFNGLUNIFORM4FVPROC, Uniform4fv)                                       \
    X(PFNGLUNIFORM1IVPROC, Uniform1iv)                                       \
    X(PFNGLUNIFORM2IVPROC, Uniform2iv)                                       \
    X(PFNGLUNIFORM3IVPROC, Uniform3iv)                                       \
    X(PFNGLUNIFORM4IVPROC, Uniform4iv)                                       \
    X(PFNGLUNIFORMMATRIX2FVPROC, UniformMatrix2fv)                           \
    X(PFNGLUNIFORMMATRIX3FVPROC, UniformMatrix3fv)                           \
    X(PFNGLUNIFORMMATRIX4FVPROC, UniformMatrix4fv)                           \
    X(PFNGLGENBUFFERSPROC, GenBuffers)                                       \
    X(PFNGLBINDBUFFERPROC, BindBuffer)                                       \
    X(PFNGLBUFFERDATAPROC, BufferData)                                       \
    X(PFNGLBINDBUFFERBASEPROC, BindBufferBase)                               \
    X(PFNGLDELETEBUFFERSPROC, DeleteBuffers)                                 \
    X(PFNGLGENVERTEXARRAYSPROC, GenVertexArrays)                             \
    X(PFNGLBINDVERTEXARRAYPROC, BindVertexArray)                             \
    X(PFNGLDELETEVERTEXARRAYSPROC, DeleteVertexArrays)                       \
    X(PFNGLVERTEXATTRIBPOINTERPROC, VertexAttribPointer)                     \
    X(PFNGLVERTEXATTRIBIPOINTERPROC, VertexAttribIPointer)                   \
    X(PFNGLENABLEVERTEXATTRIBARRAYPROC, EnableVertexAttribArray)             \
    X(PFNGLGENTEXTURESPROC, GenTextures)                                     \
    X(PFNGLBINDTEXTUREPROC, BindTexture)                                     \
    X(PFNGLACTIVETEXTUREPROC, ActiveTexture)                                 \
    X(PFNGLTEXIMAGE2DPROC, TexImage2D)                                       \
    X(PFNGLTEXIMAGE3DPROC, TexImage3D)                                       \
    X(PFNGLTEXPARAMETERIPROC, TexParameteri)                                 \
    X(PFNGLGENERATEMIPMAPPROC, GenerateMipmap)                               \
    X(PFNGLDELETETEXTURESPROC, DeleteTextures)                               \
    X(PFNGLGENFRAMEBUFFERSPROC, GenFramebuffers)                             \
    X(PFNGLBINDFRAMEBUFFERPROC, BindFramebuffer)                             \
    X(PFNGLFRAMEBUFFERTEXTURE2DPROC, FramebufferTexture2D)                   \
    X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, CheckFramebufferStatus)               \
    X(PFNGLDELETEFRAMEBUFFERSPROC, DeleteFramebuffers)                       \
    X(PFNGLDRAWBUFFERSPROC, DrawBuffers)                                     \
    X(PFNGLREADBUFFERPROC, ReadBuffer)                                       \
    X(PFNGLREADPIXELSPROC, ReadPixels)                                       \
    X(PFNGLCLEARBUFFERFVPROC, ClearBufferfv)                                  \
    X(PFNGLVIEWPORTPROC, Viewport)                                           \
    X(PFNGLDISABLEPROC, Disable)                                             \
    X(PFNGLENABLEPROC, Enable)                                               \
    X(PFNGLDRAWARRAYSPROC, DrawArrays)                                       \
    X(PFNGLPIXELSTOREIPROC, PixelStorei)                                     \
    X(PFNGLFINISHPROC, Finish)                                               \
    X(PFNGLBINDFRAGDATALOCATIONPROC, BindFragDataLocation)                   \
    X(PFNGLCLIPCONTROLPROC, ClipControl)

struct Functions {
#define ZK_GL_MEMBER(type, name) type name = nullptr;
    ZK_GL_FUNCTIONS(ZK_GL_MEMBER)
#undef ZK_GL_MEMBER
};

// Names of what is missing, or "" when every entry point was found.
std::string LoadFunctions(Functions* gl, Api api) {
    std::string missing;
#define ZK_GL_LOAD(type, name)                                                   \
    gl->name = reinterpret_cast<type>(eglGetProcAddress("gl" #name));             \
    if (!gl->name) missing += " gl" #name;
    ZK_GL_FUNCTIONS(ZK_GL_LOAD)
#undef ZK_GL_LOAD
    // Desktop-only entry points are looked up in every context; ES does
    // without them.
    if (api != Api::DESKTOP) {
        for (const char* name : {" glBindFragDataLocation", " glClipControl"}) {
            size_t at = missing.find(name);
            if (at != std::string::npos) missing.erase(at, strlen(name));
        }
    }
    return missing;
}

const char* ApiName(Api api) {
    switch (api) {
    case Api::ES2: return "OpenGL ES 2.0";
    case Api::ES3: return "OpenGL ES 3.0";
    case Api::DESKTOP: return "OpenGL 4.5 compatibility";
    }
    return "";
}

struct TargetFormat {
    GLenum internal_format;
    GLenum type;  // what glReadPixels reads
    const char* name;
};

// Float targets first: a colour is then read back as the shader wrote it.
const TargetFormat kTargetFormats[] = {
    {GL_RGBA32F, GL_FLOAT, "RGBA32F"},
    {GL_RGBA16F, GL_FLOAT, "RGBA16F"},
    {GL_RGBA8, GL_UNSIGNED_BYTE, "RGBA8"},
};

struct Context {
    Api api = Api::ES3;
    EGLContext context = EGL_NO_CONTEXT;
    std::string version;
    const TargetFormat* format = nullptr;
};

bool IsIntegerType(GLenum type) {
    switch (type) {
    case GL_INT: case GL_INT_VEC2: case GL_INT_VEC3: case GL_INT_VEC4:
    case GL_UNSIGNED_INT: case GL_UNSIGNED_INT_VEC2: case GL_UNSIGNED_INT_VEC3: case GL_UNSIGNED_INT_VEC4:
    case GL_BOOL: case GL_BOOL_VEC2: case GL_BOOL_VEC3: case GL_BOOL_VEC4:
        return true;
    default:
        return false;
    }
}

bool IsSamplerType(GLenum type) {
    return type == GL_SAMPLER_2D || type == GL_SAMPLER_3D || type == GL_SAMPLER_CUBE;
}

// Components of a vector type, or rows (= columns) of a square matrix.
int ComponentCount(GLenum type) {
    switch (type) {
    case GL_FLOAT: case GL_INT: case GL_UNSIGNED_INT: case GL_BOOL: return 1;
    case GL_FLOAT_VEC2: case GL_INT_VEC2: case GL_UNSIGNED_INT_VEC2: case GL_BOOL_VEC2: case GL_FLOAT_MAT2: return 2;
    case GL_FLOAT_VEC3: case GL_INT_VEC3: case GL_UNSIGNED_INT_VEC3: case GL_BOOL_VEC3: case GL_FLOAT_MAT3: return 3;
    case GL_FLOAT_VEC4: case GL_INT_VEC4: case GL_UNSIGNED_INT_VEC4: case GL_BOOL_VEC4: case GL_FLOAT_MAT4: return 4;
    default: return 0;
    }
}

bool IsMatrixType(GLenum type) { return type == GL_FLOAT_MAT2 || type == GL_FLOAT_MAT3 || type == GL_FLOAT_MAT4; }

// "Constants._const_m[0]" is "_const_m": the block's name and the first
// element's subscript are the program's business, not the caller's.
std::string PlainName(std::string name) {
    if (name.size() > 3 && name.compare(name.size() - 3, 3, "[0]") == 0) name.resize(name.size() - 3);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(0, dot + 1);
    return name;
}

}  // namespace

struct Device::State {
    EGLDisplay display = EGL_NO_DISPLAY;
    Context contexts[3];
    Functions gl;

    Context& ContextFor(Api api) { return contexts[static_cast<int>(api)]; }
};

namespace {

// Everything one draw makes, deleted when it ends.
class DrawObjects {
public:
    explicit DrawObjects(const Functions& gl) : gl(gl) {}
    ~DrawObjects() {
        if (program) gl.DeleteProgram(program);
        for (GLuint shader : shaders) gl.DeleteShader(shader);
        if (!buffers.empty()) gl.DeleteBuffers(static_cast<GLsizei>(buffers.size()), buffers.data());
        if (!textures.empty()) gl.DeleteTextures(static_cast<GLsizei>(textures.size()), textures.data());
        if (framebuffer) gl.DeleteFramebuffers(1, &framebuffer);
        if (vertex_array) gl.DeleteVertexArrays(1, &vertex_array);
        gl.GetError();
    }

    const Functions& gl;
    GLuint program = 0;
    std::vector<GLuint> shaders;
    std::vector<GLuint> buffers;
    std::vector<GLuint> textures;
    GLuint framebuffer = 0;
    GLuint vertex_array = 0;
};

bool CompileShader(DrawObjects& objects, GLenum stage, const std::string& text, std::string* error) {
    const Functions& gl = objects.gl;
    GLuint shader = gl.CreateShader(stage);
    objects.shaders.push_back(shader);
    const char* source = text.c_str();
    gl.ShaderSource(shader, 1, &source, nullptr);
    gl.CompileShader(shader);
    GLint compiled = 0;
    gl.GetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled) {
        gl.AttachShader(objects.program, shader);
        return true;
    }
    char log[4096] = "";
    gl.GetShaderInfoLog(shader, sizeof log, nullptr, log);
    *error = std::string(stage == GL_VERTEX_SHADER ? "the vertex text" : "the pixel text") +
             " does not compile: " + log;
    return false;
}

bool BuildProgram(DrawObjects& objects, const DrawRequest& request, std::string* error) {
    const Functions& gl = objects.gl;
    objects.program = gl.CreateProgram();
    if (!CompileShader(objects, GL_VERTEX_SHADER, request.vertex_text, error) ||
        !CompileShader(objects, GL_FRAGMENT_SHADER, request.pixel_text, error))
        return false;
    if (gl.BindFragDataLocation)
        for (size_t i = 0; i < request.output_names.size(); ++i)
            gl.BindFragDataLocation(objects.program, static_cast<GLuint>(i), request.output_names[i].c_str());
    gl.LinkProgram(objects.program);
    GLint linked = 0;
    gl.GetProgramiv(objects.program, GL_LINK_STATUS, &linked);
    if (linked) return true;
    char log[4096] = "";
    gl.GetProgramInfoLog(objects.program, sizeof log, nullptr, log);
    *error = std::string("the two texts do not link: ") + log;
    return false;
}

bool SetVertexInputs(DrawObjects& objects, const DrawRequest& request, std::string* error) {
    const Functions& gl = objects.gl;
    GLint count = 0;
    gl.GetProgramiv(objects.program, GL_ACTIVE_ATTRIBUTES, &count);
    for (GLint i = 0; i < count; ++i) {
        char name[256] = "";
        GLint size = 0;
        GLenum type = 0;
        gl.GetActiveAttrib(objects.program, static_cast<GLuint>(i), sizeof name, nullptr, &size, &type, name);
        if (strncmp(name, "gl_", 3) == 0) continue;
        GLint location = gl.GetAttribLocation(objects.program, name);
        VertexValues values;
        bool integer = IsIntegerType(type);
        if (!request.vertex_input(name, integer, &values, error)) return false;
        GLuint buffer = 0;
        gl.GenBuffers(1, &buffer);
        objects.buffers.push_back(buffer);
        gl.BindBuffer(GL_ARRAY_BUFFER, buffer);
        if (integer) {
            int ints[4][4];
            for (int v = 0; v < 4; ++v)
                for (int c = 0; c < 4; ++c) ints[v][c] = static_cast<int>(values.values[v][c]);
            gl.BufferData(GL_ARRAY_BUFFER, sizeof ints, ints, GL_STATIC_DRAW);
            gl.VertexAttribIPointer(static_cast<GLuint>(location), 4, GL_INT, 0, nullptr);
        } else {
            gl.BufferData(GL_ARRAY_BUFFER, sizeof values.values, values.values, GL_STATIC_DRAW);
            gl.VertexAttribPointer(static_cast<GLuint>(location), 4, GL_FLOAT, GL_FALSE, 0, nullptr);
        }
        gl.EnableVertexAttribArray(static_cast<GLuint>(location));
    }
    return true;
}

GLuint MakeTexture(DrawObjects& objects, const Texture& texture, std::string* error) {
    const Functions& gl = objects.gl;
    GLuint name = 0;
    gl.GenTextures(1, &name);
    objects.textures.push_back(name);
    GLenum target = texture.kind == Texture::TEXTURE_3D     ? GL_TEXTURE_3D
                    : texture.kind == Texture::TEXTURE_CUBE ? GL_TEXTURE_CUBE_MAP
                                                            : GL_TEXTURE_2D;
    gl.BindTexture(target, name);
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    size_t face_size = static_cast<size_t>(texture.width) * texture.height * texture.depth * 4;
    size_t faces = texture.kind == Texture::TEXTURE_CUBE ? 6 : 1;
    if (texture.texels.size() != face_size * faces) {
        *error = "texture data of the wrong size";
        return 0;
    }
    if (texture.kind == Texture::TEXTURE_3D) {
        gl.TexImage3D(target, 0, GL_RGBA32F, texture.width, texture.height, texture.depth, 0, GL_RGBA, GL_FLOAT,
                      texture.texels.data());
    } else {
        for (size_t face = 0; face < faces; ++face) {
            GLenum face_target = texture.kind == Texture::TEXTURE_CUBE
                                     ? static_cast<GLenum>(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face)
                                     : target;
            gl.TexImage2D(face_target, 0, GL_RGBA32F, texture.width, texture.height, 0, GL_RGBA, GL_FLOAT,
                          texture.texels.data() + face * face_size);
        }
    }
    gl.TexParameteri(target, GL_TEXTURE_WRAP_S, static_cast<GLint>(texture.wrap[0]));
    gl.TexParameteri(target, GL_TEXTURE_WRAP_T, static_cast<GLint>(texture.wrap[1]));
    if (target != GL_TEXTURE_2D) gl.TexParameteri(target, GL_TEXTURE_WRAP_R, static_cast<GLint>(texture.wrap[2]));
    gl.TexParameteri(target, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(texture.mag_filter));
    gl.TexParameteri(target, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(texture.min_filter));
    if (texture.mipmaps)
        gl.GenerateMipmap(target);
    else
        gl.TexParameteri(target, GL_TEXTURE_MAX_LEVEL, 0);
    return name;
}

struct Block {
    std::vector<unsigned char> data;
};

// One constant written where the program reads it: through glUniform for a
// plain uniform, or into its block's bytes at the offsets the program gives.
bool WriteConstant(DrawObjects& objects, GLuint index, const char* full_name, GLenum type, int count,
                   const UniformValues& values, std::vector<Block>& blocks, std::string* error) {
    const Functions& gl = objects.gl;
    int n = ComponentCount(type);
    bool matrix = IsMatrixType(type);
    bool integer = IsIntegerType(type);
    size_t per_element = static_cast<size_t>(matrix ? n * n : n);
    size_t wanted = per_element * static_cast<size_t>(count);
    if (n == 0 || (integer ? values.ints.size() : values.floats.size()) != wanted) {
        *error = std::string("constant '") + full_name + "' has a type or size the tool does not fill";
        return false;
    }
    GLint block = -1;
    gl.GetActiveUniformsiv(objects.program, 1, &index, GL_UNIFORM_BLOCK_INDEX, &block);
    if (block < 0) {
        GLint location = gl.GetUniformLocation(objects.program, full_name);
        const float* f = values.floats.data();
        const int* i = values.ints.data();
        switch (type) {
        case GL_FLOAT: gl.Uniform1fv(location, count, f); break;
        case GL_FLOAT_VEC2: gl.Uniform2fv(location, count, f); break;
        case GL_FLOAT_VEC3: gl.Uniform3fv(location, count, f); break;
        case GL_FLOAT_VEC4: gl.Uniform4fv(location, count, f); break;
        case GL_FLOAT_MAT2: gl.UniformMatrix2fv(location, count, GL_FALSE, f); break;
        case GL_FLOAT_MAT3: gl.UniformMatrix3fv(location, count, GL_FALSE, f); break;
        case GL_FLOAT_MAT4: gl.UniformMatrix4fv(location, count, GL_FALSE, f); break;
        default:
            if (n == 1) gl.Uniform1iv(location, count, i);
            if (n == 2) gl.Uniform2iv(location, count, i);
            if (n == 3) gl.Uniform3iv(location, count, i);
            if (n == 4) gl.Uniform4iv(location, count, i);
        }
        return true;
    }
    GLint offset = 0, array_stride = 0, matrix_stride = 0, row_major = 0;
    gl.GetActiveUniformsiv(objects.program, 1, &index, GL_UNIFORM_OFFSET, &offset);
    gl.GetActiveUniformsiv(objects.program, 1, &index, GL_UNIFORM_ARRAY_STRIDE, &array_stride);
    gl.GetActiveUniformsiv(objects.program, 1, &index, GL_UNIFORM_MATRIX_STRIDE, &matrix_stride);
    gl.GetActiveUniformsiv(objects.program, 1, &index, GL_UNIFORM_IS_ROW_MAJOR, &row_major);
    std::vector<unsigned char>& bytes = blocks[static_cast<size_t>(block)].data;
    for (int element = 0; element < count; ++element) {
        size_t base = static_cast<size_t>(offset) + static_cast<size_t>(element) * static_cast<size_t>(array_stride);
        for (size_t k = 0; k < per_element; ++k) {
            size_t at = base + k * 4;
            if (matrix) {
                size_t column = k / static_cast<size_t>(n), row = k % static_cast<size_t>(n);
                at = row_major ? base + row * static_cast<size_t>(matrix_stride) + column * 4
                               : base + column * static_cast<size_t>(matrix_stride) + row * 4;
            }
            if (at + 4 > bytes.size()) {
                *error = std::string("constant '") + full_name + "' lies outside its block";
                return false;
            }
            size_t source = static_cast<size_t>(element) * per_element + k;
            if (integer)
                memcpy(&bytes[at], &values.ints[source], 4);
            else
                memcpy(&bytes[at], &values.floats[source], 4);
        }
    }
    return true;
}

bool SetUniforms(DrawObjects& objects, const DrawRequest& request, std::string* error) {
    const Functions& gl = objects.gl;
    gl.UseProgram(objects.program);
    GLint block_count = 0;
    gl.GetProgramiv(objects.program, GL_ACTIVE_UNIFORM_BLOCKS, &block_count);
    std::vector<Block> blocks(static_cast<size_t>(block_count));
    for (GLint b = 0; b < block_count; ++b) {
        GLint size = 0;
        gl.GetActiveUniformBlockiv(objects.program, static_cast<GLuint>(b), GL_UNIFORM_BLOCK_DATA_SIZE, &size);
        blocks[static_cast<size_t>(b)].data.assign(static_cast<size_t>(size), 0);
    }
    GLint count = 0;
    gl.GetProgramiv(objects.program, GL_ACTIVE_UNIFORMS, &count);
    int unit = 0;
    for (GLint i = 0; i < count; ++i) {
        char name[256] = "";
        GLint size = 0;
        GLenum type = 0;
        GLuint index = static_cast<GLuint>(i);
        gl.GetActiveUniform(objects.program, index, sizeof name, nullptr, &size, &type, name);
        if (strncmp(name, "gl_", 3) == 0) continue;
        UniformQuery query;
        query.name = PlainName(name);
        query.type = type;
        query.count = size;
        if (IsSamplerType(type)) {
            Texture texture;
            if (!request.texture(query, &texture, error)) return false;
            gl.ActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + unit));
            if (!MakeTexture(objects, texture, error)) return false;
            gl.Uniform1i(gl.GetUniformLocation(objects.program, name), unit);
            ++unit;
            continue;
        }
        UniformValues values;
        if (!request.constant(query, &values, error)) return false;
        if (!WriteConstant(objects, index, name, type, size, values, blocks, error)) return false;
    }
    for (GLint b = 0; b < block_count; ++b) {
        GLuint buffer = 0;
        gl.GenBuffers(1, &buffer);
        objects.buffers.push_back(buffer);
        gl.BindBuffer(GL_UNIFORM_BUFFER, buffer);
        const std::vector<unsigned char>& data = blocks[static_cast<size_t>(b)].data;
        gl.BufferData(GL_UNIFORM_BUFFER, static_cast<GLsizeiptr>(data.size()), data.data(), GL_STATIC_DRAW);
        gl.UniformBlockBinding(objects.program, static_cast<GLuint>(b), static_cast<GLuint>(b));
        gl.BindBufferBase(GL_UNIFORM_BUFFER, static_cast<GLuint>(b), buffer);
    }
    return true;
}

bool MakeTargets(DrawObjects& objects, const DrawRequest& request, const TargetFormat& format, std::string* error) {
    const Functions& gl = objects.gl;
    gl.GenFramebuffers(1, &objects.framebuffer);
    gl.BindFramebuffer(GL_FRAMEBUFFER, objects.framebuffer);
    std::vector<GLenum> attachments;
    for (int i = 0; i < request.outputs; ++i) {
        GLuint texture = 0;
        gl.GenTextures(1, &texture);
        objects.textures.push_back(texture);
        gl.BindTexture(GL_TEXTURE_2D, texture);
        gl.TexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format.internal_format), request.width, request.height, 0,
                      GL_RGBA, format.type, nullptr);
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        GLenum attachment = static_cast<GLenum>(GL_COLOR_ATTACHMENT0 + i);
        gl.FramebufferTexture2D(GL_FRAMEBUFFER, attachment, GL_TEXTURE_2D, texture, 0);
        attachments.push_back(attachment);
    }
    gl.DrawBuffers(static_cast<GLsizei>(attachments.size()), attachments.data());
    GLenum status = gl.CheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        *error = std::string("the ") + format.name + " render target is not complete";
        return false;
    }
    return true;
}

// Which float target the context can render into: checked once per
// context, since the ES context may not offer float colour buffers.
const TargetFormat* ChooseTargetFormat(const Functions& gl) {
    for (const TargetFormat& format : kTargetFormats) {
        DrawObjects objects(gl);
        DrawRequest probe;
        probe.outputs = 1;
        std::string ignored;
        bool complete = MakeTargets(objects, probe, format, &ignored);
        gl.BindFramebuffer(GL_FRAMEBUFFER, 0);
        if (complete && gl.GetError() == GL_NO_ERROR) return &format;
    }
    return nullptr;
}

std::vector<float> ReadTarget(const Functions& gl, const DrawRequest& request, const TargetFormat& format, int i) {
    size_t values = static_cast<size_t>(request.width) * static_cast<size_t>(request.height) * 4;
    std::vector<float> image(values);
    gl.ReadBuffer(static_cast<GLenum>(GL_COLOR_ATTACHMENT0 + i));
    gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
    if (format.type == GL_FLOAT) {
        gl.ReadPixels(0, 0, request.width, request.height, GL_RGBA, GL_FLOAT, image.data());
    } else {
        std::vector<unsigned char> bytes(values);
        gl.ReadPixels(0, 0, request.width, request.height, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
        for (size_t k = 0; k < values; ++k) image[k] = bytes[k] / 255.0f;
    }
    return image;
}

}  // namespace

std::unique_ptr<Device> Device::Open(std::string* error) {
    auto get_display =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!get_display) {
        *error = "no EGL driver with platform displays (Debian packages libegl-mesa0 and libegl-dev)";
        return nullptr;
    }
    std::unique_ptr<Device> device(new Device);
    device->state.reset(new State);
    State& s = *device->state;
    s.display = get_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0, minor = 0;
    if (s.display == EGL_NO_DISPLAY || !eglInitialize(s.display, &major, &minor)) {
        s.display = EGL_NO_DISPLAY;
        *error = "no EGL driver offers Mesa's surfaceless platform (Debian packages libegl-mesa0 and libgl1-mesa-dri)";
        return nullptr;
    }
    struct Wanted {
        Api api;
        EGLenum egl_api;
        EGLint major, minor;
    } wanted[] = {{Api::ES2, EGL_OPENGL_ES_API, 2, 0}, {Api::ES3, EGL_OPENGL_ES_API, 3, 0},
                  {Api::DESKTOP, EGL_OPENGL_API, 4, 5}};
    for (const Wanted& w : wanted) {
        Context& c = s.ContextFor(w.api);
        c.api = w.api;
        eglBindAPI(w.egl_api);
        std::vector<EGLint> attributes = {EGL_CONTEXT_MAJOR_VERSION, w.major, EGL_CONTEXT_MINOR_VERSION, w.minor};
        if (w.api == Api::DESKTOP) {
            attributes.push_back(EGL_CONTEXT_OPENGL_PROFILE_MASK);
            attributes.push_back(EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT);
        }
        attributes.push_back(EGL_NONE);
        c.context = eglCreateContext(s.display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes.data());
        if (c.context == EGL_NO_CONTEXT ||
            !eglMakeCurrent(s.display, EGL_NO_SURFACE, EGL_NO_SURFACE, c.context)) {
            *error = std::string("the EGL driver gives no ") + ApiName(w.api) +
                     " context without a surface (Debian packages libgl1-mesa-dri and libegl-mesa0)";
            return nullptr;
        }
        std::string missing = LoadFunctions(&s.gl, w.api);
        if (!missing.empty()) {
            *error = std::string("the ") + ApiName(w.api) + " context lacks" + missing;
            return nullptr;
        }
        const GLubyte* version = s.gl.GetString(GL_VERSION);
        c.version = version ? reinterpret_cast<const char*>(version) : "";
        c.format = ChooseTargetFormat(s.gl);
        if (!c.format) {
            *error = std::string("the ") + ApiName(w.api) + " context renders into none of RGBA32F, RGBA16F, RGBA8";
            return nullptr;
        }
    }
    return device;
}

Device::~Device() {
    if (!state || state->display == EGL_NO_DISPLAY) return;
    eglMakeCurrent(state->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    for (Context& c : state->contexts)
        if (c.context != EGL_NO_CONTEXT) eglDestroyContext(state->display, c.context);
    eglTerminate(state->display);
}

const char* Device::TargetFormatName(Api api) const { return state->ContextFor(api).format->name; }

std::string Device::Describe() const {
    std::string text;
    for (const Context& c : state->contexts)
        text += std::string(ApiName(c.api)) + " asked, " + c.version + " given, render target " + c.format->name + "\n";
    return text;
}

DrawResult Device::Draw(const DrawRequest& request) {
    DrawResult result;
    Context& c = state->ContextFor(request.api);
    if (!eglMakeCurrent(state->display, EGL_NO_SURFACE, EGL_NO_SURFACE, c.context)) {
        result.error = "cannot make the context current";
        return result;
    }
    const Functions& gl = state->gl;
    gl.GetError();
    DrawObjects objects(gl);
    // A desktop compatibility context draws from the default vertex array
    // object too; one of our own keeps each draw's bindings apart.
    gl.GenVertexArrays(1, &objects.vertex_array);
    gl.BindVertexArray(objects.vertex_array);
    // The targets first: making them binds textures, which must not
    // displace the ones the program samples.
    if (!BuildProgram(objects, request, &result.error) || !MakeTargets(objects, request, *c.format, &result.error) ||
        !SetVertexInputs(objects, request, &result.error) || !SetUniforms(objects, request, &result.error))
        return result;
    const float clear[4] = {0, 0, 0, 0};
    for (int i = 0; i < request.outputs; ++i) gl.ClearBufferfv(GL_COLOR, i, clear);
    gl.Viewport(0, 0, request.width, request.height);
    for (GLenum capability : {GL_BLEND, GL_DEPTH_TEST, GL_CULL_FACE, GL_SCISSOR_TEST, GL_DITHER}) gl.Disable(capability);
    if (request.api == Api::DESKTOP) {
        gl.ClipControl(GL_LOWER_LEFT, request.clip_depth_zero_to_one ? GL_ZERO_TO_ONE : GL_NEGATIVE_ONE_TO_ONE);
        // ES 3.0 filters a cube map across the edges of its faces, and so
        // does Direct3D from version 10 on; desktop GL only when asked.
        gl.Enable(GL_TEXTURE_CUBE_MAP_SEAMLESS);
    }
    gl.DrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    for (int i = 0; i < request.outputs; ++i) result.images.push_back(ReadTarget(gl, request, *c.format, i));
    GLenum gl_error = gl.GetError();
    gl.BindFramebuffer(GL_FRAMEBUFFER, 0);
    gl.BindVertexArray(0);
    gl.UseProgram(0);
    if (request.api == Api::DESKTOP) gl.ClipControl(GL_LOWER_LEFT, GL_NEGATIVE_ONE_TO_ONE);
    if (gl_error != GL_NO_ERROR) {
        char text[64];
        snprintf(text, sizeof text, "the driver reported GL error 0x%04x", gl_error);
        result.error = text;
        result.images.clear();
        return result;
    }
    result.drawn = true;
    return result;
}

}  // namespace draw
}  // namespace ShaderTool
