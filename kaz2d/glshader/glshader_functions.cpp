#include "kaz2d/glshader/glshader_functions.h"

#include <SDL.h>

namespace qrv {

namespace {

TGLShaderFunctions functions;

template <typename T>
bool Look(T& slot, const char* name) {
    slot = reinterpret_cast<T>(SDL_GL_GetProcAddress(name));
    return slot != nullptr;
}

bool LookEverything() {
    TGLShaderFunctions& f = functions;
    return Look(f.GenBuffers, "glGenBuffers") && Look(f.BindBuffer, "glBindBuffer") &&
           Look(f.BufferData, "glBufferData") && Look(f.DeleteBuffers, "glDeleteBuffers") &&
           Look(f.VertexAttribPointer, "glVertexAttribPointer") &&
           Look(f.EnableVertexAttribArray, "glEnableVertexAttribArray") &&
           Look(f.CreateShader, "glCreateShader") && Look(f.ShaderSource, "glShaderSource") &&
           Look(f.CompileShader, "glCompileShader") && Look(f.GetShaderiv, "glGetShaderiv") &&
           Look(f.DeleteShader, "glDeleteShader") && Look(f.CreateProgram, "glCreateProgram") &&
           Look(f.AttachShader, "glAttachShader") &&
           Look(f.BindAttribLocation, "glBindAttribLocation") &&
           Look(f.LinkProgram, "glLinkProgram") && Look(f.GetProgramiv, "glGetProgramiv") &&
           Look(f.DeleteProgram, "glDeleteProgram") && Look(f.UseProgram, "glUseProgram") &&
           Look(f.GetUniformLocation, "glGetUniformLocation") &&
           Look(f.Uniform1i, "glUniform1i") && Look(f.Uniform1f, "glUniform1f") &&
           Look(f.UniformMatrix4fv, "glUniformMatrix4fv");
}

}  // namespace

bool LoadGLShaderFunctions() {
    static const bool loaded = [] {
        // Vertex arrays are missing from OpenGL ES 2.0, which does without them.
        Look(functions.GenVertexArrays, "glGenVertexArrays");
        Look(functions.BindVertexArray, "glBindVertexArray");
        return LookEverything();
    }();
    return loaded;
}

const TGLShaderFunctions& GLShaderFunctions() {
    return functions;
}

}  // namespace qrv
