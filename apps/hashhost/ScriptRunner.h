#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "ScriptParser.h"

class HProject;
class PluginHost;

// Runs script commands against the host's project and its loaded plug-ins.
// Output goes to `out`; the first failing command is reported on `err` as one
// line naming the command and where it stands, and the run stops there.
class ScriptRunner {
public:
  ScriptRunner(HProject* project, PluginHost& plugins, std::ostream& out, std::ostream& err);

  // Returns true when every command succeeded.
  bool Run(const std::vector<ScriptCommand>& commands);

private:
  bool Execute(const ScriptCommand& command, std::string& problem);
  bool ListPlugins(const std::vector<std::string>& words, std::string& problem);
  bool RunPluginCommand(const std::vector<std::string>& words, std::string& problem);
  bool Wait(const std::vector<std::string>& words, std::string& problem);
  bool PrintTree(const std::vector<std::string>& words, std::string& problem);
  bool OpenObj(const std::vector<std::string>& words, std::string& problem);
  bool SaveObj(const std::vector<std::string>& words, std::string& problem);

  HProject* project_;
  PluginHost& plugins_;
  std::ostream& out_;
  std::ostream& err_;
};

// The commands a script may use, one line each, for --help.
const char* ScriptCommandSummary();
