// Files: reads a picture, a text file in UTF-16 with a byte-order mark and a text compiled into
// the program, through URLs whose protocols nest ("utf8::incbin::greeting.txt" is UTF-8 text
// over an embedded file); saves a grey, enlarged copy of the picture and shows what it read.
// Escape or the window's close button ends it.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "example_run.h"
#include "framework/framework.h"

// Made by qrv_embed_files in CMakeLists.txt: registers greeting.txt as "incbin::greeting.txt".
void RegisterExampleFiles();

namespace {

// Every line of a text stream: the utf8 protocol decodes the bytes of the embedded file.
std::vector<std::u16string> ReadLines(std::u16string_view url) {
    std::vector<std::u16string> lines;
    const qrv::Ref<qrv::TStream> stream = qrv::OpenReadStream(url);
    if (!stream) return lines;
    while (!stream->AtEnd()) lines.push_back(stream->ReadTextLine());
    stream->Close();
    return lines;
}

// The picture's width as its PNG header stores it: a big-endian number at byte 16, read
// through the bigendian protocol over the file.
int StoredPngWidth(std::u16string_view path) {
    const auto stream = qrv::OpenReadStream(u"bigendian::" + std::u16string(path));
    if (!stream) return -1;
    stream->Seek(16);
    const int width = stream->ReadInt32();
    stream->Close();
    return width;
}

}  // namespace

int main(int argc, char** argv) {
    qrv::InitFramework();
    RegisterExampleFiles();
    ExampleRun run(argc, argv);

    const qrv::Ref<qrv::TPixmap> picture = qrv::PixmapFromUrl(u"dart.png");
    const std::u16string notes = qrv::ReadWholeText(u"notes-utf16.txt");
    const std::vector<std::u16string> greeting = ReadLines(u"utf8::incbin::greeting.txt");
    if (!picture || greeting.empty()) {
        std::fprintf(stderr, "files: cannot read dart.png or incbin::greeting.txt\n");
        return 1;
    }
    // Grey, three times as large, saved as PNG and read back to be shown.
    const auto grey = qrv::ResampleBilinear(qrv::ConvertedTo(picture, qrv::FormatGrey8),
                                            picture->Width() * 3, picture->Height() * 3);
    if (!qrv::SavePixmapPNG(grey, u"converted.png", 9)) {
        std::fprintf(stderr, "files: cannot write converted.png\n");
        return 1;
    }
    const qrv::Ref<qrv::TPixmap> converted = qrv::PixmapFromUrl(u"converted.png");

    if (!qrv::OpenGraphicsWindow(480, 320, 0, 60, 0)) {
        std::fprintf(stderr, "files: no window\n");
        return 1;
    }
    qrv::SetClearColor(24, 32, 28);
    do {
        qrv::ClearScreen();
        qrv::SetDrawColor(255, 255, 255);
        qrv::DrawTextAt(u"dart.png: " + qrv::IntegerText(picture->Width()) + u" x " +
                            qrv::IntegerText(picture->Height()) + u", header says width " +
                            qrv::IntegerText(StoredPngWidth(u"dart.png")),
                        10, 10);
        qrv::DrawPixmapAt(picture, 10, 34);
        qrv::DrawTextAt(u"converted.png (grey, x3):", 200, 34);
        if (converted) qrv::DrawPixmapAt(converted, 300, 60);

        qrv::SetDrawColor(250, 220, 120);
        qrv::DrawTextAt(u"notes-utf16.txt, " + qrv::IntegerText(static_cast<int>(notes.size())) +
                            u" characters:", 10, 170);
        float y = 190;
        for (std::size_t start = 0; start < notes.size(); y += 18) {
            const std::size_t end = std::min(notes.find(u'\n', start), notes.size());
            qrv::DrawTextAt(std::u16string_view(notes).substr(start, end - start), 18, y);
            start = end + 1;
        }
        qrv::SetDrawColor(140, 230, 160);
        for (const std::u16string& line : greeting) {
            qrv::DrawTextAt(line, 10, y + 8);
            y += 18;
        }
    } while (run.PresentAndContinue());
    return run.ExitCode();
}
