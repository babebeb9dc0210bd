#pragma once

#include "stream/stream_factory.h"
#include "stream/stream_wrapper.h"

namespace qrv {

class TCStream;

// The character encodings of text streams.
constexpr int32_t ENCODING_LATIN1 = 1;   // one byte, the low 8 bits of the code unit
constexpr int32_t ENCODING_UTF8 = 2;     // 1 to 4 bytes per character
constexpr int32_t ENCODING_UTF16BE = 3;  // two bytes, high byte first
constexpr int32_t ENCODING_UTF16LE = 4;  // two bytes, low byte first

// Reads and writes characters in one encoding over an inner stream. Numbers travel as lines of
// decimal text; binary data (Read, Write) as lines of 64 upper-case hexadecimal digits. The
// position, size, seeking and closing are the inner stream's: closing a text stream closes it.
class TTextStream : public TStreamWrapper {
public:
    // A text stream over `stream` in one of the ENCODING_ values (with any other value characters
    // read as 0 and write nothing). Never none; over none it behaves like a closed file.
    [[nodiscard]] static Ref<TTextStream> OverStream(Ref<TStream> stream, int32_t encoding);

    // The ENCODING_ value the stream was made with.
    int32_t Encoding() const { return encoding; }

    // At the end when the inner stream is and no half of a character is left to give.
    bool AtEnd() override { return InnerAtEnd(); }
    // The inner stream's position, less a byte that was read ahead and belongs to the next
    // character.
    int32_t Position() override;
    // Moves the inner stream; a half-given four-byte character is dropped.
    int32_t Seek(int32_t pos) override;
    // Closes the inner stream and drops what was read ahead.
    void Close() override;
    // Every code unit until the inner stream ends, line ends included.
    virtual std::u16string ReadToEnd();
    // One code unit; a four-byte UTF-8 character gives its two surrogates in turn. A malformed
    // UTF-8 sequence gives U+FFFD, and a byte that cannot continue it is left for the next
    // character.
    virtual char16_t DecodeChar();
    // One code unit. In UTF-8 a surrogate on its own is no character and is written as U+FFFD;
    // WriteChars writes a whole pair as one.
    virtual void EncodeChar(char16_t c);
    // One byte of the inner stream, the byte read ahead first when there is one; 0 at the end or
    // without an inner stream.
    virtual int32_t ReadRawByte();
    // One byte (the low 8 bits) to the inner stream, where the next character begins; raises
    // TStreamWriteException without an inner stream.
    virtual void WriteRawByte(int32_t byte);
    // Finishes a hexadecimal line that binary data left open: CR LF or LF must follow it,
    // anything else raises "Malformed line terminator".
    virtual void ReadPendingLineEnd();
    // Ends a hexadecimal line that binary data left open with CR LF; nothing when none is open.
    virtual void WritePendingLineEnd();

    // Binary data as hexadecimal text; both give `count`.
    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;

    // Numbers: one line of text each. Integers are written unmasked and read unmasked.
    int32_t ReadUInt8() override;
    void WriteUInt8(int32_t value) override;
    int32_t ReadUInt16() override;
    void WriteUInt16(int32_t value) override;
    int32_t ReadInt32() override;
    void WriteInt32(int32_t value) override;
    int64_t ReadInt64() override;
    void WriteInt64(int64_t value) override;
    float ReadFloat32() override;
    void WriteFloat32(double value) override;
    double ReadFloat64() override;
    void WriteFloat64(double value) override;

    // Lines end at LF, at a character 0 or where the data ends; CR is dropped. A written line
    // ends with CR LF in the stream's encoding.
    std::u16string ReadTextLine() override;
    bool WriteTextLine(std::u16string_view text) override;
    std::u16string ReadChars(int32_t count) override;
    void WriteChars(std::u16string_view text) override;

private:
    explicit TTextStream(int32_t textEncoding) : encoding(textEncoding) {}
    bool InnerAtEnd();
    int32_t ReadHexDigit();
    // The next byte of a character being decoded, or -1 at the end of the data.
    int NextByteOfCharacter();
    // A code point as the next code unit; a second one waits in pendingLowSurrogate.
    char16_t FirstUnitOf(char32_t codePoint);
    // UTF-8 of the text, a surrogate pair as one character and a lone surrogate as U+FFFD.
    void WriteUtf8(std::u16string_view text);
    // Lines of Latin-1 or UTF-8 text over a file, decoded straight from its buffer.
    void ReadLineFromFile(TCStream& file, std::u16string& line);

    int32_t encoding;
    int32_t hexLineCount = 0;  // bytes on the open hexadecimal line; 0 when none is open
    char16_t pendingLowSurrogate = 0;  // second half of a decoded four-byte UTF-8 character
    int32_t pendingByte = -1;  // a byte read ahead that begins the next character, or -1
};

// "latin1::", "utf8::", "utf16be::" and "utf16le::" followed by the URL of the bytes.
class TTextStreamFactory final : public TStreamFactory {
public:
    Ref<TStream> TryOpen(const Ref<TObject>& url, std::u16string_view protocol,
                         std::u16string_view path, bool readable, bool writeable) override;
};

}  // namespace qrv
