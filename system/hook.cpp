#include "system/hook.h"

#include <array>

#include "core/error.h"

namespace qrv {
namespace {

std::array<Ref<THook>, HOOK_ID_COUNT> hookTable;
int32_t lastHookId = -1;

bool IsIssuedHookId(int32_t hookId) {
    return hookId >= 0 && hookId <= lastHookId && hookId < HOOK_ID_COUNT;
}

}  // namespace

int32_t NewHookId() {
    if (lastHookId >= HOOK_ID_COUNT - 1) throw TRuntimeError(std::string("Too many hook ids"));
    return ++lastHookId;
}

void InstallHook(int32_t hookId, THookFunction func, Ref<TObject> context, int32_t priority) {
    if (!IsIssuedHookId(hookId)) throw TRuntimeError(std::string("Invalid hook id"));
    auto hook = std::make_shared<THook>();
    hook->priority = priority;
    hook->func = func;
    hook->context = std::move(context);

    Ref<THook>* link = &hookTable[hookId];
    while (*link && (*link)->priority >= priority) link = &(*link)->nextHook;
    hook->nextHook = *link;
    *link = hook;
}

void UninstallHook(int32_t hookId, THookFunction func, const Ref<TObject>& context) {
    if (!IsIssuedHookId(hookId)) return;
    for (Ref<THook>* link = &hookTable[hookId]; *link; link = &(*link)->nextHook) {
        if ((*link)->func == func && (*link)->context == context) {
            // The removed node keeps its nextHook, so a CallHooks running through it goes on.
            *link = (*link)->nextHook;
            return;
        }
    }
}

Ref<TObject> CallHooks(int32_t hookId, Ref<TObject> data) {
    if (!IsIssuedHookId(hookId)) return data;
    for (Ref<THook> hook = hookTable[hookId]; hook; hook = hook->nextHook)
        data = hook->func(hookId, std::move(data), hook->context);
    return data;
}

}  // namespace qrv
