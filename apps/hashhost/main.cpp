// hashhost: a small stand-in for the host application. It loads the command
// plug-ins (*.hxt) of its plug-in folder, holds a project (with a built-in
// sample model) and runs a script of commands against them.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <Plugin/HostProject.h>
#include <afxhost.h>

#include "Echoed.h"
#include "ExchangeStatus.h"
#include "HostWindow.h"
#include "PluginHost.h"
#include "ScriptParser.h"
#include "ScriptRunner.h"

namespace {

void PrintUsage(std::ostream& out) {
  out << "usage: hashhost [--plugins DIR] [--gui] [-c \"COMMAND; COMMAND; ...\" | --script FILE]\n"
         "With a display and no script (or with --gui) it opens its window; a script then runs with the\n"
         "windows up. With neither a display nor a script it lists the plug-ins and prints the project tree.\n"
         "Script commands:\n"
      << ScriptCommandSummary() << WindowCommandSummary()
      << "Commands after a run that opens a dialog act in it; the dialog still open at the end is closed.\n"
         "What the exchange with Pigmora does (sent, answer waiting, received) is printed as lines that\n"
         "begin with \"status: \".\n";
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

// False with the reason when the script cannot be read.
bool ReadScript(const std::string& path, std::string& text, std::string& reason) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    reason = "it is a folder";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    reason = std::strerror(errno);
    return false;
  }
  std::ostringstream buffer;
  if (in.peek() != std::ifstream::traits_type::eof()) buffer << in.rdbuf();
  if (in.bad()) {
    reason = "it cannot be read";
    return false;
  }
  text = buffer.str();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string pluginFolder = DefaultPluginFolder();
  std::string scriptText = "plugins; tree";
  std::string scriptSource;  // empty for -c
  bool scriptGiven = false;
  bool gui = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    const bool takesValue = arg == "-c" || arg == "--command" || arg == "--script" || arg == "--plugins";
    if (takesValue && !hasValue) {
      std::cerr << "hashhost: " << arg << " needs a value\n";
      PrintUsage(std::cerr);
      return 2;
    }
    if (arg == "-c" || arg == "--command") {
      scriptText = argv[++i];
      scriptSource.clear();
      scriptGiven = true;
    } else if (arg == "--script") {
      scriptSource = argv[++i];
      std::string reason;
      if (!ReadScript(scriptSource, scriptText, reason)) {
        std::cerr << "hashhost: cannot read script " << Echoed(scriptSource) << ": " << reason << "\n";
        return 2;
      }
      scriptGiven = true;
    } else if (arg == "--gui") {
      gui = true;
    } else if (arg == "--plugins") {
      pluginFolder = argv[++i];
    } else if (arg == "-h" || arg == "--help") {
      PrintUsage(std::cout);
      return 0;
    } else {
      std::cerr << "hashhost: unknown argument '" << Echoed(arg) << "'\n";
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

    // Windows when asked for, or when a person could see them and no script says otherwise.
    std::string noDisplay;
    const bool windowed = gui || (!scriptGiven && DisplayAvailable());
    std::unique_ptr<ExchangeStatus> exchange;
    if (plugins.Find("Pigmora")) {
      exchange = std::make_unique<ExchangeStatus>(project, ExchangeStatus::DefaultFolder());
      // A script's reader learns what a person reads in the status bar.
      if (scriptGiven || !windowed)
        exchange->SetReporter([](const std::string& line) { std::cout << "status: " << line << std::endl; });
    }
    if (windowed)
      status = RunWithWindows(project, plugins, exchange.get(), scriptGiven ? &commands : nullptr, noDisplay);
    if (windowed && !noDisplay.empty() && gui) {
      std::cerr << "hashhost: --gui needs a display: " << noDisplay << "\n";
    } else if (!windowed || !noDisplay.empty()) {
      ScriptRunner runner(project, plugins, std::cout, std::cerr);
      runner.SetExchangeStatus(exchange.get());
      AddWindowCommands(runner, nullptr);
      status = runner.Run(commands) ? 0 : 1;
    }
    exchange.reset();
    plugins.UnloadAll();
  }
  DestroyHostProject(project);
  return status;
}
