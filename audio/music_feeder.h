#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/music_stream.h"

namespace qrv {

// Where music is decoded. With threads, a decoding thread of the audio module keeps every music's
// ring topped up, so the mixer only reads. The web build has no threads: its audio callback runs
// on the page's one thread, which decodes a music right before mixing it when its ring is low.
#ifdef __EMSCRIPTEN__
inline constexpr bool MUSIC_DECODES_WHILE_MIXING = true;
#else
inline constexpr bool MUSIC_DECODES_WHILE_MIXING = false;
#endif

// The decoding thread and the musics it feeds. The main thread adds and removes musics; the
// thread, started by the first Add, tops them up a block each at a time under the lock, looks
// again every few milliseconds while there is music, and sleeps while there is none. Removing a
// music on the main thread lets go of it there, so decoders and their streams are freed there.
class TMusicFeeder {
public:
    TMusicFeeder() = default;
    ~TMusicFeeder() { Stop(); }
    TMusicFeeder(const TMusicFeeder&) = delete;
    TMusicFeeder& operator=(const TMusicFeeder&) = delete;

    // Main thread.
    void Add(const Ref<TMusicStream>& music);
    void Remove(const TMusicStream* music);
    // Ends the thread and lets go of every music.
    void Stop();
    // True while the decoding thread runs.
    bool Running() const { return thread.joinable(); }

    // Internal, for tests: tops every music's ring up on the calling thread, so that what is mixed
    // next does not depend on how fast the decoding thread is.
    void TopUpNow();

private:
    void Run();
    // Decodes one block for each music that has room; true when any did. Under the lock.
    bool TopUpOneBlockEach();

    std::mutex mutex;
    std::condition_variable wake;
    std::vector<Ref<TMusicStream>> musics;
    bool stopping = false;
    std::thread thread;
};

}  // namespace qrv
