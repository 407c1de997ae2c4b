#pragma once

#include <sys/stat.h>

#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

class HProject;
class HTreeObject;
class HostTimer;

// What the exchange with Pigmora is doing, as the host sees it from the project
// and the exchange folder (no plug-in call): a send waiting for its answer, an
// answer waiting to be imported, an answer received. A look costs a few stat
// calls, so it looks on every tick of the host's loops (and around commands).
class ExchangeStatus {
public:
  ExchangeStatus(HProject* project, std::string exchangeFolder);
  ~ExchangeStatus();
  ExchangeStatus(const ExchangeStatus&) = delete;
  ExchangeStatus& operator=(const ExchangeStatus&) = delete;

  // <documents>/PigmoraV3/Exchange/, where the plug-in and Pigmora meet.
  static std::string DefaultFolder();

  // Told each new line, once, as it comes.
  void SetReporter(std::function<void(const std::string& line)> reporter) { reporter_ = std::move(reporter); }

  // Around a plug-in command the host runs on `object`: a send it makes is of
  // that object's model, and an answer it imports is seen even when it came
  // and went between two looks.
  void BeforeCommand(HTreeObject* object);
  void AfterCommand();
  // A model the host itself made (an opened OBJ file) is no answer's.
  void NoteHostsOwnModel(const HTreeObject* model) { knownModels_.insert(model); }

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

  void LookForSend();
  void LookForAnswer();
  void LookForLeftClaims(bool& claimTaken);
  // Notes the project's models; when answerTaken, reports a new one as
  // received (taken back from a receive that stopped when takenBack), with
  // afterwards at the end of the line. True when it reported.
  bool LookForReceivedModel(bool answerTaken, const char* afterwards = "", bool takenBack = false);
  void Report(std::string line, bool isSend = false);

  HProject* project_;
  std::string folder_;
  std::function<void(const std::string&)> reporter_;
  int deletionListener_ = 0;

  std::unique_ptr<HostTimer> ticker_;

  std::string line_;
  unsigned lineCount_ = 0;
  bool lineIsSend_ = false;
  std::time_t sentAt_ = 0;

  std::string commandModel_;  // the model of the running command; empty outside one
  Stamp commandFile_;         // the command file as last judged

  bool answerPresent_ = false;
  Stamp answerFile_, texturesFile_;
  bool autoImportOff_ = false;
  bool waitingReported_ = false;

  // Claimed answer files by name, with when a look first saw each.
  std::map<std::string, std::time_t> claims_;
  bool leftClaimReported_ = false;

  std::set<const HTreeObject*> knownModels_;  // the models before the answer came
};
