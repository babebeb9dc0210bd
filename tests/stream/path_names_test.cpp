#include "stream/path_names.h"

#include <gtest/gtest.h>

#include "stream/file_system.h"

namespace qrv {
namespace {

TEST(NormalizePath, BackslashesDrivesAndTrailingSlashes) {
    EXPECT_EQ(NormalizePath(u""), u"");
    EXPECT_EQ(NormalizePath(u"a\\b\\"), u"a/b/");
    EXPECT_EQ(NormalizePath(u"a\\b\\", true), u"a/b");
    if (PATHS_HAVE_DRIVES) {
        EXPECT_EQ(NormalizePath(u"C:"), u"C:/");
        EXPECT_EQ(NormalizePath(u"C:", true), u"C:/") << "a drive root keeps its slash";
        EXPECT_EQ(NormalizePath(u"C:data"), u"C:/data");
    } else {
        EXPECT_EQ(NormalizePath(u"C:"), u"C:");
        EXPECT_EQ(NormalizePath(u"a:b"), u"a:b") << "an ordinary name";
    }
    EXPECT_EQ(NormalizePath(u"C:\\data\\", true), u"C:/data");
    EXPECT_EQ(NormalizePath(u"/", true), u"/");
    EXPECT_EQ(NormalizePath(u"a//", true), u"a/") << "only one trailing slash goes";
}

TEST(AbsolutePath, ResolvesDotsAgainstTheWorkingDirectory) {
    EXPECT_EQ(AbsolutePath(u"/usr/./lib/../bin/"), u"/usr/bin");
    EXPECT_EQ(AbsolutePath(u"/a/b/../.."), u"/");
    EXPECT_EQ(AbsolutePath(u"/a/../.."), BAD_DIR);
    const std::u16string here = WorkingDirectory();
    if (PATHS_HAVE_DRIVES) {
        EXPECT_EQ(AbsolutePath(u"C:\\x\\..\\y"), u"C:/y");
    } else {
        EXPECT_EQ(AbsolutePath(u"/:c"), u"/:c");
        EXPECT_EQ(AbsolutePath(AbsolutePath(u"/:c")), u"/:c");
        EXPECT_EQ(AbsolutePath(u"a:\\..\\y"), (here == u"/" ? u"" : here) + u"/y");
    }
    ASSERT_FALSE(here.empty());
    EXPECT_EQ(AbsolutePath(u"."), here);
    EXPECT_EQ(AbsolutePath(u"sub/file.txt"), (here == u"/" ? u"" : here) + u"/sub/file.txt");
}

TEST(PathParts, SplitNameExtensionAndDirectory) {
    EXPECT_EQ(FileNamePart(u"data/pic.big.png"), u"pic.big.png");
    EXPECT_EQ(BaseName(u"data/pic.big.png"), u"pic.big");
    EXPECT_EQ(ExtensionPart(u"data/pic.big.png"), u"png");
    EXPECT_EQ(WithoutExtension(u"data/pic.big.png"), u"data/pic.big");
    EXPECT_EQ(DirectoryPart(u"data/pic.big.png"), u"data");

    // A dot in a folder name is no extension.
    EXPECT_EQ(ExtensionPart(u"v1.2/readme"), u"");
    EXPECT_EQ(WithoutExtension(u"v1.2/readme"), u"v1.2/readme");
    EXPECT_EQ(BaseName(u"v1.2\\readme"), u"readme");

    EXPECT_EQ(DirectoryPart(u"file.txt"), BAD_DIR);
    EXPECT_EQ(DirectoryPart(u"dir/"), BAD_DIR);
    EXPECT_EQ(DirectoryPart(u"/file"), u"/");
    EXPECT_EQ(DirectoryPart(u"C:/file"), PATHS_HAVE_DRIVES ? u"C:/" : u"C:");
    EXPECT_EQ(FileNamePart(u"dir/"), u"");
}

}  // namespace
}  // namespace qrv
