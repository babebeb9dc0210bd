#pragma once

// Object serialisation: data streams over any stream and the registry of data types.
// Everything a program may use of this library; its other headers are internal.

#include "stream/data/data_exceptions.h"
#include "stream/data/data_limits.h"
#include "stream/data/data_module.h"
#include "stream/data/data_stream.h"
#include "stream/data/data_types.h"
