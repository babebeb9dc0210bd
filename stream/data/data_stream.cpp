#include "stream/data/data_stream.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/byte_order.h"
#include "core/error.h"
#include "stream/data/data_exceptions.h"
#include "stream/data/data_reader.h"
#include "stream/data/data_writer.h"

namespace qrv {

namespace {

constexpr size_t kHeaderBytes = 8;
// The graph buffer grows by at least this much, and at most doubles, as its bytes arrive, so a
// length that lies costs no more memory than the data that actually came.
constexpr size_t kReadChunk = 64 * 1024;

}  // namespace

Ref<TDataStream> DataStreamOver(Ref<TStream> inner) {
    auto stream = std::make_shared<TDataStream>();
    stream->SetInner(std::move(inner));
    return stream;
}

void TDataStream::ReadExactly(uint8_t* buffer, size_t count, const char* what) {
    size_t done = 0;
    while (done < count) {
        const auto piece = static_cast<int32_t>(std::min<size_t>(count - done, kReadChunk));
        const int32_t got = Read(buffer + done, piece);
        if (got <= 0) TDataReader::Fail(std::string("data ends early in ") + what);
        done += static_cast<size_t>(got);
    }
}

void TDataStream::ReadHeader() {
    uint8_t header[kHeaderBytes];
    ReadExactly(header, kHeaderBytes, "the header");
    if (std::memcmp(header, kMagic, sizeof kMagic) != 0)
        TDataReader::Fail("not data: the magic is wrong");
    const uint32_t version = LoadLittleEndian<uint32_t>(header + 4);
    if (version != kFormatVersion)
        TDataReader::Fail("unsupported format version " + std::to_string(version));
    headerRead = true;
}

Ref<TObject> TDataStream::ReadSerialized() {
    if (!headerRead) ReadHeader();
    uint8_t prefix[4];
    ReadExactly(prefix, sizeof prefix, "an object's length");
    const uint32_t length = LoadLittleEndian<uint32_t>(prefix);
    if (length > MAX_GRAPH_BYTES)
        TDataReader::Fail("object length " + std::to_string(length) + " beyond the limit");
    std::vector<uint8_t> graph;
    while (graph.size() < length) {
        const size_t have = graph.size();
        const size_t grow = std::min<size_t>(length - have, std::max(kReadChunk, have));
        graph.resize(have + grow);
        ReadExactly(graph.data() + have, grow, "an object");
    }
    TDataReader reader(graph.data(), graph.size());
    return reader.ReadRoot();
}

void TDataStream::WriteSerialized(const Ref<TObject>& object) {
    TDataWriter writer;
    writer.WriteObject(object);
    const std::vector<uint8_t>& graph = writer.Bytes();
    if (!headerWritten) {
        uint8_t header[kHeaderBytes];
        std::memcpy(header, kMagic, sizeof kMagic);
        StoreLittleEndian(header + 4, kFormatVersion);
        WriteFully(header, kHeaderBytes);
        headerWritten = true;
    }
    uint8_t prefix[4];
    StoreLittleEndian(prefix, static_cast<uint32_t>(graph.size()));
    WriteFully(prefix, sizeof prefix);
    WriteFully(graph.data(), static_cast<int32_t>(graph.size()));
}

Ref<TStream> TDataStreamFactory::TryOpen(const Ref<TObject>&, std::u16string_view protocol,
                                         std::u16string_view path, bool readable, bool writeable) {
    if (protocol != u"data") return nullptr;
    if (readable && writeable)
        throw TRuntimeError("DataStreams can not be both readable and writeable");
    Ref<TStream> inner = OpenUrl(path, readable, writeable);
    if (!inner) return nullptr;
    return DataStreamOver(std::move(inner));
}

}  // namespace qrv
