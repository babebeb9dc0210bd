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
    const int64_t value;
};

// A real number wrapped as an object.
class TReal final : public TObject {
public:
    explicit TReal(double number) : value(number) {}
    std::u16string ToString() const override;
    const double value;
};

Ref<TObject> MakeInteger(int64_t value);
Ref<TObject> MakeReal(double value);

// The value of an object when it is a TInteger (or TReal), else nullptr.
const int64_t* AsInteger(const Ref<TObject>& object);
const double* AsReal(const Ref<TObject>& object);

}  // namespace qrv
