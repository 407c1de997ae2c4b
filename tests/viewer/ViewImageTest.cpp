// Pictures the view reads: 16-bit and float TIFFs and EXRs keep their
// precision, and a file that is no picture or a damaged one says so in words
// a user knows.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <ImfChannelList.h>
#include <ImfFrameBuffer.h>
#include <ImfHeader.h>
#include <ImfOutputFile.h>

#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "ViewImage.h"

namespace {

constexpr int kSide = 4;

// An RGB TIFF whose every sample is `level`, 16-bit integers or 32-bit floats.
template <class Sample>
std::string WriteTiff(const ScratchFolder& scratch, const std::string& name, Sample level) {
  const std::string path = scratch.Path(name);
  TIFF* tiff = TIFFOpen(path.c_str(), "w");
  EXPECT_NE(tiff, nullptr);
  if (!tiff) return path;
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, kSide);
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, kSide);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, static_cast<int>(sizeof(Sample) * 8));
  TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, sizeof(Sample) == 4 ? SAMPLEFORMAT_IEEEFP : SAMPLEFORMAT_UINT);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
  std::vector<Sample> row(kSide * 3, level);
  for (int y = 0; y < kSide; ++y) TIFFWriteScanline(tiff, row.data(), static_cast<std::uint32_t>(y), 0);
  TIFFClose(tiff);
  return path;
}

// An EXR of 32-bit floats in one channel of that name.
std::string WriteExr(const ScratchFolder& scratch, const std::string& name, const char* channel, float level) {
  const std::string path = scratch.Path(name);
  std::vector<float> samples(kSide * kSide, level);
  Imf::Header header(kSide, kSide);
  header.channels().insert(channel, Imf::Channel(Imf::FLOAT));
  Imf::FrameBuffer buffer;
  buffer.insert(channel,
                Imf::Slice(Imf::FLOAT, reinterpret_cast<char*>(samples.data()), sizeof(float), kSide * sizeof(float)));
  Imf::OutputFile file(path.c_str(), header);
  file.setFrameBuffer(buffer);
  file.writePixels(kSide);
  return path;
}

TEST(ViewImage, SixteenBitAndFloatPicturesKeepTheirPrecision) {
  ScratchFolder scratch;
  // Levels no 8-bit sample holds.
  constexpr std::uint16_t kWhole = 1000;
  constexpr float kReal = 0.123456f;
  struct Case {
    std::string path;
    ViewSample sample;
    float level;
    float alpha;
  } cases[] = {{WriteTiff<std::uint16_t>(scratch, "deep.tif", kWhole), ViewSample::Short, kWhole / 65535.0f, 1},
               {WriteTiff<float>(scratch, "float.tiff", kReal), ViewSample::Float, kReal, 1},
               {WriteExr(scratch, "grey.exr", "Y", kReal), ViewSample::Float, kReal, 1},
               {WriteExr(scratch, "red.exr", "R", kReal), ViewSample::Float, kReal, 1}};
  for (const Case& each : cases) {
    SCOPED_TRACE(each.path);
    ViewImage image;
    std::string problem;
    ASSERT_TRUE(LoadViewImage(each.path, image, problem)) << problem;
    EXPECT_EQ(image.width, kSide);
    EXPECT_EQ(image.height, kSide);
    EXPECT_EQ(image.sample, each.sample);
    const bool redOnly = each.path.find("red.exr") != std::string::npos;
    EXPECT_EQ(image.Sample(1, 2, 0), each.level);
    EXPECT_EQ(image.Sample(1, 2, 1), redOnly ? 0.0f : each.level) << "grey fills all three, a lone red does not";
    EXPECT_EQ(image.Sample(3, 3, 3), each.alpha);
  }
}

// A little-endian TIFF header that claims a picture of width x height RGB
// samples of `bits`, with no pixels behind it.
std::string ClaimedTiff(std::uint32_t width, std::uint32_t height, std::uint16_t bits) {
  std::string bytes("II*\0\x08\0\0\0", 8);
  auto put = [&bytes](std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes += static_cast<char>(value >> (8 * i) & 0xff);
  };
  const std::uint32_t entries[][3] = {{256, 4, width}, {257, 4, height}, {258, 3, bits},   {262, 3, 2},
                                      {273, 4, 8},     {277, 3, 3},      {278, 4, height}, {279, 4, 1}};
  put(sizeof entries / sizeof entries[0], 2);
  for (const auto& entry : entries) {
    put(entry[0], 2);
    put(entry[1], 2);
    put(1, 4);
    put(entry[2], 4);
  }
  put(0, 4);
  return bytes;
}

TEST(ViewImage, NoPictureOrADamagedOneIsRefusedInPlainWords) {
  ScratchFolder scratch;
  const std::string text = scratch.Write("notes.png", "shopping list");
  const std::string tiff = WriteTiff<std::uint16_t>(scratch, "whole.tif", 7);
  const std::string exr = WriteExr(scratch, "whole.exr", "Y", 0.5f);
  const std::string cutTiff = scratch.Write("cut.tif", ScratchFolder::ReadFile(tiff).substr(0, 40));
  const std::string cutExr = scratch.Write("cut.exr", ScratchFolder::ReadFile(exr).substr(0, 60));
  // Claims that would take gigabytes before a pixel is read.
  const std::string huge = scratch.Write("huge.tif", ClaimedTiff(16000, 16000, 16));
  const struct {
    std::string path;
    std::string says;
  } cases[] = {{text, "not a TGA, PNG, BMP, JPG, TIFF or EXR image"},
               {cutTiff, "a damaged TIFF image"},
               {cutExr, "a damaged EXR image"},
               {huge, "too many pixels (16000 x 16000)"}};
  for (const auto& each : cases) {
    ViewImage image;
    std::string problem;
    EXPECT_FALSE(LoadViewImage(each.path, image, problem)) << each.path;
    EXPECT_EQ(problem.rfind(each.says, 0), 0u) << problem;
    EXPECT_EQ(problem.find("stb"), std::string::npos) << problem;
  }
}

}  // namespace
