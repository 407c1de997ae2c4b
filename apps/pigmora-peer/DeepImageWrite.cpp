#include "DeepImageWrite.h"

#include <tiffio.h>

#include <ImfChannelList.h>
#include <ImfFrameBuffer.h>
#include <ImfHeader.h>
#include <ImfOutputFile.h>
#include <ImfStdIO.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// libtiff writes through these calls into a string instead of a file.
struct TiffMemory {
  std::string* bytes;
  toff_t at = 0;
};

tmsize_t TiffRead(thandle_t handle, void* data, tmsize_t size) {
  auto* memory = static_cast<TiffMemory*>(handle);
  const std::size_t left = memory->at < memory->bytes->size() ? memory->bytes->size() - memory->at : 0;
  const std::size_t count = std::min(left, static_cast<std::size_t>(size));
  std::memcpy(data, memory->bytes->data() + memory->at, count);
  memory->at += count;
  return static_cast<tmsize_t>(count);
}

tmsize_t TiffWrite(thandle_t handle, void* data, tmsize_t size) {
  auto* memory = static_cast<TiffMemory*>(handle);
  const std::size_t end = memory->at + static_cast<std::size_t>(size);
  if (memory->bytes->size() < end) memory->bytes->resize(end);
  std::memcpy(memory->bytes->data() + memory->at, data, static_cast<std::size_t>(size));
  memory->at = end;
  return size;
}

toff_t TiffSeek(thandle_t handle, toff_t offset, int whence) {
  auto* memory = static_cast<TiffMemory*>(handle);
  if (whence == SEEK_CUR) offset += memory->at;
  if (whence == SEEK_END) offset += memory->bytes->size();
  memory->at = offset;
  return offset;
}

int TiffClose(thandle_t) { return 0; }
toff_t TiffSize(thandle_t handle) { return static_cast<TiffMemory*>(handle)->bytes->size(); }
int TiffNoMap(thandle_t, void**, toff_t*) { return 0; }
void TiffNoUnmap(thandle_t, void*, toff_t) {}

int QuietTiff(TIFF*, void*, const char*, const char*, va_list) { return 1; }

template <class Sample>
bool EncodeTiff(const PaintedImage& image, int bits, int format, Sample (*level)(std::uint8_t), std::string& bytes) {
  bytes.clear();
  TiffMemory memory{&bytes};
  std::unique_ptr<TIFFOpenOptions, void (*)(TIFFOpenOptions*)> options(TIFFOpenOptionsAlloc(), &TIFFOpenOptionsFree);
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), &QuietTiff, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), &QuietTiff, nullptr);
  std::unique_ptr<TIFF, void (*)(TIFF*)> tiff(
      TIFFClientOpenExt("painted", "w", &memory, TiffRead, TiffWrite, TiffSeek, TiffClose, TiffSize, TiffNoMap,
                        TiffNoUnmap, options.get()),
      &TIFFClose);
  if (!tiff) return false;
  TIFFSetField(tiff.get(), TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(image.width));
  TIFFSetField(tiff.get(), TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(image.height));
  TIFFSetField(tiff.get(), TIFFTAG_SAMPLESPERPIXEL, 3);
  TIFFSetField(tiff.get(), TIFFTAG_BITSPERSAMPLE, bits);
  TIFFSetField(tiff.get(), TIFFTAG_SAMPLEFORMAT, format);
  TIFFSetField(tiff.get(), TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
  TIFFSetField(tiff.get(), TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tiff.get(), TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
  TIFFSetField(tiff.get(), TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tiff.get(), 0));
  std::vector<Sample> row(static_cast<std::size_t>(image.width) * 3);
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* in = &image.pixels[static_cast<std::size_t>(y) * row.size()];
    std::transform(in, in + row.size(), row.begin(), level);
    if (TIFFWriteScanline(tiff.get(), row.data(), static_cast<std::uint32_t>(y), 0) < 0) return false;
  }
  // The directory goes last; only then are the bytes whole.
  const bool flushed = TIFFFlush(tiff.get()) == 1;
  tiff.reset();
  return flushed;
}

std::uint8_t Level8(std::uint8_t level) { return level; }
std::uint16_t Level16(std::uint8_t level) { return static_cast<std::uint16_t>(level * 257); }
float LevelFloat(std::uint8_t level) { return static_cast<float>(level) / 255.0f; }

}  // namespace

bool EncodeTiff8(const PaintedImage& image, std::string& bytes) {
  return EncodeTiff<std::uint8_t>(image, 8, SAMPLEFORMAT_UINT, &Level8, bytes);
}

bool EncodeTiff16(const PaintedImage& image, std::string& bytes) {
  return EncodeTiff<std::uint16_t>(image, 16, SAMPLEFORMAT_UINT, &Level16, bytes);
}

bool EncodeTiffFloat(const PaintedImage& image, std::string& bytes) {
  return EncodeTiff<float>(image, 32, SAMPLEFORMAT_IEEEFP, &LevelFloat, bytes);
}

bool EncodeExrFloat(const PaintedImage& image, std::string& bytes) {
  try {
    std::vector<float> samples(image.pixels.size());
    std::transform(image.pixels.begin(), image.pixels.end(), samples.begin(), &LevelFloat);
    Imf::Header header(image.width, image.height);
    Imf::FrameBuffer buffer;
    const char* names[3] = {"R", "G", "B"};
    const std::size_t pixelBytes = 3 * sizeof(float), rowBytes = pixelBytes * static_cast<std::size_t>(image.width);
    for (int c = 0; c < 3; ++c) {
      header.channels().insert(names[c], Imf::Channel(Imf::FLOAT));
      buffer.insert(names[c],
                    Imf::Slice(Imf::FLOAT, reinterpret_cast<char*>(samples.data() + c), pixelBytes, rowBytes));
    }
    Imf::StdOSStream stream;
    {
      // The file writes its table of lines as it closes.
      Imf::OutputFile file(stream, header, 1);
      file.setFrameBuffer(buffer);
      file.writePixels(image.height);
    }
    bytes = stream.str();
    return !bytes.empty();
  } catch (const std::exception&) {
    return false;
  }
}
