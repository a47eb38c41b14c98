// Owners of libFLAC's metadata objects: the simple iterator and a block copy,
// each released by its own libFLAC call on every path.
#pragma once

#include <FLAC/metadata.h>

#include <memory>

namespace cvx::flac {

struct IteratorDeleter {
    void operator()(FLAC__Metadata_SimpleIterator* iterator) const {
        FLAC__metadata_simple_iterator_delete(iterator);
    }
};
using SimpleIteratorPtr = std::unique_ptr<FLAC__Metadata_SimpleIterator, IteratorDeleter>;

struct BlockDeleter {
    void operator()(FLAC__StreamMetadata* block) const { FLAC__metadata_object_delete(block); }
};
using BlockPtr = std::unique_ptr<FLAC__StreamMetadata, BlockDeleter>;

// Nothing is written through the iterator, so it opens the file read-only
// and has no file statistics to preserve.
inline constexpr FLAC__bool kIteratorReadOnly = true;
inline constexpr FLAC__bool kIteratorPreservesFileStats = false;

}  // namespace cvx::flac
