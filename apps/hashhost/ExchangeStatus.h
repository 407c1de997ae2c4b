#pragma once

#include <sys/stat.h>

#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class HModelCache;
class HProject;
class HTreeObject;
class HostTimer;
struct LoadedPlugin;

// What the exchange with Pigmora is doing, as the host sees it from the project,
// the exchange folder and the Pigmora plug-in's calls: a send waiting for its
// answer, an answer waiting to be imported, an answer received. A look costs a
// few stat calls, so it looks on every tick of the host's loops, and around
// each command and timer tick of the plug-in: only a model the plug-in adds
// there is a received one, and every answer it takes was seen before.
class ExchangeStatus {
public:
  // `plugin` is the Pigmora plug-in whose calls are watched; null watches none.
  ExchangeStatus(HProject* project, std::string exchangeFolder, const LoadedPlugin* plugin = nullptr);
  ~ExchangeStatus();
  ExchangeStatus(const ExchangeStatus&) = delete;
  ExchangeStatus& operator=(const ExchangeStatus&) = delete;

  // <documents>/PigmoraV3/Exchange/, where the plug-in and Pigmora meet.
  static std::string DefaultFolder();

  // Told each new line, once, as it comes.
  void SetReporter(std::function<void(const std::string& line)> reporter) { reporter_ = std::move(reporter); }

  // Told when a tick of the plug-in's timer starts with an answer to take in
  // the exchange folder (`starting`), and when that tick ends.
  void SetReceiveWatcher(std::function<void(bool starting)> watcher) { receiveWatcher_ = std::move(watcher); }

  // Around a command of `plugin` the host runs on `object`: a send the watched
  // plug-in makes is of that object's model, and an answer it imports is seen
  // even when it came and went between two looks.
  void BeforeCommand(HTreeObject* object, const LoadedPlugin& plugin);
  void AfterCommand();
  // A model the host itself made (an opened OBJ file) is no answer's.
  void NoteHostsOwnModel(const HTreeObject* model);

  // Looks at the exchange folder and the project.
  void Look();

  // Whether an answer lay in the exchange folder at the last look.
  bool AnswerWaiting() const { return answerPresent_; }
  // The latest line; empty before anything happened.
  const std::string& Line() const { return line_; }
  // How many lines came so far: a new line, even one like the last, counts.
  unsigned LineCount() const { return lineCount_; }
  // The line as a status bar shows it: a send's with the time since it.
  std::string LineWithTime(std::time_t now) const;

private:
  // What a stat call says of a file, enough to tell one version from the next.
  struct Stamp {
    bool regular = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    bool operator==(const Stamp& other) const;
  };
  static Stamp StampOf(const std::string& path);

  void AroundPluginTick(bool starting);
  void LookForSend();
  void LookForAnswer();
  void LookForLeftClaims(bool& claimTaken);
  // Notes a model put into the project: the newest one the watched plug-in
  // added during one of its calls is the one its receive brought.
  void NoteAdded(HTreeObject* object);
  // The model the plug-in's receive brought, until reported; null for none.
  HModelCache* Arrived() const { return arrivals_.empty() ? nullptr : arrivals_.back(); }
  // Reports the model the receive brought (taken back from a receive that
  // stopped when takenBack), with afterwards at the end of the line.
  void ReportReceivedModel(const char* afterwards = "", bool takenBack = false);
  void Report(std::string line, bool isSend = false);

  HProject* project_;
  std::string folder_;
  const void* pluginBase_ = nullptr;  // where the watched plug-in's code lies
  const LoadedPlugin* plugin_ = nullptr;
  std::function<void(const std::string&)> reporter_;
  std::function<void(bool)> receiveWatcher_;
  int deletionListener_ = 0;
  int additionListener_ = 0;

  int pluginCalls_ = 0;                 // the watched plug-in's commands and timer ticks running, nested ones too
  int pluginTicks_ = 0;                 // of those, timer ticks
  std::vector<bool> commandsWatched_;   // the commands running, nested ones too: each the watched plug-in's?
  int watchedTick_ = 0;                 // the depth of the tick the watcher was told of; 0 for none
  std::vector<HModelCache*> arrivals_;  // models the plug-in added in its calls, oldest first, until reported

  std::unique_ptr<HostTimer> ticker_;

  std::string line_;
  unsigned lineCount_ = 0;
  bool lineIsSend_ = false;
  std::time_t sentAt_ = 0;

  std::string commandModel_;  // the model of the running command; empty outside one
  Stamp commandFile_;         // the command file as last judged

  bool answerPresent_ = false;
  Stamp answerFile_, texturesFile_;
  std::time_t answerSeenAt_ = 0;  // when this host first saw the answer
  bool autoImportOff_ = false;
  bool waitingReported_ = false;
  bool answerLeft_ = false;  // the answer lying there was taken and could not be removed

  // Claimed answer files by name, with when a look first saw each.
  std::map<std::string, std::time_t> claims_;
  bool leftClaimReported_ = false;
};
