// The user's data folder: where each platform puts it, how the application's name becomes a
// folder name, and that the stream layer saves into it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <string>

#include "core/failure.h"
#include "core/path_text.h"
#include "core/runtime.h"
#include "core/text.h"
#include "stream/stream.h"
#include "stream/stream_module.h"

namespace qrv {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32
// Sets a variable for the test's time, giving the old value back afterwards.
class TVariable {
public:
    TVariable(const char* name, const std::optional<std::string>& value) : name(name) {
        if (const char* old = std::getenv(name)) previous = old;
        Set(value);
    }
    ~TVariable() { Set(previous); }
    TVariable(const TVariable&) = delete;
    TVariable& operator=(const TVariable&) = delete;

    void Set(const std::optional<std::string>& value) {
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }

private:
    const char* name;
    std::optional<std::string> previous;
};
#endif

// The folder as a path of the standard library: the stream layer's POSIX paths hold one byte per
// code unit.
fs::path Native(const std::u16string& folder) {
#ifdef _WIN32
    return PathFromText(folder);
#else
    return fs::path(ToLatin1(folder));
#endif
}

class UserDataFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("qrv-user-folder-" + std::to_string(std::random_device()()));
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    // Where the folder of the name lies, found without the code under test.
    fs::path Expected(const fs::path& base, const std::string& utf8Name) {
#ifdef _WIN32
        return base / PathFromText(FromUtf8(utf8Name));
#else
        return base / utf8Name;
#endif
    }
    fs::path root;
};

#ifndef _WIN32
TEST_F(UserDataFolderTest, LiesInXdgDataHomeElseBelowHomeAndIsCreatedWithItsParents) {
    SetApplicationName(u"Tavika: ZORVAK v0.1.");

    TVariable dataHome("XDG_DATA_HOME", (root / "data/deeper/").string());
    TVariable home("HOME", (root / "home").string());
    std::u16string folder = UserDataFolder();
    EXPECT_EQ(folder, FromLatin1((root / "data/deeper/Tavika_ ZORVAK v0.1").string()))
        << LastFailureUtf8();
    EXPECT_TRUE(fs::is_directory(Native(folder)));
    EXPECT_EQ(UserDataFolder(), folder) << "an existing folder is taken as it is";

    // A relative XDG_DATA_HOME is ignored, as the convention says.
    dataHome.Set("relative/data");
    folder = UserDataFolder();
    EXPECT_EQ(folder, FromLatin1((root / "home/.local/share/Tavika_ ZORVAK v0.1").string()))
        << LastFailureUtf8();
    EXPECT_TRUE(fs::is_directory(Native(folder)));
    dataHome.Set(std::nullopt);
    EXPECT_EQ(UserDataFolder(), folder);

    // A file where the folder should be: no folder, and a reason that names it.
    ClearLastFailure();
    dataHome.Set((root / "file").string());
    fs::create_directories(root);
    std::FILE* file = std::fopen((root / "file").c_str(), "w");
    ASSERT_TRUE(file);
    std::fclose(file);
    EXPECT_EQ(UserDataFolder(), u"");
    EXPECT_NE(LastFailureUtf8().find((root / "file").string()), std::string::npos) << LastFailureUtf8();
}
#endif

// A name with characters beyond Latin-1 and one file names may not hold, saved into and read
// back through the stream layer.
TEST_F(UserDataFolderTest, NamesAreMadeFitForFileNamesAndTheStreamLayerSavesThere) {
    SetApplicationName(u"");
    EXPECT_EQ(ApplicationName(), u"core_tests") << "by default the program's name";
#ifdef _WIN32
    const char* appData = std::getenv("APPDATA");
    ASSERT_TRUE(appData) << "Windows gives no APPDATA";
    const fs::path base = PathFromText(FromUtf8(appData));
#else
    const fs::path base = root;
    TVariable dataHome("XDG_DATA_HOME", root.string());
#endif
    const std::pair<std::u16string, std::string> names[] = {
        {u"a/b\\c:d*e?f\"g<h>i|j\tk. .", "a_b_c_d_e_f_g_h_i_j_k"},
        {u"con.save", "con_.save"},
        {u"Com1", "Com1_"},
        {u"COM10", "COM10"},
        {u"Тавика ★", "Тавика ★"},
    };
    for (const auto& [name, folderName] : names) {
        SetApplicationName(name);
        const std::u16string folder = UserDataFolder();
        const fs::path expected = Expected(base, folderName);
        EXPECT_TRUE(fs::is_directory(expected)) << folderName << " is missing; got " << ToUtf8(folder)
                                                << " " << LastFailureUtf8();
        EXPECT_TRUE(fs::equivalent(Native(folder), expected)) << ToUtf8(folder);
#ifdef _WIN32
        std::error_code ignored;
        fs::remove_all(expected, ignored);
#endif
    }

    InitStreamModule();
    const std::u16string path = UserDataFolder() + u"/high score.txt";
    {
        Ref<TStream> out = OpenWriteStream(path);
        ASSERT_TRUE(out) << ToUtf8(path);
        EXPECT_TRUE(out->WriteTextLine(u"12345"));
        out->Close();
    }
    Ref<TStream> in = OpenReadStream(path);
    ASSERT_TRUE(in);
    EXPECT_EQ(in->ReadTextLine(), u"12345");
    in->Close();
#ifdef _WIN32
    std::error_code ignored;
    fs::remove_all(Expected(base, "Тавика ★"), ignored);
#endif

    ClearLastFailure();
    SetApplicationName(u" ..");
    EXPECT_EQ(UserDataFolder(), u"") << "a name that is nothing but dots and spaces names no folder";
    EXPECT_FALSE(LastFailure().empty());
}

}  // namespace
}  // namespace qrv
