#pragma once

#include <cstdint>
#include <string>

#include "core/object.h"

namespace qrv {

// A whole number wrapped as an object, so that it can travel where any object may (in a list,
// through a data stream).
class TInteger final : public TObject {
public:
    explicit TInteger(int64_t number) : value(number) {}
    std::u16string ToString() const override;
    // The number the object holds.
    const int64_t value;
};

// A real number wrapped as an object.
class TReal final : public TObject {
public:
    explicit TReal(double number) : value(number) {}
    std::u16string ToString() const override;
    // The number the object holds.
    const double value;
};

// MakeInteger and MakeReal: a new TInteger or TReal holding the value, as an object.
Ref<TObject> MakeInteger(int64_t value);
Ref<TObject> MakeReal(double value);

// AsInteger and AsReal: the value of an object when it is a TInteger (or a TReal), else nullptr.
const int64_t* AsInteger(const Ref<TObject>& object);
const double* AsReal(const Ref<TObject>& object);

}  // namespace qrv
