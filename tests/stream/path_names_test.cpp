#include "stream/path_names.h"

#include <gtest/gtest.h>

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

// With drives "C:data\x.png" is the folder "data" on drive C:; without, "C:data" is a folder's
// plain name.
TEST(PathParts, ADriveIsSplitOffOnlyWherePathsHaveDrives) {
    const std::u16string path = u"C:data\\x.png";
    EXPECT_EQ(FileNamePart(path), u"x.png");
    EXPECT_EQ(ExtensionPart(path), u"png");
    if (PATHS_HAVE_DRIVES) {
        EXPECT_EQ(DirectoryPart(path), u"C:/data");
        EXPECT_EQ(DirectoryPart(u"C:x.png"), u"C:/");
        EXPECT_EQ(ResolvePath(path, u"D:/base"), u"C:/data/x.png");
        EXPECT_EQ(ResolvePath(u"1:x", u"D:/base"), u"D:/base/1:x") << "only a letter names a drive";
        EXPECT_EQ(ResolvePath(u"\\\\server\\share\\a\\..\\b", u"C:/"), u"//server/share/b");
        EXPECT_EQ(ResolvePath(u"//server/share/..", u"C:/"), BAD_DIR) << "no climbing above the share";
    } else {
        EXPECT_EQ(DirectoryPart(path), u"C:data");
        EXPECT_EQ(DirectoryPart(u"C:x.png"), BAD_DIR);
        EXPECT_EQ(ResolvePath(path, u"/base"), u"/base/C:data/x.png");
    }
}

}  // namespace
}  // namespace qrv
