#pragma once

#include <cstdint>
#include <vector>

#include "core/object.h"

namespace qrv {

// An ordered list of object references (none is a valid entry). Indices run from 0; an index
// outside the list gives none or changes nothing. A list may hold itself, directly or through
// other lists: such a cycle keeps itself alive until Clear breaks it.
class TObjectList final : public TObject {
public:
    TObjectList() = default;
    // Releases the items without recursion, so that a long chain of lists costs no stack.
    ~TObjectList() override;
    TObjectList(const TObjectList&) = default;
    TObjectList& operator=(const TObjectList&) = default;

    // The number of entries (none counts as one).
    int32_t Count() const { return static_cast<int32_t>(items.size()); }
    // The entry at the index; none for an index outside the list.
    Ref<TObject> At(int32_t index) const;
    // False (and nothing changes) for an index outside the list.
    bool Set(int32_t index, Ref<TObject> object);
    // Appends the object (none may be added) at the end.
    void Add(Ref<TObject> object);
    // Index may be Count() to append; false for an index outside 0..Count().
    bool Insert(int32_t index, Ref<TObject> object);
    // Removes and gives the entry at the index; none for an index outside the list.
    Ref<TObject> RemoveAt(int32_t index);
    // Removes the first entry that is this very object; false when there is none.
    bool Remove(const Ref<TObject>& object);
    // The index of the first entry that is this very object, or -1.
    int32_t IndexOf(const Ref<TObject>& object) const;
    // Removes every entry, which also breaks any cycle the list is part of.
    void Clear() { items.clear(); }

    // begin and end: iteration over the entries in order, for range-based for loops.
    auto begin() const { return items.begin(); }
    auto end() const { return items.end(); }

private:
    bool Holds(int32_t index) const { return index >= 0 && index < Count(); }
    std::vector<Ref<TObject>> items;
};

}  // namespace qrv
