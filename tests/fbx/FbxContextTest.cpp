#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "TestEnvironment.h"
#include "fbx/FbxContext.h"

using namespace pigmora;

namespace {

std::string FirstBytes(const std::filesystem::path& path, std::size_t count) {
  return ScratchFolder::ReadFile(path).substr(0, count);
}

// Saves the context's scene as binary FBX whose header claims version 9900, newer
// than the library reads.
bool SaveAsNewerVersion(FbxContext& context, const std::string& path) {
  FbxString error;
  if (!context.SaveFbxScene(path.c_str(), 0, error)) return false;
  // The binary header keeps the file version at byte 23, little-endian.
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  const unsigned char version[4] = {0xAC, 0x26, 0, 0};
  file.seekp(23);
  file.write(reinterpret_cast<const char*>(version), 4);
  return bool(file);
}

class FbxContextTest : public ::testing::Test {
protected:
  void SetUp() override {
    FbxString error;
    ASSERT_TRUE(context_.InitFbxContext(error));
    ASSERT_TRUE(error.IsEmpty());
    // Something to save: one node with a triangle.
    FbxManager* manager = context_.Manager();
    FbxNode* node = FbxNode::Create(manager, "Tri");
    FbxMesh* mesh = FbxMesh::Create(manager, "TriShape");
    node->SetNodeAttribute(mesh);
    mesh->InitControlPoints(3);
    mesh->SetControlPointAt(FbxVector4(0, 0, 0), 0);
    mesh->SetControlPointAt(FbxVector4(1, 0, 0), 1);
    mesh->SetControlPointAt(FbxVector4(0, 1, 0), 2);
    mesh->BeginPolygon(-1, -1, -1, false);
    for (int corner = 0; corner < 3; ++corner) mesh->AddPolygon(corner, -1);
    mesh->EndPolygon();
    context_.Scene()->GetRootNode()->AddChild(node);
  }
  void TearDown() override {
    ClearEnvironment("FBXSDK_TEST_PASSWORD_FILE");
    ClearEnvironment("FBXSDK_TEST_REFUSE_MANAGER");
  }

  std::string PathOf(const char* name) const { return (scratch_.Root() / name).string(); }

  ScratchFolder scratch_;
  FbxContext context_;
};

TEST_F(FbxContextTest, AnIndexThatNamesNoWriterPicksTheAsciiFbxWriter) {
  FbxIOPluginRegistry* registry = context_.Manager()->GetIOPluginRegistry();
  const int count = registry->GetWriterFormatCount();
  for (int index : {-1, count, count + 10}) {
    FbxString error;
    const std::string path = PathOf(("choice" + std::to_string(index + 5) + ".fbx").c_str());
    ASSERT_TRUE(context_.SaveFbxScene(path.c_str(), index, error)) << index;
    EXPECT_EQ(FirstBytes(path, 6), "; FBX ") << "index " << index << " should write ASCII";
    EXPECT_TRUE(error.IsEmpty());
  }
}

TEST_F(FbxContextTest, AValidIndexIsUsedUnchanged) {
  FbxIOPluginRegistry* registry = context_.Manager()->GetIOPluginRegistry();
  const int binary = registry->FindWriterIDByDescription("FBX binary (*.fbx)");
  ASSERT_GE(binary, 0);
  FbxString error;
  const std::string path = PathOf("binary.fbx");
  ASSERT_TRUE(context_.SaveFbxScene(path.c_str(), binary, error));
  EXPECT_EQ(FirstBytes(path, 18), "Kaydara FBX Binary");
}

TEST_F(FbxContextTest, SavedSceneLoadsBackAndSuccessLeavesTheErrorTextAlone) {
  const std::string path = PathOf("roundtrip.fbx");
  FbxString error("earlier text");
  ASSERT_TRUE(context_.SaveFbxScene(path.c_str(), -1, error));
  context_.Scene()->Clear();
  ASSERT_TRUE(context_.LoadFbxScene(path.c_str(), error));
  EXPECT_STREQ(error.Buffer(), "earlier text");
  FbxNode* root = context_.Scene()->GetRootNode();
  ASSERT_EQ(root->GetChildCount(), 1);
  ASSERT_NE(root->GetChild(0)->GetMesh(), nullptr);
  EXPECT_EQ(root->GetChild(0)->GetMesh()->GetControlPointsCount(), 3);
}

// Pigmora opens the textures where they are: the export references media instead of
// embedding copies, and carries materials and textures.
TEST_F(FbxContextTest, TheExportReferencesTexturesInsteadOfEmbeddingThem) {
  FbxString error;
  ASSERT_TRUE(context_.SaveFbxScene(PathOf("settings.fbx").c_str(), -1, error));
  const FbxIOSettings* settings = context_.Manager()->GetIOSettings();
  EXPECT_FALSE(settings->GetBoolProp("Export|AdvOptGrp|Fbx|EMBEDDED", true));
  EXPECT_TRUE(settings->GetBoolProp("Export|AdvOptGrp|Fbx|Material", false));
  EXPECT_TRUE(settings->GetBoolProp("Export|AdvOptGrp|Fbx|Texture", false));
}

TEST_F(FbxContextTest, SaveToAnUnwritablePlaceAppendsTheExporterFailure) {
  FbxString error("before\n");
  const std::string path = PathOf("no-such-folder/model.fbx");
  EXPECT_FALSE(context_.SaveFbxScene(path.c_str(), -1, error));
  const std::string text = error.Buffer();
  EXPECT_EQ(text.rfind("before\n<FBX_ERROR>: Call to FbxExporter::Initialize() failed.\nError returned: ", 0), 0u)
      << text;
  EXPECT_EQ(text.substr(text.size() - 2), "\n\n");
}

TEST_F(FbxContextTest, NewerFileVersionIsExplainedInThreeParts) {
  const std::string path = PathOf("newer.fbx");
  ASSERT_TRUE(SaveAsNewerVersion(context_, path));
  FbxString error;
  EXPECT_FALSE(context_.LoadFbxScene(path.c_str(), error));
  const std::string text = error.Buffer();
  const std::string first = "<FBX_ERROR>: Call to FbxImporter::Initialize() failed.\nError returned: ";
  const std::string sdkLine = "\n\nFBX file format version for this FBX SDK is 7.4.0\n";
  const std::string fileLine = "FBX file format version for file '" + path + "' is 9.9.0\n\n";
  EXPECT_EQ(text.rfind(first, 0), 0u) << text;
  const std::size_t sdkAt = text.find(sdkLine);
  ASSERT_NE(sdkAt, std::string::npos) << text;
  EXPECT_EQ(text.substr(sdkAt + sdkLine.size()), fileLine);
}

TEST_F(FbxContextTest, PasswordProtectedFileReplacesTheErrorText) {
  const std::string path = PathOf("locked.fbx");
  FbxString error;
  ASSERT_TRUE(context_.SaveFbxScene(path.c_str(), -1, error));
  SetEnvironment("FBXSDK_TEST_PASSWORD_FILE", path.c_str());
  error = "whatever was here before\n";
  EXPECT_FALSE(context_.LoadFbxScene(path.c_str(), error));
  EXPECT_STREQ(error.Buffer(), "<FBX_ERROR>: File protected by password\n");
}

// The version-mismatch lines repeat the file's path, so a path near the system's limit
// makes one line longer than the formatting buffer: it is cut, never overrun.
TEST_F(FbxContextTest, AVersionLineLongerThanTheBufferIsCutAtItsEnd) {
  std::filesystem::path folder = scratch_.Root();
  while (folder.string().size() < 3800) folder /= std::string(200, 'd');
  std::filesystem::create_directories(folder);
  // 4070 characters: within the system's limit, with room for the writer's temporary suffix.
  const std::string path = (folder / (std::string(4065 - folder.string().size(), 'f') + ".fbx")).string();
  ASSERT_EQ(path.size(), 4070u);
  ASSERT_TRUE(SaveAsNewerVersion(context_, path));
  FbxString error;
  EXPECT_FALSE(context_.LoadFbxScene(path.c_str(), error));
  const std::string text = error.Buffer();
  const std::string fileLine = "FBX file format version for file '" + path + "' is 9.9.0\n\n";
  const std::string sdkLine = "FBX file format version for this FBX SDK is 7.4.0\n";
  const std::size_t sdkAt = text.find(sdkLine);
  ASSERT_NE(sdkAt, std::string::npos) << text.substr(0, 200);
  EXPECT_EQ(text.substr(sdkAt + sdkLine.size()), fileLine.substr(0, 4095)) << "the line is cut to the buffer";
}

TEST(FbxContextStart, ARefusedManagerIsReportedAndLoadingIsRefused) {
  FbxContext context_;
  SetEnvironment("FBXSDK_TEST_REFUSE_MANAGER", "1");
  FbxString error("stale");
  EXPECT_FALSE(context_.InitFbxContext(error));
  ClearEnvironment("FBXSDK_TEST_REFUSE_MANAGER");
  EXPECT_STREQ(error.Buffer(), "<FBX_ERROR>: Unable to create FBX Manager!\n");
  EXPECT_EQ(context_.LastFailure().step, FbxFailure::Step::CreateManager);
  EXPECT_EQ(context_.Manager(), nullptr);

  FbxString loadError;
  EXPECT_FALSE(context_.LoadFbxScene("/tmp/anything.fbx", loadError));
  EXPECT_FALSE(loadError.IsEmpty());
  FbxString saveError;
  EXPECT_FALSE(context_.SaveFbxScene("/tmp/anything.fbx", -1, saveError));
  EXPECT_FALSE(saveError.IsEmpty());
  EXPECT_EQ(context_.LastFailure().step, FbxFailure::Step::ContextUnavailable);
}

}  // namespace

TEST_F(FbxContextTest, EveryFailedLoadSaysWhatTheImporterFound) {
  const std::string saved = PathOf("whole.fbx");
  FbxString error;
  ASSERT_TRUE(context_.SaveFbxScene(saved.c_str(), 0, error));
  const std::string bytes = ScratchFolder::ReadFile(saved);
  // Damaged in several ways: cut short at various points, a record's size made huge.
  std::vector<std::string> damaged;
  for (std::size_t keep : {bytes.size() / 2, bytes.size() - 40, std::size_t(200)})
    damaged.push_back(bytes.substr(0, keep));
  std::string garbled = bytes;
  for (std::size_t at = 27; at < 31; ++at) garbled[at] = '\xff';
  damaged.push_back(garbled);
  int failures = 0;
  for (std::size_t i = 0; i < damaged.size(); ++i) {
    const std::string path = PathOf(("damaged" + std::to_string(i) + ".fbx").c_str());
    ScratchFolder::WriteFile(path, damaged[i]);
    // What the importer itself reports for this file.
    FbxImporter* importer = FbxImporter::Create(context_.Manager(), "");
    bool initialised = importer->Initialize(path.c_str(), -1, context_.Manager()->GetIOSettings());
    FbxScene* scratch = FbxScene::Create(context_.Manager(), "Scratch");
    const bool readable = initialised && importer->Import(scratch, false);
    const std::string reason = importer->GetStatus().GetErrorString();
    importer->Destroy();
    if (readable) continue;           // some cuts may still leave a readable file
    failures += initialised ? 1 : 0;  // failures of Import itself: the ones that went unexplained

    FbxString text("earlier\n");
    context_.Scene()->Clear();
    EXPECT_FALSE(context_.LoadFbxScene(path.c_str(), text)) << i;
    const std::string got = text.Buffer();
    EXPECT_EQ(got.rfind("earlier\n<FBX_ERROR>: Call to FbxImporter::", 0), 0u) << got;
    EXPECT_NE(got.find(reason), std::string::npos) << got << " / " << reason;
    EXPECT_FALSE(reason.empty());
  }
  EXPECT_GE(failures, 2);
}
