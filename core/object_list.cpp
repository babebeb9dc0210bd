#include "core/object_list.h"

namespace qrv {

// A list whose last owner is this one would release its own items from inside its destructor,
// one call deeper for every list in a chain: such a list's items join the pending ones instead.
TObjectList::~TObjectList() {
    std::vector<Ref<TObject>> pending = std::move(items);
    while (!pending.empty()) {
        const Ref<TObject> item = std::move(pending.back());
        pending.pop_back();
        auto* list = item.use_count() == 1 ? dynamic_cast<TObjectList*>(item.get()) : nullptr;
        if (!list) continue;
        for (Ref<TObject>& inner : list->items) pending.push_back(std::move(inner));
        list->items.clear();
    }
}

Ref<TObject> TObjectList::At(int32_t index) const {
    return Holds(index) ? items[static_cast<size_t>(index)] : nullptr;
}

bool TObjectList::Set(int32_t index, Ref<TObject> object) {
    if (!Holds(index)) return false;
    items[static_cast<size_t>(index)] = std::move(object);
    return true;
}

void TObjectList::Add(Ref<TObject> object) {
    items.push_back(std::move(object));
}

bool TObjectList::Insert(int32_t index, Ref<TObject> object) {
    if (index < 0 || index > Count()) return false;
    items.insert(items.begin() + index, std::move(object));
    return true;
}

Ref<TObject> TObjectList::RemoveAt(int32_t index) {
    if (!Holds(index)) return nullptr;
    Ref<TObject> removed = std::move(items[static_cast<size_t>(index)]);
    items.erase(items.begin() + index);
    return removed;
}

bool TObjectList::Remove(const Ref<TObject>& object) {
    const int32_t index = IndexOf(object);
    if (index < 0) return false;
    items.erase(items.begin() + index);
    return true;
}

int32_t TObjectList::IndexOf(const Ref<TObject>& object) const {
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == object) return static_cast<int32_t>(i);
    return -1;
}

}  // namespace qrv
