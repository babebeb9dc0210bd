#include <gtest/gtest.h>

#include "core/object_list.h"
#include "data_test_support.h"
#include "stream/data/data_module.h"

namespace qrv {
namespace {

// Lists each holding the one before, all held by one list: written side by side, so the file
// nests them only one deep, but releasing the last one releases the whole chain.
Ref<TObjectList> Chain(int length) {
    auto all = std::make_shared<TObjectList>();
    Ref<TObject> before;
    for (int i = 0; i < length; ++i) {
        auto list = std::make_shared<TObjectList>();
        list->Add(before);
        all->Add(list);
        before = list;
    }
    return all;
}

TEST(ListChain, ALongChainReadFromDataIsReleasedWithoutDeepRecursion) {
    InitDataModule();
    constexpr int kLength = 50000;
    Ref<TObject> read = test::Decode(test::Encode(Chain(kLength)));
    auto all = std::dynamic_pointer_cast<TObjectList>(read);
    ASSERT_NE(all, nullptr);
    ASSERT_EQ(all->Count(), kLength);
    auto last = std::dynamic_pointer_cast<TObjectList>(all->At(kLength - 1));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->At(0), all->At(kLength - 2));
    all.reset();
    read.reset();
    // Dropping the last owner of the chain's end released every list one inside the other.
    last.reset();
}

}  // namespace
}  // namespace qrv
