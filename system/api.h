#pragma once

// The system layer: the system driver, events and hooks, polled input and key names, the clock,
// random numbers, dialogs.
// Everything a program may use of this library; its other headers are internal.

#include "system/application.h"
#include "system/browser_url.h"
#include "system/clock.h"
#include "system/close_signals.h"
#include "system/desktop_dialog.h"
#include "system/event.h"
#include "system/file_filter.h"
#include "system/hook.h"
#include "system/input.h"
#include "system/keys.h"
#include "system/random.h"
#include "system/scripted_system_driver.h"
#include "system/sdl/sdl_video.h"
#include "system/system_driver.h"
