#pragma once

#include <string_view>

#include "stream/stream.h"

namespace qrv {

// Serves the URLs of one or more protocols. Factories form one process-wide list, newest first;
// OpenUrl asks them in that order and takes the first stream given.
class TStreamFactory : public TObject {
public:
    // `protocol` is already lower-cased; `url` is the object that was opened (a text, or e.g. a
    // memory bank). Gives a stream, or none to let the next factory try. The base version
    // raises "Attempt to call abstract method".
    virtual Ref<TStream> TryOpen(const Ref<TObject>& url, std::u16string_view protocol,
                                 std::u16string_view path, bool readable, bool writeable);

    // The factory registered before this one, or none.
    const Ref<TStreamFactory>& Next() const { return next; }

private:
    friend void AddStreamFactory(Ref<TStreamFactory> factory);
    Ref<TStreamFactory> next;
};

// Links `factory` in at the head of the list, for the life of the process.
void AddStreamFactory(Ref<TStreamFactory> factory);

// Creates a factory and links it in: the way factories come into being.
template <class T, class... Args>
Ref<T> NewStreamFactory(Args&&... args) {
    auto factory = std::make_shared<T>(std::forward<Args>(args)...);
    AddStreamFactory(factory);
    return factory;
}

// The newest factory, or none while the list is empty.
const Ref<TStreamFactory>& FirstStreamFactory();

}  // namespace qrv
