#include "audio/sound_channels.h"

#include "audio/mixer.h"

namespace qrv {

TChannelId PlaySound(const Ref<TSound>& sound, int32_t times, float volume, float pan, float rate) {
    return TheMixer().Play(sound, times, volume, pan, rate);
}

void StopChannel(TChannelId channel) { TheMixer().Stop(channel); }

void StopAllChannels() { TheMixer().StopAll(); }

void PauseChannel(TChannelId channel) { TheMixer().SetPaused(channel, true); }

void ResumeChannel(TChannelId channel) { TheMixer().SetPaused(channel, false); }

bool ChannelIsPlaying(TChannelId channel) { return TheMixer().IsPlaying(channel); }

bool ChannelIsPaused(TChannelId channel) { return TheMixer().IsPaused(channel); }

void SetChannelVolume(TChannelId channel, float volume) { TheMixer().SetVolume(channel, volume); }

void SetChannelPan(TChannelId channel, float pan) { TheMixer().SetPan(channel, pan); }

void SetChannelRate(TChannelId channel, float rate) { TheMixer().SetRate(channel, rate); }

void SetMasterVolume(float volume) { TheMixer().SetMasterVolume(volume); }

float MasterVolume() { return TheMixer().MasterVolume(); }

}  // namespace qrv
