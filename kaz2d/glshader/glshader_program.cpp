#include "kaz2d/glshader/glshader_program.h"


#include "kaz2d/glshader/glshader_functions.h"

namespace qrv {

namespace {

// Written for every shading language the profiles offer; the preambles below say what
// ATTRIBUTE, VARYING, SAMPLE and FRAGMENT are in each.
const char* const kVertexShader = R"(
uniform mat4 projection;
ATTRIBUTE vec2 position;
ATTRIBUTE vec2 texCoord;
ATTRIBUTE vec4 colour;
VARYING vec2 uv;
VARYING vec4 tint;
void main() {
    uv = texCoord;
    tint = colour;
    gl_PointSize = 1.0;
    gl_Position = projection * vec4(position, 0.0, 1.0);
}
)";

// Texturing modulates like fixed function; the alpha cut realises the mask blend's alpha test.
const char* const kFragmentShader = R"(
uniform sampler2D image;
uniform float alphaCut;
VARYING vec2 uv;
VARYING vec4 tint;
void main() {
    vec4 colour = SAMPLE(image, uv) * tint;
    if (colour.a < alphaCut) discard;
    FRAGMENT = colour;
}
)";

const char* Version(TGLProfile profile) {
    switch (profile) {
        case TGLProfile::ES: return "#version 300 es\nprecision highp float;\n";
        case TGLProfile::ES2: return "#version 100\n";
        default: return "#version 330 core\n";
    }
}

const char* Dialect(GLenum kind, TGLProfile profile) {
    if (profile == TGLProfile::ES2) {
        if (kind == GL_VERTEX_SHADER) return "#define ATTRIBUTE attribute\n#define VARYING varying\n";
        return "#ifdef GL_FRAGMENT_PRECISION_HIGH\nprecision highp float;\n#else\n"
               "precision mediump float;\n#endif\n"
               "#define VARYING varying\n#define SAMPLE texture2D\n#define FRAGMENT gl_FragColor\n";
    }
    if (kind == GL_VERTEX_SHADER) return "#define ATTRIBUTE in\n#define VARYING out\n";
    return "#define VARYING in\n#define SAMPLE texture\n#define FRAGMENT fragment\nout vec4 fragment;\n";
}

GLuint Compile(GLenum kind, TGLProfile profile, const char* body) {
    const TGLShaderFunctions& gl = GLShaderFunctions();
    const GLuint shader = gl.CreateShader(kind);
    const char* parts[] = {Version(profile), Dialect(kind, profile), body};
    gl.ShaderSource(shader, 3, parts, nullptr);
    gl.CompileShader(shader);
    GLint compiled = GL_FALSE;
    gl.GetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled == GL_TRUE) return shader;
    gl.DeleteShader(shader);
    return 0;
}

}  // namespace

TGLShaderProgram BuildGLShaderProgram(TGLProfile profile) {
    const TGLShaderFunctions& gl = GLShaderFunctions();
    const GLuint vertex = Compile(GL_VERTEX_SHADER, profile, kVertexShader);
    const GLuint fragment = Compile(GL_FRAGMENT_SHADER, profile, kFragmentShader);
    TGLShaderProgram program;
    if (vertex != 0 && fragment != 0) {
        program.name = gl.CreateProgram();
        gl.AttachShader(program.name, vertex);
        gl.AttachShader(program.name, fragment);
        gl.BindAttribLocation(program.name, kPositionAttribute, "position");
        gl.BindAttribLocation(program.name, kTexCoordAttribute, "texCoord");
        gl.BindAttribLocation(program.name, kColourAttribute, "colour");
        gl.LinkProgram(program.name);
        GLint linked = GL_FALSE;
        gl.GetProgramiv(program.name, GL_LINK_STATUS, &linked);
        if (linked != GL_TRUE) {
            gl.DeleteProgram(program.name);
            program.name = 0;
        }
    }
    if (vertex != 0) gl.DeleteShader(vertex);
    if (fragment != 0) gl.DeleteShader(fragment);
    if (program.name == 0) return program;
    program.projection = gl.GetUniformLocation(program.name, "projection");
    program.alphaCut = gl.GetUniformLocation(program.name, "alphaCut");
    program.image = gl.GetUniformLocation(program.name, "image");
    return program;
}

}  // namespace qrv
