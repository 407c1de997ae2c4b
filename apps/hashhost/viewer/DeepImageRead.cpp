#include "DeepImageRead.h"

#include <tiffio.h>

#include <ImfChannelList.h>
#include <ImfFrameBuffer.h>
#include <ImfHeader.h>
#include <ImfInputFile.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr std::size_t kChannels = 4;

// libtiff's complaints become the reason the caller gives, instead of lines
// on standard error.
int KeepTiffError(TIFF*, void* userData, const char*, const char* format, va_list arguments) {
  auto* message = static_cast<std::string*>(userData);
  if (!message->empty()) return 1;
  char text[256] = {};
  std::vsnprintf(text, sizeof text, format, arguments);
  *message = text;
  return 1;
}

int IgnoreTiffWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

// Deeper samples take more memory: a picture may take as many bytes as the
// largest 8-bit one.
bool SizeAllowed(long long width, long long height, int sampleBytes, long long mostPixels, std::string& problem) {
  if (width > 0 && height > 0 && width * height * sampleBytes <= mostPixels) return true;
  problem = "too many pixels (" + std::to_string(width) + " x " + std::to_string(height) + ")";
  return false;
}

// Spreads one row of 1 to 4 samples a pixel into RGBA: grey fills red, green
// and blue; a missing alpha is opaque.
template <class Sample>
void SpreadRow(const Sample* in, int samplesPerPixel, int width, Sample opaque, Sample* out) {
  for (int x = 0; x < width; ++x, in += samplesPerPixel, out += kChannels) {
    const bool grey = samplesPerPixel < 3;
    out[0] = in[0];
    out[1] = grey ? in[0] : in[1];
    out[2] = grey ? in[0] : in[2];
    out[3] = samplesPerPixel == 2 ? in[1] : samplesPerPixel == 4 ? in[3] : opaque;
  }
}

template <class Sample>
void SpreadTiffRow(const unsigned char* row, int samplesPerPixel, int width, Sample opaque, ViewImage& image, int y) {
  auto* out = reinterpret_cast<Sample*>(image.pixels.data()) + static_cast<std::size_t>(y) * width * kChannels;
  SpreadRow(reinterpret_cast<const Sample*>(row), samplesPerPixel, width, opaque, out);
}

}  // namespace

bool IsTiff(const unsigned char* head, std::size_t size) {
  return size >= 4 && ((std::memcmp(head, "II*\0", 4) == 0) || std::memcmp(head, "MM\0*", 4) == 0);
}

bool IsExr(const unsigned char* head, std::size_t size) {
  static const unsigned char kMagic[4] = {0x76, 0x2f, 0x31, 0x01};
  return size >= 4 && std::memcmp(head, kMagic, 4) == 0;
}

bool LoadTiffImage(const std::string& path, long long mostPixels, ViewImage& image, std::string& problem) {
  std::string message;
  std::unique_ptr<TIFFOpenOptions, void (*)(TIFFOpenOptions*)> options(TIFFOpenOptionsAlloc(), &TIFFOpenOptionsFree);
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), &KeepTiffError, &message);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), &IgnoreTiffWarning, nullptr);
  std::unique_ptr<TIFF, void (*)(TIFF*)> tiff(TIFFOpenExt(path.c_str(), "r", options.get()), &TIFFClose);
  auto damaged = [&](const std::string& fallback) {
    problem = "a damaged TIFF image (" + (message.empty() ? fallback : message) + ")";
    return false;
  };
  if (!tiff) return damaged("it cannot be opened");
  std::uint32_t width = 0, height = 0;
  std::uint16_t bits = 8, samplesPerPixel = 1, format = SAMPLEFORMAT_UINT, planar = PLANARCONFIG_CONTIG,
                photometric = PHOTOMETRIC_MINISBLACK;
  TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width);
  TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height);
  TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_SAMPLESPERPIXEL, &samplesPerPixel);
  TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_SAMPLEFORMAT, &format);
  TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_PLANARCONFIG, &planar);
  TIFFGetField(tiff.get(), TIFFTAG_PHOTOMETRIC, &photometric);
  if (!SizeAllowed(width, height, bits == 16 ? 2 : bits == 32 ? 4 : 1, mostPixels, problem)) return false;
  image = ViewImage();
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  const std::size_t samples = static_cast<std::size_t>(width) * height * kChannels;

  // Plain grey or RGB scanlines keep their depth; any other 8-bit layout
  // (palettes, tiles, YCbCr) goes through libtiff's own RGBA reading.
  const bool plain = !TIFFIsTiled(tiff.get()) && planar == PLANARCONFIG_CONTIG && samplesPerPixel >= 1 &&
                     samplesPerPixel <= 4 && (photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_RGB);
  const bool deep = (bits == 16 && format == SAMPLEFORMAT_UINT) || (bits == 32 && format == SAMPLEFORMAT_IEEEFP);
  if (!plain || (bits != 8 && !deep)) {
    if (bits > 8) {
      problem = "a TIFF image of " + std::to_string(bits) + "-bit samples laid out in a way the view does not read " +
                "(it reads grey or RGB lines of 16-bit integers or 32-bit floats)";
      return false;
    }
    std::vector<std::uint32_t> rgba(static_cast<std::size_t>(width) * height);
    if (!TIFFReadRGBAImageOriented(tiff.get(), width, height, rgba.data(), ORIENTATION_TOPLEFT, 0))
      return damaged("its pixels cannot be read");
    image.pixels.resize(samples);
    for (std::size_t i = 0; i < rgba.size(); ++i) {
      image.pixels[i * 4 + 0] = static_cast<std::uint8_t>(TIFFGetR(rgba[i]));
      image.pixels[i * 4 + 1] = static_cast<std::uint8_t>(TIFFGetG(rgba[i]));
      image.pixels[i * 4 + 2] = static_cast<std::uint8_t>(TIFFGetB(rgba[i]));
      image.pixels[i * 4 + 3] = static_cast<std::uint8_t>(TIFFGetA(rgba[i]));
    }
    return true;
  }

  image.sample = bits == 8 ? ViewSample::Byte : bits == 16 ? ViewSample::Short : ViewSample::Float;
  image.pixels.resize(samples * (bits / 8));
  std::vector<unsigned char> row(static_cast<std::size_t>(TIFFScanlineSize(tiff.get())));
  if (row.size() < static_cast<std::size_t>(width) * samplesPerPixel * (bits / 8)) return damaged("short lines");
  for (std::uint32_t y = 0; y < height; ++y) {
    if (TIFFReadScanline(tiff.get(), row.data(), y, 0) < 0) return damaged("line " + std::to_string(y) + " is cut");
    const int w = static_cast<int>(width), at = static_cast<int>(y);
    if (bits == 8)
      SpreadTiffRow<std::uint8_t>(row.data(), samplesPerPixel, w, 255, image, at);
    else if (bits == 16)
      SpreadTiffRow<std::uint16_t>(row.data(), samplesPerPixel, w, 65535, image, at);
    else
      SpreadTiffRow<float>(row.data(), samplesPerPixel, w, 1.0f, image, at);
  }
  return true;
}

bool LoadExrImage(const std::string& path, long long mostPixels, ViewImage& image, std::string& problem) {
  try {
    Imf::InputFile file(path.c_str());
    const Imath::Box2i window = file.header().dataWindow();
    const long long width = static_cast<long long>(window.max.x) - window.min.x + 1;
    const long long height = static_cast<long long>(window.max.y) - window.min.y + 1;
    if (!SizeAllowed(width, height, static_cast<int>(sizeof(float)), mostPixels, problem)) return false;
    const Imf::ChannelList& channels = file.header().channels();
    // Colour channels where there are some; else a grey one (Y, or the first
    // channel of any name) fills red, green and blue.
    const char* names[kChannels] = {"R", "G", "B", "A"};
    std::string grey;
    if (!channels.findChannel("R") && !channels.findChannel("G") && !channels.findChannel("B")) {
      grey = channels.findChannel("Y") ? "Y" : channels.begin() != channels.end() ? channels.begin().name() : "";
      if (grey.empty()) {
        problem = "an EXR image with no channels";
        return false;
      }
      names[0] = grey.c_str();
    }
    image = ViewImage();
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.sample = ViewSample::Float;
    image.pixels.resize(static_cast<std::size_t>(width * height) * kChannels * sizeof(float));
    const std::ptrdiff_t pixelBytes = kChannels * sizeof(float), rowBytes = pixelBytes * width;
    // OpenEXR addresses the buffer by the data window's own coordinates.
    char* origin = reinterpret_cast<char*>(image.pixels.data()) - window.min.x * pixelBytes - window.min.y * rowBytes;
    Imf::FrameBuffer buffer;
    for (std::size_t c = 0; c < kChannels; ++c)
      if (grey.empty() || c == 0 || c == 3)
        buffer.insert(names[c], Imf::Slice(Imf::FLOAT, origin + c * sizeof(float), static_cast<std::size_t>(pixelBytes),
                                           static_cast<std::size_t>(rowBytes), 1, 1, c == 3 ? 1.0 : 0.0));
    file.setFrameBuffer(buffer);
    file.readPixels(window.min.y, window.max.y);
    if (!grey.empty()) {
      auto* samples = reinterpret_cast<float*>(image.pixels.data());
      for (std::size_t i = 0; i < static_cast<std::size_t>(width * height); ++i)
        samples[i * 4 + 1] = samples[i * 4 + 2] = samples[i * 4];
    }
    return true;
  } catch (const std::exception& error) {
    problem = std::string("a damaged EXR image (") + error.what() + ")";
    return false;
  }
}
