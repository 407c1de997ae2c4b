// The whole round trip in one process: the send writes the built-in sample,
// the stand-in peer answers, the receive brings the painted model back.
#include <gtest/gtest.h>

#include <FileIO/Registry.h>
#include <Plugin/HDecal.h>
#include <Plugin/HGroup.h>
#include <Plugin/HImage.h>
#include <Plugin/HModelCache.h>
#include <Plugin/HProject.h>
#include <Plugin/HostProject.h>
#include <afxdisplay.h>
#include <afxhost.h>
#include <afxwin.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "CommandRun.h"
#include "PluginTestState.h"
#include "ScratchFolder.h"
#include "app/PluginState.h"
#include "fbx/FbxContext.h"
#include "files/PathSeparator.h"
#include "receive/ReceiveModel.h"
#include "send/SendCommand.h"
#include "settings/ApplinkSettings.h"
#include "ui/DlgIO.h"
#include "ui/DlgMain.h"

using namespace pigmora;

namespace {

// Where the host keeps its copies of received images, as the plug-in spells the path.
constexpr const char* kReceivedFolder = PIGMORA_PATH_SEPARATOR
    "Exchange" PIGMORA_PATH_SEPARATOR "Hash" PIGMORA_PATH_SEPARATOR "received" PIGMORA_PATH_SEPARATOR;

class RoundTripTest : public ::testing::Test {
protected:
  void SetUp() override {
    AfxUseVirtualClock(true);
    state_.Start(true);
    project_ = state_.project;
    state_.Settings().SetSettingString("exePath", PIGMORA_PEER_PATH);
    state_.Settings().SetSettingValue("ExportNormalmap", 1);
    state_.Settings().SetSettingValue("ColorFileExtension", 2);  // PNG
  }
  void TearDown() override { state_.Stop(); }

  // Sends the object at path with the first mode button, lets the peer answer
  // and runs the receive command.
  void RoundTrip(const char* objectPath) {
    state_.Plugin().CurrentTreeObject.Set(FindTreeObjectByPath(project_, objectPath));
    ASSERT_NE(state_.Plugin().CurrentTreeObject.Get(), nullptr);
    PressModeButton(nullptr, 1001, state_.Plugin().ForSend());
    ASSERT_TRUE(AfxGetHeadlessDisplay().MessageBoxes().empty()) << AfxGetHeadlessDisplay().MessageBoxes().front().text;
    ASSERT_TRUE(std::filesystem::exists(scratch_.ExchangePath() / "import.txt"));
    std::string told;
    ASSERT_EQ(RunProgram(PIGMORA_PEER_PATH, "--once --size 64", &told), 0) << told;
    ASSERT_EQ(state_.Plugin().Receive(), 1);
    ASSERT_TRUE(AfxGetHeadlessDisplay().MessageBoxes().empty()) << AfxGetHeadlessDisplay().MessageBoxes().front().text;
  }

  // The node materials of the model file the send wrote that some polygon uses.
  std::vector<std::string> SentMaterialNames() const {
    std::vector<std::string> names;
    FbxManager* manager = FbxManager::Create();
    FbxScene* scene = FbxScene::Create(manager, "");
    FbxImporter* importer = FbxImporter::Create(manager, "");
    const std::string path = (scratch_.ExchangePath() / "Hash" / "data" / "export.fbx").string();
    if (importer->Initialize(path.c_str(), -1, nullptr) && importer->Import(scene, false) &&
        scene->GetRootNode()->GetChildCount() > 0) {
      FbxNode* node = scene->GetRootNode()->GetChild(0);
      FbxLayerElementMaterial* element = node->GetMesh() ? node->GetMesh()->GetElementMaterial(0) : nullptr;
      std::vector<char> used(static_cast<std::size_t>(node->GetMaterialCount()), 0);
      for (int index : element ? element->GetIndexArray().Items() : std::vector<int>()) {
        if (index >= 0 && index < node->GetMaterialCount()) used[static_cast<std::size_t>(index)] = 1;
      }
      for (int m = 0; m < node->GetMaterialCount(); ++m) {
        if (used[static_cast<std::size_t>(m)]) names.push_back(node->GetMaterial(m)->GetName());
      }
    }
    manager->Destroy();
    return names;
  }

  HModelCache* Sample() const { return project_->GetChildObjectCacheContainer()->FindModel("Sample"); }

  ScratchFolder scratch_;
  PluginTestState state_;
  HProject* project_ = nullptr;
};

TEST_F(RoundTripTest, ThePaintedSampleReplacesTheSentOneTwice) {
  HModelCache* sent = Sample();
  ASSERT_NE(sent, nullptr);
  std::vector<std::string> groupNames;
  for (HHashObject* g = sent->GetChildGroupContainer()->GetChildGroup(); g; g = g->GetSibling())
    groupNames.push_back(g->GetName().Get());
  const int sentPatches = sent->GetPatchCount();
  auto* instance = static_cast<HAnimObject*>(FindTreeObjectByPath(project_, "Scenes/Scene1/Sample"));
  ASSERT_NE(instance, nullptr);

  for (int round = 1; round <= 2; ++round) {
    RoundTrip(round == 1 ? "Objects/Sample" : "Scenes/Scene1/Sample");
    SCOPED_TRACE("round " + std::to_string(round));
    EXPECT_EQ(project_->GetChildObjectCacheContainer()->CountChildren(), 1) << "the older model is gone";
    HModelCache* received = Sample();
    ASSERT_NE(received, nullptr);
    EXPECT_NE(received, sent);
    EXPECT_EQ(instance->GetCache(), received) << "the scene instance follows";
    EXPECT_EQ(received->GetPatchCount(), sentPatches);

    // Groups keep the names the user gave, in their order, though the send wrote them as material
    // names with no blanks and the model's own "default" apart.
    std::vector<std::string> names;
    for (HHashObject* g = received->GetChildGroupContainer()->GetChildGroup(); g; g = g->GetSibling()) {
      names.push_back(g->GetName().Get());
      EXPECT_GT(static_cast<HGroup*>(g)->GetPatchCount(), 0) << g->GetName().Get();
    }
    EXPECT_EQ(names, groupNames);
    EXPECT_EQ(SentMaterialNames(), (std::vector<std::string>{"head_cap", "default1", "lower_body"}));
    EXPECT_EQ(names.size(), groupNames.size()) << "each of the sample's groups comes back, and no more";

    // One decal per material, named after it, with a clip per painted channel
    // (the kinds asked for), lying on that material's patches only.
    ASSERT_EQ(received->CountDecals(), static_cast<int>(names.size()));
    std::set<std::string> files;
    for (HHashObject* group = received->GetChildGroupContainer()->GetChildGroup(); group; group = group->GetSibling()) {
      HDecal* decal = nullptr;
      for (HHashObject* d = received->GetChildDecalContainer()->GetChildDecal(); d; d = d->GetSibling()) {
        if (d->GetName() == group->GetName()) decal = static_cast<HDecal*>(d);
      }
      ASSERT_NE(decal, nullptr) << "a decal named " << group->GetName().Get();
      std::vector<std::int32_t> placed;
      for (const HPatchUV& placement : decal->GetPatchUVs()) placed.push_back(placement.patch);
      EXPECT_EQ(placed, static_cast<HGroup*>(group)->GetPatchIndices()) << group->GetName().Get();
      std::vector<int> kinds;
      HDecalClipContainer* clips = decal->GetChildDecalClipContainer();
      ASSERT_NE(clips, nullptr);
      for (HHashObject* c = clips->GetChildDecalClip(); c; c = c->GetSibling()) {
        auto* clip = static_cast<HDecalClip*>(c);
        ASSERT_NE(clip->GetClip()->GetClip(), nullptr);
        files.insert(clip->GetClip()->GetClip()->GetFilename()->GetValue().Get());
        kinds.push_back(clip->GetKind()->GetValue());
      }
      EXPECT_EQ(kinds, (std::vector<int>{0, 4, 13})) << "color, specular and normal map";
    }
    EXPECT_EQ(files.size(), names.size() * 3) << "each material's own images";

    // Each painted file is in the project once, as the host's copy: the images of the previous round are gone, and the
    // images of the material without polygons never came in.
    int painted = 0;
    for (HHashObject* i = project_->GetChildClipCacheContainer()->GetChild(); i; i = i->GetSibling()) {
      const std::string file = static_cast<HImage*>(i)->GetFilename()->GetValue().Get();
      if (file.find(kReceivedFolder) != std::string::npos) {
        EXPECT_EQ(files.count(file), 1u) << file;
        ++painted;
      }
    }
    EXPECT_EQ(painted, static_cast<int>(files.size()));
    EXPECT_FALSE(std::filesystem::exists(scratch_.ExchangePath() / "export.txt"));
    EXPECT_FALSE(std::filesystem::exists(scratch_.ExchangePath() / "textures.txt"));
    sent = received;
  }
}

// Every channel the Options tab offers, ticked together: each word the peer
// writes into textures.txt is one the receive knows, so every material comes
// back with a clip of each kind and none is dropped on the way.
TEST_F(RoundTripTest, AllFiveChannelsComeBackAsAClipOfEachKind) {
  for (const char* key : {"ExportColor", "ExportSpecular", "ExportEmissivePower", "ExportNormalmap", "ExportDispl"})
    state_.Settings().SetSettingValue(key, 1);
  state_.Plugin().CurrentTreeObject.Set(FindTreeObjectByPath(project_, "Objects/Sample"));
  PressModeButton(nullptr, 1001, state_.Plugin().ForSend());
  ASSERT_TRUE(AfxGetHeadlessDisplay().MessageBoxes().empty()) << AfxGetHeadlessDisplay().MessageBoxes().front().text;
  std::string told;
  ASSERT_EQ(RunProgram(PIGMORA_PEER_PATH, "--once --size 32", &told), 0) << told;

  std::istringstream textures(ScratchFolder::ReadFile(scratch_.ExchangePath() / "textures.txt"));
  std::vector<std::string> lines;
  for (std::string line; std::getline(textures, line);) lines.push_back(line);
  ASSERT_EQ(lines.size() % 4, 0u);
  std::set<std::string> words;
  for (std::size_t i = 2; i < lines.size(); i += 4) words.insert(lines[i].substr(0, lines[i].find(' ')));
  EXPECT_EQ(words, (std::set<std::string>{"color", "specular", "emissive_power", "normalmap", "displacement"}));

  ASSERT_EQ(state_.Plugin().Receive(), 1);
  ASSERT_TRUE(AfxGetHeadlessDisplay().MessageBoxes().empty()) << AfxGetHeadlessDisplay().MessageBoxes().front().text;
  HModelCache* received = Sample();
  ASSERT_NE(received, nullptr);
  int clipCount = 0;
  ASSERT_EQ(received->CountDecals(), 3);
  for (HHashObject* d = received->GetChildDecalContainer()->GetChildDecal(); d; d = d->GetSibling()) {
    std::vector<int> kinds;
    for (HHashObject* c = static_cast<HDecal*>(d)->GetChildDecalClipContainer()->GetChildDecalClip(); c;
         c = c->GetSibling()) {
      kinds.push_back(static_cast<HDecalClip*>(c)->GetKind()->GetValue());
      ++clipCount;
    }
    EXPECT_EQ(kinds, (std::vector<int>{0, 4, 7, 13, 9}))
        << "color, specular, emissive, normal, displacement of " << d->GetName().Get();
  }
  EXPECT_EQ(clipCount, 3 * 5) << "five clips for each material with polygons";
}

// The plug-in's auto-import timer, as the application object starts it.
PluginState* timerPlugin = nullptr;
void CALLBACK PluginTimerProc(HWND, UINT, UINT_PTR, DWORD) { timerPlugin->Receive(ReceiveTrigger::Timer); }

// The timer ticks inside the applink dialog's loop: an answer for the model
// the dialog was opened on replaces that model while the dialog is open. A
// mode button pressed afterwards sends the received model; neither the send
// nor anything else reads the replaced one (the sanitizer build would stop).
TEST_F(RoundTripTest, AModeButtonPressedAfterTheTimerReplacedTheModelSendsTheReceivedOne) {
  for (const char* objectPath : {"Objects/Sample", "Scenes/Scene1/Sample"}) {
    SCOPED_TRACE(objectPath);
    // An answer for the sample lies ready.
    state_.Plugin().CurrentTreeObject.Set(FindTreeObjectByPath(project_, objectPath));
    PressModeButton(nullptr, 1001, state_.Plugin().ForSend());
    std::string told;
    ASSERT_EQ(RunProgram(PIGMORA_PEER_PATH, "--once --size 16", &told), 0) << told;
    HModelCache* older = Sample();
    const auto commandFile = scratch_.ExchangePath() / "import.txt";
    std::filesystem::remove(commandFile);

    CWinApp host("Host");
    timerPlugin = &state_.Plugin();
    const UINT_PTR timer = SetTimer(nullptr, 0, 1000, PluginTimerProc);
    state_.Plugin().CurrentTreeObject.Set(
        FindTreeObjectByPath(project_, objectPath));  // the host command that opens the dialog
    int stepsRun = 0;
    AfxGetHeadlessDisplay().SetModalDriver([&](HWND dialog) {
      std::string problem;
      switch (stepsRun++) {
        case 0: AfxRunMessageLoop(3000); return true;  // the answer arrives
        case 1: EXPECT_TRUE(AfxUserClick(AfxFindControl(dialog, 1001), problem)) << problem; return true;
        default: return false;
      }
    });
    DlgMain dialog(state_.Plugin().ForSend(), state_.Settings());
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    AfxGetHeadlessDisplay().SetModalDriver({});
    KillTimer(nullptr, timer);

    EXPECT_EQ(stepsRun, 2) << "the send closed the dialog";
    ASSERT_TRUE(AfxGetHeadlessDisplay().MessageBoxes().empty()) << AfxGetHeadlessDisplay().MessageBoxes().front().text;
    HModelCache* received = Sample();
    ASSERT_NE(received, nullptr);
    EXPECT_NE(received, older) << "the answer replaced the model";
    EXPECT_EQ(project_->GetChildObjectCacheContainer()->CountChildren(), 1);
    EXPECT_TRUE(std::filesystem::exists(commandFile)) << "the button sent";
    // What was sent is the received model: the images the peer painted, not the sample's own.
    const std::string sent = ScratchFolder::ReadFile(scratch_.ExchangePath() / "Hash" / "data" / "export.fbx");
    EXPECT_NE(sent.find(kReceivedFolder), std::string::npos);
  }
}

}  // namespace
