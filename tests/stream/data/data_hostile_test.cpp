#include <gtest/gtest.h>

#include <string>

#include "core/object_list.h"
#include "data_test_support.h"
#include "stream/data/data_reader.h"
#include "stream/data/data_module.h"

namespace qrv {
namespace {

using test::ByteBuilder;
using test::Bytes;
using test::DataFile;
using test::ReadProblem;

const std::string kList = "qrv.core.TObjectList";
const std::string kText = "qrv.core.TText";
const std::string kBank = "qrv.stream.TBank";

class DataHostile : public ::testing::Test {
protected:
    void SetUp() override { InitDataModule(); }
};

Bytes ListOf(const Bytes& items, uint32_t count) {
    return ByteBuilder().Object(kList, 1, ByteBuilder().U32(count).Raw(items).bytes).bytes;
}

TEST_F(DataHostile, BrokenFramingIsNamed) {
    const Bytes good = DataFile(ByteBuilder().U8(0).bytes);
    EXPECT_EQ(ReadProblem(good), "no error");
    EXPECT_EQ(ReadProblem({}), "data ends early in the header");
    EXPECT_EQ(ReadProblem(Bytes(good.begin(), good.begin() + 6)), "data ends early in the header");
    EXPECT_EQ(ReadProblem(ByteBuilder().Raw("QRVX").U32(1).U32(1).U8(0).bytes),
              "not data: the magic is wrong");
    EXPECT_EQ(ReadProblem(ByteBuilder().Raw("QRVD").U32(2).U32(1).U8(0).bytes),
              "unsupported format version 2");
    EXPECT_EQ(ReadProblem(ByteBuilder().Raw("QRVD").U32(1).U16(1).bytes),
              "data ends early in an object's length");
    EXPECT_EQ(ReadProblem(ByteBuilder().Raw("QRVD").U32(1).U32(0xFFFFFFFF).bytes),
              "object length 4294967295 beyond the limit");
    // A length that lies costs only the bytes that came.
    EXPECT_EQ(ReadProblem(ByteBuilder().Raw("QRVD").U32(1).U32(0x7FFFFFFF).U8(0).bytes),
              "data ends early in an object");
    EXPECT_EQ(ReadProblem(DataFile({})), "data ends early");
    EXPECT_EQ(ReadProblem(DataFile(ByteBuilder().U8(0).U8(0).bytes)), "1 bytes after the object");
    EXPECT_EQ(ReadProblem(DataFile(ByteBuilder().U8(9).bytes)), "unknown tag 9");
}

TEST_F(DataHostile, TypesVersionsAndLengthsAreChecked) {
    EXPECT_EQ(ReadProblem(DataFile(ByteBuilder().Object("no.such\x01Type", 1, {}).bytes)),
              "unknown data type 'no.such?Type'");
    EXPECT_EQ(
        ReadProblem(DataFile(ByteBuilder().Object(kText, 0, ByteBuilder().U32(0).bytes).bytes)),
        "unsupported version 0 of data type 'qrv.core.TText'");
    EXPECT_EQ(
        ReadProblem(DataFile(ByteBuilder().Object(kText, 2, ByteBuilder().U32(0).bytes).bytes)),
        "unsupported version 2 of data type 'qrv.core.TText'");
    EXPECT_EQ(ReadProblem(DataFile(ByteBuilder().U8(2).U32(0).U32(0).bytes)),
              "type number 0 out of range (0 types)");
    // The body's length says 9 but only 4 bytes follow.
    Bytes lying = ByteBuilder().Object(kText, 1, ByteBuilder().U32(0).bytes).bytes;
    lying[lying.size() - 8] = 9;
    EXPECT_EQ(ReadProblem(DataFile(lying)), "object length 9 beyond the end of the data");
    EXPECT_EQ(ReadProblem(
                  DataFile(ByteBuilder().Object(kText, 1, ByteBuilder().U32(0).U8(7).bytes).bytes)),
              "1 bytes left over in an object of type 'qrv.core.TText'");
    EXPECT_EQ(
        ReadProblem(DataFile(
            ByteBuilder().Object(kText, 1, ByteBuilder().U32(0x40000000).U16(65).bytes).bytes)),
        "text length 1073741824 beyond the end of the data");
    EXPECT_EQ(ReadProblem(DataFile(
                  ByteBuilder().Object(kBank, 1, ByteBuilder().U32(0x7FFFFFFF).U8(1).bytes).bytes)),
              "bank length 2147483647 beyond the end of the data");
    EXPECT_EQ(ReadProblem(DataFile(ListOf({}, 0xFFFFFFFF))),
              "list length 4294967295 beyond the end of the data");
    EXPECT_EQ(ReadProblem(DataFile(
                  ByteBuilder().Object("qrv.core.TInteger", 1, ByteBuilder().U32(1).bytes).bytes)),
              "object data ends early");
}

TEST_F(DataHostile, ReferencesMustNameObjectsAlreadyRead) {
    EXPECT_EQ(ReadProblem(DataFile(ByteBuilder().U8(3).U32(0).bytes)),
              "reference 0 out of range (0 objects)");
    EXPECT_EQ(ReadProblem(DataFile(ListOf(ByteBuilder().U8(3).U32(1).bytes, 1))),
              "reference 1 out of range (1 objects)");
    const Bytes selfHolding = ListOf(ByteBuilder().U8(3).U32(0).bytes, 1);
    auto list = std::dynamic_pointer_cast<TObjectList>(test::Decode(DataFile(selfHolding)));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->At(0), list);
    test::BreakCycles(list);
}

TEST_F(DataHostile, AHalfReadCycleIsFreedAndDeepNestingIsRefused) {
    // The list holds itself, then its second item is broken: the sanitizer's leak check sees
    // whether the cycle was broken.
    const Bytes broken = ListOf(ByteBuilder().U8(3).U32(0).U8(3).U32(5).bytes, 2);
    EXPECT_EQ(ReadProblem(DataFile(broken)), "reference 5 out of range (1 objects)");

    Bytes nested = ByteBuilder().U8(0).bytes;
    for (int i = 0; i <= MAX_GRAPH_DEPTH; ++i) nested = ListOf(nested, 1);
    EXPECT_EQ(ReadProblem(DataFile(nested)), "objects nested too deeply");
}

TEST_F(DataHostile, EveryTruncationOfGoodDataFailsCleanly) {
    auto list = std::make_shared<TObjectList>();
    list->Add(MakeText(u"abc"));
    list->Add(TBank::NewBank(3));
    list->Add(list->At(0));
    const Bytes good = test::Encode(list);
    for (size_t size = 0; size < good.size(); ++size) {
        const std::string problem =
            ReadProblem(Bytes(good.begin(), good.begin() + static_cast<long>(size)));
        EXPECT_NE(problem, "no error") << "cut at " << size;
    }
}

}  // namespace
}  // namespace qrv
