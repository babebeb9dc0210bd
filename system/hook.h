#pragma once

#include <cstdint>

#include "core/object.h"

namespace qrv {

// A hook function gets the hook id, the object passed along the chain and its own context, and
// returns the object that the next hook of the chain receives.
using THookFunction = Ref<TObject> (*)(int32_t hookId, Ref<TObject> data, Ref<TObject> context);

// One node of a hook chain.
class THook final : public TObject {
public:
    // nextHook: the next node, or none. priority, func and context: as InstallHook got them.
    Ref<THook> nextHook;
    int32_t priority = 0;
    THookFunction func = nullptr;
    Ref<TObject> context;
};

// The number of hook ids there are, 0..255.
inline constexpr int32_t HOOK_ID_COUNT = 256;

// A fresh hook id, 0 first; raises "Too many hook ids" once all 256 are taken.
[[nodiscard]] int32_t NewHookId();

// Adds func to the chain of hookId. Larger priorities run first; equal priorities run in the
// order they were installed. An id that NewHookId never handed out raises "Invalid hook id".
void InstallHook(int32_t hookId, THookFunction func, Ref<TObject> context, int32_t priority = 0);

// Removes the first hook of the chain with this func and context; nothing if there is none.
void UninstallHook(int32_t hookId, THookFunction func, const Ref<TObject>& context);

// Runs the chain of hookId, each hook getting what the one before returned; gives the last
// result (data itself for an empty chain or an invalid id).
Ref<TObject> CallHooks(int32_t hookId, Ref<TObject> data);

}  // namespace qrv
