// The round trip as a user drives it: the stand-in host sends from the applink
// dialog, the peer watches and answers, the plug-in's timer receives.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "CommandRun.h"
#include "ScratchFolder.h"

namespace {

std::string Capture(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    std::size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
    pclose(pipe);
  }
  return out;
}

TEST(HostRoundTripTest, TheHostSendsThePeerAnswersAndTheTimerBringsThePaintedModelBack) {
  ScratchFolder scratch;
  ScratchFolder::WriteFile(scratch.RegistryPath(), std::string("[Pigmora]\nexePath=") + PIGMORA_PEER_PATH +
                                                       "\nExportNormalmap=1\nAutoImport=1\n");
  const std::string peer =
      std::string("'") + PIGMORA_PEER_PATH + "' --watch --stop-after 600 --size 32 >/dev/null 2>&1 & " + "echo $!";
  const std::string peerId = Capture(peer);
  const std::string obj = scratch.Path("received/Sample.obj");
  std::filesystem::create_directories(scratch.Root() / "received");
  const std::string out = Capture(
      std::string("'") + HASHHOST_PATH +
      "' -c 'run Pigmora 0 Objects/Sample; click 1001; wait-for Received 300; tree; save-obj Sample " + obj + "' 2>&1");
  std::system(("kill " + peerId + " 2>/dev/null").c_str());

  EXPECT_NE(out.find("run Pigmora 0 Objects/Sample: result=1"), std::string::npos) << out;
  EXPECT_EQ(out.find("[Pigmora]"), std::string::npos) << "no failure box: " << out;
  EXPECT_NE(out.find("Model \"Sample\" patches=288"), std::string::npos) << out;
  EXPECT_NE(out.find("decals=3"), std::string::npos) << "one decal per material: " << out;
  // The groups keep the names the user gave, which the send wrote as "head_cap", "default1" and
  // "lower_body"; each decal is named after its group.
  for (const char* name : {"head cap", "default", "lower body"}) {
    EXPECT_NE(out.find(std::string("Group \"") + name + "\""), std::string::npos) << name << ": " << out;
    EXPECT_NE(out.find(std::string("Decal \"") + name + "\""), std::string::npos) << name << ": " << out;
  }
  for (const char* sent : {"head_cap", "default1", "lower_body"})
    EXPECT_EQ(out.find(std::string("Group \"") + sent + "\""), std::string::npos) << sent << ": " << out;
  EXPECT_NE(out.find("kind=13 use=normal image=\"2_head_cap_normalmap\""), std::string::npos) << out;
  EXPECT_NE(out.find("Instance \"Sample\" model=\"Sample\""), std::string::npos) << out;
  EXPECT_FALSE(std::filesystem::exists(scratch.ExchangePath() / "export.txt"));
  EXPECT_FALSE(std::filesystem::exists(scratch.ExchangePath() / "textures.txt"));
  EXPECT_TRUE(std::filesystem::exists(obj));
}

// The timer may bring an answer while the applink dialog is open on the model
// it replaces; a mode button pressed afterwards sends the received model. The
// host runs under the sanitizers in the test command, so reading the replaced
// model would end the run.
TEST(HostRoundTripTest, AModeButtonPressedAfterTheAnswerReplacedTheModelSendsTheReceivedOne) {
  ScratchFolder scratch;
  const std::string settings = std::string("[Pigmora]\nexePath=") + PIGMORA_PEER_PATH + "\nColorFileExtension=2\n";
  const std::string host = std::string("'") + HASHHOST_PATH + "' ";
  // An answer for the sample lies ready, made by a send without automatic import.
  ScratchFolder::WriteFile(scratch.RegistryPath(), settings + "AutoImport=0\n");
  std::string out;
  ASSERT_EQ(RunCommand(host + "-c 'run Pigmora 0 Objects/Sample; click 1001'", &out), 0) << out;
  ASSERT_EQ(RunCommand(std::string("'") + PIGMORA_PEER_PATH + "' --once --size 16", &out), 0) << out;
  ASSERT_TRUE(std::filesystem::exists(scratch.ExchangePath() / "export.txt"));
  const auto modelFile = scratch.ExchangePath() / "Hash" / "data" / "export.fbx";
  ASSERT_EQ(ScratchFolder::ReadFile(modelFile).find("/Hash/received/"), std::string::npos)
      << "the first send carries the sample's own images";

  ScratchFolder::WriteFile(scratch.RegistryPath(), settings + "AutoImport=1\n");
  const int status =
      RunCommand(host + "-c 'run Pigmora 0 Objects/Sample; wait-for Received 300; click 1001; tree'", &out);
  EXPECT_EQ(status, 0) << out;
  EXPECT_EQ(out.find("[Error]"), std::string::npos) << out;
  EXPECT_NE(out.find("run Pigmora 0 Objects/Sample: result=1"), std::string::npos) << out;
  EXPECT_FALSE(std::filesystem::exists(scratch.ExchangePath() / "export.txt")) << "the timer took the answer";
  EXPECT_NE(out.find("Instance \"Sample\" model=\"Sample\""), std::string::npos) << out;
  // The second send wrote the received model: its images are the host's copies of those the peer painted.
  EXPECT_NE(ScratchFolder::ReadFile(modelFile).find("/Hash/received/"), std::string::npos);
}

}  // namespace
