// The render command: a picture of a model with no display at all, and a
// clear line for every way a user can get its words wrong.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "HashhostRunner.h"
// stb_image is compiled into this file, privately.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#include "PngPixels.h"

namespace {

class HashhostRenderTest : public ::testing::Test {
protected:
  ScratchFolder scratch_;
};

TEST_F(HashhostRenderTest, DrawsTheSampleIntoAPngWithoutADisplay) {
  const std::string picture = scratch_.Path("sample.png");
  const HashhostRun run = RunHashhost(scratch_, "-c 'render Sample " + picture + " 160 120 front'");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "rendered Sample to " + picture + "\n");
  EXPECT_EQ(run.err, "") << "the sample's images are all readable";
  const PngPixels png = PngPixels::Read(picture);
  ASSERT_EQ(png.width, 160);
  ASSERT_EQ(png.height, 120);
  // The capsule stands in the middle; the corners show the background.
  const PngPixels::Rgb corner = png.At(2, 2);
  EXPECT_EQ(corner, png.At(157, 117));
  EXPECT_NE(png.At(80, 60), corner);
  EXPECT_NE(png.At(80, 25), corner) << "the head";
  EXPECT_NE(png.At(80, 95), corner) << "the lower body";

  // The default size and view, and another view of the same model.
  const std::string iso = scratch_.Path("iso.png");
  const std::string top = scratch_.Path("top.png");
  ASSERT_EQ(RunHashhost(scratch_, "-c 'render Sample " + iso + "; render Sample " + top + " top'").exitCode, 0);
  EXPECT_EQ(PngPixels::Read(iso).width, 640);
  EXPECT_EQ(PngPixels::Read(iso).height, 480);
  EXPECT_NE(ScratchFolder::ReadFile(iso), ScratchFolder::ReadFile(top));
}

TEST_F(HashhostRenderTest, WrongWordsAndPlacesSayWhatIsWrongAndWriteNothing) {
  const std::string out = scratch_.Path("out.png");
  const std::string readOnly = scratch_.Write("readonly.png", "old");
  chmod(readOnly.c_str(), 0444);
  struct Case {
    std::string words;
    std::string line;
  };
  const Case cases[] = {
      {"render Sample", "usage: render MODEL PATH.png [WIDTH HEIGHT] [front|back|left|right|top|iso]"},
      {"render Nobody " + out, "no model 'Nobody' in the project"},
      {"render Sample " + scratch_.Path("out.jpg"), "'" + scratch_.Path("out.jpg") + "' is not a .png file name"},
      {"render Sample " + out + " 0 100", "the size '0 100' is not two whole numbers from 1 to 8192"},
      {"render Sample " + out + " 100 9000", "the size '100 9000' is not two whole numbers from 1 to 8192"},
      {"render Sample " + out + " wide 100", "the size 'wide 100' is not two whole numbers"},
      {"render Sample " + out + " 100 100 sideways", "'sideways' is not a view (front, back, left, right, top or iso)"},
      {"render Sample " + out + " 100 100 top extra", "usage: render MODEL"},
      {"render Sample " + out + " --shading glossy", "--shading takes paint, lit, normal, specular or displacement"},
      {"render Sample " + out + " 100 100 --shading", "--shading takes paint"},
      {"render Sample " + scratch_.Path("missing/out.png"), scratch_.Path("missing")},
      {"render Sample " + readOnly, "read-only"},
  };
  for (const Case& c : cases) {
    const HashhostRun run = RunHashhost(scratch_, "-c '" + c.words + "; tree'");
    EXPECT_NE(run.exitCode, 0) << c.words;
    EXPECT_EQ(run.err.rfind("hashhost: command 1 (render): ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(c.line), std::string::npos) << c.words << "\n" << run.err;
    EXPECT_EQ(run.out, "") << "nothing after a failure runs: " << c.words;
  }
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_EQ(ScratchFolder::ReadFile(readOnly), "old");
}

// A quad OBJ facing the front whose material's colour map is `image`.
std::string WriteQuad(const ScratchFolder& scratch, const std::string& image) {
  scratch.Write("quad.mtl", "newmtl paint\nKd 1 1 1\nmap_Kd " + image + "\n");
  return scratch.Write("quad.obj",
                       "mtllib quad.mtl\nv -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\n"
                       "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nusemtl paint\nf 1/1 2/2 3/3 4/4\n");
}

// An uncompressed 8 x 8 TGA of one colour.
std::string PlainTga(int r, int g, int b) {
  std::string tga(18, '\0');
  tga[2] = 2;  // true colour
  tga[12] = 8;
  tga[14] = 8;
  tga[16] = 24;
  for (int i = 0; i < 64; ++i) tga += {static_cast<char>(b), static_cast<char>(g), static_cast<char>(r)};
  return tga;
}

TEST_F(HashhostRenderTest, AnUnreadableOrMissingImageIsDrawnWithACheckerAndNamedOnStandardError) {
  // An image that is not a picture, and one that is not there when the OBJ is opened.
  for (const bool missing : {false, true}) {
    SCOPED_TRACE(missing ? "missing" : "not a picture");
    const std::string image = missing ? scratch_.Path("gone.png") : scratch_.Write("paint.png", "not a picture");
    const std::string obj = WriteQuad(scratch_, std::filesystem::path(image).filename().string());
    const std::string picture = scratch_.Path("quad.png");
    const HashhostRun run = RunHashhost(scratch_, "-c 'open " + obj + "; render quad " + picture + " 100 100 front'");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("hashhost: render quad: cannot show image '" + image + "'"), std::string::npos) << run.err;
    const PngPixels png = PngPixels::Read(picture);
    int magenta = 0;
    for (int y = 30; y < 70; ++y)
      for (int x = 30; x < 70; ++x) {
        const PngPixels::Rgb c = png.At(x, y);
        if (c.r > 120 && c.b > 120 && c.g < 60) ++magenta;
      }
    EXPECT_GT(magenta, 200) << "the checker shows where the image would be";
  }
}

TEST_F(HashhostRenderTest, PaintShadingShowsTheTexturesOwnColour) {
  scratch_.Write("paint.tga", PlainTga(200, 30, 90));
  const std::string obj = WriteQuad(scratch_, "paint.tga");
  const std::string paint = scratch_.Path("paint.png"), lit = scratch_.Path("lit.png");
  const HashhostRun run =
      RunHashhost(scratch_, "-c 'open " + obj + "; render quad " + paint +
                                " 100 100 front --shading paint; render quad " + lit + " 100 100 front'");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const PngPixels::Rgb painted = PngPixels::Read(paint).At(50, 50);
  EXPECT_NEAR(painted.r, 200, 2);
  EXPECT_NEAR(painted.g, 30, 2);
  EXPECT_NEAR(painted.b, 90, 2);
  EXPECT_NE(PngPixels::Read(lit).At(50, 50), painted) << "lit is the default and shades the paint";
}

}  // namespace
