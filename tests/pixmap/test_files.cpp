#include "test_files.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>

#include "core/text.h"

namespace pixmap_test {

TTempFolder::TTempFolder() {
    std::random_device seed;
    folder = std::filesystem::temp_directory_path() /
             ("pixmap-test-" + std::to_string(seed()) + "-" + std::to_string(seed()));
    std::filesystem::create_directories(folder);
}

TTempFolder::~TTempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

std::u16string TTempFolder::Path(const std::string& name) const {
    return qrv::FromUtf8((folder / name).string());
}

Bytes ReadFileBytes(const std::u16string& path) {
    std::ifstream in(qrv::ToUtf8(path), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::u16string& path, const Bytes& bytes) {
    std::ofstream out(qrv::ToUtf8(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

namespace {

// Holds plain data only: libpng may jump back here.
bool WriteWithLibpng(FILE* file, const TPngPicture* picture, png_bytepp rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_benign_errors(png, 1);  // pixels past the palette are written, for the loader tests
    png_set_IHDR(png, info, picture->width, picture->height, picture->bitDepth,
                 picture->colorType,
                 picture->interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!picture->palette.empty())
        png_set_PLTE(png, info, picture->palette.data(), static_cast<int>(picture->palette.size()));
    if (!picture->transparency.empty())
        png_set_tRNS(png, info, picture->transparency.data(),
                     static_cast<int>(picture->transparency.size()), nullptr);
    if (picture->hasTransparentColour) {
        png_color_16 colour = picture->transparentColour;
        png_set_tRNS(png, info, nullptr, 0, &colour);
    }
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WritePngPicture(const std::u16string& path, const TPngPicture& picture) {
    std::vector<png_bytep> rows;
    std::vector<Bytes> copies = picture.rows;
    for (Bytes& row : copies) rows.push_back(row.data());
    FILE* file = std::fopen(qrv::ToUtf8(path).c_str(), "wb");
    if (!file) return false;
    bool written = WriteWithLibpng(file, &picture, rows.data());
    std::fclose(file);
    return written;
}

}  // namespace pixmap_test
