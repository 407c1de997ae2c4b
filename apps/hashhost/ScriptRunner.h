#pragma once

#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "DialogCommands.h"
#include "ScriptParser.h"

class ExchangeStatus;
class HModelCache;
class HProject;
class PluginHost;

// Runs script commands against the host's project and its loaded plug-ins.
// Output goes to `out`; the first failing command is reported on `err` as one
// line naming the command and where it stands, and the run stops there. A
// command during which a plug-in showed an error box (WatchMessageBoxes
// counts them) is reported on `err` too; the run goes on, but fails.
class ScriptRunner {
public:
  ScriptRunner(HProject* project, PluginHost& plugins, std::ostream& out, std::ostream& err);

  // Returns true when every command succeeded and no plug-in showed an error
  // box. While a command runs a modal dialog, the commands after it are run
  // by that dialog's loop.
  bool Run(const std::vector<ScriptCommand>& commands);

  // A command of the host's own (its window adds some); it runs before the built-in ones.
  using ExtraCommand = std::function<bool(const std::vector<std::string>& words, std::string& problem)>;
  void AddCommand(const std::string& verb, ExtraCommand command) { extra_[verb] = std::move(command); }

  void SetScreenshooter(DialogCommands::Screenshooter screenshooter) {
    dialog_ = DialogCommands(std::move(screenshooter));
  }
  // Told of every model `save-obj` wrote out.
  void SetModelSavedListener(std::function<void(HModelCache*)> listener) { modelSaved_ = std::move(listener); }
  // Told around every plug-in command the script runs; null for none.
  void SetExchangeStatus(ExchangeStatus* status) { status_ = status; }

private:
  // Runs the next command; false when none is left or it failed.
  bool RunNext();
  bool Execute(const ScriptCommand& command, std::string& problem);
  bool ListPlugins(const std::vector<std::string>& words, std::string& problem);
  bool RunPluginCommand(const std::vector<std::string>& words, std::string& problem);
  bool Wait(const std::vector<std::string>& words, std::string& problem);
  bool WaitFor(const std::vector<std::string>& words, std::string& problem);
  bool PrintTree(const std::vector<std::string>& words, std::string& problem);
  bool OpenObj(const std::vector<std::string>& words, std::string& problem);
  bool SaveObj(const std::vector<std::string>& words, std::string& problem);
  bool Render(const std::vector<std::string>& words, std::string& problem);

  HProject* project_;
  PluginHost& plugins_;
  std::ostream& out_;
  std::ostream& err_;
  DialogCommands dialog_;
  std::map<std::string, ExtraCommand> extra_;
  ExchangeStatus* status_ = nullptr;
  std::function<void(HModelCache*)> modelSaved_;
  const std::vector<ScriptCommand>* commands_ = nullptr;
  std::size_t next_ = 0;
  bool failed_ = false;
  // Commands running now, outermost first (later commands run inside a
  // dialog that an earlier one opened): the error-box count at each one's
  // start, and the boxes the commands inside it showed.
  struct Running {
    int boxesAtStart;
    int boxesInside;
  };
  std::vector<Running> running_;
  int errorBoxes_ = 0;  // shown during this run
};

// The commands a script may use, one line each, for --help.
const char* ScriptCommandSummary();
