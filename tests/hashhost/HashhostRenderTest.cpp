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

TEST_F(HashhostRenderTest, AModelWithAnUnreadableImageIsDrawnWithACheckerAndNamedOnStandardError) {
  // An OBJ whose material names an image that is not a picture.
  const std::string image = scratch_.Write("paint.png", "not a picture");
  scratch_.Write("quad.mtl", "newmtl paint\nKd 1 1 1\nmap_Kd paint.png\n");
  const std::string obj = scratch_.Write("quad.obj",
                                         "mtllib quad.mtl\nv -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\n"
                                         "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nusemtl paint\nf 1/1 2/2 3/3 4/4\n");
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

}  // namespace
