#include "core/runtime.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/text.h"

namespace qrv {
namespace {

#ifndef _WIN32
// The program's file as the system knows it: the executable, or under node the script it runs.
std::filesystem::path RunningProgram() {
#ifdef __EMSCRIPTEN__
    return CORE_TESTS_SCRIPT;
#else
    return std::filesystem::read_symlink("/proc/self/exe");
#endif
}
#endif

TEST(Runtime, StartRecordsTheProgramAndMovesIntoItsFolder) {
#ifdef _WIN32
    GTEST_SKIP() << "reads /proc/self/exe; the Windows paths test checks the program's file there";
#else
    const std::filesystem::path exe = RunningProgram();
    std::filesystem::current_path("/");

    StartRuntime();
    EXPECT_EQ(ProgramPath(), FromLatin1(exe.string()));
    EXPECT_EQ(ProgramFolder(), FromLatin1(exe.parent_path().string()));
    EXPECT_EQ(std::filesystem::current_path(), exe.parent_path());
    EXPECT_EQ(ApplicationTitle(), FromLatin1(exe.stem().string()));

    SetApplicationTitle(u"Tavika: ZORVAK v0.1.");
    std::filesystem::current_path("/");
    StartRuntime();
    EXPECT_EQ(ApplicationTitle(), u"Tavika: ZORVAK v0.1.") << "only the first start sets the default";
    EXPECT_EQ(std::filesystem::current_path(), "/") << "only the first start moves";
#endif
}

}  // namespace
}  // namespace qrv
