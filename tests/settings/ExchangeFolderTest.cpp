#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ScratchFolder.h"
#include "files/ExchangeFolder.h"

using namespace pigmora;

namespace fs = std::filesystem;

namespace {

class ExchangeFolderTest : public ::testing::Test {
protected:
  ScratchFolder scratch_;
  std::string docs = scratch_.DocumentsPath().string();
};

#if !defined(_WIN32)  // POSIX-only fixture
TEST_F(ExchangeFolderTest, PathsArePlainConcatenationsOfTheDocumentsFolder) {
  ExchangeFolder folder;
  folder.Build();
  EXPECT_STREQ(folder.documentsDir.Get(), docs.c_str());
  EXPECT_EQ(std::string(folder.exchangeDir.Get()), docs + "/PigmoraV3/Exchange/");
  EXPECT_EQ(std::string(folder.hostExchangeDir.Get()), docs + "/PigmoraV3/Exchange/Hash/");
  EXPECT_EQ(std::string(folder.dataDir.Get()), docs + "/PigmoraV3/Exchange/Hash/data/");
  EXPECT_EQ(std::string(folder.exportFbxFile.Get()),
            (fs::path(docs) / "PigmoraV3" / "Exchange" / "Hash" / "data" / "export.fbx").string());
  EXPECT_EQ(std::string(folder.importFile.Get()), docs + "/PigmoraV3/Exchange/import.txt");
  EXPECT_EQ(std::string(folder.exportFile.Get()), docs + "/PigmoraV3/Exchange/export.txt");
  EXPECT_EQ(std::string(folder.texturesFile.Get()), docs + "/PigmoraV3/Exchange/textures.txt");
  EXPECT_EQ(std::string(folder.runFile.Get()), docs + "/PigmoraV3/Exchange/Hash/run.txt");
  EXPECT_EQ(std::string(folder.extensionFile.Get()), docs + "/PigmoraV3/Exchange/Hash/extension.txt");
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  EXPECT_EQ(std::string(folder.hostExecutable.Get()), self);
}
#endif

TEST_F(ExchangeFolderTest, FreshAccountGetsEveryFolderAndBothMarkerFiles) {
  ASSERT_FALSE(fs::exists(scratch_.DocumentsPath()));
  ExchangeFolder folder;
  folder.Build();
  PrepareExchangeFolder(folder);
  EXPECT_TRUE(fs::is_directory(scratch_.ExchangePath() / "Hash" / "data"));

  const std::string run = ScratchFolder::ReadFile(scratch_.ExchangePath() / "Hash" / "run.txt");
  EXPECT_EQ(run, std::string(folder.hostExecutable.Get())) << "no terminator, no line end";
  EXPECT_EQ(ScratchFolder::ReadFile(scratch_.ExchangePath() / "Hash" / "extension.txt"), "fbx");
}

TEST_F(ExchangeFolderTest, LongerOldMarkerFilesAreTruncatedNotPatched) {
  const std::string stale(4096, 'x');
  ScratchFolder::WriteFile(scratch_.ExchangePath() / "Hash" / "run.txt", stale);
  ScratchFolder::WriteFile(scratch_.ExchangePath() / "Hash" / "extension.txt", "fbx-and-then-some\n");
  ExchangeFolder folder;
  folder.Build();
  PrepareExchangeFolder(folder);
  EXPECT_EQ(ScratchFolder::ReadFile(scratch_.ExchangePath() / "Hash" / "run.txt"),
            std::string(folder.hostExecutable.Get()));
  EXPECT_EQ(fs::file_size(scratch_.ExchangePath() / "Hash" / "extension.txt"), 3u);
}

TEST_F(ExchangeFolderTest, UnwritableDocumentsFolderLeavesValidPathsAndNoFiles) {
  // A plain file where the documents folder should be: nothing can be created.
  ScratchFolder::WriteFile(scratch_.DocumentsPath(), "not a folder");
  ExchangeFolder folder;
  folder.Build();
  PrepareExchangeFolder(folder);
  EXPECT_EQ(std::string(folder.exportFbxFile.Get()),
            (fs::path(docs) / "PigmoraV3" / "Exchange" / "Hash" / "data" / "export.fbx").string());
  EXPECT_TRUE(fs::is_regular_file(scratch_.DocumentsPath()));
}

}  // namespace
