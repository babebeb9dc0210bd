// Why an open gave no stream: LastFailure names the URL as the caller gave it and the cause.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/failure.h"
#include "core/text.h"
#include "stream/stream.h"
#include "stream/stream_module.h"
#include "temp_folder.h"

namespace qrv {
namespace {

class OpenFailure : public ::testing::Test {
protected:
    void SetUp() override {
        InitStreamModule();
        ClearLastFailure();
    }

    // The reason a read open of the URL gives; fails the test when it opens.
    static std::string ReasonFor(const std::u16string& url) {
        EXPECT_EQ(OpenReadStream(url), nullptr) << ToUtf8(url) << " opened";
        return LastFailureUtf8();
    }

    static std::string Quoted(const std::u16string& url) {
        std::string quoted = "\"";  // appended: GCC 12 warns wrongly about "\"" + std::string&&
        quoted += ToUtf8(url);
        quoted += '"';
        return quoted;
    }

    test::TempFolder folder;
};

TEST_F(OpenFailure, FilesSayWhatStoodInTheWay) {
    const std::u16string missing = folder / "ship.png";
    EXPECT_EQ(ReasonFor(missing), Quoted(missing) + ": no such file");
    EXPECT_EQ(ReasonFor(folder / ""), Quoted(folder / "") + ": a folder, not a file");

    // Through a protocol the reason still names the URL as given, with the file's cause.
    const std::u16string layered = u"utf8::" + missing;
    EXPECT_EQ(ReasonFor(layered), Quoted(layered) + ": no such file");
}

TEST_F(OpenFailure, AFileWithoutReadPermissionSaysSo) {
    test::WriteFileBytes(folder.Native("locked.txt"), "secret");
    std::filesystem::permissions(folder.Native("locked.txt"), std::filesystem::perms::none);
    if (Ref<TStream> stream = OpenReadStream(folder / "locked.txt")) {
        stream->Close();
        GTEST_SKIP() << "this user reads files without read permission (root, or Windows)";
    }
    EXPECT_EQ(LastFailureUtf8(), Quoted(folder / "locked.txt") + ": permission denied");
}

TEST_F(OpenFailure, ProtocolsAndEmbeddedFilesSayWhatIsUnknown) {
    EXPECT_EQ(ReasonFor(u"ftp::host/ship.png"), "\"ftp::host/ship.png\": unknown protocol \"ftp\"");
    EXPECT_EQ(ReasonFor(u"bigendian::nosuch::x"), "\"bigendian::nosuch::x\": unknown protocol \"nosuch\"");
    EXPECT_EQ(ReasonFor(u"incbin::no-such-file.bin"),
              "\"incbin::no-such-file.bin\": no embedded file of that name");
}

TEST_F(OpenFailure, ASuccessLeavesTheLastReason) {
    const std::string reason = ReasonFor(folder / "missing");
    test::WriteFileBytes(folder.Native("there.txt"), "here");
    Ref<TStream> stream = OpenReadStream(folder / "there.txt");
    ASSERT_NE(stream, nullptr);
    stream->Close();
    EXPECT_EQ(LastFailureUtf8(), reason);
}

}  // namespace
}  // namespace qrv
