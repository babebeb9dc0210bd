// Sounds and music from a stream that cannot seek: an HTTP download from a server on this machine.
#include <gtest/gtest.h>

#include "../stream/loopback_server.h"
#include "audio/audio_module.h"
#include "core/text.h"
#include "sound_test_data.h"

namespace qrv {
namespace {

using test::Bytes;

// Answers each of `connections` requests with the file's bytes, as HTTP/1.0 does.
class FileServer {
public:
    FileServer(const Bytes& file, int connections)
        : body(file.begin(), file.end()),
          server([this](test::Socket client) {
              test::ReceiveUntil(client, "\r\n\r\n");
              test::SendText(client, "HTTP/1.0 200 OK\r\n\r\n" + body);
          }, connections) {}

    std::u16string Url() const { return FromLatin1("http::127.0.0.1:" + std::to_string(server.Port()) + "/tune.ogg"); }

private:
    std::string body;
    test::LoopbackServer server;
};

TEST(AudioDownloads, SoundsAndDecodersComeThroughHttpAsFromMemory) {
    if (test::kNoLoopbackSockets) GTEST_SKIP() << test::kNoLoopbackSockets;
    InitAudioModule();
    const Bytes file = test::SoundDataBytes("stereo-44100.ogg");
    const Ref<TSound> expected = test::LoadSoundBytes(file);
    ASSERT_NE(expected, nullptr);
    FileServer server(file, 3);

    const Ref<TSound> sound = LoadSound(server.Url());
    ASSERT_NE(sound, nullptr) << LastFailureUtf8();
    EXPECT_EQ(sound->Samples(), expected->Samples());
    // The decoder reads the downloaded bytes from memory, so music from a server repeats.
    const Ref<TSoundDecoder> decoder = OpenSoundDecoder(server.Url());
    ASSERT_NE(decoder, nullptr) << LastFailureUtf8();
    EXPECT_EQ(test::ReadInBlocks(*decoder, {777}), expected->Samples());
    EXPECT_TRUE(decoder->Rewind());
    // The download is bounded like a sound held whole.
    SetSoundMemoryLimit(static_cast<int64_t>(file.size()) - 1);
    EXPECT_EQ(LoadSound(server.Url()), nullptr);
    EXPECT_NE(LastFailureUtf8().find(std::to_string(file.size()) + " bytes, over the sound memory limit"),
              std::string::npos) << LastFailureUtf8();
    SetSoundMemoryLimit(DEFAULT_SOUND_MEMORY_LIMIT);
}

}  // namespace
}  // namespace qrv
