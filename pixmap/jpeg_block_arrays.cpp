#include "pixmap/jpeg_block_arrays.h"

#include <cstring>

#include <jerror.h>

namespace qrv {

namespace {

TJpegBlockArrays& ArraysOf(j_common_ptr info) {
    return *static_cast<TJpegBlockArrays*>(info->client_data);
}

TJpegBlockArrays::TArray* OwnArray(TJpegBlockArrays& arrays, jvirt_barray_ptr handle) {
    for (int i = 0; i < arrays.count; ++i) {
        if (reinterpret_cast<jvirt_barray_ptr>(&arrays.arrays[i]) == handle)
            return &arrays.arrays[i];
    }
    return nullptr;
}

jvirt_barray_ptr RequestBlockArray(j_common_ptr info, int pool, boolean preZero,
                                   JDIMENSION blocksPerRow, JDIMENSION rows,
                                   JDIMENSION maxAccess) {
    TJpegBlockArrays& arrays = ArraysOf(info);
    if (pool != JPOOL_IMAGE || arrays.count == MAX_COMPONENTS)
        return arrays.request(info, pool, preZero, blocksPerRow, rows, maxAccess);
    TJpegBlockArrays::TArray& array = arrays.arrays[arrays.count++];
    array = {blocksPerRow, rows, maxAccess, 0, preZero, nullptr};
    return reinterpret_cast<jvirt_barray_ptr>(&array);
}

// Places every array in one scratch block. libjpeg without backing store fails when its
// arrays would exceed the manager's memory limit: so does this.
void RealizeBlockArrays(j_common_ptr info) {
    TJpegBlockArrays& arrays = ArraysOf(info);
    arrays.realize(info);
    size_t total = 0;
    for (int i = 0; i < arrays.count; ++i) {
        const TJpegBlockArrays::TArray& array = arrays.arrays[i];
        if (array.rowPointers) continue;
        total += size_t{array.blocksPerRow} * array.rows * sizeof(JBLOCK);
    }
    if (total == 0) return;
    const long limit = info->mem->max_memory_to_use;
    if (limit > 0 && total > static_cast<unsigned long>(limit)) ERREXIT(info, JERR_NO_BACKING_STORE);
    auto* blocks = reinterpret_cast<JBLOCKROW>(arrays.scratch->Reserve(total));
    if (!blocks) ERREXIT1(info, JERR_OUT_OF_MEMORY, 10);
    for (int i = 0; i < arrays.count; ++i) {
        TJpegBlockArrays::TArray& array = arrays.arrays[i];
        if (array.rowPointers) continue;
        array.rowPointers = static_cast<JBLOCKROW*>(info->mem->alloc_small(
            info, JPOOL_IMAGE, sizeof(JBLOCKROW) * (array.rows > 0 ? array.rows : 1)));
        for (JDIMENSION row = 0; row < array.rows; ++row, blocks += array.blocksPerRow)
            array.rowPointers[row] = blocks;
    }
}

// As libjpeg does: rows are zeroed (when asked for) as they first come into use, a writer may
// not skip rows, and a reader may not read rows never written unless they read as zero.
JBLOCKARRAY AccessBlockArray(j_common_ptr info, jvirt_barray_ptr handle, JDIMENSION startRow,
                             JDIMENSION rowCount, boolean writable) {
    TJpegBlockArrays& arrays = ArraysOf(info);
    TJpegBlockArrays::TArray* array = OwnArray(arrays, handle);
    if (!array) return arrays.access(info, handle, startRow, rowCount, writable);
    const JDIMENSION endRow = startRow + rowCount;
    if (endRow < startRow || endRow > array->rows || rowCount > array->maxAccess ||
        !array->rowPointers)
        ERREXIT(info, JERR_BAD_VIRTUAL_ACCESS);
    if (array->firstUndefinedRow < endRow) {
        JDIMENSION undefined = array->firstUndefinedRow;
        if (undefined < startRow) {
            if (writable) ERREXIT(info, JERR_BAD_VIRTUAL_ACCESS);
            undefined = startRow;
        }
        if (writable) array->firstUndefinedRow = endRow;
        if (!array->preZero && !writable) ERREXIT(info, JERR_BAD_VIRTUAL_ACCESS);
        if (array->preZero) {
            for (JDIMENSION row = undefined; row < endRow; ++row)
                std::memset(array->rowPointers[row], 0, array->blocksPerRow * sizeof(JBLOCK));
        }
    }
    return array->rowPointers + startRow;
}

}  // namespace

void InstallJpegBlockArrays(j_decompress_ptr info, TJpegBlockArrays& arrays,
                            TDecodeScratch& scratch) {
    jpeg_memory_mgr* memory = info->mem;
    arrays.count = 0;
    arrays.scratch = &scratch;
    arrays.request = memory->request_virt_barray;
    arrays.realize = memory->realize_virt_arrays;
    arrays.access = memory->access_virt_barray;
    memory->request_virt_barray = RequestBlockArray;
    memory->realize_virt_arrays = RealizeBlockArrays;
    memory->access_virt_barray = AccessBlockArray;
    info->client_data = &arrays;
}

}  // namespace qrv
