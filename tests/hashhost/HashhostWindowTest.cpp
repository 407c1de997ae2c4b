#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#include <stb_image.h>

#include "HashhostRunner.h"

namespace {

// The applink dialog measures 184 x 274 dialog units: 276 x 445 pixels.
constexpr int kDialogWidth = 276;
constexpr int kDialogHeight = 445;

bool XvfbRunAvailable() { return std::system("command -v xvfb-run >/dev/null 2>&1") == 0; }

struct Picture {
  int width = 0;
  int height = 0;
  std::size_t colours = 0;
};

Picture ReadPng(const std::string& path) {
  Picture picture;
  int channels = 0;
  unsigned char* pixels = stbi_load(path.c_str(), &picture.width, &picture.height, &channels, 3);
  if (!pixels) return picture;
  std::set<unsigned> colours;
  for (int i = 0; i < picture.width * picture.height; ++i)
    colours.insert(pixels[3 * i] << 16 | pixels[3 * i + 1] << 8 | pixels[3 * i + 2]);
  stbi_image_free(pixels);
  picture.colours = colours.size();
  return picture;
}

TEST(HashhostWindowTest, BothTabsOfTheDialogShowOnScreen) {
  if (!XvfbRunAvailable()) GTEST_SKIP() << "xvfb-run is not installed (Debian package xvfb)";
  ScratchFolder scratch;
  const std::string io = scratch.Path("io.png");
  const std::string options = scratch.Path("options.png");
  // Display numbers start from one of our own, so parallel runs rarely meet.
  // The display libraries' caches live as long as the process; the leak checker is told so.
  const std::string command = "LSAN_OPTIONS=suppressions='" DISPLAY_SUPPRESSIONS "' xvfb-run -a -n " +
                              std::to_string(100 + getpid() % 800) + " '" + HASHHOST_PATH +
                              "' --gui -c 'run Pigmora 0 Objects/Sample; screenshot " + io + "; tab 1; screenshot " +
                              options + "'";
  const std::string errPath = scratch.Path("stderr");
  // Another server may take the display number between xvfb-run's check and its
  // start; that is xvfb-run's race, not ours, so it gets another try.
  int status = -1;
  for (int attempt = 0; attempt < 3 && status != 0; ++attempt)
    status = std::system((command + " >/dev/null 2>'" + errPath + "'").c_str());
  ASSERT_EQ(status, 0) << ScratchFolder::ReadFile(errPath);

  for (const std::string& path : {io, options}) {
    const Picture picture = ReadPng(path);
    EXPECT_EQ(picture.width, kDialogWidth) << path;
    EXPECT_EQ(picture.height, kDialogHeight) << path;
    // Captions, frames and controls: far more than a blank window's few colours.
    EXPECT_GT(picture.colours, 8u) << path << " looks blank";
  }
  EXPECT_NE(ScratchFolder::ReadFile(io), ScratchFolder::ReadFile(options)) << "the tabs look the same";
}

TEST(HashhostWindowTest, GuiWithoutADisplaySaysSoInOneLine) {
  ScratchFolder scratch;
  const std::string out = scratch.Path("stdout");
  const std::string err = scratch.Path("stderr");
  const int status = std::system(
      ("env -u DISPLAY '" + std::string(HASHHOST_PATH) + "' --gui -c tree >'" + out + "' 2>'" + err + "'").c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 0);
  EXPECT_EQ(ScratchFolder::ReadFile(err), "hashhost: --gui needs a display: no display (DISPLAY is not set)\n");
  EXPECT_EQ(ScratchFolder::ReadFile(out), "") << "nothing runs without the display asked for";
}

}  // namespace
