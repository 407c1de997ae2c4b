// The stand-in peer's answer as a whole: the previous pair goes before any of
// its files is overwritten, and a failed or stopped answer leaves neither a
// pair, nor changed images, nor temporary files.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <thread>

#include "PeerFixture.h"

extern char** environ;

namespace {

class PeerAnswerSafetyTest : public PeerFixture {
protected:
  // Answers the left-right model and returns each file of the answer with its bytes.
  std::map<std::string, std::string> AnswerOnce(const std::string& options, int size) {
    WriteCommand(WriteModel(LeftRightPlan()), options);
    const CommandRun run = Peer("--once --size " + std::to_string(size));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::map<std::string, std::string> files;
    files[AnswerFbx()] = ScratchFolder::ReadFile(AnswerFbx());
    for (const TextureGroup& group : TextureGroups()) files[group.path] = ScratchFolder::ReadFile(group.path);
    return files;
  }
};

constexpr const char* kOptions = "[ExportColor=1]\n[ExportSpecular=1]\n[ExportNormalmap=1]\n[ColorFileExtension=PNG]\n";

TEST_F(PeerAnswerSafetyTest, AFailedAnswerTakesThePreviousPairAwayAndChangesNoImage) {
  const std::map<std::string, std::string> previous = AnswerOnce(kOptions, 16);
  ASSERT_EQ(previous.size(), 7u);
  // The last image of the next answer cannot be written: a folder stands there.
  const std::string blocked = TextureGroups().back().path;
  std::filesystem::remove(blocked);
  std::filesystem::create_directory(blocked);

  const CommandRun run = Peer("--once --size 24");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find(blocked), std::string::npos) << run.err;
  EXPECT_FALSE(PairPresent()) << "no receive may pair the previous model with the files of this answer";
  for (const auto& [file, bytes] : previous)
    if (file != blocked) {
      EXPECT_EQ(ScratchFolder::ReadFile(file), bytes) << file << " is as the previous answer left it";
    }
  EXPECT_EQ(Temporaries(), std::vector<std::string>());
}

TEST_F(PeerAnswerSafetyTest, TemporariesThatAStoppedPeerLeftGoWithTheNextAnswer) {
  const std::map<std::string, std::string> previous = AnswerOnce(kOptions, 16);
  const std::filesystem::path exchange = scratch_.ExchangePath();
  const std::filesystem::path fbx = AnswerFbx(), image = TextureGroups().front().path;
  const std::vector<std::filesystem::path> leftovers = {
      exchange / ".textures.txt.tmp-a1B2c3", exchange / ".export.txt.tmp-D4e5F6",
      fbx.parent_path() / ("." + fbx.filename().string() + ".tmp-g7H8i9"),
      image.parent_path() / ("." + image.filename().string() + ".tmp-J0k1L2")};
  // The plug-in writes in the exchange folder too, and may be at it.
  const std::vector<std::filesystem::path> pluginFiles = {exchange / ".import.txt.tmp-m3N4o5",
                                                          exchange / ".export.fbx.tmp-P6q7R8"};
  for (const auto& path : leftovers) ScratchFolder::WriteFile(path, "half an answer");
  for (const auto& path : pluginFiles) ScratchFolder::WriteFile(path, "half a command");

  AnswerOnce(kOptions, 16);
  for (const auto& path : leftovers) EXPECT_FALSE(std::filesystem::exists(path)) << path;
  for (const auto& path : pluginFiles) EXPECT_TRUE(std::filesystem::exists(path)) << path;
}

TEST_F(PeerAnswerSafetyTest, AStoppedPeerLeavesNeitherPairNorTemporaries) {
  AnswerOnce(kOptions, 16);
  ASSERT_TRUE(PairPresent());
  const std::string textureFolder = std::filesystem::path(TextureGroups().front().path).parent_path().string();
  // Many images, so that the stop arrives while the answer is being written.
  std::vector<std::string> materials;
  for (int m = 0; m < 400; ++m) materials.push_back("M" + std::to_string(m));
  MeshPlan plan = GridPlan(20, materials);
  plan.nodeName = LeftRightPlan().nodeName;
  for (std::size_t p = 0; p < plan.polygons.size(); ++p) plan.polygonMaterials[p] = static_cast<int>(p);
  WriteCommand(WriteModel(plan), kOptions);

  const std::string out = scratch_.Path("peer.out");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  const char* arguments[] = {PIGMORA_PEER_PATH, "--once", "--size", "64", nullptr};
  pid_t peer = 0;
  ASSERT_EQ(posix_spawn(&peer, PIGMORA_PEER_PATH, &actions, nullptr, const_cast<char**>(arguments), environ), 0);
  posix_spawn_file_actions_destroy(&actions);

  bool writing = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!writing && std::chrono::steady_clock::now() < deadline) {
    for (const std::string& path : Temporaries()) writing = writing || path.rfind(textureFolder, 0) == 0;
    if (!writing) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  EXPECT_TRUE(writing) << "the peer began to write its images";
  kill(peer, SIGTERM);
  int status = 0;
  ASSERT_EQ(waitpid(peer, &status, 0), peer);

  ASSERT_TRUE(WIFEXITED(status)) << "the peer finishes on its own terms, not torn off by the signal";
  EXPECT_EQ(WEXITSTATUS(status), 1) << ScratchFolder::ReadFile(out);
  EXPECT_NE(ScratchFolder::ReadFile(out).find("stopped"), std::string::npos) << ScratchFolder::ReadFile(out);
  EXPECT_FALSE(PairPresent());
  EXPECT_EQ(Temporaries(), std::vector<std::string>());
}

}  // namespace
