// pigmora-peer: the stand-in for Pigmora. Reads the command file and the model
// file the plug-in left in the exchange folder and answers as Pigmora would.
#include <unistd.h>

#include <FileIO/String.h>
#include <common/ExchangeNames.h>
#include <common/HugePages.h>
#include <common/OsFiles.h>
#include <common/OsProcess.h>
#include <common/ToolOptions.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "Answer.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) { stopRequested = 1; }

const common::ToolHelp kHelp = {
    "pigmora-peer",
    "Usage: pigmora-peer --once|--watch [--ascii] [--stop-after SECONDS] [--size PIXELS]\n"
    "\n"
    "Plays Pigmora for the Pigmora applink: answers the command file import.txt in\n"
    "<documents>/PigmoraV3/Exchange/ (documents: HASH_DOCUMENTS_DIR, the XDG documents folder or\n"
    "$HOME/Documents). It writes its own FBX file (binary, or ASCII with --ascii) with the model's\n"
    "first mesh, paints one image per material and requested channel, then writes textures.txt and\n"
    "last export.txt.\n"
    "\n"
    "Options:\n"
    "  --once                answer the current command and exit (status 1 when it cannot be answered)\n"
    "  --watch               keep answering each new command until stopped\n"
    "  --stop-after SECONDS  with --watch, stop after that many seconds\n"
    "  --ascii               write the answer's FBX file in the ASCII encoding\n"
    "  --size PIXELS         side of the painted square images, 8 to 8192 (default 512)\n"
    "  -h, --help            print this help and exit\n"
    "  --version             print the version and exit\n"
    "\n"
    "Exit status:\n"
    "  0 when the command was answered (or the watch ended), 1 when --once could not answer it,\n"
    "  2 for wrong arguments.\n"};

// A whole number or decimal within [low, high], or false.
bool ReadNumber(const char* text, double low, double high, double& value) {
  char* end = nullptr;
  errno = 0;
  value = std::strtod(text, &end);
  return end != text && *end == '\0' && errno == 0 && value >= low && value <= high;
}

// The command file with the model file named in it: the command is ready once
// the model file is at least as new as the command file (the model file of the
// previous command is still there when a new command file appears).
struct CommandStamp {
  std::filesystem::file_time_type commandTime{};
  std::uintmax_t commandSize = 0;
  bool operator==(const CommandStamp& other) const {
    return commandTime == other.commandTime && commandSize == other.commandSize;
  }
};

bool ReadyCommand(const std::string& exchangeDir, CommandStamp& stamp) {
  std::error_code error;
  const std::string commandPath = exchangeDir + exchange::kCommandFile;
  stamp.commandTime = std::filesystem::last_write_time(commandPath, error);
  if (error) return false;
  stamp.commandSize = std::filesystem::file_size(commandPath, error);
  if (error) return false;
  std::FILE* file = std::fopen(commandPath.c_str(), "rb");
  if (!file) return false;
  char line[4096] = {};
  const bool gotLine = std::fgets(line, sizeof line, file) != nullptr;
  std::fclose(file);
  if (!gotLine) return false;
  std::string modelPath = line;
  while (!modelPath.empty() && std::strchr("\r\n \t", modelPath.back())) modelPath.pop_back();
  const auto modelTime = std::filesystem::last_write_time(modelPath, error);
  return !error && modelTime >= stamp.commandTime;
}

int AnswerOnce(const PeerOptions& options) {
  std::string report, problem;
  if (!AnswerCommand(options, report, problem)) {
    std::fprintf(stderr, "pigmora-peer: %s\n", problem.c_str());
    return 1;
  }
  std::fputs(report.c_str(), stdout);
  std::fflush(stdout);
  return 0;
}

int Watch(const PeerOptions& options, double stopAfterSeconds) {
  const auto start = std::chrono::steady_clock::now();
  bool answeredAny = false;
  CommandStamp answered;
  std::printf("pigmora-peer: watching %s%s\n", options.exchangeDir.c_str(), exchange::kCommandFile);
  std::fflush(stdout);
  while (!stopRequested) {
    if (stopAfterSeconds > 0 &&
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() >= stopAfterSeconds)
      break;
    CommandStamp stamp;
    if (ReadyCommand(options.exchangeDir, stamp) && !(answeredAny && stamp == answered)) {
      AnswerOnce(options);  // a broken command is reported once, like an answered one
      answered = stamp;
      answeredAny = true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  RestartWithHugePages(argv);  // a file of many objects fills hundreds of megabytes
  bool once = false, watch = false;
  double stopAfter = 0;
  PeerOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    const bool takesValue = word == "--stop-after" || word == "--size";
    if (takesValue && i + 1 >= argc) return common::RefuseArguments(kHelp, word + " needs a value");
    double number = 0;
    if (word == "--once") {
      once = true;
    } else if (word == "--watch") {
      watch = true;
    } else if (word == "--ascii") {
      options.ascii = true;
    } else if (word == "--stop-after") {
      if (!ReadNumber(argv[++i], 0, 7 * 24 * 3600, stopAfter))
        return common::RefuseArguments(kHelp, "--stop-after takes seconds from 0 to a week");
    } else if (word == "--size") {
      if (!ReadNumber(argv[++i], 8, 8192, number) || number != static_cast<int>(number))
        return common::RefuseArguments(kHelp, "--size takes a whole number of pixels from 8 to 8192");
      options.imageSize = static_cast<int>(number);
    } else if (common::AnswerStandardOption(kHelp, word)) {
      return common::kToolStatusDone;
    } else {
      return common::RefuseArguments(kHelp, "unknown argument '" + word + "'");
    }
  }
  if (once == watch) return common::RefuseArguments(kHelp, "give one of --once and --watch");
  options.exchangeDir = exchange::FolderUnder(String::GetMyDocumentsPath().Get(), os::kPathSeparator);
  // Stopped mid-answer, the peer drops what it wrote rather than leave pieces;
  // a call that waits is cut short rather than resumed, so a stop never hangs.
  os::OnStopRequest(RequestStop);
  options.stop = &stopRequested;
  return once ? AnswerOnce(options) : Watch(options, stopAfter);
}
