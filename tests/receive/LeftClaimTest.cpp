// Answers a receive claimed and never finished (its host killed): taken back
// by the next receive exactly once, while a claim that may still be finished
// stays its owner's.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include <common/ExchangeNames.h>

#include "ReceiveFixture.h"
#include "receive/AnswerClaim.h"
#include "receive/ReceiveModel.h"

using namespace pigmora;

namespace {

class LeftClaimTest : public ReceiveFixture {
protected:
  std::filesystem::path Exchange(const std::string& name) const { return scratch_.ExchangePath() / name; }

  // A complete answer whose model is a grid of quadsPerSide squared patches, in a file of its own.
  void WriteAnswer(int quadsPerSide) {
    const std::string modelFile = "answer-" + std::to_string(quadsPerSide) + ".fbx";
    ASSERT_TRUE(WriteMeshFile(GridPlan(quadsPerSide, {"A"}), scratch_.Path(modelFile)));
    WriteTextures({{"A", "map1", "color", scratch_.Path("a.tga")}});
    ScratchFolder::WriteFile(Exchange("export.txt"), scratch_.Path(modelFile) + "\n");
  }

  // A host that claims the answer and is killed before it reads it: a child
  // process claims and ends. claimTexturesToo false stops it between its two renames.
  void ClaimInAHostThatDies(bool claimTexturesToo = true) {
    const pid_t host = fork();
    if (host == 0) {
      ClaimNames names;
      AnswerClaim claim;
      if (claimTexturesToo)
        ClaimAnswerPair(ExchangePath("export.txt").c_str(), ExchangePath("textures.txt").c_str(), names, claim);
      else
        std::filesystem::rename(Exchange("export.txt"), Exchange(ClaimedFileName("export.txt", names.Next())));
      _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(host, &status, 0), host);
  }

  // Writes a claimed answer file by hand under owner's name, with the pair's texture list.
  void WriteClaimedAnswer(const ClaimOwner& owner, int quadsPerSide = 1) {
    WriteAnswer(quadsPerSide);
    std::filesystem::rename(Exchange("export.txt"), Exchange(ClaimedFileName("export.txt", owner)));
    std::filesystem::rename(Exchange("textures.txt"), Exchange(ClaimedFileName("textures.txt", owner)));
  }

  // The names in the exchange folder that are claims.
  std::vector<std::string> Claims() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(scratch_.ExchangePath())) {
      const std::string name = entry.path().filename().string();
      if (name.find(exchange::kClaimedInfix) != std::string::npos) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  int Patches() const {
    HModelCache* model = Model("Cube");
    return model ? model->GetPatchCount() : -1;
  }

  static ClaimOwner OwnerNow(std::uint32_t process, std::uint64_t claimedMs = SystemMilliseconds()) {
    return ClaimOwner{process, ThisMachine(), claimedMs, 7, 1};
  }

  // Neither a command's receive nor a tick touches the claims lying in the
  // folder (expectedClaims of them) or brings in a model.
  void ExpectClaimsLeftAlone(std::size_t expectedClaims) {
    const std::vector<std::string> before = Claims();
    ASSERT_EQ(before.size(), expectedClaims);
    EXPECT_EQ(state_.Plugin().Receive(), 0);
    EXPECT_EQ(state_.Plugin().Receive(ReceiveTrigger::Timer), 0);
    EXPECT_EQ(Claims(), before);
    EXPECT_EQ(CountModels(), 0);
  }

  static constexpr std::uint64_t kMinute = 60 * 1000;
};

TEST_F(LeftClaimTest, AnAnswerAKilledHostHadClaimedIsImportedByTheNextReceiveOnceWhetherCommandOrTick) {
  for (const ReceiveTrigger trigger : {ReceiveTrigger::Command, ReceiveTrigger::Timer}) {
    WriteAnswer(2);
    ClaimInAHostThatDies();
    ASSERT_EQ(Claims().size(), 2u);
    EXPECT_EQ(state_.Plugin().Receive(trigger), 1);
    EXPECT_TRUE(Boxes().empty()) << Boxes().front().text;
    EXPECT_EQ(Patches(), 4);
    EXPECT_TRUE(Claims().empty());
    EXPECT_EQ(state_.Plugin().Receive(trigger), 0) << "imported once";
  }
}

TEST_F(LeftClaimTest, AHostKilledBetweenItsTwoRenamesLeavesAnAnswerThatIsStillWhole) {
  WriteAnswer(2);
  ClaimInAHostThatDies(/*claimTexturesToo=*/false);
  ASSERT_EQ(Claims().size(), 1u);
  ASSERT_TRUE(std::filesystem::exists(Exchange("textures.txt")));
  EXPECT_EQ(state_.Plugin().Receive(), 1);
  EXPECT_TRUE(Boxes().empty()) << Boxes().front().text;
  ASSERT_EQ(Patches(), 4);
  ASSERT_EQ(Decals(Model("Cube")).size(), 1u) << "the texture list was read with it";
  EXPECT_TRUE(Claims().empty());
  EXPECT_FALSE(std::filesystem::exists(Exchange("textures.txt")));
}

TEST_F(LeftClaimTest, ATextureListLeftAfterItsAnswerWasImportedGoesWithoutAnImport) {
  const ClaimOwner dead = OwnerNow(GetCurrentProcessId(), SystemMilliseconds() - 10 * kMinute);
  ScratchFolder::WriteFile(Exchange(ClaimedFileName("textures.txt", dead)), "A\nmap1\ncolor\n/t/a.tga\n");
  EXPECT_EQ(state_.Plugin().Receive(), 0);
  EXPECT_TRUE(Claims().empty());
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(LeftClaimTest, AClaimThatMayStillBeFinishedStaysItsOwners) {
  // This process, claiming now: it runs.
  WriteClaimedAnswer(OwnerNow(GetCurrentProcessId()));
  // Another machine's recent claim: its process cannot be asked.
  const ClaimOwner elsewhere{999999, ThisMachine() ^ 1, SystemMilliseconds(), 7, 2};
  ScratchFolder::WriteFile(Exchange(ClaimedFileName("export.txt", elsewhere)), scratch_.Path("answer-1.fbx") + "\n");
  ExpectClaimsLeftAlone(3);
}

TEST_F(LeftClaimTest, AClaimOfAProcessStartedAfterItOrOlderThanAnyReceiveIsTakenBack) {
  // This process's id, but claimed ten minutes before the test started: the
  // claimer was another process that had the id before.
  WriteClaimedAnswer(OwnerNow(GetCurrentProcessId(), SystemMilliseconds() - 10 * kMinute));
  EXPECT_EQ(state_.Plugin().Receive(), 1);
  EXPECT_TRUE(Claims().empty());
  // Another machine's claim of two hours ago.
  WriteClaimedAnswer(ClaimOwner{999999, ThisMachine() ^ 1, SystemMilliseconds() - 120 * kMinute, 7, 3}, 3);
  EXPECT_EQ(state_.Plugin().Receive(), 1);
  EXPECT_EQ(Patches(), 9);
  EXPECT_TRUE(Claims().empty());
  EXPECT_TRUE(Boxes().empty()) << Boxes().front().text;
}

TEST_F(LeftClaimTest, ClaimsOfSeveralStoppedHostsComeInOldestFirstBeforeTheNewestAnswer) {
  const std::uint64_t now = SystemMilliseconds();
  WriteClaimedAnswer(OwnerNow(GetCurrentProcessId(), now - 30 * kMinute), 1);
  WriteClaimedAnswer(OwnerNow(GetCurrentProcessId(), now - 20 * kMinute), 2);
  WriteAnswer(3);
  std::vector<int> patches;
  while (state_.Plugin().Receive() == 1 && patches.size() < 5) patches.push_back(Patches());
  EXPECT_EQ(patches, (std::vector<int>{1, 4, 9}));
  EXPECT_TRUE(Claims().empty());
}

TEST_F(LeftClaimTest, TwoHostsTakingBackOneClaimImportItOnce) {
  for (int trial = 0; trial < 6; ++trial) {
    WriteAnswer(1);
    ClaimInAHostThatDies();
    const TwoHosts hosts = ReceiveInTwoHostsAtOnce();
    EXPECT_EQ(hosts.showedBoxes, 0) << "trial " << trial;
    EXPECT_EQ(hosts.imported, 1) << "trial " << trial;
    EXPECT_TRUE(Claims().empty()) << "trial " << trial;
  }
}

TEST_F(LeftClaimTest, NamesOfClaimsThatAreNoClaimFilesAreLeftAloneAndNeverRead) {
  const ClaimOwner dead = OwnerNow(GetCurrentProcessId(), SystemMilliseconds() - 10 * kMinute);
  WriteAnswer(1);
  const std::string real = ExchangePath("export.txt");
  std::filesystem::create_directory(
      Exchange(ClaimedFileName("export.txt", ClaimOwner{dead.process, dead.machine, dead.claimedMs, 1, 1})));
  ASSERT_EQ(
      mkfifo(
          Exchange(ClaimedFileName("export.txt", ClaimOwner{dead.process, dead.machine, dead.claimedMs, 2, 1})).c_str(),
          0600),
      0);
  std::filesystem::create_symlink(
      real, Exchange(ClaimedFileName("export.txt", ClaimOwner{dead.process, dead.machine, dead.claimedMs, 3, 1})));
  ScratchFolder::WriteFile(Exchange("export.txt.claimed-99999999999999999999999-0-0-0-0"), real + "\n");
  ScratchFolder::WriteFile(Exchange("export.txt.claimed-1-0-0-0-0-of-"), real + "\n");
  std::filesystem::remove(Exchange("export.txt"));
  ExpectClaimsLeftAlone(5);
  EXPECT_TRUE(Boxes().empty()) << Boxes().front().text;
}

TEST(ClaimNameTest, ANameReadsBackAsTheClaimItNamesAndNothingElseReadsAsAClaim) {
  const ClaimOwner owner{4294967295u, 0xfedcba9876543210ull, 1765000000000ull, 18446744073709551615ull, 12};
  const ClaimOwner first{12, 1, 2, 3, 4};
  ClaimName name;
  ASSERT_TRUE(ParseClaimName(TakenOverAnswerFileName(owner, first), name));
  EXPECT_TRUE(name.isAnswerFile);
  EXPECT_EQ(name.owner, owner);
  EXPECT_EQ(name.textureListOwner, first);
  ASSERT_TRUE(ParseClaimName(ClaimedFileName("textures.txt", first), name));
  EXPECT_FALSE(name.isAnswerFile);
  EXPECT_EQ(name.textureListOwner, first);
  for (const char* other :
       {"export.txt", "export.txt.claimed-", "export.txt.claimed-1-2-3-4", "export.txt.claimed-1-2-3-4-5x",
        "export.txt.claimed-4294967296-0-0-0-0", "textures.txt.claimed-1-0-0-0-0-of-1-0-0-0-0",
        "import.txt.claimed-1-0-0-0-0", "export.txt.claimed--1-0-0-0-0"})
    EXPECT_FALSE(ParseClaimName(other, name)) << other;
}

}  // namespace
