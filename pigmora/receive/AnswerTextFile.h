#pragma once

#include <cstddef>

#include <FileIO/String.h>
#include <afx.h>

namespace pigmora {

// The longest line the receive reads from an answer text file: paths and
// material names, with room to spare. A longer line is damage, not data.
constexpr std::size_t kAnswerLineLimit = 8192;

// One of Pigmora's answer text files ("export.txt", "textures.txt"), read line
// by line. What is not a regular file is refused before a byte is read (a FIFO
// would wait for a writer for ever, a device never ends), and so is a line
// longer than kAnswerLineLimit or one holding control bytes: a damaged or
// hostile file can neither freeze the host nor fill its memory, nor pass for text.
class AnswerTextFile {
public:
  AnswerTextFile() = default;
  ~AnswerTextFile();
  AnswerTextFile(const AnswerTextFile&) = delete;
  AnswerTextFile& operator=(const AnswerTextFile&) = delete;

  // shownName is the file's name as the user knows it, for the messages.
  // False, with ErrorText saying why, when the file cannot be read.
  bool Open(const String& path, const char* shownName);
  // True while a line was read, its line end (LF or CR LF) stripped; false at
  // the end of the file or on an error, which Failed() then tells.
  bool ReadLine(String& line);
  void Close();

  bool Failed() const { return !errorText_.IsEmpty(); }
  // The number of the line ReadLine gave last, from 1.
  long LineNumber() const { return lineNumber_; }
  // Marks the file damaged at the last line read, for a reader that finds it so.
  void SetDamaged(const char* why);
  const String& ErrorText() const { return errorText_; }

private:
  // The next byte of the file into byte; false at its end or on an error.
  bool NextByte(int& byte);

  CFile file_;
  char buffer_[16384];
  UINT next_ = 0;
  UINT filled_ = 0;
  bool atEnd_ = false;  // the last read came short: nothing follows
  String shownName_;
  String errorText_;
  long lineNumber_ = 0;
};

// A path an answer file names. Pigmora names its files by full paths; a
// relative one is taken to be in the answer file's own folder, Pigmora's,
// never in whatever folder the host happens to run in.
String PathNamedBy(const String& answerFile, const String& named);

}  // namespace pigmora
