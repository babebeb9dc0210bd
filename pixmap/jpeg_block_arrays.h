#pragma once

// Include after <cstdio>, which libjpeg needs (pixmap/jpeg_glue.h does).

#include "pixmap/decode_scratch.h"
#include "pixmap/jpeg_glue.h"

namespace qrv {

// The whole-image coefficient arrays libjpeg keeps for progressive and multi-scan pictures
// (up to 6 bytes a pixel), held in a decode scratch instead of fresh memory of libjpeg's pool.
// Installed into a decompressor's memory manager, this answers its requests for block arrays
// of the image pool with libjpeg's own checks: the memory limit of the manager, and no access
// past the rows written. Plain data, kept in the decoder state; the scratch is its owner's.
struct TJpegBlockArrays {
    struct TArray {
        JDIMENSION blocksPerRow;
        JDIMENSION rows;
        JDIMENSION maxAccess;
        JDIMENSION firstUndefinedRow;  // rows from here on were never written
        boolean preZero;               // rows read before they are written read as zero
        JBLOCKROW* rowPointers;        // null until the arrays are realised
    };

    TArray arrays[MAX_COMPONENTS];
    int count;
    TDecodeScratch* scratch;
    // libjpeg's own methods, for what is not answered here.
    jvirt_barray_ptr (*request)(j_common_ptr, int, boolean, JDIMENSION, JDIMENSION, JDIMENSION);
    void (*realize)(j_common_ptr);
    JBLOCKARRAY (*access)(j_common_ptr, jvirt_barray_ptr, JDIMENSION, JDIMENSION, boolean);
};

// Call after jpeg_create_decompress, for a decompressor that decodes one picture; the
// decompressor's client_data then points at `arrays`.
void InstallJpegBlockArrays(j_decompress_ptr info, TJpegBlockArrays& arrays,
                            TDecodeScratch& scratch);

}  // namespace qrv
