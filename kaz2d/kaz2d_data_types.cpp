#include "kaz2d/kaz2d_data_types.h"

#include "kaz2d/image.h"
#include "stream/data/data_reader.h"
#include "stream/data/data_types.h"
#include "stream/data/data_writer.h"

namespace qrv {

namespace {

void WriteImage(TDataWriter& out, const TImage& image) {
    out.WriteInt32(image.width);
    out.WriteInt32(image.height);
    out.WriteInt32(image.flags);
    out.WriteInt32(image.maskRed);
    out.WriteInt32(image.maskGreen);
    out.WriteInt32(image.maskBlue);
    out.WriteFloat32(image.handleX);
    out.WriteFloat32(image.handleY);
    out.WriteUInt32(static_cast<uint32_t>(image.FrameCount()));
    for (int32_t i = 0; i < image.FrameCount(); ++i) out.WriteObject(image.Pixels(i));
}

// The frames' pixmaps are stored as they were: they were masked when they were set, and
// renderer frames are made again on the first draw.
Ref<TObject> ReadImage(TDataReader& in, int32_t) {
    const int32_t width = in.ReadInt32();
    const int32_t height = in.ReadInt32();
    const int32_t flags = in.ReadInt32();
    const int32_t maskRed = in.ReadInt32();
    const int32_t maskGreen = in.ReadInt32();
    const int32_t maskBlue = in.ReadInt32();
    const float handleX = in.ReadFloat32();
    const float handleY = in.ReadFloat32();
    const uint32_t frameCount = in.ReadCount(1, "image frames");
    Ref<TImage> image = TImage::Create(width, height, static_cast<int32_t>(frameCount), flags,
                                       maskRed, maskGreen, maskBlue);
    if (!image) TDataReader::Fail("image cannot be made");
    image->handleX = handleX;
    image->handleY = handleY;
    for (Ref<TPixmap>& slot : image->pixmaps) {
        const Ref<TObject> frame = in.ReadObject();
        slot = std::dynamic_pointer_cast<TPixmap>(frame);
        if (frame && !slot) TDataReader::Fail("image frame is not a pixmap");
    }
    return image;
}

void WriteMode(TDataWriter& out, const TGraphicsModeObject& object) {
    out.WriteInt32(object.mode.width);
    out.WriteInt32(object.mode.height);
    out.WriteInt32(object.mode.depth);
    out.WriteInt32(object.mode.hertz);
}

Ref<TObject> ReadMode(TDataReader& in, int32_t) {
    TGraphicsMode mode;
    mode.width = in.ReadInt32();
    mode.height = in.ReadInt32();
    mode.depth = in.ReadInt32();
    mode.hertz = in.ReadInt32();
    return MakeGraphicsModeObject(mode);
}

}  // namespace

Ref<TObject> MakeGraphicsModeObject(const TGraphicsMode& mode) {
    return std::make_shared<TGraphicsModeObject>(mode);
}

void RegisterKaz2DDataTypes() {
    RegisterDataType<TImage>("qrv.kaz2d.TImage", 1, WriteImage, ReadImage);
    RegisterDataType<TGraphicsModeObject>("qrv.kaz2d.TGraphicsMode", 1, WriteMode, ReadMode);
}

}  // namespace qrv
