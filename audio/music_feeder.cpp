#include "audio/music_feeder.h"

#include <algorithm>
#include <chrono>

namespace qrv {

namespace {

// How long the thread sleeps between looks while there is music. A ring holds half a second or
// more, so this is far from any underrun, and the thread stays idle most of the time.
constexpr auto POLL_INTERVAL = std::chrono::milliseconds(5);

}  // namespace

void TMusicFeeder::Add(const Ref<TMusicStream>& music) {
    {
        const std::lock_guard lock(mutex);
        musics.push_back(music);
    }
    if constexpr (!MUSIC_DECODES_WHILE_MIXING) {
        if (!thread.joinable()) {
            stopping = false;
            thread = std::thread([this] { Run(); });
        }
        wake.notify_one();
    }
}

void TMusicFeeder::Remove(const TMusicStream* music) {
    const std::lock_guard lock(mutex);
    std::erase_if(musics, [music](const Ref<TMusicStream>& held) { return held.get() == music; });
}

void TMusicFeeder::Stop() {
    if (thread.joinable()) {
        {
            const std::lock_guard lock(mutex);
            stopping = true;
        }
        wake.notify_one();
        thread.join();
    }
    const std::lock_guard lock(mutex);
    musics.clear();
}

void TMusicFeeder::TopUpNow() {
    const std::lock_guard lock(mutex);
    for (const Ref<TMusicStream>& music : musics) music->TopUp();
}

bool TMusicFeeder::TopUpOneBlockEach() {
    bool decoded = false;
    for (const Ref<TMusicStream>& music : musics) {
        decoded |= music->TopUpBlock();
    }
    return decoded;
}

void TMusicFeeder::Run() {
    std::unique_lock lock(mutex);
    while (!stopping) {
        if (TopUpOneBlockEach()) {
            // Lets the main thread in between blocks, so that it never waits for a whole ring.
            lock.unlock();
            std::this_thread::yield();
            lock.lock();
            continue;
        }
        if (musics.empty()) {
            wake.wait(lock, [this] { return stopping || !musics.empty(); });
        } else {
            wake.wait_for(lock, POLL_INTERVAL, [this] { return stopping; });
        }
    }
}

}  // namespace qrv
