#include <gtest/gtest.h>

#include <sys/stat.h>

#include <vector>

#include "FileIO/FileStream.h"
#include "ScratchFolder.h"

namespace {

std::vector<std::string> ReadLines(const std::filesystem::path& path) {
  FileStream stream;
  std::vector<std::string> lines;
  if (!stream.Open(path.string().c_str(), FileStream::Read)) return {"<not opened>"};
  String line("stale");
  while (stream.ReadLine(line)) lines.push_back(line.Get());
  return lines;
}

}  // namespace

TEST(FileStream, StripsLfAndCrLfAndKeepsALastLineWithoutEnd) {
  ScratchFolder scratch;
  auto path = scratch.Root() / "export.txt";
  ScratchFolder::WriteFile(path, "C:/a.fbx\r\nsecond\n\nlast\rstill last");
  EXPECT_EQ(ReadLines(path), (std::vector<std::string>{"C:/a.fbx", "second", "", "last\rstill last"}));
  // A carriage return ends a line only before a line feed: at the end of the file it is text.
  ScratchFolder::WriteFile(path, "first\r\nends in CR\r");
  EXPECT_EQ(ReadLines(path), (std::vector<std::string>{"first", "ends in CR\r"}));

  ScratchFolder::WriteFile(path, "one\n");
  EXPECT_EQ(ReadLines(path), (std::vector<std::string>{"one"}));
  ScratchFolder::WriteFile(path, "");
  EXPECT_EQ(ReadLines(path), (std::vector<std::string>{}));
}

TEST(FileStream, ReadsLinesOfAnyLength) {
  ScratchFolder scratch;
  auto path = scratch.Root() / "long.txt";
  std::string longLine(1 << 20, 'x');
  ScratchFolder::WriteFile(path, longLine + "\r\n" + longLine);
  std::vector<std::string> lines = ReadLines(path);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], longLine);
  EXPECT_EQ(lines[1], longLine);
}

TEST(FileStream, RefusesMissingFilesOtherModesAndReadsNothingWhenClosed) {
  ScratchFolder scratch;
  FileStream stream;
  EXPECT_EQ(stream.Open((scratch.Root() / "absent.txt").string().c_str(), FileStream::Read), 0);
  EXPECT_EQ(stream.Open(scratch.Root().string().c_str(), FileStream::Read), 0);  // a folder is no text file
#if !defined(_WIN32)                                                             // POSIX-only fixture
  // Neither waits: a FIFO without a writer, a device that never ends, a link to one.
  const std::string fifo = (scratch.Root() / "pipe").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(stream.Open(fifo.c_str(), FileStream::Read), 0);
  EXPECT_EQ(stream.Open("/dev/zero", FileStream::Read), 0);
  std::filesystem::create_symlink("/dev/zero", scratch.Root() / "zero.txt");
  EXPECT_EQ(stream.Open((scratch.Root() / "zero.txt").c_str(), FileStream::Read), 0);
#endif
  auto path = scratch.Root() / "present.txt";
  ScratchFolder::WriteFile(path, "line\n");
  EXPECT_EQ(stream.Open(path.string().c_str(), 2), 0);
  EXPECT_EQ(stream.Open(String(), FileStream::Read), 0);

  String line;
  EXPECT_EQ(stream.ReadLine(line), 0);
  ASSERT_NE(stream.Open(path.string().c_str(), FileStream::Read), 0);
  stream.Close();
  EXPECT_EQ(stream.ReadLine(line), 0);
  stream.Close();  // closing twice is harmless
}
