#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "receive/AnswerTextFile.h"

using namespace pigmora;

namespace {

class AnswerTextFileTest : public ::testing::Test {
protected:
  // Every line read, then "<error: text>" when the reading failed.
  std::vector<std::string> ReadAll(const std::string& path) {
    AnswerTextFile file;
    if (!file.Open(path.c_str(), "textures.txt")) return {"<error: " + std::string(file.ErrorText().Get()) + ">"};
    std::vector<std::string> lines;
    String line;
    while (file.ReadLine(line)) lines.push_back(line.Get());
    if (file.Failed()) lines.push_back("<error: " + std::string(file.ErrorText().Get()) + ">");
    return lines;
  }
  ScratchFolder scratch_;
};

TEST_F(AnswerTextFileTest, ReadsLfAndCrLfLinesUpToTheLimitAndRefusesALongerLine) {
  const std::string longest(kAnswerLineLimit, 'x');
  EXPECT_EQ(ReadAll(scratch_.Write("a.txt", "one\r\n" + longest + "\r\n" + longest + "\nlast")),
            (std::vector<std::string>{"one", longest, longest, "last"}));
  EXPECT_EQ(ReadAll(scratch_.Write("b.txt", longest)), (std::vector<std::string>{longest}));

  const std::string refused =
      "<error: 'textures.txt' is damaged: line 2 is longer than " + std::to_string(kAnswerLineLimit) + " characters>";
  for (const char* end : {"", "\n", "\r\n", "\r"}) {
    EXPECT_EQ(ReadAll(scratch_.Write("c.txt", "one\n" + longest + "y" + end + "never read\n")),
              (std::vector<std::string>{"one", refused}))
        << "line end " << testing::PrintToString(end);
  }
}

// What Windows editors put at the start of a file: UTF-8's byte-order mark must not
// become part of the first path or name; UTF-16 text is damage, said as such.
TEST_F(AnswerTextFileTest, AByteOrderMarkIsReadAsWhatItMarks) {
  EXPECT_EQ(ReadAll(scratch_.Write("utf8.txt", "\xef\xbb\xbf/t/a.fbx\r\nB\xc3\xa4r\n")),
            (std::vector<std::string>{"/t/a.fbx", "B\xc3\xa4r"}));
  EXPECT_EQ(ReadAll(scratch_.Write("twice.txt", "\xef\xbb\xbf\xef\xbb\xbf/t/a.fbx\n")),
            (std::vector<std::string>{"\xef\xbb\xbf/t/a.fbx"}))
      << "only the one at the start of the file is a mark";
  const std::string utf16 =
      "<error: 'textures.txt' is damaged: line 1 begins with the byte-order mark of UTF-16 text, not the 8-bit "
      "text expected>";
  EXPECT_EQ(ReadAll(scratch_.Write("le.txt", std::string("\xff\xfe/\0t\0\n\0", 8))), (std::vector<std::string>{utf16}));
  EXPECT_EQ(ReadAll(scratch_.Write("be.txt", std::string("\xfe\xff\0/\0t\0\n", 8))), (std::vector<std::string>{utf16}));
}

#if !defined(_WIN32)  // POSIX-only fixture
TEST_F(AnswerTextFileTest, WhatIsNotARegularFileIsRefusedWithoutWaitingOrReading) {
  const std::string fifo = scratch_.Path("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(ReadAll(fifo),
            (std::vector<std::string>{"<error: Can't open 'textures.txt' for reading: it is not a regular file>"}));
  const std::string zero = scratch_.Path("zero");
  std::filesystem::create_symlink("/dev/zero", zero);
  EXPECT_EQ(ReadAll(zero),
            (std::vector<std::string>{"<error: Can't open 'textures.txt' for reading: it is not a regular file>"}));
  std::filesystem::create_directory(scratch_.Path("folder"));
  EXPECT_EQ(ReadAll(scratch_.Path("folder")),
            (std::vector<std::string>{"<error: Can't open 'textures.txt' for reading: it is a folder>"}));
  EXPECT_EQ(ReadAll(scratch_.Path("absent")),
            (std::vector<std::string>{
                "<error: Can't open 'textures.txt' for reading: The system cannot find the file specified>"}));
  // A link to a regular file is read through.
  std::filesystem::create_symlink(scratch_.Write("real.txt", "through\n"), scratch_.Path("link"));
  EXPECT_EQ(ReadAll(scratch_.Path("link")), (std::vector<std::string>{"through"}));
}
#endif

}  // namespace
