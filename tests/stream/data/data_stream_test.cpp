#include "stream/data/data_stream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/boxed_values.h"
#include "core/error.h"
#include "core/object_list.h"
#include "data_test_support.h"
#include "stream/data/data_reader.h"
#include "stream/data/data_types.h"
#include "stream/data/data_writer.h"
#include "stream/data/data_module.h"
#include "stream/stream_exceptions.h"
#include "stream/stream_utils.h"
#include "temp_folder.h"

namespace qrv {
namespace {

using test::Bytes;

class DataStream : public ::testing::Test {
protected:
    void SetUp() override { InitDataModule(); }
    test::TempFolder folder;
};

// A list holding every core type, a shared text and none.
Ref<TObjectList> CoreValues() {
    auto list = std::make_shared<TObjectList>();
    Ref<TObject> shared = MakeText(u"Привет, data\u0000!");
    list->Add(shared);
    list->Add(MakeInteger(std::numeric_limits<int64_t>::min()));
    list->Add(MakeReal(-0.0));
    list->Add(MakeReal(3.141592653589793));
    list->Add(nullptr);
    Ref<TBank> bank = TBank::NewBank(5);
    for (int i = 0; i < 5; ++i) bank->Data()[i] = static_cast<uint8_t>(250 + i);
    list->Add(bank);
    list->Add(TBank::NewBank(0));
    list->Add(shared);
    return list;
}

void ExpectCoreValues(const Ref<TObject>& object) {
    auto list = std::dynamic_pointer_cast<TObjectList>(object);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->Count(), 8);
    ASSERT_NE(AsText(list->At(0)), nullptr);
    EXPECT_EQ(*AsText(list->At(0)), u"Привет, data\u0000!");
    EXPECT_EQ(list->At(7), list->At(0)) << "a shared text reads back as one object";
    EXPECT_EQ(*AsInteger(list->At(1)), std::numeric_limits<int64_t>::min());
    EXPECT_TRUE(std::signbit(*AsReal(list->At(2))));
    EXPECT_EQ(*AsReal(list->At(3)), 3.141592653589793);
    EXPECT_EQ(list->At(4), nullptr);
    auto bank = std::dynamic_pointer_cast<TBank>(list->At(5));
    ASSERT_NE(bank, nullptr);
    ASSERT_EQ(bank->Size(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(bank->Data()[i], 250 + i);
    auto empty = std::dynamic_pointer_cast<TBank>(list->At(6));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->Size(), 0);
}

TEST_F(DataStream, CoreValuesRoundTripThroughFilesBanksAndNestedProtocols) {
    const std::u16string urls[] = {u"data::" + (folder / "plain.bin"),
                                   u"DATA::bigendian::" + (folder / "nested.bin"),
                                   u"data::latin1::" + (folder / "text.bin")};
    for (const std::u16string& url : urls) {
        WriteObjectTo(CoreValues(), MakeText(url));
        ExpectCoreValues(ReadObjectFrom(MakeText(url)));
    }
    Ref<TBank> bank = TBank::NewBank(0);
    DataStreamOver(BankStreamOver(bank))->WriteSerialized(CoreValues());
    ExpectCoreValues(DataStreamOver(BankStreamOver(bank))->ReadSerialized());
    EXPECT_EQ(
        test::ReadFileBytes(folder.Native("plain.bin")),
        std::string(reinterpret_cast<const char*>(bank->Data()), static_cast<size_t>(bank->Size())))
        << "the bytes do not depend on what carries them";
}

TEST_F(DataStream, SharedObjectsAndCyclesReadBackAsTheSameObjects) {
    auto outer = std::make_shared<TObjectList>();
    auto inner = std::make_shared<TObjectList>();
    outer->Add(inner);
    outer->Add(outer);
    inner->Add(outer);
    inner->Add(inner);
    const Bytes bytes = test::Encode(outer);
    test::BreakCycles(outer);

    auto read = std::dynamic_pointer_cast<TObjectList>(test::Decode(bytes));
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->Count(), 2);
    auto readInner = std::dynamic_pointer_cast<TObjectList>(read->At(0));
    ASSERT_NE(readInner, nullptr);
    EXPECT_EQ(read->At(1), read);
    EXPECT_EQ(readInner->At(0), read);
    EXPECT_EQ(readInner->At(1), readInner);
    test::BreakCycles(read);
}

TEST_F(DataStream, TheEncodingIsTheDocumentedOne) {
    auto list = std::make_shared<TObjectList>();
    Ref<TObject> five = MakeInteger(5);
    list->Add(five);
    list->Add(five);
    test::ByteBuilder integer;
    integer.U32(5).U32(0);
    test::ByteBuilder body;
    body.U32(2).Object("qrv.core.TInteger", 1, integer.bytes).U8(3).U32(1);
    test::ByteBuilder value;
    value.Object("qrv.core.TObjectList", 1, body.bytes);
    EXPECT_EQ(test::Encode(list), test::DataFile(value.bytes));
}

TEST_F(DataStream, SeveralObjectsFollowOneAnotherOnOneStream) {
    Ref<TBank> bank = TBank::NewBank(0);
    auto out = DataStreamOver(BankStreamOver(bank));
    out->WriteSerialized(MakeInteger(1));
    out->WriteSerialized(nullptr);
    auto pair = std::make_shared<TObjectList>();
    pair->Add(MakeInteger(2));
    pair->Add(MakeInteger(3));
    out->WriteSerialized(pair);

    auto in = DataStreamOver(BankStreamOver(bank));
    EXPECT_EQ(*AsInteger(in->ReadSerialized()), 1);
    EXPECT_EQ(in->ReadSerialized(), nullptr);
    auto readPair = std::dynamic_pointer_cast<TObjectList>(in->ReadSerialized());
    ASSERT_NE(readPair, nullptr);
    EXPECT_EQ(*AsInteger(readPair->At(1)), 3);
    EXPECT_TRUE(in->AtEnd());
}

TEST_F(DataStream, TheFactoryRefusesBothDirectionsAndPassesFailedOpensOn) {
    try {
        OpenUrl(u"data::" + (folder / "x.bin"), true, true);
        FAIL() << "no error for a readable and writeable data stream";
    } catch (const TRuntimeError& e) {
        EXPECT_STREQ(e.what(), "DataStreams can not be both readable and writeable");
    }
    EXPECT_EQ(ReadObjectFrom(MakeText(u"data::" + (folder / "missing.bin"))), nullptr);
    EXPECT_EQ(OpenUrl(u"data::incbin::no-such-file", true, false), nullptr);
    EXPECT_EQ(OpenUrl(u"data::incbin::no-such-file", false, true), nullptr);
}

TEST_F(DataStream, ASaveThatDoesNotReachTheDeviceRaises) {
    // A small object stays in the file's buffer until the close, which fails.
    EXPECT_THROW(WriteObjectTo(MakeInteger(1), MakeText(u"data::/dev/full")),
                 TStreamWriteException);
}

TEST_F(DataStream, ObjectsWithoutADataTypeOrNestedTooDeeplyAreNotWritten) {
    struct Unknown : TObject {};
    auto list = std::make_shared<TObjectList>();
    list->Add(std::make_shared<Unknown>());
    Ref<TBank> bank = TBank::NewBank(0);
    auto out = DataStreamOver(BankStreamOver(bank));
    EXPECT_THROW(out->WriteSerialized(list), TDataWriteException);
    EXPECT_EQ(bank->Size(), 0) << "nothing of a failed object is written";

    auto deep = std::make_shared<TObjectList>();
    Ref<TObjectList> innermost = deep;
    for (int i = 0; i < MAX_GRAPH_DEPTH; ++i) {
        auto next = std::make_shared<TObjectList>();
        innermost->Add(next);
        innermost = next;
    }
    EXPECT_THROW(out->WriteSerialized(deep), TDataWriteException);
}

// A type that grew: version 1 held x, version 2 holds x and y.
struct Point : TObject {
    int32_t x = 0;
    int32_t y = 0;
};

TEST_F(DataStream, OlderVersionsOfATypeStayReadable) {
    RegisterDataType<Point>(
        "test.Point", 2,
        [](TDataWriter& out, const Point& p) {
            out.WriteInt32(p.x);
            out.WriteInt32(p.y);
        },
        [](TDataReader& in, int32_t version) {
            auto p = std::make_shared<Point>();
            p->x = in.ReadInt32();
            p->y = version >= 2 ? in.ReadInt32() : -1;
            return p;
        });
    TDataType duplicate;
    duplicate.name = "test.Point";
    EXPECT_FALSE(RegisterDataType(duplicate)) << "the first registration wins";

    test::ByteBuilder version1;
    version1.Object("test.Point", 1, test::ByteBuilder().U32(7).bytes);
    auto old = std::dynamic_pointer_cast<Point>(test::Decode(test::DataFile(version1.bytes)));
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(old->x, 7);
    EXPECT_EQ(old->y, -1);

    auto point = std::make_shared<Point>();
    point->x = 3;
    point->y = 4;
    auto now = std::dynamic_pointer_cast<Point>(test::Decode(test::Encode(point)));
    ASSERT_NE(now, nullptr);
    EXPECT_EQ(now->y, 4);

    test::ByteBuilder version3;
    version3.Object("test.Point", 3, test::ByteBuilder().U32(7).U32(8).U32(9).bytes);
    EXPECT_EQ(test::ReadProblem(test::DataFile(version3.bytes)),
              "unsupported version 3 of data type 'test.Point'");
}

TEST(ObjectList, IndicesOutsideTheListChangeNothing) {
    TObjectList list;
    Ref<TObject> a = MakeInteger(1), b = MakeInteger(2);
    EXPECT_TRUE(list.Insert(0, a));
    EXPECT_TRUE(list.Insert(1, b));
    EXPECT_FALSE(list.Insert(3, a));
    EXPECT_FALSE(list.Set(2, a));
    EXPECT_EQ(list.RemoveAt(-1), nullptr);
    EXPECT_EQ(list.IndexOf(b), 1);
    EXPECT_TRUE(list.Remove(a));
    EXPECT_FALSE(list.Remove(a));
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.At(0), b);
}

}  // namespace
}  // namespace qrv
