#pragma once

// Pixmaps: pixels in memory, pixel formats, the PNG and JPEG loaders and savers, fonts.
// Everything a program may use of this library; its other headers are internal.

#include "pixmap/font.h"
#include "pixmap/freetype_font.h"
#include "pixmap/pixel_convert.h"
#include "pixmap/pixel_format.h"
#include "pixmap/pixmap.h"
#include "pixmap/pixmap_loader.h"
#include "pixmap/pixmap_module.h"
#include "pixmap/pixmap_save.h"
#include "pixmap/pixmap_transform.h"
#include "pixmap/save_outcome.h"
