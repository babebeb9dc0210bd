#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <typeindex>

#include "core/object.h"

namespace qrv {

class TDataReader;
class TDataWriter;

// How one class of objects is written to and read from data streams. The name is stable across
// runs and machines; the version is the one written, and the reader accepts every version from
// 1 up to it, so data written before a type grew stays readable.
struct TDataType {
    // The name written with each object of the class: 1 to 255 bytes, unique in the registry.
    std::string name;
    // The version written, 1..65535.
    int32_t version = 1;
    std::type_index type{typeid(void)};  // the exact class; subclasses need their own type
    // Writes the object's contents; the object is of exactly the registered class.
    std::function<void(TDataWriter&, const TObject&)> write;
    // Makes an object from what `write` wrote, given the version found in the data; giving none
    // raises TDataReadException.
    std::function<Ref<TObject>(TDataReader&, int32_t version)> read;
    // Drops the references a half-read object holds, so that a cycle read from broken data does
    // not keep itself alive. Only containers need one.
    std::function<void(TObject&)> unlink;
};

// Adds a type to the process-wide registry, for the life of the process. Gives false (and
// changes nothing) when the name or the class is registered already (the first one wins), for a
// name that is empty or longer than 255 bytes, and for a version outside 1..65535.
bool RegisterDataType(TDataType type);

// Registers the class T with typed write and read functions.
template <class T>
bool RegisterDataType(std::string name, int32_t version,
                      std::function<void(TDataWriter&, const T&)> write,
                      std::function<Ref<TObject>(TDataReader&, int32_t)> read,
                      std::function<void(T&)> unlink = {}) {
    TDataType type;
    type.name = std::move(name);
    type.version = version;
    type.type = typeid(T);
    type.write = [write = std::move(write)](TDataWriter& out, const TObject& object) {
        write(out, static_cast<const T&>(object));
    };
    type.read = std::move(read);
    if (unlink)
        type.unlink = [unlink = std::move(unlink)](TObject& object) {
            unlink(static_cast<T&>(object));
        };
    return RegisterDataType(std::move(type));
}

// FindDataType and DataTypeOf: the registered type of that name, or of the object's exact class;
// nullptr when none.
const TDataType* FindDataType(std::string_view name);
const TDataType* DataTypeOf(const TObject& object);

}  // namespace qrv
