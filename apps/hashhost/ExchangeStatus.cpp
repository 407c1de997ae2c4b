#include "ExchangeStatus.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <utility>

#include <FileIO/Registry.h>
#include <FileIO/String.h>
#include <Plugin/HDecal.h>
#include <Plugin/HImage.h>
#include <Plugin/HModelCache.h>
#include <Plugin/HProject.h>
#include <Plugin/HostProject.h>
#include <afxhost.h>
#include <common/ExchangeNames.h>
#include <common/OsFiles.h>
#include <common/OsModules.h>

#include "Echoed.h"
#include "HostTimer.h"
#include "PluginHost.h"

namespace {

// The auto-import timer takes an answer once both files are a second old, at
// its next one-second tick: an answer still there well after that waits for a person.
constexpr std::time_t kUntakenAnswerSeconds = 3;
constexpr unsigned kLookMilliseconds = 250;
// The command file's head is two paths and a keyword; more is not a command file.
constexpr std::size_t kLongestCommandHead = 3 * 4096 + 64;

bool Newer(const timespec& a, const timespec& b) {
  return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

// The words of the applink dialog's button that sends with a command file's
// mode keyword, so that the status bar speaks as the button did; a keyword
// this host does not know shows as it stands.
std::string ModeWords(const std::string& keyword) {
  for (const exchange::ExportMode& mode : exchange::kExportModes)
    if (keyword == mode.keyword) return mode.caption;
  return "mode " + keyword;
}

// The first three lines of the command file: the model file (twice) and the
// mode as "[keyword]". Never blocks, never reads more than a command head.
bool ReadCommandHead(const std::string& path, std::string& modelFile, std::string& mode) {
  const int fd = os::OpenFile(path.c_str(), O_RDONLY | os::kOpenNonBlocking);
  if (fd < 0) return false;
  struct stat info {};
  std::string text;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    char buffer[4096];
    ssize_t got = 0;
    while (text.size() < kLongestCommandHead && (got = ::read(fd, buffer, sizeof buffer)) > 0)
      text.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  std::string lines[3];
  std::size_t start = 0;
  for (std::string& line : lines) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos) return false;
    line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    start = end + 1;
  }
  modelFile = lines[0];
  const std::string& keyword = lines[2];
  mode.clear();
  if (keyword.size() > 2 && keyword.front() == '[' && keyword.back() == ']')
    mode = Echoed(keyword.substr(1, keyword.size() - 2));
  return !modelFile.empty();
}

// The model a command on `object` works on: the object itself or the model of an instance.
HModelCache* ModelOf(HTreeObject* object) {
  if (!object) return nullptr;
  if (HModelCache* model = object->GetAsModelCache()) return model;
  HAnimObject* instance = object->GetAnimObject();
  return instance ? instance->GetCache() : nullptr;
}

std::string Counted(int count, const char* singular, const char* plural) {
  return std::to_string(count) + " " + (count == 1 ? singular : plural);
}

int CountImages(HModelCache& model) {
  std::set<const HImage*> images;
  HDecalContainer* decals = model.GetChildDecalContainer();
  for (HDecal* decal = decals ? decals->GetChildDecal() : nullptr; decal;
       decal = static_cast<HDecal*>(decal->GetSibling())) {
    HDecalClipContainer* clips = decal->GetChildDecalClipContainer();
    for (HDecalClip* clip = clips ? clips->GetChildDecalClip() : nullptr; clip;
         clip = static_cast<HDecalClip*>(clip->GetSibling())) {
      if (const HImage* image = clip->GetClip()->GetClip()) images.insert(image);
    }
  }
  return static_cast<int>(images.size());
}

std::string Elapsed(std::time_t seconds) {
  if (seconds < 0) seconds = 0;
  if (seconds < 60) return std::to_string(seconds) + " s";
  if (seconds < 3600) return std::to_string(seconds / 60) + " min " + std::to_string(seconds % 60) + " s";
  return std::to_string(seconds / 3600) + " h " + std::to_string(seconds / 60 % 60) + " min";
}

}  // namespace

bool ExchangeStatus::Stamp::operator==(const Stamp& other) const {
  return regular == other.regular && device == other.device && inode == other.inode && size == other.size &&
         modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
}

ExchangeStatus::Stamp ExchangeStatus::StampOf(const std::string& path) {
  Stamp stamp;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return stamp;
  stamp.regular = true;
  stamp.device = info.st_dev;
  stamp.inode = info.st_ino;
  stamp.size = info.st_size;
  const long long modified = os::ModifiedNanoseconds(info);
  stamp.modified.tv_sec = static_cast<std::time_t>(modified / 1000000000);
  stamp.modified.tv_nsec = static_cast<long>(modified % 1000000000);
  return stamp;
}

std::string ExchangeStatus::DefaultFolder() {
  return exchange::FolderUnder(String::GetMyDocumentsPath().Get(), os::kPathSeparator);
}

ExchangeStatus::ExchangeStatus(HProject* project, std::string exchangeFolder, const LoadedPlugin* plugin)
    : project_(project), folder_(std::move(exchangeFolder)), plugin_(plugin) {
  if (!folder_.empty() && folder_.back() != '/') folder_ += '/';
  // What was there before the host started is no news.
  commandFile_ = StampOf(folder_ + exchange::kCommandFile);
  deletionListener_ = AddTreeObjectDeletionListener([this](HTreeObject* object) {
    std::erase_if(arrivals_, [object](HModelCache* model) { return static_cast<HTreeObject*>(model) == object; });
  });
  additionListener_ = AddTreeObjectAdditionListener([this](HTreeObject* object) { NoteAdded(object); });
  ticker_ = std::make_unique<HostTimer>(kLookMilliseconds, [this] { Look(); });
  if (plugin_ && plugin_->handle) {
    pluginBase_ = os::BaseOfModule(plugin_->handle);
    AfxSetTimerTickHook([this](TIMERPROC proc, bool starting) {
      const void* base = nullptr;
      std::string path;
      if (os::ModuleOfAddress(reinterpret_cast<const void*>(proc), base, path) && base == pluginBase_)
        AroundPluginTick(starting);
    });
  }
}

ExchangeStatus::~ExchangeStatus() {
  if (pluginBase_) AfxSetTimerTickHook({});
  ticker_.reset();
  RemoveTreeObjectAdditionListener(additionListener_);
  RemoveTreeObjectDeletionListener(deletionListener_);
}

void ExchangeStatus::BeforeCommand(HTreeObject* object, const LoadedPlugin& plugin) {
  Look();
  const bool watched = &plugin == plugin_;
  commandsWatched_.push_back(watched);
  if (!watched) return;
  if (pluginCalls_++ == 0) arrivals_.clear();  // models an earlier call added and no answer explained
  HModelCache* model = ModelOf(object);
  commandModel_ = model ? model->GetName().Get() : "";
  commandFile_ = StampOf(folder_ + exchange::kCommandFile);
}

void ExchangeStatus::AfterCommand() {
  Look();
  if (commandsWatched_.empty()) return;
  if (commandsWatched_.back()) {
    --pluginCalls_;
    commandModel_.clear();
  }
  commandsWatched_.pop_back();
}

void ExchangeStatus::AroundPluginTick(bool starting) {
  // Looked at first, the answer a tick takes was seen before it went.
  Look();
  if (starting) {
    if (pluginCalls_++ == 0) arrivals_.clear();  // models an earlier call added and no answer explained
    ++pluginTicks_;
    if (!watchedTick_ && receiveWatcher_ && answerPresent_ && !answerLeft_) {
      watchedTick_ = pluginTicks_;
      receiveWatcher_(true);
    }
    return;
  }
  --pluginCalls_;
  if (watchedTick_ == pluginTicks_) {
    watchedTick_ = 0;
    if (receiveWatcher_) receiveWatcher_(false);
  }
  --pluginTicks_;
}

void ExchangeStatus::Look() {
  LookForSend();
  LookForAnswer();
}

void ExchangeStatus::LookForSend() {
  // Only a command the host ran sends, and the command knows its model.
  if (commandModel_.empty()) return;
  const std::string commandPath = folder_ + exchange::kCommandFile;
  const Stamp command = StampOf(commandPath);
  if (!command.regular || command == commandFile_) return;
  std::string modelFile, mode;
  if (!ReadCommandHead(commandPath, modelFile, mode)) return;
  // The send writes the model file after the command file: an older model file
  // means the send is not through (or failed), and Pigmora would read the old one.
  const Stamp model = StampOf(modelFile);
  if (!model.regular || Newer(command.modified, model.modified)) return;
  commandFile_ = command;
  sentAt_ = command.modified.tv_sec;
  Report("Sent \"" + Echoed(commandModel_) + "\" to Pigmora" + (mode.empty() ? "" : " (" + ModeWords(mode) + ")") +
             ", waiting for its answer",
         true);
}

void ExchangeStatus::LookForLeftClaims(bool& claimTaken) {
  // A receive renames the answer file to "export.txt.claimed-..." while it
  // reads it: one still there a few seconds on was left by a receive that stopped.
  const std::string prefix = std::string(exchange::kAnswerFile) + exchange::kClaimedInfix;
  std::map<std::string, std::time_t> claims;
  std::error_code error;
  const std::time_t now = std::time(nullptr);
  try {
    for (std::filesystem::directory_iterator entry(folder_, error), end; !error && entry != end;
         entry.increment(error)) {
      std::error_code statusError;
      if (!std::filesystem::is_regular_file(entry->symlink_status(statusError)) || statusError) continue;
      const std::string name = entry->path().filename().string();
      if (name.rfind(prefix, 0) != 0) continue;
      const auto seen = claims_.find(name);
      claims.emplace(name, seen == claims_.end() ? now : seen->second);
    }
  } catch (const std::exception&) {
    return;  // a name this system cannot spell, or no memory: the next look tries again
  }
  if (error) return;  // the folder could not be read: nothing is known to have gone
  // This host's own receives hold their claims between two looks: a claim a look saw was another's.
  for (const auto& [name, since] : claims_)
    if (!claims.count(name)) claimTaken = true;
  claims_ = std::move(claims);
  bool left = false;
  for (const auto& [name, since] : claims_) left = left || now - since > kUntakenAnswerSeconds;
  if (left && !leftClaimReported_)
    Report("An answer a stopped receive had claimed is waiting: Plugins > Import > Pigmora");
  leftClaimReported_ = left;
}

void ExchangeStatus::LookForAnswer() {
  bool claimTaken = false;
  LookForLeftClaims(claimTaken);
  if (claimTaken) ReportReceivedModel("", true);
  const Stamp answer = StampOf(folder_ + exchange::kAnswerFile);
  const Stamp textures = StampOf(folder_ + exchange::kTextureListFile);
  const bool present = answer.regular && textures.regular;
  const bool changed = present && (!answerPresent_ || !(answer == answerFile_) || !(textures == texturesFile_));
  // An answer that went (or was replaced by a newer one) was taken by the receive
  // that brought the model, whether or not a look saw it lie there.
  if (!present || changed) ReportReceivedModel();
  answerPresent_ = present;
  if (!present) {
    answerLeft_ = false;
    return;
  }
  if (changed) {
    answerFile_ = answer;
    texturesFile_ = textures;
    answerSeenAt_ = std::time(nullptr);
    autoImportOff_ = GetRegistryValue(exchange::kRegistrySection, exchange::kAutoImportKey, 0) == 0;
    waitingReported_ = false;
  }
  // A receive that cannot remove the answer (a read-only exchange folder)
  // leaves it as it was and records it as taken; only a receive writes that
  // record, so it is read when the answer changed or the plug-in runs.
  if (changed || pluginCalls_ > 0) {
    answerLeft_ = exchange::AnswerPairVersion(folder_) ==
                  GetRegistryString(exchange::kRegistrySection, exchange::kAnswerLeftKey, "").Get();
    if (answerLeft_) ReportReceivedModel("; its answer could not be removed from the exchange folder");
  }
  if (waitingReported_ || answerLeft_) return;
  // An answer older than this host is the timer's too, once it has seen it.
  const std::time_t newest = std::max({answer.modified.tv_sec, textures.modified.tv_sec, answerSeenAt_});
  if (autoImportOff_ || std::time(nullptr) - newest > kUntakenAnswerSeconds) {
    waitingReported_ = true;
    Report("An answer from Pigmora is waiting: Plugins > Import > Pigmora");
  }
}

void ExchangeStatus::NoteAdded(HTreeObject* object) {
  // Models added outside the plug-in's calls are not its; the receive adds its model last.
  if (pluginCalls_ == 0 || !project_ || object->GetParent() != project_->GetChildObjectCacheContainer()) return;
  if (HModelCache* model = object->GetAsModelCache()) arrivals_.push_back(model);
}

void ExchangeStatus::NoteHostsOwnModel(const HTreeObject* model) {
  std::erase_if(arrivals_, [model](HModelCache* arrival) { return static_cast<const HTreeObject*>(arrival) == model; });
}

void ExchangeStatus::ReportReceivedModel(const char* afterwards, bool takenBack) {
  HModelCache* received = Arrived();
  if (!received) return;
  arrivals_.clear();
  Report("Received \"" + Echoed(received->GetName().Get()) + "\" from Pigmora" +
         (takenBack ? " (taken back from a receive that stopped)" : "") + ": " +
         Counted(received->GetPatchCount(), "patch", "patches") + ", " +
         Counted(received->CountGroups(), "group", "groups") + ", " +
         Counted(CountImages(*received), "image", "images") + afterwards);
}

void ExchangeStatus::Report(std::string line, bool isSend) {
  // One line, whatever a model's name holds: scripts read the output line by line.
  for (char& c : line)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
  line_ = std::move(line);
  ++lineCount_;
  lineIsSend_ = isSend;
  if (reporter_) reporter_(line_);
}

std::string ExchangeStatus::LineWithTime(std::time_t now) const {
  if (!lineIsSend_) return line_;
  return line_ + " (" + Elapsed(now - sentAt_) + ")";
}
