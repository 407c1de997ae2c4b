#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#if !defined(_WIN32)  // POSIX-only fixture
#include <unistd.h>
#endif

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

  EXPECT_FALSE(file.Open(folder.Root().string().c_str(), CFile::modeRead, &error));
  EXPECT_EQ(error.m_cause, CFileException::accessDenied);

  EXPECT_FALSE(file.Open("", CFile::modeRead, &error));
  EXPECT_FALSE(file.Open(nullptr, CFile::modeRead));  // no record asked for
  char message[256];
  EXPECT_TRUE(error.GetErrorMessage(message, sizeof message));
  EXPECT_GT(std::strlen(message), 0u);

  // Writing to a file that is not open throws, as the framework does.
  bool thrown = false;
  try {
    file.Write("x", 1);
  } catch (CFileException* failure) {
    thrown = true;
    EXPECT_EQ(failure->m_cause, CFileException::invalidFile);
    failure->Delete();
  }
  EXPECT_TRUE(thrown);
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

  holder.Close();  // Windows lets nobody read the file while it is held without sharing
  EXPECT_EQ(ScratchFolder::ReadFile(path), "fbx");
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
  EXPECT_STREQ(status.m_szFullName, std::filesystem::canonical(path).string().c_str());
  ASSERT_TRUE(CFile::GetStatus(folder.Root().string().c_str(), status));
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
    CFile::Remove(folder.Root().string().c_str());
  } catch (CFileException* e) {
    cause = e->m_cause;
    e->Delete();
  }
  EXPECT_EQ(cause, CFileException::accessDenied);
  EXPECT_TRUE(std::filesystem::exists(folder.Root()));
}

// As on Windows (MoveFile), a rename never replaces: of two callers renaming
// one file to names of their own exactly one succeeds, and a file at the new
// name stays as it is.
TEST(CFile, RenameNeverReplacesAndThrowsAHeapExceptionOnFailure) {
  ScratchFolder folder;
  std::string from = folder.Path("export.txt"), to = folder.Path("export.txt.claimed");
  ScratchFolder::WriteFile(from, "answer");
  EXPECT_NO_THROW(CFile::Rename(from.c_str(), to.c_str()));
  EXPECT_EQ(ScratchFolder::ReadFile(to), "answer");
  EXPECT_FALSE(std::filesystem::exists(from));

  auto causeOfRename = [](const std::string& oldName, const std::string& newName, LONG& osError) {
    int cause = -1;
    try {
      CFile::Rename(oldName.c_str(), newName.c_str());
    } catch (CFileException* e) {
      cause = e->m_cause;
      osError = e->m_lOsError;
      EXPECT_EQ(e->m_strFileName, oldName);
      e->Delete();
    }
    return cause;
  };
  LONG osError = 0;
  EXPECT_EQ(causeOfRename(from, to, osError), CFileException::fileNotFound);
  EXPECT_EQ(osError, ERROR_FILE_NOT_FOUND);

  ScratchFolder::WriteFile(from, "newer answer");
  EXPECT_EQ(causeOfRename(from, to, osError), CFileException::accessDenied);
  EXPECT_EQ(osError, ERROR_ALREADY_EXISTS);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(ScratchFolder::ReadFile(from), "newer answer");
  EXPECT_EQ(ScratchFolder::ReadFile(to), "answer");

  // Folders are renamed too, and a missing folder on the way is a bad path.
  std::filesystem::create_directory(folder.Path("textures.txt"));
  EXPECT_NO_THROW(CFile::Rename(folder.Path("textures.txt").c_str(), folder.Path("moved").c_str()));
  EXPECT_TRUE(std::filesystem::is_directory(folder.Path("moved")));
  EXPECT_EQ(causeOfRename(from, folder.Path("no/such"), osError), CFileException::badPath);
  EXPECT_EQ(osError, ERROR_PATH_NOT_FOUND);
}

#if !defined(_WIN32)  // POSIX-only fixture
// A path on Windows never names a pipe or device: opening one for reading or
// writing fails at once instead of waiting for the other end, and GetStatus
// tells it apart from a file.
TEST(CFile, AFifoOrDeviceIsRefusedAtOnceAndReportedAsADevice) {
  ScratchFolder folder;
  const std::string fifo = folder.Path("textures.txt");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  CFile file;
  CFileException error;
  for (UINT flags : {static_cast<UINT>(CFile::modeRead), static_cast<UINT>(CFile::modeWrite),
                     static_cast<UINT>(CFile::modeReadWrite), kCreateExclusiveWrite}) {
    SCOPED_TRACE(flags);
    EXPECT_FALSE(file.Open(fifo.c_str(), flags, &error));
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);
    EXPECT_EQ(error.m_lOsError, ERROR_ACCESS_DENIED);
    EXPECT_FALSE(file.IsOpen());
  }
  // With a reader at the other end a writer would not wait: still refused.
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_FALSE(file.Open(fifo.c_str(), CFile::modeWrite, &error));
  close(reader);

  CFileStatus status;
  ASSERT_TRUE(CFile::GetStatus(fifo.c_str(), status));
  EXPECT_EQ(status.m_attribute & (CFile::device | CFile::directory), CFile::device);
  EXPECT_EQ(CFile::device, FILE_ATTRIBUTE_DEVICE);

  const std::string zero = folder.Path("export.txt");
  std::filesystem::create_symlink("/dev/zero", zero);
  EXPECT_FALSE(file.Open(zero.c_str(), CFile::modeRead, &error));
  EXPECT_EQ(error.m_cause, CFileException::accessDenied);
  ASSERT_TRUE(CFile::GetStatus(zero.c_str(), status));
  EXPECT_NE(status.m_attribute & CFile::device, 0);
}
#endif

TEST(CFile, AFailedReadThrowsAHeapException) {
  ScratchFolder folder;
  const std::string path = folder.Path("export.txt");
  CFile file;
  ASSERT_TRUE(file.Open(path.c_str(), kCreateExclusiveWrite));
  char buffer[4];
  int cause = -1;
  try {
    file.Read(buffer, sizeof buffer);  // opened for writing only
  } catch (CFileException* e) {
    cause = e->m_cause;
    EXPECT_EQ(e->m_strFileName, path);
    e->Delete();
  }
  EXPECT_NE(cause, -1);
}

}  // namespace
