#include "stream/stream_factory.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/error.h"
#include "stream/bank_stream.h"
#include "stream/c_stream.h"
#include "stream/ram_stream.h"
#include "stream/stream_module.h"
#include "stream/stream_wrapper.h"
#include "temp_folder.h"

namespace qrv {
namespace {

using test::TempFolder;
using test::WriteFileBytes;

struct FactoryCall {
    std::u16string protocol;
    std::u16string path;
    bool readable;
    bool writeable;
};

// Records what it is asked; serves "record::" with a stream over a fixed text.
class RecordingFactory final : public TStreamFactory {
public:
    Ref<TStream> TryOpen(const Ref<TObject>&, std::u16string_view protocol, std::u16string_view path,
                         bool readable, bool writeable) override {
        calls.push_back({std::u16string(protocol), std::u16string(path), readable, writeable});
        if (protocol != u"record") return nullptr;
        return TRamStream::OverMemory(kText, 6);
    }
    static constexpr char kText[] = "record";
    std::vector<FactoryCall> calls;
};

// Factories stay registered for the life of the process, so the tests share one.
RecordingFactory& Recorder() {
    static Ref<RecordingFactory> recorder = [] {
        InitStreamModule();
        return NewStreamFactory<RecordingFactory>();
    }();
    recorder->calls.clear();
    return *recorder;
}

TEST(OpenUrl, ProtocolIsLowerCasedAndSplitAtTheFirstSeparator) {
    RecordingFactory& recorder = Recorder();
    auto stream = OpenUrl(u"ReCoRd::dir::File.TXT", true, false);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->ReadChars(6), u"record");
    ASSERT_EQ(recorder.calls.size(), 1u) << "the newest factory answered first";
    EXPECT_EQ(recorder.calls[0].protocol, u"record");
    EXPECT_EQ(recorder.calls[0].path, u"dir::File.TXT");
    EXPECT_TRUE(recorder.calls[0].readable);
    EXPECT_FALSE(recorder.calls[0].writeable);
}

TEST(OpenUrl, PlainPathsAndDriveLettersAskNoFactory) {
    RecordingFactory& recorder = Recorder();
    TempFolder folder;
    WriteFileBytes(folder.Native("plain.txt"), "plain");
    auto stream = OpenReadStream(folder / "plain.txt");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->ReadChars(5), u"plain");
    stream->Close();
    EXPECT_EQ(OpenReadStream(u"C:\\no\\such\\file.txt"), nullptr);
    EXPECT_TRUE(recorder.calls.empty());
}

// Each protocol layer opens the rest through OpenUrl again: the depth is bounded, so a URL of
// thousands of layers gives no stream instead of exhausting the stack.
TEST(OpenUrl, NestingIsBoundedAt64Protocols) {
    Recorder();
    TempFolder folder;
    WriteFileBytes(folder.Native("deep.txt"), "deep\n");
    std::u16string url = folder / "deep.txt";
    for (int i = 0; i < 64; ++i) url = u"bigendian::" + url;
    auto deepest = OpenReadStream(url);
    ASSERT_NE(deepest, nullptr);
    EXPECT_EQ(deepest->ReadTextLine(), u"deep");
    deepest->Close();
    EXPECT_EQ(OpenReadStream(u"latin1::" + url), nullptr);

    std::u16string hostile;
    for (int i = 0; i < 15000; ++i) hostile += u"utf8::";
    hostile += u"record::x";
    EXPECT_EQ(OpenReadStream(hostile), nullptr);
    EXPECT_NE(OpenReadStream(u"utf8::record::x"), nullptr) << "the bound is per open, not spent";
}

TEST(OpenUrl, EmptyUrlAsksEveryFactoryWithNothingAndGivesNone) {
    RecordingFactory& recorder = Recorder();
    EXPECT_EQ(OpenUrl(u"", true, true), nullptr);
    ASSERT_EQ(recorder.calls.size(), 1u);
    EXPECT_EQ(recorder.calls[0].protocol, u"");
    EXPECT_EQ(recorder.calls[0].path, u"");
    // Any object that is neither text, stream nor bank counts as the empty text.
    EXPECT_EQ(OpenUrl(std::make_shared<TObject>(), true, false), nullptr);
    EXPECT_EQ(OpenUrl(Ref<TObject>(), true, false), nullptr);
    EXPECT_EQ(recorder.calls.size(), 3u);
}

TEST(OpenUrl, UnknownProtocolGivesNone) {
    Recorder();
    EXPECT_EQ(OpenReadStream(u"nosuchprotocol::x"), nullptr);
}

TEST(OpenUrl, StreamObjectIsWrappedAndClosingTheWrapperLeavesItOpen) {
    TempFolder folder;
    WriteFileBytes(folder.Native("inner.txt"), "line one\nline two\n");
    Ref<TStream> inner = TCStream::OpenCFile(folder / "inner.txt", true, false);
    ASSERT_NE(inner, nullptr);

    auto wrapper = OpenUrl(Ref<TObject>(inner), true, false);
    ASSERT_NE(wrapper, nullptr);
    ASSERT_NE(wrapper, inner);
    EXPECT_EQ(wrapper->Size(), 18);
    EXPECT_EQ(wrapper->ReadTextLine(), u"line one");
    wrapper->Close();
    EXPECT_TRUE(wrapper->AtEnd()) << "a closed wrapper has nothing left";
    EXPECT_EQ(wrapper->ReadTextLine(), u"");
    EXPECT_EQ(inner->ReadTextLine(), u"line two") << "the inner stream stays open";
}

TEST(StreamWrapper, ForwardsToItsInnerStreamAndClosesIt) {
    TempFolder folder;
    auto file = TCStream::OpenCFile(folder / "wrapped.bin", false, true);
    ASSERT_NE(file, nullptr);
    TStreamWrapper wrapper;
    EXPECT_EQ(wrapper.Write("x", 1), 0) << "no inner stream yet";
    wrapper.SetInner(file);
    wrapper.WriteInt32(0x01020304);
    wrapper.WriteInt64(-1);
    EXPECT_TRUE(wrapper.WriteTextLine(u"ok"));
    EXPECT_EQ(wrapper.Position(), 16);
    EXPECT_EQ(wrapper.Seek(2), 2);
    EXPECT_EQ(file->Position(), 2);
    wrapper.Close();
    EXPECT_FALSE(file->IsOpen()) << "a plain wrapper closes what it wraps";
    EXPECT_EQ(test::ReadFileBytes(folder.Native("wrapped.bin")),
              std::string("\x04\x03\x02\x01\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFFok\r\n", 16));
}

TEST(StreamFactory, BaseTryOpenIsAbstract) {
    TStreamFactory base;
    EXPECT_THROW(base.TryOpen(nullptr, u"", u"", true, false), TRuntimeError);
}

// Serves nothing; counts how often it was asked.
class CountingFactory final : public TStreamFactory {
public:
    Ref<TStream> TryOpen(const Ref<TObject>&, std::u16string_view, std::u16string_view, bool,
                         bool) override {
        ++calls;
        return nullptr;
    }
    int calls = 0;
};

TEST(StreamFactory, AddingAFactoryTwiceKeepsTheListFinite) {
    auto factory = NewStreamFactory<CountingFactory>();
    AddStreamFactory(factory);
    EXPECT_EQ(FirstStreamFactory(), factory);
    EXPECT_NE(FirstStreamFactory()->Next(), factory);
    EXPECT_EQ(OpenReadStream(u"unknown::x"), nullptr);
    EXPECT_EQ(factory->calls, 1);
}

}  // namespace
}  // namespace qrv
