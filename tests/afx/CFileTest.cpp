#include <gtest/gtest.h>

#include <cstring>

#include "ScratchFolder.h"
#include "afx.h"

namespace {

constexpr UINT kCreateExclusiveWrite = CFile::modeCreate | CFile::shareExclusive | CFile::modeWrite;

TEST(CFile, CreateTruncatesAnExistingFileSoALongerOldTextLeavesNoTail) {
  ScratchFolder folder;
  std::string path = folder.Path("run.txt");
  ScratchFolder::WriteFile(path, "/a/much/longer/path/of/an/older/host");
  EXPECT_EQ(kCreateExclusiveWrite, 0x1011u);

  CFile file;
  CFileException error;
  ASSERT_TRUE(file.Open(path.c_str(), kCreateExclusiveWrite, &error));
  file.Write("/opt/hashhost", 13);
  EXPECT_FALSE(file.HasWriteError());
  EXPECT_EQ(file.GetLength(), 13u);
  file.Close();
  EXPECT_EQ(ScratchFolder::ReadFile(path), "/opt/hashhost");
  file.Close();  // closing twice is harmless
}

TEST(CFile, NoTruncateKeepsContentAndReadWriteSeeksWork) {
  ScratchFolder folder;
  std::string path = folder.Path("data.bin");
  ScratchFolder::WriteFile(path, "0123456789");
  CFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite));
  EXPECT_EQ(file.GetLength(), 10u);
  EXPECT_EQ(file.SeekToEnd(), 10u);
  file.Write("ab", 2);
  file.SeekToBegin();
  char buffer[16] = {};
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 12u);
  EXPECT_STREQ(buffer, "0123456789ab");
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);
  file.Close();

  ASSERT_TRUE(
      file.Open((folder.Path("new.bin")).c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite));
  EXPECT_EQ(file.GetLength(), 0u);
}

TEST(CFile, FailuresFillTheExceptionRecordAndOpenNothing) {
  ScratchFolder folder;
  CFile file;
  CFileException error;
  EXPECT_FALSE(file.Open((folder.Path("missing.txt")).c_str(), CFile::modeRead, &error));
  EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
  EXPECT_EQ(error.m_strFileName, folder.Path("missing.txt"));
  EXPECT_FALSE(file.IsOpen());

  EXPECT_FALSE(file.Open((folder.Path("no/such/folder.txt")).c_str(), kCreateExclusiveWrite, &error));
  EXPECT_EQ(error.m_cause, CFileException::badPath);
  EXPECT_FALSE(std::filesystem::exists(folder.Path("no")));

  ScratchFolder::WriteFile(folder.Path("plain"), "x");
  EXPECT_FALSE(file.Open((folder.Path("plain/below.txt")).c_str(), kCreateExclusiveWrite, &error));
  EXPECT_EQ(error.m_cause, CFileException::badPath);

  EXPECT_FALSE(file.Open(folder.Root().c_str(), CFile::modeRead, &error));
  EXPECT_EQ(error.m_cause, CFileException::accessDenied);

  EXPECT_FALSE(file.Open("", CFile::modeRead, &error));
  EXPECT_FALSE(file.Open(nullptr, CFile::modeRead));  // no record asked for
  char message[256];
  EXPECT_TRUE(error.GetErrorMessage(message, sizeof message));
  EXPECT_GT(std::strlen(message), 0u);

  // A failed write is remembered instead of thrown.
  file.Write("x", 1);
  EXPECT_TRUE(file.HasWriteError());
}

TEST(CFile, AnExclusiveOpenIsRefusedWhileAnotherHoldsTheFileAndTruncatesNothing) {
  ScratchFolder folder;
  std::string path = folder.Path("extension.txt");
  ScratchFolder::WriteFile(path, "fbx");
  CFile holder;
  ASSERT_TRUE(holder.Open(path.c_str(), CFile::modeRead | CFile::shareExclusive));

  CFile second;
  CFileException error;
  EXPECT_FALSE(second.Open(path.c_str(), kCreateExclusiveWrite, &error));
  EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
  EXPECT_EQ(ScratchFolder::ReadFile(path), "fbx");

  holder.Close();
  EXPECT_TRUE(second.Open(path.c_str(), kCreateExclusiveWrite, &error));
}

TEST(CFile, GetStatusTellsWhetherAPathExists) {
  ScratchFolder folder;
  std::string path = folder.Path("export.txt");
  ScratchFolder::WriteFile(path, "12345");
  CFileStatus status;
  ASSERT_TRUE(CFile::GetStatus(path.c_str(), status));
  EXPECT_EQ(status.m_size, 5u);
  EXPECT_EQ(status.m_attribute & CFile::directory, 0);
  EXPECT_STREQ(status.m_szFullName, std::filesystem::canonical(path).c_str());
  ASSERT_TRUE(CFile::GetStatus(folder.Root().c_str(), status));
  EXPECT_NE(status.m_attribute & CFile::directory, 0);
  EXPECT_FALSE(CFile::GetStatus((folder.Path("absent")).c_str(), status));
  EXPECT_FALSE(CFile::GetStatus(nullptr, status));
}

TEST(CFile, RemoveDeletesAFileAndThrowsAHeapExceptionOnFailure) {
  ScratchFolder folder;
  std::string path = folder.Path("textures.txt");
  ScratchFolder::WriteFile(path, "x");
  EXPECT_NO_THROW(CFile::Remove(path.c_str()));
  EXPECT_FALSE(std::filesystem::exists(path));

  int cause = -1;
  try {
    CFile::Remove(path.c_str());
  } catch (CFileException* e) {
    cause = e->m_cause;
    EXPECT_EQ(e->m_strFileName, path);
    e->Delete();  // frees it; the leak checker would notice otherwise
  }
  EXPECT_EQ(cause, CFileException::fileNotFound);

  cause = -1;
  try {
    CFile::Remove(folder.Root().c_str());
  } catch (CFileException* e) {
    cause = e->m_cause;
    e->Delete();
  }
  EXPECT_EQ(cause, CFileException::accessDenied);
  EXPECT_TRUE(std::filesystem::exists(folder.Root()));
}

TEST(CFile, RenameReplacesAnExistingFileAndThrowsAHeapExceptionOnFailure) {
  ScratchFolder folder;
  std::string from = folder.Path("import.txt.part"), to = folder.Path("import.txt");
  ScratchFolder::WriteFile(from, "new");
  ScratchFolder::WriteFile(to, "old and longer");
  EXPECT_NO_THROW(CFile::Rename(from.c_str(), to.c_str()));
  EXPECT_EQ(ScratchFolder::ReadFile(to), "new");
  EXPECT_FALSE(std::filesystem::exists(from));

  int cause = -1;
  try {
    CFile::Rename(from.c_str(), to.c_str());
  } catch (CFileException* e) {
    cause = e->m_cause;
    EXPECT_EQ(e->m_strFileName, from);
    e->Delete();
  }
  EXPECT_EQ(cause, CFileException::fileNotFound);
  EXPECT_EQ(ScratchFolder::ReadFile(to), "new");
}

TEST(CFile, RenameReplacesWhatALinkNamesKeepsItsModeAndRespectsReadOnlyFiles) {
  ScratchFolder folder;
  std::string real = folder.Path("real.txt"), link = folder.Path("export.txt");
  ScratchFolder::WriteFile(real, "old");
  std::filesystem::permissions(real, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  std::filesystem::create_symlink("real.txt", link);
  std::string from = folder.Path("export.txt.part");
  ScratchFolder::WriteFile(from, "new");
  EXPECT_NO_THROW(CFile::Rename(from.c_str(), link.c_str()));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ScratchFolder::ReadFile(real), "new");
  EXPECT_EQ(std::filesystem::status(real).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

  std::filesystem::permissions(real, std::filesystem::perms::owner_read);
  ScratchFolder::WriteFile(from, "refused");
  int cause = -1;
  try {
    CFile::Rename(from.c_str(), link.c_str());
  } catch (CFileException* e) {
    cause = e->m_cause;
    e->Delete();
  }
  EXPECT_EQ(cause, CFileException::accessDenied);
  EXPECT_EQ(ScratchFolder::ReadFile(real), "new");
}

}  // namespace
