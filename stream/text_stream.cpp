#include "stream/text_stream.h"

#include <utility>

#include "core/error.h"
#include "core/text.h"
#include "core/text_to_int.h"
#include "stream/c_stream.h"
#include "stream/single_precision.h"
#include "stream/stream_exceptions.h"
#include "stream/text_numbers.h"

namespace qrv {
namespace {

constexpr int32_t kHexBytesPerLine = 32;
constexpr char kHexDigits[] = "0123456789ABCDEF";

int32_t EncodingOfProtocol(std::u16string_view protocol) {
    if (protocol == u"latin1") return ENCODING_LATIN1;
    if (protocol == u"utf8") return ENCODING_UTF8;
    if (protocol == u"utf16be") return ENCODING_UTF16BE;
    if (protocol == u"utf16le") return ENCODING_UTF16LE;
    return 0;
}

}  // namespace

Ref<TTextStream> TTextStream::OverStream(Ref<TStream> stream, int32_t encoding) {
    Ref<TTextStream> text(new TTextStream(encoding));
    text->SetInner(std::move(stream));
    return text;
}

bool TTextStream::InnerAtEnd() {
    return pendingLowSurrogate == 0 && pendingByte < 0 && (!Inner() || Inner()->AtEnd());
}

int32_t TTextStream::ReadRawByte() {
    if (pendingByte >= 0) return std::exchange(pendingByte, -1);
    return Inner() ? Inner()->ReadUInt8() : 0;
}

void TTextStream::WriteRawByte(int32_t byte) {
    if (!Inner()) throw TStreamWriteException();
    // A byte read ahead is not consumed: a write belongs where it begins.
    if (pendingByte >= 0) {
        pendingByte = -1;
        const int32_t position = Inner()->Position();
        if (position > 0) Inner()->Seek(position - 1);
    }
    Inner()->WriteUInt8(byte);
}

int32_t TTextStream::Position() {
    const int32_t position = TStreamWrapper::Position();
    return position > 0 && pendingByte >= 0 ? position - 1 : position;
}

int32_t TTextStream::Seek(int32_t pos) {
    pendingLowSurrogate = 0;
    pendingByte = -1;
    return TStreamWrapper::Seek(pos);
}

void TTextStream::Close() {
    pendingLowSurrogate = 0;
    pendingByte = -1;
    TStreamWrapper::Close();
}

int TTextStream::NextByteOfCharacter() {
    if (pendingByte >= 0) return std::exchange(pendingByte, -1);
    if (!Inner() || Inner()->AtEnd()) return -1;
    return Inner()->ReadUInt8();
}

char16_t TTextStream::FirstUnitOf(char32_t codePoint) {
    if (codePoint < 0x10000) return static_cast<char16_t>(codePoint);
    pendingLowSurrogate = static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
    return static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10));
}

char16_t TTextStream::DecodeChar() {
    if (pendingLowSurrogate != 0) return std::exchange(pendingLowSurrogate, u'\0');
    const int32_t b0 = ReadRawByte();
    switch (encoding) {
    case ENCODING_LATIN1:
        return static_cast<char16_t>(b0);
    case ENCODING_UTF8:
        return FirstUnitOf(DecodeUtf8(static_cast<uint8_t>(b0), [this] { return NextByteOfCharacter(); },
                                      [this](int byte) { pendingByte = byte; }));
    case ENCODING_UTF16BE:
        return static_cast<char16_t>(b0 * 256 + ReadRawByte());
    case ENCODING_UTF16LE:
        return static_cast<char16_t>(b0 + ReadRawByte() * 256);
    default:
        return 0;  // the byte is consumed all the same, so reading always advances
    }
}

void TTextStream::EncodeChar(char16_t c) {
    switch (encoding) {
    case ENCODING_LATIN1:
        WriteRawByte(c & 0xFF);
        break;
    case ENCODING_UTF8:
        WriteUtf8(std::u16string_view(&c, 1));
        break;
    case ENCODING_UTF16BE:
        WriteRawByte(c / 256);
        WriteRawByte(c & 0xFF);
        break;
    case ENCODING_UTF16LE:
        WriteRawByte(c & 0xFF);
        WriteRawByte(c / 256);
        break;
    default:
        break;
    }
}

void TTextStream::ReadPendingLineEnd() {
    if (hexLineCount == 0) return;
    hexLineCount = 0;
    // Hexadecimal data may end the stream without a line end; reading on finds nothing then.
    if (InnerAtEnd()) return;
    int32_t byte = ReadRawByte();
    if (byte == 13) byte = ReadRawByte();
    if (byte != 10) throw TRuntimeError("Malformed line terminator");
}

void TTextStream::WritePendingLineEnd() {
    if (hexLineCount == 0) return;
    WriteRawByte(13);
    WriteRawByte(10);
    hexLineCount = 0;
}

int32_t TTextStream::ReadHexDigit() {
    const int32_t c = ReadRawByte();
    return c - 48 <= 9 ? c - 48 : c - 55;
}

int32_t TTextStream::Read(void* buffer, int32_t count) {
    auto* bytes = static_cast<uint8_t*>(buffer);
    for (int32_t i = 0; i < count; ++i) {
        if (hexLineCount == kHexBytesPerLine) ReadPendingLineEnd();
        const int32_t high = ReadHexDigit();
        bytes[i] = static_cast<uint8_t>(high * 16 + ReadHexDigit());
        ++hexLineCount;
    }
    return count < 0 ? 0 : count;
}

int32_t TTextStream::Write(const void* buffer, int32_t count) {
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    for (int32_t i = 0; i < count; ++i) {
        WriteRawByte(kHexDigits[bytes[i] >> 4]);
        WriteRawByte(kHexDigits[bytes[i] & 15]);
        if (++hexLineCount == kHexBytesPerLine) WritePendingLineEnd();
    }
    return count < 0 ? 0 : count;
}

int32_t TTextStream::ReadUInt8() {
    return TextToInt(ReadTextLine());
}

void TTextStream::WriteUInt8(int32_t value) {
    WriteTextLine(DecimalText(int64_t{value}));
}

int32_t TTextStream::ReadUInt16() {
    return TextToInt(ReadTextLine());
}

void TTextStream::WriteUInt16(int32_t value) {
    WriteTextLine(DecimalText(int64_t{value}));
}

int32_t TTextStream::ReadInt32() {
    return TextToInt(ReadTextLine());
}

void TTextStream::WriteInt32(int32_t value) {
    WriteTextLine(DecimalText(int64_t{value}));
}

int64_t TTextStream::ReadInt64() {
    return TextToInt64(ReadTextLine());
}

void TTextStream::WriteInt64(int64_t value) {
    WriteTextLine(DecimalText(value));
}

float TTextStream::ReadFloat32() {
    return ToSinglePrecision(TextToReal(ReadTextLine()));
}

void TTextStream::WriteFloat32(double value) {
    WriteTextLine(DecimalText(ToSinglePrecision(value)));
}

double TTextStream::ReadFloat64() {
    return TextToReal(ReadTextLine());
}

void TTextStream::WriteFloat64(double value) {
    WriteTextLine(DecimalText(value));
}

std::u16string TTextStream::ReadTextLine() {
    ReadPendingLineEnd();
    std::u16string line;
    if (encoding == ENCODING_UTF8 || encoding == ENCODING_LATIN1) {
        if (auto* file = dynamic_cast<TCStream*>(Inner().get())) {
            ReadLineFromFile(*file, line);
            return line;
        }
    }
    while (!InnerAtEnd()) {
        const char16_t c = DecodeChar();
        if (c == 0 || c == 10) break;
        if (c != 13) line.push_back(c);
    }
    return line;
}

// The same decoding and line rules as DecodeChar and the loop above, without a virtual call per
// byte: lines of a text file are the common case.
void TTextStream::ReadLineFromFile(TCStream& file, std::u16string& line) {
    const auto next = [&] { return pendingByte >= 0 ? std::exchange(pendingByte, -1) : file.ReadByte(); };
    const auto giveBack = [this](int byte) { pendingByte = byte; };
    if (pendingLowSurrogate != 0) line.push_back(std::exchange(pendingLowSurrogate, u'\0'));
    for (;;) {
        const int byte = next();
        if (byte < 0) return;
        char32_t c = static_cast<char32_t>(byte);
        if (byte >= 0x80 && encoding == ENCODING_UTF8) c = DecodeUtf8(static_cast<uint8_t>(byte), next, giveBack);
        if (c == 0 || c == 10) return;
        if (c == 13) continue;
        if (c < 0x10000) {
            line.push_back(static_cast<char16_t>(c));
        } else {
            line.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            line.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        }
    }
}

bool TTextStream::WriteTextLine(std::u16string_view text) {
    WriteChars(text);
    WriteChars(u"\r\n");
    return true;
}

std::u16string TTextStream::ReadChars(int32_t count) {
    ReadPendingLineEnd();
    std::u16string text;
    for (int32_t i = 0; i < count; ++i) text.push_back(DecodeChar());
    return text;
}

void TTextStream::WriteChars(std::u16string_view text) {
    WritePendingLineEnd();
    if (encoding == ENCODING_UTF8) {
        WriteUtf8(text);
        return;
    }
    for (const char16_t c : text) EncodeChar(c);
}

void TTextStream::WriteUtf8(std::u16string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        EncodeUtf8(CodePointAt(text, i), [this](uint8_t byte) { WriteRawByte(byte); });
    }
}

std::u16string TTextStream::ReadToEnd() {
    ReadPendingLineEnd();
    std::u16string text;
    while (!InnerAtEnd()) text.push_back(DecodeChar());
    return text;
}

Ref<TStream> TTextStreamFactory::TryOpen(const Ref<TObject>&, std::u16string_view protocol,
                                         std::u16string_view path, bool readable, bool writeable) {
    const int32_t encoding = EncodingOfProtocol(protocol);
    if (encoding == 0) return nullptr;
    auto stream = OpenUrl(path, readable, writeable);
    if (!stream) return nullptr;
    return TTextStream::OverStream(std::move(stream), encoding);
}

}  // namespace qrv
