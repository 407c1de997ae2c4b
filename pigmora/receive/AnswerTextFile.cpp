#include "receive/AnswerTextFile.h"

#include <string>

namespace pigmora {

namespace {

// The system's words for a Win32 error code, without the closing full stop.
String SystemText(LONG code) {
  char text[512] = {};
  DWORD length = code > 0 ? FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                           static_cast<DWORD>(code), 0, text, sizeof text, nullptr)
                          : 0;
  while (length > 0 &&
         (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == '.' || text[length - 1] == ' '))
    text[--length] = '\0';
  return length > 0 ? String(text) : String("error ") + std::to_string(code).c_str();
}

}  // namespace

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
      errorText_ = prefix + ": " + SystemText(error.m_lOsError);
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
      errorText_ = String("Can't read '") + shownName_ + "': " + SystemText(error->m_lOsError);
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
  line = text.c_str();
  return true;
}

void AnswerTextFile::Close() {
  file_.Close();
  next_ = filled_ = 0;
  atEnd_ = false;
}

}  // namespace pigmora
