// pigmora-peer: the stand-in for Pigmora. Reads the command file and the model
// file the plug-in left in the exchange folder and answers as Pigmora would.
#include <signal.h>
#include <unistd.h>

#include <FileIO/String.h>

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

const char kUsage[] =
    "usage: pigmora-peer --once|--watch [--ascii] [--stop-after SECONDS] [--size PIXELS]\n"
    "Answers the command file import.txt in <documents>/PigmoraV3/Exchange/ (documents: HASH_DOCUMENTS_DIR,\n"
    "the XDG documents folder or $HOME/Documents): writes its own FBX file (binary, or ASCII with --ascii)\n"
    "with the model's first mesh, paints one image per material and requested channel, then writes\n"
    "textures.txt and last export.txt.\n"
    "  --once        answer the current command and exit (status 1 when it cannot be answered)\n"
    "  --watch       keep answering each new command until stopped (or for SECONDS with --stop-after)\n";

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
  const std::string commandPath = exchangeDir + "import.txt";
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
  std::printf("pigmora-peer: watching %simport.txt\n", options.exchangeDir.c_str());
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
  bool once = false, watch = false;
  double stopAfter = 0;
  PeerOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--once") {
      once = true;
    } else if (word == "--watch") {
      watch = true;
    } else if (word == "--ascii") {
      options.ascii = true;
    } else if (word == "--stop-after" && i + 1 < argc) {
      stopAfter = std::atof(argv[++i]);
    } else if (word == "--size" && i + 1 < argc) {
      options.imageSize = std::atoi(argv[++i]);
    } else {
      std::fputs(kUsage, word == "--help" ? stdout : stderr);
      return word == "--help" ? 0 : 2;
    }
  }
  if (once == watch || options.imageSize < 8 || options.imageSize > 8192) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  options.exchangeDir = std::string(String::GetMyDocumentsPath().Get()) + "/PigmoraV3/Exchange/";
  // Stopped mid-answer, the peer drops what it wrote rather than leave pieces;
  // a call that waits is cut short rather than resumed, so a stop never hangs.
  struct sigaction stop {};
  stop.sa_handler = RequestStop;
  sigemptyset(&stop.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &stop, nullptr);
  options.stop = &stopRequested;
  return once ? AnswerOnce(options) : Watch(options, stopAfter);
}
