// Pictures the off-screen renderer draws, checked pixel by pixel: texels land
// where the decal's UVs say, colours come from the maps, groups and
// attributes the model holds, and unreadable images show as a checker.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>

#include <tiffio.h>

#include <Plugin.h>
#include <Plugin/HostProject.h>

#include "ModelPicture.h"
#include "ScratchFolder.h"
#include "ViewCamera.h"

namespace {

constexpr int kSize = 200;
constexpr int kCells = 4;
constexpr int kCellPixels = 16;

struct Rgb {
  int r, g, b;
};

// Cell (column, row) of the test checker, counted from the image's top left:
// red, green or blue in a pattern that no flip, turn or transposition keeps.
int CellChannel(int column, int row) { return (column + 2 * row) % 3; }

std::string WriteChecker(const ScratchFolder& scratch, const std::string& name) {
  const int side = kCells * kCellPixels;
  std::vector<unsigned char> pixels(side * side * 3, 0);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) pixels[(y * side + x) * 3 + CellChannel(x / kCellPixels, y / kCellPixels)] = 255;
  const std::string path = scratch.Path(name);
  EXPECT_TRUE(stbi_write_png(path.c_str(), side, side, 3, pixels.data(), side * 3));
  return path;
}

// A plain image of one colour.
std::string WritePlain(const ScratchFolder& scratch, const std::string& name, Rgb colour) {
  std::vector<unsigned char> pixels(8 * 8 * 3);
  for (int i = 0; i < 64; ++i) {
    pixels[i * 3 + 0] = static_cast<unsigned char>(colour.r);
    pixels[i * 3 + 1] = static_cast<unsigned char>(colour.g);
    pixels[i * 3 + 2] = static_cast<unsigned char>(colour.b);
  }
  const std::string path = scratch.Path(name);
  EXPECT_TRUE(stbi_write_png(path.c_str(), 8, 8, 3, pixels.data(), 24));
  return path;
}

// A grey 16-bit TIFF of one level.
void WriteTiff16(const std::string& path, int width, int height, std::uint16_t level) {
  TIFF* tiff = TIFFOpen(path.c_str(), "w");
  ASSERT_NE(tiff, nullptr);
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 16);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  std::vector<std::uint16_t> row(static_cast<std::size_t>(width), level);
  for (int y = 0; y < height; ++y) TIFFWriteScanline(tiff, row.data(), static_cast<std::uint32_t>(y), 0);
  TIFFClose(tiff);
}

class ViewerPictureTest : public ::testing::Test {
protected:
  void SetUp() override { project_ = CreateHostProject(false); }
  void TearDown() override { DestroyHostProject(project_); }

  // A 2 x 2 square facing the front (+Z), corners counter-clockwise from the bottom left.
  HModelCache* Square(const char* name, float x0 = -1, float x1 = 1) {
    HModelCache* model = HModelCache::NewInProject(project_, name);
    model->AddPosition(x0, -1, 0);
    model->AddPosition(x1, -1, 0);
    model->AddPosition(x1, 1, 0);
    model->AddPosition(x0, 1, 0);
    model->AddPatch(0, 1, 2, 3);
    return model;
  }

  // Two 2 x 2 squares side by side facing the front: patch 0 from x = -2 to 0, patch 1 from 0 to 2.
  HModelCache* Pair(const char* name) {
    HModelCache* model = HModelCache::NewInProject(project_, name);
    const float corners[][3] = {{-2, -1, 0}, {0, -1, 0}, {0, 1, 0}, {-2, 1, 0}, {2, -1, 0}, {2, 1, 0}};
    for (const auto& c : corners) model->AddPosition(c[0], c[1], c[2]);
    model->AddPatch(0, 1, 2, 3);
    model->AddPatch(1, 4, 5, 2);
    return model;
  }

  // A decal over patch 0 of the model with one clip of the image, with UVs
  // for the bottom-left, bottom-right, top-right and top-left corners.
  HDecal* Place(HModelCache* model, const std::string& image, int kind, const float uv[4][2], int patch = 0) {
    HDecal* decal = model->AddDecal("decal");
    decal->AddDecalClip(project_->AddImage(image.c_str()))->GetKind()->SetValue(kind);
    decal->SetPatchUV(patch, uv);
    return decal;
  }

  ModelPicture Draw(HModelCache* model, ViewDirection direction = ViewDirection::Front,
                    ViewShading shading = ViewShading::Lit) {
    ModelPicture picture;
    std::string problem;
    EXPECT_TRUE(DrawModelPicture(*model, kSize, kSize, direction, shading, picture, problem)) << problem;
    if (picture.rgb.empty()) picture.rgb.assign(kSize * kSize * 3, 0);
    return picture;
  }

  // The pixel where a point of the model shows, with the camera the picture used.
  static Rgb PixelAt(const ModelPicture& picture, HModelCache* model, float x, float y, float z = 0) {
    ViewBounds bounds;
    for (int i = 0; i < model->GetPositionCount(); ++i) {
      const HVector& p = model->GetPosition(i);
      const float point[3] = {p.x, p.y, p.z};
      bounds.Add(point);
    }
    ViewCamera camera;
    camera.Look(ViewDirection::Front);
    camera.Frame(bounds, 1.0f);
    const float point[3] = {x, y, z};
    float px = 0, py = 0;
    EXPECT_TRUE(camera.Project(point, kSize, kSize, px, py));
    const int column = std::clamp(static_cast<int>(px), 0, kSize - 1),
              row = std::clamp(static_cast<int>(py), 0, kSize - 1);
    const unsigned char* at = &picture.rgb[(row * kSize + column) * 3];
    return {at[0], at[1], at[2]};
  }

  static int Dominant(const Rgb& c) {
    if (c.r > c.g && c.r > c.b) return 0;
    if (c.g > c.r && c.g > c.b) return 1;
    return c.b > c.r && c.b > c.g ? 2 : -1;
  }

  static int Brightness(const Rgb& c) { return c.r + c.g + c.b; }

  ScratchFolder scratch_;
  HProject* project_ = nullptr;
};

TEST_F(ViewerPictureTest, CheckerTexelsLandWhereTheDecalsUvsSay) {
  const std::string checker = WriteChecker(scratch_, "checker.png");
  // The whole image on the square, its top row at the square's top (the host's v runs down the image).
  HModelCache* whole = Square("Whole");
  const float wholeUv[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
  Place(whole, checker, HDK_COLOR, wholeUv);
  const ModelPicture picture = Draw(whole);
  for (int row = 0; row < kCells; ++row)
    for (int column = 0; column < kCells; ++column) {
      const float x = -1 + 2 * (column + 0.5f) / kCells, y = 1 - 2 * (row + 0.5f) / kCells;
      EXPECT_EQ(Dominant(PixelAt(picture, whole, x, y)), CellChannel(column, row)) << "cell " << column << "," << row;
    }

  // The image's bottom-right quarter, turned a quarter: each of its cells covers a quarter of the square.
  HModelCache* quarter = Square("Quarter");
  const float quarterUv[4][2] = {{1, 1}, {1, 0.5f}, {0.5f, 0.5f}, {0.5f, 1}};
  Place(quarter, checker, HDK_COLOR, quarterUv);
  const ModelPicture turned = Draw(quarter);
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 2; ++j) {
      // Point (x, y) of the square shows image point u = 1 - (1 + y) / 4, v = 1 - (1 + x) / 4.
      const float x = -0.5f + i, y = -0.5f + j;
      const float u = 1 - (1 + y) / 4, v = 1 - (1 + x) / 4;
      EXPECT_EQ(Dominant(PixelAt(turned, quarter, x, y)),
                CellChannel(static_cast<int>(u * kCells), static_cast<int>(v * kCells)))
          << "at " << x << "," << y;
    }
}

TEST_F(ViewerPictureTest, WithoutAColourMapAPatchShowsItsGroupsDiffuseColourAndOutsideAnyGroupGrey) {
  HModelCache* model = Pair("Two");
  HGroup* group = model->AddGroup("orange");
  group->AddPatch(0);
  // Stored blue, green, red: a swap would show blue.
  group->GetAttr()->GetDiffuseColor()->SetRGBFloat(RGBFloat::FromRGB(1.0f, 0.5f, 0.0f));
  const ModelPicture picture = Draw(model);
  const Rgb grouped = PixelAt(picture, model, -1.3f, 0.6f);
  EXPECT_GT(grouped.r, grouped.g + 20);
  EXPECT_GT(grouped.g, grouped.b + 20);
  const Rgb alone = PixelAt(picture, model, 1.3f, 0.6f);
  EXPECT_NEAR(alone.r, alone.g, 3);
  EXPECT_NEAR(alone.g, alone.b, 3);
  EXPECT_GT(alone.r, 60) << "lit grey, not the background";
}

TEST_F(ViewerPictureTest, EachPatchTakesTheMapsOfTheDecalsThatPlaceIt) {
  // Two patches, each with its own decal and colour image, as a receive with one decal per material makes.
  HModelCache* model = Pair("Pair");
  const float uv[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
  Place(model, WritePlain(scratch_, "red.png", {230, 20, 20}), HDK_COLOR, uv, 0);
  Place(model, WritePlain(scratch_, "blue.png", {20, 20, 230}), HDK_COLOR, uv, 1);
  const ModelPicture picture = Draw(model);
  EXPECT_EQ(Dominant(PixelAt(picture, model, -1.3f, 0.6f)), 0);
  EXPECT_EQ(Dominant(PixelAt(picture, model, 1.3f, 0.6f)), 2);
}

// Patches with different maps are shaded by different programs within one picture.
TEST_F(ViewerPictureTest, PatchesWithDifferentMapsShowSideBySide) {
  HModelCache* model = Pair("Mixed");
  const float uv[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
  Place(model, WritePlain(scratch_, "red.png", {230, 20, 20}), HDK_COLOR, uv, 0);
  Place(model, WritePlain(scratch_, "flat.png", {128, 128, 255}), HDK_NORMAL, uv, 1);
  const int background = Brightness({51, 56, 64});
  const ModelPicture lit = Draw(model);
  EXPECT_EQ(Dominant(PixelAt(lit, model, -1.3f, 0.6f)), 0);
  const Rgb plain = PixelAt(lit, model, 1.3f, 0.6f);
  EXPECT_NEAR(plain.r, plain.b, 3);
  EXPECT_GT(Brightness(plain), background + 60) << "lit grey, not the background";
  const ModelPicture normals = Draw(model, ViewDirection::Front, ViewShading::Normal);
  const Rgb unmapped = PixelAt(normals, model, -1.3f, 0.6f);
  EXPECT_NEAR(unmapped.r, unmapped.b, 3);
  EXPECT_GT(Brightness(unmapped), background + 60) << "lit grey, not the background";
  EXPECT_EQ(Dominant(PixelAt(normals, model, 1.3f, 0.6f)), 2);
}

TEST_F(ViewerPictureTest, NormalMapsBendTheLightAndSpecularMapsScaleTheHighlight) {
  const float uv[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
  HModelCache* flat = Square("Flat");
  const Rgb plain = PixelAt(Draw(flat), flat, 0, 0);
  // A normal map leaning the surface far along u: the square turns away from the light at the eye.
  HModelCache* leaning = Square("Leaning");
  Place(leaning, WritePlain(scratch_, "lean.png", {250, 128, 40}), HDK_NORMAL, uv);
  EXPECT_LT(Brightness(PixelAt(Draw(leaning), leaning, 0, 0)), Brightness(plain) - 100);
  // A flat normal map ("up" in tangent space) changes nothing.
  HModelCache* level = Square("Level");
  Place(level, WritePlain(scratch_, "level.png", {128, 128, 255}), HDK_NORMAL, uv);
  EXPECT_NEAR(Brightness(PixelAt(Draw(level), level, 0, 0)), Brightness(plain), 12);

  // The highlight lies towards the key light, up and to the left: black
  // specular paint takes it away, white doubles it.
  HModelCache* matte = Square("Matte");
  Place(matte, WritePlain(scratch_, "black.png", {0, 0, 0}), HDK_SPECULAR_INTENSITY, uv);
  HModelCache* shiny = Square("Shiny");
  Place(shiny, WritePlain(scratch_, "white.png", {255, 255, 255}), HDK_SPECULAR_INTENSITY, uv);
  const int plainLight = Brightness(PixelAt(Draw(flat), flat, -0.9f, 0.9f));
  const int matteLight = Brightness(PixelAt(Draw(matte), matte, -0.9f, 0.9f));
  const int shinyLight = Brightness(PixelAt(Draw(shiny), shiny, -0.9f, 0.9f));
  EXPECT_LT(matteLight, plainLight - 30);
  EXPECT_GT(shinyLight, plainLight + 30);
}

TEST_F(ViewerPictureTest, PaintShowsEachTexelAsPainted) {
  const float uv[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
  for (const Rgb paint : {Rgb{200, 0, 0}, Rgb{240, 240, 240}, Rgb{30, 160, 90}}) {
    SCOPED_TRACE(std::to_string(paint.r) + " " + std::to_string(paint.g) + " " + std::to_string(paint.b));
    HModelCache* model = Square("Painted");
    Place(model, WritePlain(scratch_, "paint.png", paint), HDK_COLOR, uv);
    const ModelPicture painted = Draw(model, ViewDirection::Iso, ViewShading::Paint);
    int onModel = 0;
    for (std::size_t i = 0; i < painted.rgb.size(); i += 3)
      if (std::abs(painted.rgb[i] - paint.r) <= 2 && std::abs(painted.rgb[i + 1] - paint.g) <= 2 &&
          std::abs(painted.rgb[i + 2] - paint.b) <= 2)
        ++onModel;
    EXPECT_GT(onModel, kSize * kSize / 6) << "the texel's own colour over the square, seen at a slant";
    HTreeObject::DeleteHandle(model);
  }
}

// A ball shows every slope towards the eye, so somewhere it meets the
// highlight in full.
TEST_F(ViewerPictureTest, LitNeverClipsAColourToWhiteNorShiftsItsHue) {
  for (const Rgb paint : {Rgb{200, 0, 0}, Rgb{240, 240, 240}, Rgb{30, 160, 90}}) {
    SCOPED_TRACE(std::to_string(paint.r) + " " + std::to_string(paint.g) + " " + std::to_string(paint.b));
    HModelCache* ball = HModelCache::NewInProject(project_, "Ball");
    constexpr int kAround = 32, kUp = 16;
    const float pi = 3.14159265f;
    for (int j = 0; j <= kUp; ++j)
      for (int i = 0; i < kAround; ++i) {
        const float up = pi * j / kUp - pi / 2, around = 2 * pi * i / kAround;
        ball->AddPosition(std::cos(up) * std::cos(around), std::sin(up), std::cos(up) * std::sin(around));
      }
    HGroup* group = ball->AddGroup("paint");
    for (int j = 0; j < kUp; ++j)
      for (int i = 0; i < kAround; ++i) {
        const int next = (i + 1) % kAround;
        group->AddPatch(
            ball->AddPatch(j * kAround + i, (j + 1) * kAround + i, (j + 1) * kAround + next, j * kAround + next)
                ->GetIndex());
      }
    group->GetAttr()->GetDiffuseColor()->SetRGBFloat(
        RGBFloat::FromRGB(paint.r / 255.0f, paint.g / 255.0f, paint.b / 255.0f));
    const ModelPicture painted = Draw(ball, ViewDirection::Front, ViewShading::Paint);
    const ModelPicture lit = Draw(ball, ViewDirection::Front, ViewShading::Lit);
    int onModel = 0, clipped = 0, hueShifted = 0, brightest = 0;
    for (std::size_t i = 0; i < painted.rgb.size(); i += 3) {
      // Pixels wholly on the ball (its outline blends with the background).
      if (std::abs(painted.rgb[i] - paint.r) > 2 || std::abs(painted.rgb[i + 1] - paint.g) > 2 ||
          std::abs(painted.rgb[i + 2] - paint.b) > 2)
        continue;
      ++onModel;
      const Rgb l = {lit.rgb[i], lit.rgb[i + 1], lit.rgb[i + 2]};
      if (l.r == 255 && l.g == 255 && l.b == 255) ++clipped;
      // The lit colour is the paint scaled: its channels keep their ratios.
      const double scale = static_cast<double>(std::max({l.r, l.g, l.b})) / std::max({paint.r, paint.g, paint.b});
      if (std::abs(l.r - paint.r * scale) > 4 || std::abs(l.g - paint.g * scale) > 4 ||
          std::abs(l.b - paint.b * scale) > 4)
        ++hueShifted;
      brightest = std::max(brightest, std::max({l.r, l.g, l.b}));
    }
    EXPECT_GT(onModel, 5000);
    EXPECT_EQ(clipped, 0);
    EXPECT_EQ(hueShifted, 0);
    EXPECT_GT(brightest, std::max({paint.r, paint.g, paint.b})) << "the highlight brightens the colour";
    HTreeObject::DeleteHandle(ball);
  }
}

TEST_F(ViewerPictureTest, EdgesAreSmoothedByMultisampling) {
  const float uv[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
  HModelCache* model = Square("Slanted");
  Place(model, WritePlain(scratch_, "white.png", {255, 255, 255}), HDK_COLOR, uv);
  // Seen from the corner, the square's edges cross the pixel grid at a slant.
  const ModelPicture picture = Draw(model, ViewDirection::Iso, ViewShading::Paint);
  const int background = picture.rgb[0];
  int between = 0;
  for (std::size_t i = 0; i < picture.rgb.size(); i += 3)
    if (picture.rgb[i] > background + 20 && picture.rgb[i] < 235) ++between;
  EXPECT_GT(between, 100) << "pixels on the edge blend the square with the background";
}

TEST_F(ViewerPictureTest, EachMapViewShowsItsImageAndPatchesWithoutItStayGrey) {
  const float uv[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
  HModelCache* model = Square("Mapped");
  Place(model, WritePlain(scratch_, "colour.png", {200, 40, 40}), HDK_COLOR, uv);
  Place(model, WritePlain(scratch_, "normal.png", {100, 150, 250}), HDK_NORMAL, uv);
  Place(model, WritePlain(scratch_, "specular.png", {70, 70, 70}), HDK_SPECULAR_INTENSITY, uv);
  // Displacement as a 16-bit TIFF.
  const std::string displacement = scratch_.Path("displacement.tif");
  WriteTiff16(displacement, 8, 8, 40000);
  Place(model, displacement, HDK_DISPLACEMENT, uv);
  const struct {
    ViewShading shading;
    Rgb expected;
  } views[] = {{ViewShading::Normal, {100, 150, 250}},
               {ViewShading::Specular, {70, 70, 70}},
               {ViewShading::Displacement, {155, 155, 155}}};
  for (const auto& view : views) {
    SCOPED_TRACE(ViewShadingWord(view.shading));
    const Rgb shown = PixelAt(Draw(model, ViewDirection::Front, view.shading), model, 0, 0);
    EXPECT_NEAR(shown.r, view.expected.r, 2);
    EXPECT_NEAR(shown.g, view.expected.g, 2);
    EXPECT_NEAR(shown.b, view.expected.b, 2);
  }
  HModelCache* bare = Square("Bare");
  const Rgb grey = PixelAt(Draw(bare, ViewDirection::Front, ViewShading::Normal), bare, 0, 0);
  EXPECT_NEAR(grey.r, grey.g, 2);
  EXPECT_NEAR(grey.g, grey.b, 2);
  EXPECT_GT(grey.r, 60) << "plain grey, not the background";
}

TEST_F(ViewerPictureTest, AnImageThatCannotBeReadShowsACheckerAndANote) {
  const float uv[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
  const std::string fifo = scratch_.Path("pipe.png");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string broken = scratch_.Write("broken.png", std::string("\x89PNG\r\n\x1a\n garbage", 17));
  for (const std::string& image : {scratch_.Path("missing.png"), fifo, broken, scratch_.Root().string()}) {
    HModelCache* model = Square("Unreadable");
    Place(model, image, HDK_COLOR, uv);
    const ModelPicture picture = Draw(model);
    ASSERT_EQ(picture.notes.size(), 1u) << image;
    EXPECT_NE(picture.notes[0].find(image), std::string::npos) << picture.notes[0];
    // Magenta and black cells across the square.
    int magenta = 0, black = 0;
    for (float x = -0.95f; x < 1; x += 0.1f)
      for (float y = -0.95f; y < 1; y += 0.1f) {
        const Rgb c = PixelAt(picture, model, x, y);
        if (c.r > 120 && c.b > 120 && c.g < 60) ++magenta;
        if (Brightness(c) < 200 && c.g < 60) ++black;
      }
    EXPECT_GT(magenta, 50) << image;
    EXPECT_GT(black, 50) << image;
    HTreeObject::DeleteHandle(model);
  }
}

TEST_F(ViewerPictureTest, APictureIsWrittenAsAPngOnlyWhereAFileMayBeReplaced) {
  HModelCache* model = Square("Written");
  ModelPicture picture = Draw(model);
  const std::string path = scratch_.Path("out.png");
  std::string problem;
  ASSERT_TRUE(WritePicturePng(picture, path, problem)) << problem;
  EXPECT_EQ(ScratchFolder::ReadFile(path).substr(1, 3), "PNG");
  EXPECT_FALSE(WritePicturePng(picture, scratch_.Path("no/such/folder/out.png"), problem));
  EXPECT_FALSE(problem.empty());
  EXPECT_FALSE(WritePicturePng(picture, scratch_.Root().string(), problem)) << "a folder is not replaced";
}

}  // namespace
