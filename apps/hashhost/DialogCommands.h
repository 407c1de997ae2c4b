#pragma once

#include <functional>
#include <string>
#include <vector>

#include <windows.h>

// Script commands that work the open modal dialog as a person would: click,
// check, select, tab, key escape, close, file, answer, screenshot. Each refuses, with
// the reason, what a person could not do (no dialog open; a control that is
// missing, hidden or disabled).
class DialogCommands {
public:
  // Writes a PNG of a window; false with the reason. Empty without a display.
  using Screenshooter = std::function<bool(HWND window, const std::string& path, std::string& problem)>;

  explicit DialogCommands(Screenshooter screenshooter = {}) : screenshooter_(std::move(screenshooter)) {}

  static bool Handles(const std::string& verb);
  bool Execute(const std::vector<std::string>& words, std::string& problem);

  // One line per command, for --help.
  static const char* Summary();

private:
  bool Click(const std::vector<std::string>& words, std::string& problem);
  bool Check(const std::vector<std::string>& words, std::string& problem);
  bool Select(const std::vector<std::string>& words, std::string& problem);
  bool Tab(const std::vector<std::string>& words, std::string& problem);
  bool Key(const std::vector<std::string>& words, std::string& problem);
  bool Close(const std::vector<std::string>& words, std::string& problem);
  bool File(const std::vector<std::string>& words, std::string& problem);
  bool Answer(const std::vector<std::string>& words, std::string& problem);
  bool Screenshot(const std::vector<std::string>& words, std::string& problem);

  Screenshooter screenshooter_;
};
