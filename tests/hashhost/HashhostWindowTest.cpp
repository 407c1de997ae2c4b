#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

// stb_image is compiled into this file, privately.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#include "PngPixels.h"

#include <FileIO/Registry.h>

#include "HashhostRunner.h"
#include "PeerAnswer.h"

namespace {

// The applink dialog measures 184 x 274 dialog units: 276 x 445 pixels.
constexpr int kDialogWidth = 276;
constexpr int kDialogHeight = 445;

// Long enough for a sanitizer build beside other busy processes; a run that works ends as soon as the answer is in.
constexpr const char* kAwaitReceived = "wait-for Received 300";

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

// The display libraries' caches live as long as the process, and the leak checker is told so.
const std::string kDisplayLeakSuppressions = "LSAN_OPTIONS=suppressions='" DISPLAY_SUPPRESSIONS "'";

// Runs hashhost --gui on a virtual X server; its exit status, with standard output in *out.
int RunUnderXvfb(const ScratchFolder& scratch, const std::string& script, std::string* out = nullptr) {
  // Display numbers start from one of our own, so parallel runs rarely meet.
  const std::string command = kDisplayLeakSuppressions + " xvfb-run -a -n " + std::to_string(100 + getpid() % 800) +
                              " '" + HASHHOST_PATH + "' --gui -c '" + script + "' >'" + scratch.Path("stdout") +
                              "' 2>'" + scratch.Path("stderr") + "'";
  // Another server may take the display number between xvfb-run's check and its
  // start; that is xvfb-run's race, not ours, so it gets another try.
  int status = -1;
  for (int attempt = 0; attempt < 3 && status != 0; ++attempt) {
    status = std::system(command.c_str());
    // hashhost ran (it reported, printed or crashed): the server was fine, and a
    // second run would find the exchange folder changed, so no other try.
    const std::string err = ScratchFolder::ReadFile(scratch.Path("stderr"));
    if (status != 0 && (err.find("hashhost: ") != std::string::npos || err.find("Sanitizer") != std::string::npos ||
                        !ScratchFolder::ReadFile(scratch.Path("stdout")).empty()))
      break;
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
  EXPECT_NE(PngPixels::Difference(io, options), "") << "the tabs look the same";
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

// The model file the last send wrote, as text (the send writes ASCII FBX).
std::string SentModelFile(const ScratchFolder& scratch) {
  return ScratchFolder::ReadFile(scratch.ExchangePath() / "Hash" / "data" / "export.fbx");
}

// The received model shows the host's copies of the peer's painted images,
// in the plug-in's own folder of the exchange; the sample's images do not lie
// there. A send that names them sends the received model.
bool SendsTheReceivedModel(const ScratchFolder& scratch) {
  return SentModelFile(scratch).find("/Hash/received/") != std::string::npos;
}

TEST(HashhostWindowTest, TheFirstScreenshotShowsTheDrawnWindow) {
  if (!XvfbRunAvailable()) GTEST_SKIP() << "xvfb-run is not installed (Debian package xvfb)";
  ScratchFolder scratch;
  // It used to come out black in two runs of three: the window was read before it was mapped.
  for (int run = 0; run < 3; ++run) {
    const std::string picture = scratch.Path("first" + std::to_string(run) + ".png");
    ASSERT_EQ(RunUnderXvfb(scratch, "screenshot " + picture), 0) << ScratchFolder::ReadFile(scratch.Path("stderr"));
    EXPECT_GT(ReadPng(picture).colours, 8u) << "run " << run << ": the main window looks blank";
  }
}

// Holds the answer the peer left back until `signal` exists (a file the
// script writes), so that a timer quicker than the script cannot import it
// before the script is ready; lets it in then, or after five minutes.
class AnswerHeldBack {
public:
  AnswerHeldBack(const ScratchFolder& scratch, std::filesystem::path signal)
      : answer_(scratch.ExchangePath() / "export.txt"), heldBack_(scratch.ExchangePath() / "held-back") {
    std::filesystem::rename(answer_, heldBack_);
    letIn_ = std::thread([this, signal] {
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(300);
      while (!std::filesystem::exists(signal) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      std::error_code ignored;
      std::filesystem::rename(heldBack_, answer_, ignored);
    });
  }
  ~AnswerHeldBack() { letIn_.join(); }
  AnswerHeldBack(const AnswerHeldBack&) = delete;
  AnswerHeldBack& operator=(const AnswerHeldBack&) = delete;

private:
  std::filesystem::path answer_, heldBack_;
  std::thread letIn_;
};

TEST(HashhostWindowTest, ASelectionReplacedByAnAnswerIsFollowedByTheTreeAndTheMenu) {
  if (!XvfbRunAvailable()) GTEST_SKIP() << "xvfb-run is not installed (Debian package xvfb)";
  ScratchFolder scratch;
  ASSERT_TRUE(LeavePeerAnswerForTheSample(scratch));
  ASSERT_FALSE(SendsTheReceivedModel(scratch)) << "the first send was of the sample";
  SetRegistryValue("Pigmora", "AutoImport", 1);
  std::string out;
  int status = -1;
  {
    // Let in once the first screenshot shows the sample.
    const AnswerHeldBack answer(scratch, scratch.Path("before.png"));
    // The timer replaces the picked sample during the wait; the menu then runs on the model that took its place.
    status = RunUnderXvfb(scratch,
                          "pick Objects/Sample; screenshot " + scratch.Path("before.png") + "; " + kAwaitReceived +
                              "; screenshot " + scratch.Path("after.png") +
                              "; menu Plugins/Export/Pigmora; click 1001; pick Objects/Sample",
                          &out);
  }
  ASSERT_EQ(status, 0) << ScratchFolder::ReadFile(scratch.Path("stderr"));
  EXPECT_NE(out.find("status: Received \"Sample\" from Pigmora: "), std::string::npos) << out;
  EXPECT_NE(out.find("Pigmora 0: result=1\n"), std::string::npos) << "the command for a model: " << out;
  EXPECT_TRUE(SendsTheReceivedModel(scratch)) << "the dialog opened on the old model";
  EXPECT_NE(PngPixels::Difference(scratch.Path("before.png"), scratch.Path("after.png")), "")
      << "the tree still shows the old project";
}

TEST(HashhostWindowTest, AnAnswerArrivingWhileTheDialogIsOpenIsWhatTheSendSends) {
  if (!XvfbRunAvailable()) GTEST_SKIP() << "xvfb-run is not installed (Debian package xvfb)";
  ScratchFolder scratch;
  ASSERT_TRUE(LeavePeerAnswerForTheSample(scratch));
  SetRegistryValue("Pigmora", "AutoImport", 1);
  std::string out;
  ASSERT_EQ(
      RunUnderXvfb(scratch,
                   std::string("pick Objects/Sample; menu Plugins/Export/Pigmora; ") + kAwaitReceived + "; click 1001",
                   &out),
      0)
      << ScratchFolder::ReadFile(scratch.Path("stderr"));
  EXPECT_NE(out.find("status: Received \"Sample\" from Pigmora: "), std::string::npos) << out;
  EXPECT_NE(out.find("status: Sent \"Sample\" to Pigmora (per-pixel painting), waiting for its answer\n"),
            std::string::npos)
      << out;
  EXPECT_TRUE(SendsTheReceivedModel(scratch)) << "the send did not send the model that arrived";
}

TEST(HashhostWindowTest, TheMainWindowCannotBeUsedWhileADialogIsOpen) {
  if (!XvfbRunAvailable()) GTEST_SKIP() << "xvfb-run is not installed (Debian package xvfb)";
  ScratchFolder scratch;
  for (const std::string second : {"menu Plugins/Import/Pigmora", "pick Scenes/Scene1/Sample"}) {
    std::string out;
    const int status = RunUnderXvfb(scratch, "pick Objects/Sample; menu Plugins/Export/Pigmora; " + second, &out);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << second;
    const std::string what = second.substr(0, second.find(' '));
    EXPECT_EQ(ScratchFolder::ReadFile(scratch.Path("stderr"))
                  .rfind("hashhost: command 3 (" + what + "): the main window's " + (what == "menu" ? "menu" : "tree") +
                             " cannot be used while the dialog \"Pigmora applink\" is open\n",
                         0),
              0u)
        << ScratchFolder::ReadFile(scratch.Path("stderr"));
    EXPECT_EQ(out.find("Pigmora 2"), std::string::npos) << "the import ran: " << out;
  }
}

TEST(HashhostWindowTest, TheDialogOpensCentredOverTheMainWindow) {
  if (!XvfbRunAvailable() || std::system("command -v xwininfo >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "needs xvfb-run and xwininfo (Debian packages xvfb, x11-utils)";
  ScratchFolder scratch;
  // Where the server shows both windows once the dialog is up and has settled (two looks alike), looked
  // for again and again until then: a busy machine may take long to map it. The host waits until it is stopped.
  const std::string listing = scratch.Path("windows");
  const std::string look = "xwininfo -root -tree >'" + listing + ".new' 2>/dev/null; ";
  const std::string command =
      kDisplayLeakSuppressions + " xvfb-run -a -n " + std::to_string(100 + (getpid() + 400) % 800) + " sh -c \"'" +
      HASHHOST_PATH + "' --gui -c 'menu Plugins/Export/Pigmora; wait 600' >/dev/null 2>&1 & host=\\$!; : >'" + listing +
      "'; for i in \\$(seq 3000); do " + look + "if grep -q 'Pigmora applink' '" + listing + ".new' && cmp -s '" +
      listing + ".new' '" + listing + "'; then break; fi; mv '" + listing + ".new' '" + listing +
      "'; sleep 0.1; done; kill \\$host; wait\" >/dev/null 2>&1";
  std::regex geometry("\"([^\"]+)\": \\(.*\\)  (\\d+)x(\\d+)\\+(-?\\d+)\\+(-?\\d+)");
  std::map<std::string, std::array<int, 4>> windows;
  for (int attempt = 0; attempt < 3 && windows.size() < 2; ++attempt) {
    std::system(command.c_str());
    const std::string text = ScratchFolder::ReadFile(listing);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), geometry); it != std::sregex_iterator(); ++it)
      windows[(*it)[1]] = {std::stoi((*it)[2]), std::stoi((*it)[3]), std::stoi((*it)[4]), std::stoi((*it)[5])};
  }
  ASSERT_TRUE(windows.count("Hash Animator (hashhost)") && windows.count("Pigmora applink"))
      << ScratchFolder::ReadFile(listing);
  const auto& [mainW, mainH, mainX, mainY] = windows["Hash Animator (hashhost)"];
  const auto& [dialogW, dialogH, dialogX, dialogY] = windows["Pigmora applink"];
  EXPECT_NEAR(dialogX + dialogW / 2, mainX + mainW / 2, 2);
  EXPECT_NEAR(dialogY + dialogH / 2, mainY + mainH / 2, 2);
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

// How the views of two screenshots differ, in a short line; empty when they show the same.
std::string ViewDifference(const ViewArea& a, const ViewArea& b) {
  if (a.pixels.size() != b.pixels.size())
    return "views of " + std::to_string(a.pixels.size()) + " and " + std::to_string(b.pixels.size()) + " pixels";
  std::size_t differing = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i) differing += a.pixels[i] != b.pixels[i];
  return differing == 0 ? "" : std::to_string(differing) + " pixels of the view differ";
}

TEST(HashhostWindowTest, TheViewShowsTheModelAndFollowsTheReceive) {
  if (!XvfbRunAvailable()) GTEST_SKIP() << "xvfb-run is not installed (Debian package xvfb)";
  ScratchFolder scratch;
  ScratchFolder::WriteFile(scratch.RegistryPath(),
                           std::string("[Pigmora]\nexePath=") + PIGMORA_PEER_PATH + "\nAutoImport=1\n");
  std::string peerId;
  RunCommand(std::string("'") + PIGMORA_PEER_PATH + "' --watch --stop-after 600 --size 64 >/dev/null 2>&1 & echo $!",
             &peerId);
  const std::string sent = scratch.Path("sent.png"), received = scratch.Path("received.png");
  const int status = RunUnderXvfb(scratch, "screenshot " + sent + "; run Pigmora 0 Objects/Sample; click 1001; " +
                                               kAwaitReceived + "; screenshot " + received);
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
  EXPECT_NE(ViewDifference(sample, painted), "") << "the view still shows the sample";
}

TEST(HashhostWindowTest, TheViewMenuChoosesTheShading) {
  if (!XvfbRunAvailable()) GTEST_SKIP() << "xvfb-run is not installed (Debian package xvfb)";
  ScratchFolder scratch;
  const std::string lit = scratch.Path("lit.png"), paint = scratch.Path("paint.png"), again = scratch.Path("again.png");
  ASSERT_EQ(RunUnderXvfb(scratch, "screenshot " + lit + "; menu View/Paint; screenshot " + paint +
                                      "; menu View/Lit; screenshot " + again),
            0)
      << ScratchFolder::ReadFile(scratch.Path("stderr"));
  const ViewArea litView = FindViewArea(lit), paintView = FindViewArea(paint);
  EXPECT_GT(paintView.modelPixels, 5000);
  // Compared as pictures: a failure says how many pixels differ, not every pixel.
  EXPECT_NE(ViewDifference(litView, paintView), "") << "paint shows the sample unlit";
  EXPECT_EQ(ViewDifference(FindViewArea(again), litView), "") << "lit again looks as lit did";
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

namespace {

// The status bar's line after each `status` command, in order.
std::vector<std::string> StatusBarLines(const std::string& out) {
  std::vector<std::string> lines;
  std::istringstream text(out);
  for (std::string line; std::getline(text, line);)
    if (line.rfind("status bar: ", 0) == 0) lines.push_back(line.substr(12));
  return lines;
}

}  // namespace

TEST(HashhostWindowTest, EscapeNeverQuitsAndQuittingAsksOnlyWhileAModelIsUnsaved) {
  if (!XvfbRunAvailable()) GTEST_SKIP() << "xvfb-run is not installed (Debian package xvfb)";
  ScratchFolder scratch;
  const std::string obj = scratch.Path("quad.obj");
  ScratchFolder::WriteFile(obj, "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\n");
  // Escape in the main window, then a question answered No: the window stays, so `pick` works.
  ASSERT_EQ(RunUnderXvfb(scratch, "key escape; pick Objects/Sample; file " + obj +
                                      "; menu \"File/Open OBJ...\"; answer no; menu File/Quit; pick Objects/quad"),
            0)
      << ScratchFolder::ReadFile(scratch.Path("stderr"));
  EXPECT_NE(
      ScratchFolder::ReadFile(scratch.Path("stderr")).find("[Quit Hash Animator] The model \"quad\" was not saved"),
      std::string::npos)
      << ScratchFolder::ReadFile(scratch.Path("stderr"));

  // Yes ends it.
  EXPECT_NE(RunUnderXvfb(scratch, "file " + obj +
                                      "; menu \"File/Open OBJ...\"; answer yes; menu File/Quit; pick "
                                      "Objects/Sample"),
            0);
  EXPECT_NE(ScratchFolder::ReadFile(scratch.Path("stderr")).find("(pick): the main window is closed"),
            std::string::npos)
      << ScratchFolder::ReadFile(scratch.Path("stderr"));

  // Saved (from the menu or by script), nothing is asked: the box's default would keep the window.
  for (const std::string& save : {"file " + scratch.Path("a.obj") + "; menu \"File/Save Selected Model as OBJ...\"",
                                  "save-obj quad " + scratch.Path("b.obj")}) {
    EXPECT_NE(RunUnderXvfb(scratch, "file " + obj + "; menu \"File/Open OBJ...\"; " + save +
                                        "; menu File/Quit; pick Objects/Sample"),
              0)
        << save;
    const std::string err = ScratchFolder::ReadFile(scratch.Path("stderr"));
    EXPECT_EQ(err.find("[Quit Hash Animator]"), std::string::npos) << save << ": " << err;
    EXPECT_NE(err.find("the main window is closed"), std::string::npos) << save << ": " << err;
  }
}

TEST(HashhostWindowTest, TheFileMenuOpensSavesAndRendersAndSaysSoInTheStatusBar) {
  if (!XvfbRunAvailable()) GTEST_SKIP() << "xvfb-run is not installed (Debian package xvfb)";
  ScratchFolder scratch;
  const std::string obj = scratch.Path("quad.obj");
  ScratchFolder::WriteFile(obj, "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\n");
  ScratchFolder::WriteFile(scratch.Path("broken.obj"), "v 0 0 0\nf 1 2 9\n");
  std::string out;
  ASSERT_EQ(RunUnderXvfb(scratch,
                         "status; file " + obj + "; menu \"File/Open OBJ...\"; status; file " + scratch.Path("saved") +
                             "; menu \"File/Save Selected Model as OBJ...\"; status; file " + scratch.Path("quad.png") +
                             "; menu \"File/Render Picture...\"; status; file " + scratch.Path("broken.obj") +
                             "; menu \"File/Open OBJ...\"; status; file cancel; menu \"File/Open OBJ...\"; status",
                         &out),
            0)
      << ScratchFolder::ReadFile(scratch.Path("stderr"));
  EXPECT_EQ(StatusBarLines(out),
            (std::vector<std::string>{
                "Project \"Untitled\": 1 model, \"Sample\"", "Opened \"quad\" from quad.obj: 1 patch",
                "Saved \"quad\" to " + scratch.Path("saved.obj"), "Rendered \"quad\" to " + scratch.Path("quad.png"),
                "Could not open broken.obj", "Could not open broken.obj"}))
      << out;
  EXPECT_NE(ScratchFolder::ReadFile(scratch.Path("saved.obj")).find("f "), std::string::npos);
  const Picture picture = ReadPng(scratch.Path("quad.png"));
  EXPECT_EQ(picture.width, 1920);
  EXPECT_EQ(picture.height, 1080);
  EXPECT_NE(ScratchFolder::ReadFile(scratch.Path("stderr")).find("[Open OBJ] "), std::string::npos)
      << "a file that cannot be opened is said in a box";
}

TEST(HashhostWindowTest, ThePluginCommandsAreReportedInTheWordsOfTheMenu) {
  if (!XvfbRunAvailable()) GTEST_SKIP() << "xvfb-run is not installed (Debian package xvfb)";
  ScratchFolder scratch;
  std::string out;
  ASSERT_EQ(RunUnderXvfb(scratch,
                         "menu Plugins/Import/Pigmora; status; pick Objects/Sample; "
                         "menu Plugins/Export/Pigmora; close; status",
                         &out),
            0)
      << ScratchFolder::ReadFile(scratch.Path("stderr"));
  EXPECT_EQ(StatusBarLines(out),
            (std::vector<std::string>{"Plugins > Import > Pigmora: no answer from Pigmora is waiting",
                                      "Plugins > Export > Pigmora finished"}))
      << out;
}

// While the timer's tick takes an answer in, the status bar says so, then how
// far the host's merge of the model is, then what came.
TEST(HashhostWindowTest, TheTimersReceiveIsShownInTheStatusBarWhileItRuns) {
  if (!XvfbRunAvailable()) GTEST_SKIP() << "xvfb-run is not installed (Debian package xvfb)";
  ScratchFolder scratch;
  ASSERT_TRUE(LeavePeerAnswerForTheSample(scratch));
  SetRegistryValue("Pigmora", "AutoImport", 1);
  const std::string ready = scratch.Path("ready.png");
  std::string out;
  int status = -1;
  {
    const AnswerHeldBack answer(scratch, ready);
    status = RunUnderXvfb(scratch, "watch-status; screenshot " + ready + "; " + kAwaitReceived, &out);
  }
  ASSERT_EQ(status, 0) << ScratchFolder::ReadFile(scratch.Path("stderr"));
  const std::vector<std::string> lines = StatusBarLines(out);
  const auto receiving = std::find(lines.begin(), lines.end(), "Receiving the answer from Pigmora...");
  ASSERT_TRUE(receiving != lines.end()) << "the receive is not shown: " << out;
  auto startsWith = [](const char* start) {
    return [start](const std::string& line) { return line.rfind(start, 0) == 0; };
  };
  EXPECT_TRUE(std::any_of(receiving, lines.end(), startsWith("Receiving the answer from Pigmora: adding patches, ")))
      << "the merge's progress is not shown: " << out;
  EXPECT_TRUE(std::any_of(receiving, lines.end(), startsWith("Received \"Sample\" from Pigmora: "))) << out;
}
