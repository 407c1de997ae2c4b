#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#include <stb_image.h>

#include <FileIO/Registry.h>

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

// Runs hashhost --gui on a virtual X server; its exit status, with standard output in *out.
int RunUnderXvfb(const ScratchFolder& scratch, const std::string& script, std::string* out = nullptr) {
  // Display numbers start from one of our own, so parallel runs rarely meet; the
  // display libraries' caches live as long as the process, and the leak checker is told so.
  const std::string command = "LSAN_OPTIONS=suppressions='" DISPLAY_SUPPRESSIONS "' xvfb-run -a -n " +
                              std::to_string(100 + getpid() % 800) + " '" + HASHHOST_PATH + "' --gui -c '" + script +
                              "' >'" + scratch.Path("stdout") + "' 2>'" + scratch.Path("stderr") + "'";
  // Another server may take the display number between xvfb-run's check and its
  // start; that is xvfb-run's race, not ours, so it gets another try.
  int status = -1;
  for (int attempt = 0; attempt < 3 && status != 0; ++attempt) {
    status = std::system(command.c_str());
    // hashhost itself reported: the server was fine, so no other try.
    if (status != 0 && ScratchFolder::ReadFile(scratch.Path("stderr")).find("hashhost: ") != std::string::npos) break;
  }
  if (out) *out = ScratchFolder::ReadFile(scratch.Path("stdout"));
  return status;
}

TEST(HashhostWindowTest, BothTabsOfTheDialogShowOnScreen) {
  if (!XvfbRunAvailable()) GTEST_SKIP() << "xvfb-run is not installed (Debian package xvfb)";
  ScratchFolder scratch;
  const std::string io = scratch.Path("io.png");
  const std::string options = scratch.Path("options.png");
  ASSERT_EQ(RunUnderXvfb(scratch, "run Pigmora 0 Objects/Sample; screenshot " + io + "; tab 1; screenshot " + options),
            0)
      << ScratchFolder::ReadFile(scratch.Path("stderr"));

  for (const std::string& path : {io, options}) {
    const Picture picture = ReadPng(path);
    EXPECT_EQ(picture.width, kDialogWidth) << path;
    EXPECT_EQ(picture.height, kDialogHeight) << path;
    // Captions, frames and controls: far more than a blank window's few colours.
    EXPECT_GT(picture.colours, 8u) << path << " looks blank";
  }
  EXPECT_NE(ScratchFolder::ReadFile(io), ScratchFolder::ReadFile(options)) << "the tabs look the same";
}

TEST(HashhostWindowTest, ThePluginsMenuRunsTheCommandThatFitsTheSelectedObject) {
  if (!XvfbRunAvailable()) GTEST_SKIP() << "xvfb-run is not installed (Debian package xvfb)";
  ScratchFolder scratch;
  std::string out;
  ASSERT_EQ(RunUnderXvfb(scratch,
                         "pick Objects/Sample; menu Plugins/Export/Pigmora; tab 1; check 1027 1; close; "
                         "pick Scenes/Scene1/Sample; menu Plugins/Export/Pigmora; close; "
                         "menu Plugins/Import/Pigmora; screenshot " +
                             scratch.Path("main.png"),
                         &out),
            0)
      << ScratchFolder::ReadFile(scratch.Path("stderr"));
  // A model gets command 0, a model's instance command 1, the import command 2.
  EXPECT_EQ(out, "Pigmora 0: result=1\nPigmora 1: result=1\nPigmora 2: result=0\n");
  EXPECT_EQ(GetRegistryValue("Pigmora", "ExportDispl", -1), 1) << "the dialog opened from the menu";
  EXPECT_GT(ReadPng(scratch.Path("main.png")).colours, 8u) << "the main window looks blank";

  EXPECT_NE(RunUnderXvfb(scratch, "menu Plugins/Export/Nothing"), 0);
  // xvfb-run may add lines of its own; hashhost's is the first.
  EXPECT_EQ(ScratchFolder::ReadFile(scratch.Path("stderr"))
                .rfind("hashhost: command 1 (menu): no menu entry "
                       "'Plugins/Export/Nothing'\n",
                       0),
            0u);
}

// The 3D view's part of a screenshot: the box around the pixels of the view's
// background, and how many pixels inside it show something else.
struct ViewArea {
  int left = 0, top = 0, right = -1, bottom = -1;
  int modelPixels = 0;
  std::vector<unsigned> pixels;  // inside the box, row by row
};

ViewArea FindViewArea(const std::string& path) {
  ViewArea area;
  int width = 0, height = 0, channels = 0;
  unsigned char* rgb = stbi_load(path.c_str(), &width, &height, &channels, 3);
  if (!rgb) return area;
  auto isBackground = [&](int x, int y) {
    const unsigned char* p = &rgb[(y * width + x) * 3];
    return std::abs(p[0] - 51) <= 2 && std::abs(p[1] - 56) <= 2 && std::abs(p[2] - 64) <= 2;
  };
  area.left = width;
  area.top = height;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (isBackground(x, y)) {
        area.left = std::min(area.left, x);
        area.right = std::max(area.right, x);
        area.top = std::min(area.top, y);
        area.bottom = std::max(area.bottom, y);
      }
  for (int y = area.top; y <= area.bottom; ++y)
    for (int x = area.left; x <= area.right; ++x) {
      const unsigned char* p = &rgb[(y * width + x) * 3];
      area.pixels.push_back(p[0] << 16 | p[1] << 8 | p[2]);
      if (!isBackground(x, y)) ++area.modelPixels;
    }
  stbi_image_free(rgb);
  return area;
}

TEST(HashhostWindowTest, TheViewShowsTheModelAndFollowsTheReceive) {
  if (!XvfbRunAvailable()) GTEST_SKIP() << "xvfb-run is not installed (Debian package xvfb)";
  ScratchFolder scratch;
  ScratchFolder::WriteFile(scratch.RegistryPath(),
                           std::string("[Pigmora]\nexePath=") + PIGMORA_PEER_PATH + "\nAutoImport=1\n");
  std::string peerId;
  RunCommand(std::string("'") + PIGMORA_PEER_PATH + "' --watch --stop-after 30 --size 64 >/dev/null 2>&1 & echo $!",
             &peerId);
  const std::string sent = scratch.Path("sent.png"), received = scratch.Path("received.png");
  const int status = RunUnderXvfb(
      scratch, "screenshot " + sent + "; run Pigmora 0 Objects/Sample; click 1001; wait 6; screenshot " + received);
  std::system(("kill " + peerId + " 2>/dev/null").c_str());
  ASSERT_EQ(status, 0) << ScratchFolder::ReadFile(scratch.Path("stderr"));
  // With nothing selected the view shows the first model, the sample.
  const ViewArea sample = FindViewArea(sent);
  ASSERT_GT(sample.right - sample.left, 200) << "the view is beside the tree";
  ASSERT_GT(sample.bottom - sample.top, 200);
  EXPECT_GT(sample.modelPixels, 5000) << "the sample shows in the view";
  // The painted model took its place: the same shape in other colours.
  const ViewArea painted = FindViewArea(received);
  EXPECT_GT(painted.modelPixels, 5000);
  EXPECT_NE(sample.pixels, painted.pixels) << "the view still shows the sample";
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
