// Answers written by the stand-in peer, received by the plug-in's receive.
#include <filesystem>

#include "CommandRun.h"
#include "ReceiveFixture.h"
#include "receive/ReceiveModel.h"

using namespace pigmora;

namespace {

class PeerAnswerTest : public ReceiveFixture {
protected:
  // The model as the host would send it: a 3x3 grid with a pentagon, two materials.
  void WriteCommand() {
    MeshPlan plan = GridPlan(3, {"Body", "Trim"});
    plan.nodeName = "Sample";
    for (std::size_t p = 0; p < plan.polygons.size(); ++p) plan.polygonMaterials[p] = p % 3 == 2 ? 1 : 0;
    plan.points.push_back({1.5, -0.5, 0});
    plan.polygons.push_back({0, 1, 2, 3, 16});  // corners 0..3 run along the grid's bottom edge
    plan.cornerUVs.push_back({{0, 0}, {0.33, 0}, {0.66, 0}, {1, 0}, {0.5, 0.02}});
    plan.polygonMaterials.push_back(1);
    const std::string model = (scratch_.ExchangePath() / "Hash" / "data" / "export.fbx").string();
    std::filesystem::create_directories(std::filesystem::path(model).parent_path());
    ASSERT_TRUE(WriteMeshFile(plan, model, /*ascii=*/true));
    ScratchFolder::WriteFile(scratch_.ExchangePath() / "import.txt",
                             model + "\n" + model +
                                 "\n[ppp]\n[ExportColor=1]\n[ExportSpecular=1]\n"
                                 "[ExportNormalmap=1]\n[ColorFileExtension=PNG]\n"
                                 "[SpecNormExtension=TGA]\n");
  }
};

TEST_F(PeerAnswerTest, BinaryAndAsciiAnswersAreReceivedAndASecondReplacesTheFirst) {
  WriteCommand();
  HScene* scene = project_->AddScene("Shot");
  HAnimObject* instance = nullptr;
  for (const char* arguments : {"--once --size 64", "--once --ascii --size 64"}) {
    std::string told;
    ASSERT_EQ(RunProgram(PIGMORA_PEER_PATH, arguments, &told), 0) << told;
    ASSERT_EQ(state_.Plugin().Receive(), 1);
    EXPECT_TRUE(Boxes().empty()) << Boxes().front().text;
    EXPECT_FALSE(std::filesystem::exists(scratch_.ExchangePath() / "export.txt"));
    EXPECT_FALSE(std::filesystem::exists(scratch_.ExchangePath() / "textures.txt"));
    ASSERT_EQ(CountModels(), 1);
    HModelCache* model = Model("Sample");
    ASSERT_NE(model, nullptr);
    if (!instance) instance = scene->AddInstance(model);
    EXPECT_EQ(instance->GetCache(), model);
    EXPECT_EQ(model->GetPatchCount(), 9 + 3);
    const auto groups = Groups(model);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_STREQ(groups[0]->GetName().Get(), "Body");
    EXPECT_EQ(groups[0]->GetPatchCount(), 6);
    EXPECT_EQ(groups[1]->GetPatchCount(), 3 + 3);
    ASSERT_EQ(model->CountDecals(), 2) << "one decal per material";
    for (HGroup* group : groups) {
      HDecal* decal = DecalNamed(model, group->GetName().Get());
      ASSERT_NE(decal, nullptr) << group->GetName().Get();
      const auto clips = Clips(decal);
      ASSERT_EQ(clips.size(), 3u) << "one clip per painted channel";
      const int kinds[] = {0, 4, 13};
      for (std::size_t i = 0; i < clips.size(); ++i) {
        EXPECT_EQ(clips[i]->GetKind()->GetValue(), kinds[i]);
        EXPECT_TRUE(std::filesystem::exists(FileOf(clips[i])));
      }
      EXPECT_EQ(PlacedPatches(decal), group->GetPatchIndices()) << "each material's paint on its own patches";
    }
    EXPECT_EQ(CountImages(), 6) << "older images of the same files are gone";
  }
}

}  // namespace
