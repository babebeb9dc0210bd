#include "system/hook.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/text.h"

namespace {

using qrv::Ref;
using qrv::TObject;

// Each hook appends its context's text to the text it receives, so the result shows the order.
Ref<TObject> AppendContext(int32_t, Ref<TObject> data, Ref<TObject> context) {
    const std::u16string* so_far = qrv::AsText(data);
    return qrv::MakeText((so_far ? *so_far : u"") + *qrv::AsText(context));
}

Ref<TObject> ReturnNone(int32_t, Ref<TObject>, Ref<TObject>) {
    return nullptr;
}

// Marks "none" when it receives nothing, so a following hook shows what it was given.
Ref<TObject> NoteNone(int32_t, Ref<TObject> data, Ref<TObject>) {
    return data ? data : qrv::MakeText(u"none");
}

std::u16string RunChain(int32_t id) {
    const Ref<TObject> data = qrv::CallHooks(id, qrv::MakeText(u""));
    const std::u16string* result = qrv::AsText(data);
    return result ? *result : u"<none>";
}

TEST(Hooks, HigherPriorityRunsFirstAndEqualPrioritiesKeepInstallOrder) {
    const int32_t id = qrv::NewHookId();
    qrv::InstallHook(id, AppendContext, qrv::MakeText(u"a"), 0);
    qrv::InstallHook(id, AppendContext, qrv::MakeText(u"b"), 5);
    qrv::InstallHook(id, AppendContext, qrv::MakeText(u"c"), 0);
    qrv::InstallHook(id, AppendContext, qrv::MakeText(u"d"), -3);
    qrv::InstallHook(id, AppendContext, qrv::MakeText(u"e"), 9);
    EXPECT_EQ(RunChain(id), u"ebacd");
}

TEST(Hooks, UninstallMatchesFunctionAndContext) {
    const int32_t id = qrv::NewHookId();
    auto first = qrv::MakeText(u"1");
    auto second = qrv::MakeText(u"2");
    qrv::InstallHook(id, AppendContext, first, 0);
    qrv::InstallHook(id, AppendContext, second, 0);

    qrv::UninstallHook(id, AppendContext, qrv::MakeText(u"1"));  // equal text, other object
    qrv::UninstallHook(id, NoteNone, first);                     // same context, other function
    EXPECT_EQ(RunChain(id), u"12");

    qrv::UninstallHook(id, AppendContext, first);
    EXPECT_EQ(RunChain(id), u"2");
    qrv::UninstallHook(id, AppendContext, first);
    EXPECT_EQ(RunChain(id), u"2");
}

TEST(Hooks, UninstallRemovesOnlyTheFirstOfTwoIdenticalHooks) {
    const int32_t id = qrv::NewHookId();
    auto context = qrv::MakeText(u"x");
    qrv::InstallHook(id, AppendContext, context, 0);
    qrv::InstallHook(id, AppendContext, context, 0);
    qrv::UninstallHook(id, AppendContext, context);
    EXPECT_EQ(RunChain(id), u"x");
}

TEST(Hooks, AHookReturningNoneHandsNoneToTheNext) {
    const int32_t id = qrv::NewHookId();
    qrv::InstallHook(id, ReturnNone, nullptr, 2);
    qrv::InstallHook(id, NoteNone, nullptr, 1);
    EXPECT_EQ(RunChain(id), u"none");
}

TEST(Hooks, AnEmptyChainGivesTheDataBack) {
    const int32_t id = qrv::NewHookId();
    auto data = qrv::MakeText(u"same");
    EXPECT_EQ(qrv::CallHooks(id, data), data);
}

Ref<TObject> RemoveSelf(int32_t id, Ref<TObject> data, Ref<TObject> context) {
    qrv::UninstallHook(id, RemoveSelf, context);
    return AppendContext(id, data, context);
}

TEST(Hooks, AHookMayRemoveItselfWhileTheChainRuns) {
    const int32_t id = qrv::NewHookId();
    qrv::InstallHook(id, RemoveSelf, qrv::MakeText(u"once"), 1);
    qrv::InstallHook(id, AppendContext, qrv::MakeText(u"-always"), 0);
    EXPECT_EQ(RunChain(id), u"once-always");
    EXPECT_EQ(RunChain(id), u"-always");
}

TEST(Hooks, IdsNeverHandedOutAreRefused) {
    EXPECT_THROW(qrv::InstallHook(255, AppendContext, nullptr, 0), qrv::TRuntimeError);
    EXPECT_THROW(qrv::InstallHook(-1, AppendContext, nullptr, 0), qrv::TRuntimeError);
    auto data = qrv::MakeText(u"kept");
    EXPECT_EQ(qrv::CallHooks(4000, data), data);
    qrv::UninstallHook(-7, AppendContext, nullptr);
}

TEST(HooksDeathTest, The257thIdRaisesTooManyHookIds) {
#if GTEST_HAS_DEATH_TEST
    // Runs in a child process: the ids are used up for good.
    EXPECT_EXIT(
        {
            int32_t last = -1;
            try {
                while (true) last = qrv::NewHookId();
            } catch (const qrv::TRuntimeError& error) {
                const bool right = std::string(error.what()) == "Too many hook ids" && last == 255;
                std::exit(right ? 0 : 1);
            }
        },
        testing::ExitedWithCode(0), "");
#else
    GTEST_SKIP() << "a death test runs in a child process, which a browser's runtime cannot start";
#endif
}

}  // namespace
