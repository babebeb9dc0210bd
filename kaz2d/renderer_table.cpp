#include "kaz2d/renderer_table.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "kaz2d/graphics_module.h"

namespace qrv {

namespace {

// Newest first.
std::vector<TRendererEntry>& Table() {
    static std::vector<TRendererEntry> entries;
    return entries;
}

const TRendererEntry* EntryNamed(std::string_view name) {
    const auto& entries = Table();
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [&](const TRendererEntry& entry) { return entry.name == name; });
    return found == entries.end() ? nullptr : &*found;
}

// The most preferred entries first, the newer first among equals.
std::vector<const TRendererEntry*> ByPreference() {
    std::vector<const TRendererEntry*> order;
    for (const TRendererEntry& entry : Table()) order.push_back(&entry);
    std::stable_sort(order.begin(), order.end(), [](const auto* a, const auto* b) {
        return a->preference > b->preference;
    });
    return order;
}

void Select(const Ref<TKaz2DDriver>& driver) {
    SelectGraphicsDriver(driver, GFX_BACK_BUFFER);
}

}  // namespace

bool RegisterRenderer(TRendererEntry entry) {
    if (!entry.driverHere || EntryNamed(entry.name)) return false;
    auto& entries = Table();
    entries.insert(entries.begin(), std::move(entry));
    return true;
}

bool SelectRenderer(std::string_view name) {
    const TRendererEntry* entry = EntryNamed(name);
    const Ref<TKaz2DDriver> driver = entry ? entry->driverHere() : nullptr;
    if (!driver) return false;
    Select(driver);
    return true;
}

void SelectStartupRenderer(const char* chosen) {
    if (chosen && *chosen) {
        if (!SelectRenderer(chosen) && !CurrentGraphicsDriver()) {
            NoGraphicsDriverBecause(std::string(RENDERER_VARIABLE) + " names \"" + chosen +
                                    "\", and no renderer of that name can run here");
        }
        return;
    }
    for (const TRendererEntry* entry : ByPreference()) {
        if (const Ref<TKaz2DDriver> driver = entry->driverHere()) {
            Select(driver);
            return;
        }
    }
    if (!CurrentGraphicsDriver()) NoGraphicsDriverBecause("no renderer can run here");
}

}  // namespace qrv
