#pragma once

// The core: objects and references, texts, errors and failure reasons, the runtime.
// Everything a program may use of this library; its other headers are internal.

#include "core/boxed_values.h"
#include "core/error.h"
#include "core/failure.h"
#include "core/number_text.h"
#include "core/object.h"
#include "core/object_list.h"
#include "core/runtime.h"
#include "core/text.h"
#include "core/text_to_int.h"
