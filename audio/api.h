#pragma once

// Sound: the audio drivers and opening output, sounds and their loaders (WAV, Ogg Vorbis), playing
// sounds on the mixer's channels, and music decoded while it plays.
// Everything a program may use of this library; its other headers are internal.

#include "audio/audio_driver.h"
#include "audio/audio_module.h"
#include "audio/channel_id.h"
#include "audio/memory_audio_driver.h"
#include "audio/music.h"
#include "audio/sound.h"
#include "audio/sound_channels.h"
#include "audio/sound_decoder.h"
#include "audio/sound_loader.h"
