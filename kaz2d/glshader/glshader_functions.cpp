#include "kaz2d/glshader/glshader_functions.h"

#include "kaz2d/gl/gl_entry_point.h"

namespace qrv {

namespace {

TGLShaderFunctions functions;

bool LookEverything() {
    TGLShaderFunctions& f = functions;
    return LookUpGLEntryPoint(f.GenBuffers, "glGenBuffers") &&
           LookUpGLEntryPoint(f.BindBuffer, "glBindBuffer") &&
           LookUpGLEntryPoint(f.BufferData, "glBufferData") &&
           LookUpGLEntryPoint(f.DeleteBuffers, "glDeleteBuffers") &&
           LookUpGLEntryPoint(f.VertexAttribPointer, "glVertexAttribPointer") &&
           LookUpGLEntryPoint(f.EnableVertexAttribArray, "glEnableVertexAttribArray") &&
           LookUpGLEntryPoint(f.CreateShader, "glCreateShader") &&
           LookUpGLEntryPoint(f.ShaderSource, "glShaderSource") &&
           LookUpGLEntryPoint(f.CompileShader, "glCompileShader") &&
           LookUpGLEntryPoint(f.GetShaderiv, "glGetShaderiv") &&
           LookUpGLEntryPoint(f.DeleteShader, "glDeleteShader") &&
           LookUpGLEntryPoint(f.CreateProgram, "glCreateProgram") &&
           LookUpGLEntryPoint(f.AttachShader, "glAttachShader") &&
           LookUpGLEntryPoint(f.BindAttribLocation, "glBindAttribLocation") &&
           LookUpGLEntryPoint(f.LinkProgram, "glLinkProgram") &&
           LookUpGLEntryPoint(f.GetProgramiv, "glGetProgramiv") &&
           LookUpGLEntryPoint(f.DeleteProgram, "glDeleteProgram") &&
           LookUpGLEntryPoint(f.UseProgram, "glUseProgram") &&
           LookUpGLEntryPoint(f.GetUniformLocation, "glGetUniformLocation") &&
           LookUpGLEntryPoint(f.Uniform1i, "glUniform1i") &&
           LookUpGLEntryPoint(f.Uniform1f, "glUniform1f") &&
           LookUpGLEntryPoint(f.UniformMatrix4fv, "glUniformMatrix4fv");
}

}  // namespace

bool LoadGLShaderFunctions() {
    static const bool loaded = [] {
        // Vertex arrays are missing from OpenGL ES 2.0, which does without them.
        LookUpGLEntryPoint(functions.GenVertexArrays, "glGenVertexArrays");
        LookUpGLEntryPoint(functions.BindVertexArray, "glBindVertexArray");
        return LookEverything();
    }();
    return loaded;
}

const TGLShaderFunctions& GLShaderFunctions() {
    return functions;
}

}  // namespace qrv
