#include "core/boxed_values.h"

#include <cstdio>

#include "core/text.h"

namespace qrv {

std::u16string TInteger::ToString() const {
    return FromLatin1(std::to_string(value));
}

std::u16string TReal::ToString() const {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return FromLatin1(text);
}

Ref<TObject> MakeInteger(int64_t value) {
    return std::make_shared<TInteger>(value);
}

Ref<TObject> MakeReal(double value) {
    return std::make_shared<TReal>(value);
}

const int64_t* AsInteger(const Ref<TObject>& object) {
    const auto* boxed = dynamic_cast<const TInteger*>(object.get());
    return boxed ? &boxed->value : nullptr;
}

const double* AsReal(const Ref<TObject>& object) {
    const auto* boxed = dynamic_cast<const TReal*>(object.get());
    return boxed ? &boxed->value : nullptr;
}

}  // namespace qrv
