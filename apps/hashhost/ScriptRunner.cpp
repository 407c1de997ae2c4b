#include "ScriptRunner.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <ostream>
#include <sstream>

#include <FileIO/String.h>
#include <Plugin/HModelCache.h>
#include <Plugin/HostProject.h>
#include <afxhost.h>

#include "Echoed.h"
#include "ErrorBoxes.h"
#include "ExchangeStatus.h"
#include "ModelPicture.h"
#include "PluginHost.h"

namespace {

bool ParseInt(const std::string& text, int& value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end;
}

// Seconds as plain decimal digits with an optional fraction: "1", "0.25".
bool ParseSeconds(const std::string& text, double& seconds) {
  std::size_t digits = 0, points = 0;
  for (char c : text) {
    if (c >= '0' && c <= '9')
      ++digits;
    else if (c == '.')
      ++points;
    else
      return false;
  }
  if (digits == 0 || points > 1) return false;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, seconds, std::chars_format::fixed);
  return ec == std::errc() && ptr == end;
}

// Whether the C library would take the word for a number (hex, exponent, inf).
bool LooksNumeric(const std::string& text) {
  char* end = nullptr;
  std::strtod(text.c_str(), &end);
  return !text.empty() && end && *end == '\0';
}

constexpr double kLongestWait = 24 * 3600;

bool ExpectWords(const std::vector<std::string>& words, std::size_t least, std::size_t most, const char* usage,
                 std::string& problem) {
  if (words.size() >= least && words.size() <= most) return true;
  problem = std::string("usage: ") + usage;
  return false;
}

}  // namespace

static const char* HostCommandSummary() {
  return "  plugins                      list each plug-in with its commands\n"
         "  run PLUGIN INDEX [OBJECT]    run a plug-in command on a tree object\n"
         "                               (\"Objects\", \"Objects/NAME\", \"Scenes/SCENE/NAME\"; none: the project)\n"
         "  wait SECONDS                 run the message loop so timers tick\n"
         "  wait-for TEXT SECONDS        run the message loop until the status line says TEXT; the\n"
         "                               script fails when it does not within SECONDS\n"
         "  tree                         print the project tree\n"
         "  open PATH.obj                add a model from a Wavefront OBJ file\n"
         "  save-obj MODEL PATH.obj      write a model as OBJ and MTL with its textures\n"
         "  render MODEL PATH.png [WIDTH HEIGHT] [VIEW] [--shading MODE]\n"
         "                               draw a model off screen as a PNG (no display needed);\n"
         "                               VIEW is front, back, left, right, top or iso, MODE is\n"
         "                               paint, lit, normal, specular or displacement\n"
         "                               (640 x 480, iso and lit unless given)\n";
}

const char* ScriptCommandSummary() {
  static const std::string summary = std::string(HostCommandSummary()) + DialogCommands::Summary();
  return summary.c_str();
}

ScriptRunner::ScriptRunner(HProject* project, PluginHost& plugins, std::ostream& out, std::ostream& err)
    : project_(project), plugins_(plugins), out_(out), err_(err) {}

bool ScriptRunner::Run(const std::vector<ScriptCommand>& commands) {
  commands_ = &commands;
  next_ = 0;
  failed_ = false;
  errorBoxes_ = 0;
  running_.clear();
  // A dialog opened by a command asks for its input here; when the script
  // has nothing left (or failed) the dialog closes as by its close box.
  AfxGetDisplay().SetModalDriver([this](HWND) { return RunNext(); });
  while (RunNext()) {}
  AfxGetDisplay().SetModalDriver({});
  commands_ = nullptr;
  if (errorBoxes_ > 0 && !failed_)
    err_ << "hashhost: the script fails: plug-ins showed " << errorBoxes_ << " error box"
         << (errorBoxes_ == 1 ? "" : "es") << std::endl;
  return !failed_ && errorBoxes_ == 0;
}

bool ScriptRunner::RunNext() {
  if (failed_ || !commands_ || next_ >= commands_->size()) return false;
  const ScriptCommand& command = (*commands_)[next_++];
  std::string problem;
  running_.push_back(Running{ErrorBoxesShown(), 0});
  const bool succeeded = Execute(command, problem);
  const int boxes = ErrorBoxesShown() - running_.back().boxesAtStart;
  const int ownBoxes = boxes - running_.back().boxesInside;
  running_.pop_back();
  if (running_.empty())
    errorBoxes_ += boxes;
  else
    running_.back().boxesInside += boxes;
  if (ownBoxes > 0) {
    out_.flush();
    err_ << "hashhost: " << command.location << " (" << Echoed(command.words.front()) << "): a plug-in showed "
         << (ownBoxes == 1 ? std::string("an error box") : std::to_string(ownBoxes) + " error boxes") << std::endl;
  }
  if (succeeded) return true;
  out_.flush();
  err_ << "hashhost: " << command.location << " (" << Echoed(command.words.front()) << "): " << problem << std::endl;
  failed_ = true;
  return false;
}

bool ScriptRunner::Execute(const ScriptCommand& command, std::string& problem) {
  const std::string& verb = command.words.front();
  if (auto extra = extra_.find(verb); extra != extra_.end()) return extra->second(command.words, problem);
  if (verb == "plugins") return ListPlugins(command.words, problem);
  if (verb == "run") return RunPluginCommand(command.words, problem);
  if (verb == "wait") return Wait(command.words, problem);
  if (verb == "wait-for") return WaitFor(command.words, problem);
  if (verb == "tree") return PrintTree(command.words, problem);
  if (verb == "open") return OpenObj(command.words, problem);
  if (verb == "save-obj") return SaveObj(command.words, problem);
  if (verb == "render") return Render(command.words, problem);
  if (DialogCommands::Handles(verb)) return dialog_.Execute(command.words, problem);
  problem = "unknown command '" + Echoed(verb) + "'";
  return false;
}

bool ScriptRunner::ListPlugins(const std::vector<std::string>& words, std::string& problem) {
  if (!ExpectWords(words, 1, 1, "plugins", problem)) return false;
  for (const LoadedPlugin& plugin : plugins_.Plugins()) {
    out_ << plugin.stem << "\n";
    for (const PluginCommand& command : plugin.commands) {
      out_ << "  " << command.index << " entry=" << command.entryCode << " caption=\"" << command.caption
           << "\" menu=" << command.menuValue1 << "," << command.menuValue2 << "\n";
    }
  }
  out_.flush();
  return true;
}

bool ScriptRunner::RunPluginCommand(const std::vector<std::string>& words, std::string& problem) {
  if (!ExpectWords(words, 3, 4, "run PLUGIN INDEX [OBJECT]", problem)) return false;
  LoadedPlugin* plugin = plugins_.Find(words[1]);
  if (!plugin) {
    problem = "unknown plug-in '" + Echoed(words[1]) + "'";
    return false;
  }
  int index = 0;
  if (!ParseInt(words[2], index) || index < 0 || index >= static_cast<int>(plugin->commands.size())) {
    problem = "plug-in '" + plugin->stem + "' has no command '" + Echoed(words[2]) + "'";
    return false;
  }
  const std::string objectPath = words.size() == 4 ? words[3] : std::string();
  HTreeObject* object = FindTreeObjectByPath(project_, objectPath.c_str());
  if (!object) {
    problem = "no object '" + Echoed(objectPath) + "' in the project";
    return false;
  }
  if (status_) status_->BeforeCommand(object, *plugin);
  const int result = plugin->onCommand(object, index);
  out_ << "run " << plugin->stem << " " << index << (objectPath.empty() ? "" : " ") << objectPath
       << ": result=" << result << std::endl;
  if (status_) status_->AfterCommand();
  return true;
}

bool ScriptRunner::Wait(const std::vector<std::string>& words, std::string& problem) {
  if (!ExpectWords(words, 2, 2, "wait SECONDS", problem)) return false;
  constexpr double kLimit = kLongestWait;
  double seconds = 0;
  if (!ParseSeconds(words[1], seconds)) {
    problem = "'" + Echoed(words[1]) + "' is not a " + (LooksNumeric(words[1]) ? "decimal " : "") + "number of seconds";
    return false;
  }
  if (seconds > kLimit) {
    problem = "'" + Echoed(words[1]) + "' seconds is more than the 24-hour limit (86400)";
    return false;
  }
  AfxRunMessageLoop(static_cast<unsigned>(std::lround(seconds * 1000.0)));
  return true;
}

// Waits for what the script needs rather than for a time that a busy machine may not keep.
bool ScriptRunner::WaitFor(const std::vector<std::string>& words, std::string& problem) {
  if (!ExpectWords(words, 3, 3, "wait-for TEXT SECONDS", problem)) return false;
  double seconds = 0;
  if (!ParseSeconds(words[2], seconds) || seconds > kLongestWait) {
    problem = "'" + Echoed(words[2]) + "' is not a number of seconds up to 86400";
    return false;
  }
  if (!status_) {
    problem = "the status line is not shown in this run";
    return false;
  }
  const std::string& text = words[1];
  auto says = [&] { return status_->Line().find(text) != std::string::npos; };
  if (says() || AfxRunMessageLoopUntil(says, static_cast<ULONGLONG>(std::llround(seconds * 1000.0)))) return true;
  problem = "the status line did not say '" + Echoed(text) + "' within " + words[2] + " seconds; it says '" +
            Echoed(status_->Line()) + "'";
  return false;
}

bool ScriptRunner::PrintTree(const std::vector<std::string>& words, std::string& problem) {
  if (!ExpectWords(words, 1, 1, "tree", problem)) return false;
  PrintProjectTree(project_, out_);
  out_.flush();
  return true;
}

bool ScriptRunner::OpenObj(const std::vector<std::string>& words, std::string& problem) {
  if (!ExpectWords(words, 2, 2, "open PATH.obj", problem)) return false;
  String error, warnings;
  HModelCache* model = ImportObjFile(project_, words[1].c_str(), error, warnings);
  if (!warnings.IsEmpty()) err_ << warnings.Get() << (warnings.Get()[warnings.Length() - 1] == '\n' ? "" : "\n");
  if (!model) {
    problem = error.IsEmpty() ? "cannot open '" + Echoed(words[1]) + "'" : std::string(error.Get());
    return false;
  }
  if (status_) status_->NoteHostsOwnModel(model);
  out_ << "opened " << words[1] << std::endl;
  return true;
}

bool ScriptRunner::SaveObj(const std::vector<std::string>& words, std::string& problem) {
  if (!ExpectWords(words, 3, 3, "save-obj MODEL PATH.obj", problem)) return false;
  HTreeObject* object = FindTreeObjectByPath(project_, ("Objects/" + words[1]).c_str());
  HModelCache* model = object ? object->GetAsModelCache() : nullptr;
  if (!model) {
    problem = "no model '" + Echoed(words[1]) + "' in the project";
    return false;
  }
  String error, warnings;
  if (!SaveModelAsObj(model, words[2].c_str(), error, warnings)) {
    problem = error.IsEmpty() ? "cannot write '" + Echoed(words[2]) + "'" : std::string(error.Get());
    return false;
  }
  if (modelSaved_) modelSaved_(model);
  out_ << "saved " << words[1] << " to " << words[2] << std::endl;
  std::istringstream lines(warnings.Get());
  for (std::string line; std::getline(lines, line);)
    err_ << "hashhost: save-obj " << Echoed(words[1]) << ": " << line << "\n";
  return true;
}

bool ScriptRunner::Render(const std::vector<std::string>& allWords, std::string& problem) {
  constexpr const char* kUsage =
      "render MODEL PATH.png [WIDTH HEIGHT] [front|back|left|right|top|iso] "
      "[--shading paint|lit|normal|specular|displacement]";
  constexpr int kLargestSide = 8192;
  std::vector<std::string> words = allWords;
  ViewShading shading = ViewShading::Lit;
  const auto option = std::find(words.begin(), words.end(), "--shading");
  if (option != words.end()) {
    if (option + 1 == words.end() || !ParseViewShading(*(option + 1), shading)) {
      problem = "--shading takes paint, lit, normal, specular or displacement";
      return false;
    }
    words.erase(option, option + 2);
  }
  if (!ExpectWords(words, 3, 6, kUsage, problem)) return false;
  HTreeObject* object = FindTreeObjectByPath(project_, ("Objects/" + words[1]).c_str());
  HModelCache* model = object ? object->GetAsModelCache() : nullptr;
  if (!model) {
    problem = "no model '" + Echoed(words[1]) + "' in the project";
    return false;
  }
  const std::string& path = words[2];
  if (path.size() < 4 ||
      (path.compare(path.size() - 4, 4, ".png") != 0 && path.compare(path.size() - 4, 4, ".PNG") != 0)) {
    problem = "'" + Echoed(path) + "' is not a .png file name; render writes PNG";
    return false;
  }
  int width = 640, height = 480;
  std::size_t next = 3;
  if (words.size() >= 5) {
    if (!ParseInt(words[3], width) || !ParseInt(words[4], height) || width < 1 || height < 1 || width > kLargestSide ||
        height > kLargestSide) {
      problem = "the size '" + Echoed(words[3]) + " " + Echoed(words[4]) + "' is not two whole numbers from 1 to " +
                std::to_string(kLargestSide);
      return false;
    }
    next = 5;
  }
  ViewDirection direction = ViewDirection::Iso;
  if (words.size() > next && !ParseViewDirection(words[next], direction)) {
    problem = "'" + Echoed(words[next]) + "' is not a view (front, back, left, right, top or iso)";
    return false;
  }
  ModelPicture picture;
  if (!DrawModelPicture(*model, width, height, direction, shading, picture, problem)) return false;
  for (const std::string& note : picture.notes) err_ << "hashhost: render " << Echoed(words[1]) << ": " << note << "\n";
  if (!WritePicturePng(picture, path, problem)) return false;
  out_ << "rendered " << words[1] << " to " << path << std::endl;
  return true;
}
