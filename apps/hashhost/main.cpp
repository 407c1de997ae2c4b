// hashhost: a small stand-in for the host application. It loads the command
// plug-ins (*.hxt) of its plug-in folder, holds a project (with a built-in
// sample model) and runs a script of commands against them.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <Plugin/HostProject.h>
#include <afxhost.h>

#include "PluginHost.h"
#include "ScriptParser.h"
#include "ScriptRunner.h"

namespace {

void PrintUsage(std::ostream& out) {
  out << "usage: hashhost [--plugins DIR] [-c \"COMMAND; COMMAND; ...\" | --script FILE]\n"
         "Without a script it lists the plug-ins and prints the project tree.\n"
         "Script commands:\n"
      << ScriptCommandSummary();
}

// bin/plugins in a build tree; lib/hashhost/plugins beside bin/ in an installed tree.
std::string DefaultPluginFolder() {
  std::error_code error;
  const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return "plugins";
  const auto besideHost = executable.parent_path() / "plugins";
  const auto installed = executable.parent_path().parent_path() / "lib" / "hashhost" / "plugins";
  if (!std::filesystem::is_directory(besideHost, error) && std::filesystem::is_directory(installed, error))
    return installed.string();
  return besideHost.string();
}

bool ReadFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  text = buffer.str();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string pluginFolder = DefaultPluginFolder();
  std::string scriptText = "plugins; tree";
  std::string scriptSource;  // empty for -c
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if ((arg == "-c" || arg == "--command") && hasValue) {
      scriptText = argv[++i];
      scriptSource.clear();
    } else if (arg == "--script" && hasValue) {
      scriptSource = argv[++i];
      if (!ReadFile(scriptSource, scriptText)) {
        std::cerr << "hashhost: cannot read script " << scriptSource << "\n";
        return 2;
      }
    } else if (arg == "--plugins" && hasValue) {
      pluginFolder = argv[++i];
    } else if (arg == "-h" || arg == "--help") {
      PrintUsage(std::cout);
      return 0;
    } else {
      std::cerr << "hashhost: unknown argument '" << arg << "'\n";
      PrintUsage(std::cerr);
      return 2;
    }
  }

  std::vector<ScriptCommand> commands;
  std::string parseError;
  if (!ParseScript(scriptText, scriptSource, commands, parseError)) {
    std::cerr << "hashhost: " << parseError << "\n";
    return 2;
  }

  // Message boxes of the headless display are shown on standard error.
  AfxSetMessageBoxListener(
      [](const AfxMessageBoxRecord& box) { std::cerr << "[" << box.caption << "] " << box.text << std::endl; });

  HProject* project = CreateHostProject(true);
  int status = 0;
  {
    PluginHost plugins;
    std::vector<std::string> problems;
    plugins.LoadFolder(pluginFolder, problems);
    for (const std::string& problem : problems) std::cerr << "hashhost: " << problem << "\n";

    ScriptRunner runner(project, plugins, std::cout, std::cerr);
    if (!runner.Run(commands)) status = 1;
    plugins.UnloadAll();
  }
  DestroyHostProject(project);
  return status;
}
