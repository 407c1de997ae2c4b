// The FBX writers replace their output file as every writer does.
#include <fbxsdk.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "ScratchFolder.h"

using namespace fbxsdk;

namespace {

bool ExportTo(const std::string& path, std::string& error) {
  FbxManager* manager = FbxManager::Create();
  manager->SetIOSettings(FbxIOSettings::Create(manager, IOSROOT));
  FbxScene* scene = FbxScene::Create(manager, "Scene");
  FbxExporter* exporter = FbxExporter::Create(manager, "");
  bool ok = exporter->Initialize(path.c_str(), -1, manager->GetIOSettings()) && exporter->Export(scene);
  error = exporter->GetStatus().GetErrorString();
  manager->Destroy();
  return ok;
}

}  // namespace

TEST(FbxOutput, ALinkedOutputIsWrittenThroughAndKeepsItsMode) {
  ScratchFolder scratch;
  std::string real = scratch.Write("real/model.fbx", "old");
  chmod(real.c_str(), 0640);
  std::string link = scratch.Path("model.fbx");
  std::filesystem::create_symlink("real/model.fbx", link);
  std::string error;
  ASSERT_TRUE(ExportTo(link, error)) << error;
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_GT(std::filesystem::file_size(real), 100u);
  struct stat info {};
  stat(real.c_str(), &info);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(FbxOutput, ReadOnlyAndSpecialFilesAreRefusedWithTheReason) {
  ScratchFolder scratch;
  std::string locked = scratch.Write("locked.fbx", "keep");
  chmod(locked.c_str(), 0444);
  std::string error;
  EXPECT_FALSE(ExportTo(locked, error));
  EXPECT_NE(error.find("read-only"), std::string::npos) << error;
  EXPECT_EQ(ScratchFolder::ReadFile(locked), "keep");

#if !defined(_WIN32)  // POSIX-only fixture
  std::string fifo = scratch.Path("pipe.fbx");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(ExportTo(fifo, error));  // would otherwise wait for a reader forever
  EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
#endif
}
