// The images an answer names, by their paths, modes and sizes: the receive
// takes a texture only when it is a regular file that begins as an image does.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "ReceiveFixture.h"
#include "receive/ReceiveModel.h"

namespace fs = std::filesystem;

namespace {

class AnswerImagesTest : public ReceiveFixture {
protected:
  // An answer whose one texture line is `texture`, as the list names it,
  // whatever is at that path.
  // The FBX file is named as fbxNamed, written at fbxFile.
  void WriteAnswer(const std::string& texture, const std::string& fbxNamed, const fs::path& fbxFile) {
    ASSERT_TRUE(WriteMeshFile(GridPlan(1, {"A"}), fbxFile.string()));
    ScratchFolder::WriteFile(scratch_.ExchangePath() / "textures.txt", "A\nmap1\ncolor\n" + texture + "\n");
    ScratchFolder::WriteFile(scratch_.ExchangePath() / "export.txt", fbxNamed + "\n");
  }
  void WriteAnswer(const std::string& texture) {
    WriteAnswer(texture, scratch_.Path("answer.fbx"), scratch_.Path("answer.fbx"));
  }
  bool PairPresent() const {
    return fs::exists(fs::symlink_status(scratch_.ExchangePath() / "export.txt")) ||
           fs::exists(fs::symlink_status(scratch_.ExchangePath() / "textures.txt"));
  }
  // The image files the model's decal clips show.
  std::vector<std::string> ShownFiles(const char* model) const {
    std::vector<std::string> files;
    for (HDecal* decal : Decals(Model(model)))
      for (HDecalClip* clip : Clips(decal)) files.push_back(FileOf(clip));
    return files;
  }
};

#if !defined(_WIN32)  // POSIX-only fixture
// What is not an image is refused by its name, the model the user has stays
// as it was, and the answer is gone, as with any damaged answer. Nothing
// waits on a FIFO, and a huge sparse file is judged by its size, not read.
TEST_F(AnswerImagesTest, ATextureThatIsNoImageFileIsRefusedByNameAndTheKeptModelStays) {
  const std::string texture = scratch_.Path("paint.tga");
  struct Case {
    const char* what;
    std::function<void()> make;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {"a folder", [&] { fs::create_directories(texture); }, "it is a folder"},
      {"a FIFO", [&] { mkfifo(texture.c_str(), 0600); }, "it is not a regular file"},
      {"a link to a device", [&] { fs::create_symlink("/dev/zero", texture); }, "it is not a regular file"},
      {"a link to a system file that is no image", [&] { fs::create_symlink("/etc/passwd", texture); },
       "not a TGA, PNG, BMP, JPG, TIFF or EXR image"},
      {"text", [&] { ScratchFolder::WriteFile(texture, "just some words, no picture\n"); },
       "not a TGA, PNG, BMP, JPG, TIFF or EXR image"},
      {"a huge sparse file",
       [&] {
         ScratchFolder::WriteImage(texture);
         fs::resize_file(texture, std::uintmax_t(8) << 30);
       },
       "it is larger than 512 MiB"},
      {"a missing file", [] {}, "No such file or directory"},
      {"a link that leads round in a loop", [&] { fs::create_symlink(texture, texture); },
       "Too many levels of symbolic links"},
  };
  ScratchFolder::WriteImage(scratch_.Path("kept.tga"));
  WriteAnswer(scratch_.Path("kept.tga"));
  ASSERT_EQ(state_.Plugin().Receive(), 1);
  ASSERT_TRUE(Boxes().empty()) << Boxes().front().text;
  const std::vector<std::string> kept = ShownFiles("Cube");
  ASSERT_EQ(kept.size(), 1u);
  ASSERT_EQ(ScratchFolder::ReadFile(kept[0]), ScratchFolder::ReadFile(scratch_.Path("kept.tga"))) << "the host's copy";
  for (const Case& c : cases) {
    AfxGetHeadlessDisplay().ClearMessageBoxes();
    std::error_code ignored;
    fs::remove_all(texture, ignored);
    c.make();
    WriteAnswer(texture);
    EXPECT_EQ(state_.Plugin().Receive(), 1) << c.what;
    ASSERT_EQ(Boxes().size(), 1u) << c.what;
    EXPECT_EQ(Boxes()[0].caption, "Pigmora") << c.what;
    EXPECT_EQ(Boxes()[0].text, "'textures.txt' names the texture '" + texture + "', which can't be used: " + c.reason +
                                   "; the model was not received")
        << c.what;
    EXPECT_EQ(ShownFiles("Cube"), kept) << c.what << ": the kept model shows what it showed";
    EXPECT_EQ(CountModels(), 1) << c.what;
    EXPECT_FALSE(PairPresent()) << c.what;
  }
}
#endif

// Pigmora names its files by full paths; a relative one is its own, beside
// the answer's lists, and never found in whatever folder the host happens to run in.
TEST_F(AnswerImagesTest, RelativePathsAreTakenFromTheExchangeFolderNotTheWorkingFolder) {
  const fs::path working = scratch_.Root() / "working";
  fs::create_directories(working);
  ScratchFolder::WriteImage((working / "elsewhere.tga").string());
  const fs::path before = fs::current_path();
  fs::current_path(working);

  WriteAnswer("elsewhere.tga");
  EXPECT_EQ(state_.Plugin().Receive(), 1);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, "'textures.txt' names the texture '" +
                                 (scratch_.ExchangePath() / "elsewhere.tga").string() +
                                 "', which can't be used: No such file or directory; the model was not received");
  EXPECT_EQ(CountModels(), 0);

  // An FBX file named relatively, with a decoy of that name where the host runs.
  AfxGetHeadlessDisplay().ClearMessageBoxes();
  ASSERT_TRUE(WriteMeshFile(GridPlan(2, {"A"}), (working / "answer.fbx").string()));
  ScratchFolder::WriteImage((scratch_.ExchangePath() / "beside.tga").string());
  WriteAnswer("beside.tga", "answer.fbx", scratch_.ExchangePath() / "other.fbx");
  EXPECT_EQ(state_.Plugin().Receive(), 1);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, "Import: FBX file is not exists");
  EXPECT_EQ(CountModels(), 0);

  AfxGetHeadlessDisplay().ClearMessageBoxes();
  WriteAnswer("beside.tga", "answer.fbx", scratch_.ExchangePath() / "answer.fbx");
  EXPECT_EQ(state_.Plugin().Receive(), 1);
  fs::current_path(before);
  EXPECT_TRUE(Boxes().empty()) << Boxes().front().text;
  ASSERT_EQ(CountModels(), 1);
  EXPECT_EQ(Model("Cube")->GetPatchCount(), 1) << "the model of the decoy in the working folder came in";
  const std::vector<std::string> shown = ShownFiles("Cube");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(fs::path(shown[0]).is_absolute())
      << "held by its full path, so it stays the same file wherever the host runs";
  EXPECT_EQ(ScratchFolder::ReadFile(shown[0]), ScratchFolder::ReadFile(scratch_.ExchangePath() / "beside.tga"))
      << "a copy of the image beside the answer";
}

}  // namespace
