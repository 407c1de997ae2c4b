#include "receive/AnswerTextFile.h"

#include <filesystem>
#include <string>

#include "files/SystemErrorText.h"

namespace pigmora {

AnswerTextFile::~AnswerTextFile() { Close(); }

bool AnswerTextFile::Open(const String& path, const char* shownName) {
  Close();
  shownName_ = shownName;
  errorText_ = "";
  lineNumber_ = 0;
  const String prefix = String("Can't open '") + shownName + "' for reading";
  if (path.IsEmpty()) {
    errorText_ = prefix;
    return false;
  }
  // The framework opens only a regular file, and a FIFO or device fails at
  // once rather than waiting for a writer or never ending.
  CFileException error;
  if (!file_.Open(path.Get(), CFile::modeRead | CFile::shareDenyNone, &error)) {
    CFileStatus status;
    if (CFile::GetStatus(path.Get(), status) && (status.m_attribute & (CFile::directory | CFile::device)))
      errorText_ = prefix + ": it is " + ((status.m_attribute & CFile::directory) ? "a folder" : "not a regular file");
    else
      errorText_ = prefix + ": " + SystemErrorText(static_cast<DWORD>(error.m_lOsError));
    return false;
  }
  return true;
}

bool AnswerTextFile::NextByte(int& byte) {
  if (next_ == filled_) {
    if (atEnd_) return false;
    try {
      filled_ = file_.Read(buffer_, sizeof buffer_);
    } catch (CFileException* error) {
      errorText_ = String("Can't read '") + shownName_ + "': " + SystemErrorText(static_cast<DWORD>(error->m_lOsError));
      error->Delete();
      filled_ = 0;
    }
    next_ = 0;
    atEnd_ = filled_ < sizeof buffer_;
    if (filled_ == 0) return false;
  }
  byte = static_cast<unsigned char>(buffer_[next_++]);
  return true;
}

bool AnswerTextFile::ReadLine(String& line) {
  if (!file_.IsOpen() || Failed()) return false;
  std::string text;
  int c = 0;
  bool ended = false;  // by a line feed
  bool readAny = false;
  // Up to one character more than the limit for the CR of a CR LF end: a
  // line longer than that is damage, and no more of it is read.
  while (NextByte(c)) {
    readAny = true;
    if (c == '\n') {
      ended = true;
      break;
    }
    text.push_back(static_cast<char>(c));
    if (text.size() > kAnswerLineLimit + 1) break;
  }
  if (Failed()) return false;
  if (ended && !text.empty() && text.back() == '\r') text.pop_back();
  if (text.size() > kAnswerLineLimit) {
    errorText_ = String("'") + shownName_ + "' is damaged: line " + std::to_string(lineNumber_ + 1).c_str() +
                 " is longer than " + std::to_string(kAnswerLineLimit).c_str() + " characters";
    return false;
  }
  if (!readAny) return false;
  ++lineNumber_;
  // Windows editors may begin a file with a byte-order mark: UTF-8's is no
  // part of the first name or path; UTF-16's means text of another width.
  if (lineNumber_ == 1 && text.rfind("\xef\xbb\xbf", 0) == 0) text.erase(0, 3);
  if (lineNumber_ == 1 && (text.rfind("\xff\xfe", 0) == 0 || text.rfind("\xfe\xff", 0) == 0)) {
    SetDamaged("begins with the byte-order mark of UTF-16 text, not the 8-bit text expected");
    return false;
  }
  // Control bytes are no part of a path or a name: a NUL (UTF-16 text), a
  // carriage return alone (old Mac line ends) or random bytes mean the file
  // cannot be read as the lines it should hold.
  for (std::size_t at = 0; at < text.size(); ++at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte == '\t' || (byte >= 0x20 && byte != 0x7f)) continue;
    static const char kHex[] = "0123456789abcdef";
    const char shown[] = {'\\', 'x', kHex[byte >> 4], kHex[byte & 15], '\0'};
    errorText_ = String("'") + shownName_ + "' is damaged: line " + std::to_string(lineNumber_).c_str() +
                 " holds a byte that is no text (" + shown + (byte == '\r' ? ", a line end of another system" : "") +
                 ") at character " + std::to_string(at + 1).c_str();
    return false;
  }
  line = text.c_str();
  return true;
}

void AnswerTextFile::SetDamaged(const char* why) {
  errorText_ = String("'") + shownName_ + "' is damaged: line " + std::to_string(lineNumber_).c_str() + " " + why;
}

void AnswerTextFile::Close() {
  file_.Close();
  next_ = filled_ = 0;
  atEnd_ = false;
}

String PathNamedBy(const String& answerFile, const String& named) {
  const std::filesystem::path path(named.Get());
  if (path.is_absolute()) return named;
  return (std::filesystem::path(answerFile.Get()).parent_path() / path).string().c_str();
}

}  // namespace pigmora
