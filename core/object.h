#pragma once

#include <memory>
#include <string>

namespace qrv {

// Objects shared by reference are held in shared pointers: the last reference frees them.
template <class T>
using Ref = std::shared_ptr<T>;

// The root of every framework class. Operations that accept "any object" (a URL that may be a
// text, a stream or a bank; hook data; an event's source) take Ref<TObject> and test its type.
class TObject {
public:
    virtual ~TObject() = default;
    // A text for people: "Object", unless a class says more (a TText gives its text).
    virtual std::u16string ToString() const;
};

// A text wrapped as an object, so that it can travel where any object may.
class TText final : public TObject {
public:
    explicit TText(std::u16string text) : value(std::move(text)) {}
    std::u16string ToString() const override { return value; }
    // The text the object holds.
    const std::u16string value;
};

// A new TText holding the text, as an object.
Ref<TObject> MakeText(std::u16string value);

// The text of an object when it is a TText, else nullptr.
const std::u16string* AsText(const Ref<TObject>& object);

}  // namespace qrv
