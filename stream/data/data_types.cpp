#include "stream/data/data_types.h"

#include <deque>

namespace qrv {

namespace {

// A deque keeps the entries where they are as it grows: readers and writers hold pointers.
std::deque<TDataType>& Registry() {
    static std::deque<TDataType> registry;
    return registry;
}

}  // namespace

bool RegisterDataType(TDataType type) {
    // The name travels behind a one-byte length and the version as 16 bits.
    if (type.name.empty() || type.name.size() > 255 || type.version < 1 || type.version > 65535)
        return false;
    if (FindDataType(type.name)) return false;
    for (const TDataType& entry : Registry())
        if (entry.type == type.type) return false;
    Registry().push_back(std::move(type));
    return true;
}

const TDataType* FindDataType(std::string_view name) {
    for (const TDataType& entry : Registry())
        if (entry.name == name) return &entry;
    return nullptr;
}

const TDataType* DataTypeOf(const TObject& object) {
    const std::type_index type = typeid(object);
    for (const TDataType& entry : Registry())
        if (entry.type == type) return &entry;
    return nullptr;
}

}  // namespace qrv
