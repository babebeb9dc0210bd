#pragma once

// Kaz2D drawing: graphics contexts and the drawing state, images, image fonts and text, collisions,
// renderers.
// Everything a program may use of this library; its other headers are internal.

#include "kaz2d/collision.h"
#include "kaz2d/draw_target.h"
#include "kaz2d/graphics.h"
#include "kaz2d/graphics_mode.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/image.h"
#include "kaz2d/image_font.h"
#include "kaz2d/image_font_module.h"
#include "kaz2d/image_frame.h"
#include "kaz2d/image_module.h"
#include "kaz2d/kaz2d_driver.h"
#include "kaz2d/kaz2d_graphics.h"
#include "kaz2d/kaz2d_module.h"
#include "kaz2d/renderer_table.h"
#include "kaz2d/text_drawing.h"
