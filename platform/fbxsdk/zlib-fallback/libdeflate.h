// The few libdeflate calls the FBX library makes, served by zlib: Windows builds have zlib
// (libz-mingw-w64-dev) but no libdeflate package. Same results and the same checks (the
// stream's adler32, an exact output size); whole buffers at once, as libdeflate works.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <new>

struct libdeflate_decompressor {};
struct libdeflate_compressor {
  int level;
};

enum libdeflate_result { LIBDEFLATE_SUCCESS = 0, LIBDEFLATE_BAD_DATA = 1, LIBDEFLATE_SHORT_OUTPUT = 2 };

inline libdeflate_decompressor* libdeflate_alloc_decompressor() { return new (std::nothrow) libdeflate_decompressor; }
inline void libdeflate_free_decompressor(libdeflate_decompressor* d) { delete d; }

// With no size out-parameter the stream must fill the output exactly, as in libdeflate.
inline libdeflate_result libdeflate_zlib_decompress(libdeflate_decompressor*, const void* in, size_t inSize, void* out,
                                                    size_t outSize, size_t* actualOut) {
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return LIBDEFLATE_BAD_DATA;
  stream.next_in = static_cast<Bytef*>(const_cast<void*>(in));
  stream.avail_in = static_cast<uInt>(inSize);
  stream.next_out = static_cast<Bytef*>(out);
  stream.avail_out = static_cast<uInt>(outSize);
  int status = inflate(&stream, Z_FINISH);
  size_t written = outSize - stream.avail_out;
  inflateEnd(&stream);
  if (inSize > 0xffffffffu || outSize > 0xffffffffu) return LIBDEFLATE_BAD_DATA;
  if (status != Z_STREAM_END)
    return status == Z_BUF_ERROR && stream.avail_out == 0 ? LIBDEFLATE_SHORT_OUTPUT : LIBDEFLATE_BAD_DATA;
  if (actualOut) {
    *actualOut = written;
  } else if (written != outSize) {
    return LIBDEFLATE_SHORT_OUTPUT;
  }
  return LIBDEFLATE_SUCCESS;
}

inline libdeflate_compressor* libdeflate_alloc_compressor(int level) {
  return new (std::nothrow) libdeflate_compressor{level};
}
inline void libdeflate_free_compressor(libdeflate_compressor* c) { delete c; }
inline size_t libdeflate_zlib_compress_bound(libdeflate_compressor*, size_t size) {
  return compressBound(static_cast<uLong>(size));
}
// 0 when the output does not fit, as in libdeflate.
inline size_t libdeflate_zlib_compress(libdeflate_compressor* c, const void* in, size_t inSize, void* out,
                                       size_t outSize) {
  uLongf packed = static_cast<uLongf>(outSize);
  if (compress2(static_cast<Bytef*>(out), &packed, static_cast<const Bytef*>(in), static_cast<uLong>(inSize),
                c->level) != Z_OK)
    return 0;
  return packed;
}
