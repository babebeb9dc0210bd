#pragma once

// The whole framework: every library's API, and the call that starts it. A program includes
// this header alone (or a library's own api.h, e.g. "kaz2d/api.h", for less).
#include "audio/api.h"
#include "core/api.h"
#include "kaz2d/api.h"
#include "kaz2d/gl/api.h"
#include "kaz2d/glshader/api.h"
#include "pixmap/api.h"
#include "stream/api.h"
#include "stream/data/api.h"
#include "system/api.h"
#ifndef __EMSCRIPTEN__  // the fixed-function renderer needs desktop OpenGL
#include "kaz2d/glfixed/api.h"
#endif

namespace qrv {

// The one call a program makes before it uses the framework. It starts the runtime (records the
// program's path, makes the program's folder the working directory and sets the application
// title to the program's name), then initialises every module in dependency order: the stream
// factories and embedded files, events, hooks, the SDL system driver and polled input, pixmaps
// with the PNG and JPEG loaders, the FreeType font loader, sound (the audio drivers and the WAV
// loader; no output is opened until OpenAudio), the Kaz2D drawing layer with the built-in font,
// the OpenGL graphics driver, and the renderers (InitRendererModules); in a web page it also
// connects the program to its page (framework/host_platform.h). Calling it again does nothing. Embedded files of the program itself are registered by the function
// qrv_embed_files generates, before or after this call.
void InitFramework();

// Initialises every renderer module the platform has, each entering its renderers in the
// renderer table (on a desktop the fixed-function renderer first, which selects it), then selects the renderer the start-up
// rule gives, with ZORVAK_RENDERER read now (see kaz2d/renderer_table.h for the rule and the
// ways to choose). Once; InitFramework calls it.
void InitRendererModules();

}  // namespace qrv
