#include "core/object.h"

namespace qrv {

std::u16string TObject::ToString() const {
    return u"Object";
}

Ref<TObject> MakeText(std::u16string value) {
    return std::make_shared<TText>(std::move(value));
}

const std::u16string* AsText(const Ref<TObject>& object) {
    auto text = std::dynamic_pointer_cast<TText>(object);
    return text ? &text->value : nullptr;
}

}  // namespace qrv
