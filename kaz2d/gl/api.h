#pragma once

// The OpenGL graphics driver and its contexts, and helpers for plain OpenGL drawing.
// Everything a program may use of this library; its other headers are internal.

#include "kaz2d/gl/gl_context.h"
#include "kaz2d/gl/gl_graphics_driver.h"
#ifndef __EMSCRIPTEN__  // a browser's WebGL has no immediate mode
#include "kaz2d/gl/gl_helpers.h"
#endif
#include "kaz2d/gl/gl_profile.h"
#include "kaz2d/gl/power_of_two.h"
