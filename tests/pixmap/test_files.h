#pragma once

#include <png.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace pixmap_test {

using Bytes = std::vector<uint8_t>;

// A fresh folder under the system's temporary folder, removed with everything in it.
class TTempFolder {
public:
    TTempFolder();
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    std::u16string Path(const std::string& name) const;

private:
    std::filesystem::path folder;
};

Bytes ReadFileBytes(const std::u16string& path);
void WriteFileBytes(const std::u16string& path, const Bytes& bytes);

// Any PNG libpng can write, for the layouts the save functions do not produce. Rows hold the
// raw samples (16-bit samples big-endian, sub-byte depths packed).
struct TPngPicture {
    int width = 0;
    int height = 0;
    int bitDepth = 8;
    int colorType = PNG_COLOR_TYPE_RGB;
    bool interlaced = false;
    std::vector<png_color> palette;
    Bytes transparency;  // the tRNS chunk of a palette picture, one alpha per entry
    bool hasTransparentColour = false;  // the tRNS chunk of a grey or RGB picture
    png_color_16 transparentColour{};
    std::vector<Bytes> rows;
};

// Writes the picture with libpng; false when libpng refused it.
bool WritePngPicture(const std::u16string& path, const TPngPicture& picture);

}  // namespace pixmap_test
