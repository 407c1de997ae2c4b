// Ownership, connections, clearing, writer choice and the small value types.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <thread>
#include <vector>

#include "TestScene.h"

namespace {

TEST(ObjectModelTest, ManagerDestroyFreesEverythingItCreated) {
  // The sanitizer build reports anything this leaves behind.
  FbxManager* manager = FbxManager::Create();
  FbxScene* scene = FbxScene::Create(manager, "My Scene");
  fbxtest::BuildPluginLikeScene(*manager, *scene);
  FbxNode* orphan = FbxNode::Create(manager, "not in the scene");
  orphan->AddChild(FbxNode::Create(manager, "child"));
  EXPECT_GT(manager->GetObjectCount(), 10);
  manager->Destroy();
}

TEST(ObjectModelTest, ClearDestroysSceneContentButNotObjectsOutsideIt) {
  FbxManager* manager = FbxManager::Create();
  FbxScene* scene = FbxScene::Create(manager, "My Scene");
  fbxtest::BuildPluginLikeScene(*manager, *scene);
  FbxNode* pending = FbxNode::Create(manager, "built before the clear");
  int before = manager->GetObjectCount();
  scene->Clear();
  EXPECT_EQ(scene->GetRootNode()->GetChildCount(), 0);
  EXPECT_EQ(scene->GetDocumentInfo(), nullptr);
  // Node, mesh, two materials, three textures and the document information are gone.
  EXPECT_EQ(manager->GetObjectCount(), before - 8);
  EXPECT_TRUE(scene->GetRootNode()->AddChild(pending));
  EXPECT_STREQ(scene->GetRootNode()->GetChild(0)->GetName(), "built before the clear");
  manager->Destroy();
}

TEST(ObjectModelTest, DeepAndWideTreesClearWithoutExhaustingTheStack) {
  FbxManager* manager = FbxManager::Create();
  FbxScene* scene = FbxScene::Create(manager, "My Scene");
  FbxNode* parent = scene->GetRootNode();
  for (int depth = 0; depth < 200000; ++depth) {
    FbxNode* child = FbxNode::Create(manager, "deep");
    parent->AddChild(child);
    parent = child;
  }
  FbxSurfacePhong* shared = FbxSurfacePhong::Create(manager, "shared");
  for (int i = 0; i < 20000; ++i) {
    FbxNode* node = FbxNode::Create(manager, "wide");
    node->AddMaterial(shared);
    scene->GetRootNode()->AddChild(node);
  }
  EXPECT_EQ(scene->GetRootNode()->GetChildCount(true), 220000);
  scene->Clear();
  EXPECT_EQ(scene->GetRootNode()->GetChildCount(true), 0);
  EXPECT_EQ(manager->GetObjectCount(), 2);  // the scene and its root
  manager->Destroy();
}

TEST(ObjectModelTest, DestroyingAnObjectCutsItsConnectionsAndParent) {
  FbxManager* manager = FbxManager::Create();
  FbxNode* parent = FbxNode::Create(manager, "parent");
  FbxNode* child = FbxNode::Create(manager, "child");
  FbxMesh* mesh = FbxMesh::Create(manager, "mesh");
  FbxSurfacePhong* material = FbxSurfacePhong::Create(manager, "m");
  parent->AddChild(child);
  child->SetNodeAttribute(mesh);
  child->AddMaterial(material);
  mesh->Destroy();
  material->Destroy();
  EXPECT_EQ(child->GetMesh(), nullptr);
  EXPECT_EQ(child->GetMaterialCount(), 0);
  child->Destroy();
  EXPECT_EQ(parent->GetChildCount(), 0);
  EXPECT_FALSE(parent->AddChild(parent));
  manager->Destroy();
}

TEST(ObjectModelTest, NodesRefuseCyclesAndMoveBetweenParents) {
  FbxManager* manager = FbxManager::Create();
  FbxNode* a = FbxNode::Create(manager, "a");
  FbxNode* b = FbxNode::Create(manager, "b");
  FbxNode* c = FbxNode::Create(manager, "c");
  ASSERT_TRUE(a->AddChild(b));
  ASSERT_TRUE(b->AddChild(c));
  EXPECT_FALSE(c->AddChild(a));
  EXPECT_EQ(a->GetChildCount(true), 2);
  ASSERT_TRUE(a->AddChild(c));
  EXPECT_EQ(b->GetChildCount(), 0);
  EXPECT_EQ(c->GetParent(), a);
  EXPECT_EQ(a->GetChild(5), nullptr);
  manager->Destroy();
}

TEST(ObjectModelTest, WriterRegistryAndIndexChecks) {
  FbxManager* manager = FbxManager::Create();
  FbxIOPluginRegistry* registry = manager->GetIOPluginRegistry();
  ASSERT_EQ(registry->GetWriterFormatCount(), 2);
  EXPECT_EQ(registry->GetNativeWriterFormat(), 0);
  EXPECT_STREQ(registry->GetWriterFormatDescription(0), "FBX binary (*.fbx)");
  EXPECT_EQ(registry->FindWriterIDByDescription("FBX ascii (*.fbx)"), 1);
  EXPECT_EQ(registry->FindWriterIDByDescription("FBX 6.0 ascii (*.fbx)"), -1);
  EXPECT_FALSE(registry->WriterIsFBX(2));
  EXPECT_EQ(registry->GetWriterFormatDescription(-1), nullptr);

  ScratchFolder folder;
  FbxExporter* exporter = FbxExporter::Create(manager, "");
  EXPECT_FALSE(exporter->Initialize(folder.Path("x.fbx").c_str(), 7));
  EXPECT_EQ(exporter->GetStatus().GetCode(), FbxStatus::eInvalidParameter);
  EXPECT_FALSE(exporter->Initialize((folder.Path("missing") + "/x.fbx").c_str(), 1));
  EXPECT_NE(std::string(exporter->GetStatus().GetErrorString()).find("missing"), std::string::npos);
  EXPECT_FALSE(exporter->Export(FbxScene::Create(manager, "s")));
  ASSERT_TRUE(exporter->Initialize(folder.Path("x.fbx").c_str(), -1));
  EXPECT_EQ(exporter->GetFileFormat(), 0);
  manager->Destroy();
}

TEST(ObjectModelTest, StringsAndPropertiesBehaveAsCallersExpect) {
  FbxString text("<FBX_ERROR>: ");
  text += "Call failed";
  text.Append("\n", 1);
  EXPECT_STREQ(text.Buffer(), "<FBX_ERROR>: Call failed\n");
  EXPECT_EQ(text.Find("ascii"), -1);
  EXPECT_EQ(FbxString("FBX ascii (*.fbx)").Find("ascii"), 4);
  EXPECT_EQ(text.Find("Call", 20), -1);
  FbxString copy = text;
  copy += copy;
  EXPECT_EQ(copy.GetLen(), 2 * text.GetLen());
  EXPECT_TRUE(FbxString().IsEmpty());
  EXPECT_STREQ(FbxString(nullptr).Buffer(), "");

  FbxManager* manager = FbxManager::Create();
  FbxSurfacePhong* phong = FbxSurfacePhong::Create(manager, "p");
  FbxProperty diffuse = phong->FindProperty(FbxSurfaceMaterial::sDiffuse);
  ASSERT_TRUE(diffuse.IsValid());
  EXPECT_EQ(diffuse.GetPropertyDataType(), eFbxDouble3);
  diffuse.Set(FbxDouble3(0.3, 0.2, 0.1));  // a handle writes through to the member
  EXPECT_EQ(phong->Diffuse.Get(), FbxDouble3(0.3, 0.2, 0.1));
  EXPECT_EQ(phong->Diffuse.Get<FbxDouble3>(), FbxDouble3(0.3, 0.2, 0.1));
  phong->SpecularFactor.Set<double>(0.25);
  EXPECT_EQ(phong->FindProperty(FbxSurfaceMaterial::sSpecularFactor).Get<double>(), 0.25);
  EXPECT_EQ(phong->SpecularFactor.Get<float>(), 0.25f);
  EXPECT_FALSE(phong->FindProperty("NoSuchProperty").IsValid());
  EXPECT_EQ(FbxCast<FbxSurfaceLambert>(phong), phong);
  EXPECT_EQ(FbxCast<FbxSurfacePhong>(FbxSurfaceLambert::Create(manager, "l")), nullptr);
  manager->Destroy();

  void* memory = FbxRealloc(nullptr, 16);
  memory = FbxRealloc(memory, 64);
  ASSERT_NE(memory, nullptr);
  FbxFree(memory);
  EXPECT_FALSE(FbxGetApplicationDirectory().IsEmpty());
}

// Materials share their class's initial values until they change one: a change stays with its
// material, and a value that only looks like the initial one (-0.0 for 0.0) is kept as given.
TEST(ObjectModelTest, AMaterialsChangedValueIsItsOwn) {
  FbxManager* manager = FbxManager::Create();
  FbxSurfacePhong* changed = FbxSurfacePhong::Create(manager, "changed");
  FbxSurfacePhong* untouched = FbxSurfacePhong::Create(manager, "untouched");
  changed->Diffuse.Set(FbxDouble3(0.1, 0.2, 0.3));
  changed->ShadingModel.Set(FbxString("Custom"));
  changed->Emissive.Set(FbxDouble3(-0.0, 0.0, 0.0));
  changed->Diffuse.Set(FbxDouble3(0.8, 0.8, 0.8));  // back to the initial value, still its own
  changed->Diffuse.SetValues(std::array<double, 1>{0.5}.data(), 1);
  EXPECT_EQ(changed->Diffuse.Get(), FbxDouble3(0.5, 0.8, 0.8));
  EXPECT_STREQ(changed->ShadingModel.Get().Buffer(), "Custom");
  EXPECT_TRUE(std::signbit(changed->Emissive.Get()[0]));
  EXPECT_EQ(untouched->Diffuse.Get(), FbxDouble3(0.8, 0.8, 0.8));
  EXPECT_STREQ(untouched->ShadingModel.Get().Buffer(), "Phong");
  EXPECT_FALSE(std::signbit(untouched->Emissive.Get()[0]));
  manager->Destroy();
}

// Objects of a class share the list of where their properties lie, made by whichever is built
// first: materials of both classes built on several threads at once each find their own members.
TEST(ObjectModelTest, MaterialsBuiltOnSeveralThreadsEachFindTheirOwnProperties) {
  auto build = [](bool phong, int& faults) {
    FbxManager* manager = FbxManager::Create();
    for (int i = 0; i < 2000; ++i) {
      FbxSurfaceLambert* material =
          phong ? FbxSurfacePhong::Create(manager, "p") : FbxSurfaceLambert::Create(manager, "l");
      const int expected = phong ? 21 : 16;
      if (material->GetPropertyCount() != expected) ++faults;
      for (int p = 0; p < material->GetPropertyCount(); ++p)
        if (material->GetPropertyAt(p)->GetFbxObject() != material) ++faults;
      if (material->FindProperty(FbxSurfaceMaterial::sDiffuse).GetPropertyDataType() != eFbxDouble3) ++faults;
      material->FindProperty(FbxSurfaceMaterial::sDiffuse).Set(FbxDouble3(i, 0, 0));
      if (material->Diffuse.Get()[0] != i) ++faults;
    }
    manager->Destroy();
  };
  int faults[4] = {};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) threads.emplace_back(build, t % 2 == 0, std::ref(faults[t]));
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < 4; ++t) EXPECT_EQ(faults[t], 0) << "thread " << t;
}

}  // namespace

namespace {

// The node's materials are indexed for fast look-ups; the index must follow every change.
TEST(ObjectModelTest, MaterialLookupsFollowConnectionsRenamesAndDestruction) {
  FbxManager* manager = FbxManager::Create();
  FbxNode* node = FbxNode::Create(manager, "node");
  FbxSurfacePhong* red = FbxSurfacePhong::Create(manager, "red");
  FbxSurfacePhong* green = FbxSurfacePhong::Create(manager, "green");
  FbxSurfacePhong* blue = FbxSurfacePhong::Create(manager, "blue");
  EXPECT_EQ(node->AddMaterial(red), 0);
  EXPECT_EQ(node->GetMaterialIndex("green"), -1);
  EXPECT_EQ(node->AddMaterial(green), 1);
  node->SetNodeAttribute(FbxMesh::Create(manager, "mesh"));  // a source of another type between them
  EXPECT_EQ(node->AddMaterial(blue), 2);
  EXPECT_EQ(node->AddMaterial(green), 1) << "added twice, listed once";
  EXPECT_EQ(node->GetMaterialCount(), 3);
  EXPECT_EQ(node->GetMaterialIndex("blue"), 2);
  EXPECT_EQ(node->GetMaterial(2), blue);

  green->SetName("red");  // two of one name: the first wins
  EXPECT_EQ(node->GetMaterialIndex("green"), -1);
  EXPECT_EQ(node->GetMaterialIndex("red"), 0);
  red->SetName("crimson");
  EXPECT_EQ(node->GetMaterialIndex("red"), 1);

  red->Destroy();
  EXPECT_EQ(node->GetMaterialCount(), 2);
  EXPECT_EQ(node->GetMaterial(0), green);
  EXPECT_EQ(node->GetMaterialIndex("blue"), 1);
  EXPECT_EQ(node->GetMaterialIndex("crimson"), -1);
  node->DisconnectSrcObject(green);
  EXPECT_EQ(node->GetMaterial(0), blue);
  EXPECT_EQ(node->GetMaterial(1), nullptr);
  EXPECT_EQ(node->GetMaterialIndex("blue"), 0);
  EXPECT_NE(node->GetMesh(), nullptr);
  manager->Destroy();
}

}  // namespace
