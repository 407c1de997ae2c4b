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
#include <common/HugePages.h>
#include <common/OsModules.h>
#include <common/ToolOptions.h>

#include "Echoed.h"
#include "ErrorBoxes.h"
#include "ExchangeStatus.h"
#include "HostWindow.h"
#include "PluginHost.h"
#include "ScriptParser.h"
#include "ScriptRunner.h"

namespace {

#ifdef __GLIBC__
constexpr const char* kTunablesHelp =
    "  GLIBC_TUNABLES        without glibc.malloc.hugetlb, hashhost starts once more with it set to 1, so\n"
    "                        large models get huge pages; glibc.malloc.hugetlb=0 keeps small pages\n";
#else
constexpr const char* kTunablesHelp = "";
#endif

// The script commands come from the runner, so the help always lists what it understands.
common::ToolHelp Help() {
  static const std::string text =
      std::string(
          "Usage: hashhost [--plugins DIR] [--gui] [-c \"COMMAND; COMMAND; ...\" | --script FILE]\n"
          "\n"
          "A stand-in for the Hash Animator host: loads the command plug-ins (*.hxt) of its plug-in\n"
          "folder and holds a project with a built-in sample model. With a display and no script (or\n"
          "with --gui) it opens its window; a script then runs with the windows up. With neither a\n"
          "display nor a script it lists the plug-ins and prints the project tree.\n"
          "\n"
          "Options:\n"
          "  -c, --command SCRIPT  run the script commands given, separated by \";\" or line ends\n"
          "  --script FILE         run the script commands of FILE\n"
          "  --gui                 open the window (needs a display); a script then acts in it\n"
          "  --plugins DIR         load the plug-ins of DIR instead of the default plug-in folder\n"
          "  -h, --help            print this help and exit\n"
          "  --version             print the version and exit\n"
          "\n"
          "Script commands:\n") +
      ScriptCommandSummary() + WindowCommandSummary() +
      "Commands after a run that opens a dialog act in it; the dialog still open at the end is closed.\n"
      "What the exchange with Pigmora does (sent, answer waiting, received) is printed as lines that\n"
      "begin with \"status: \".\n"
      "\n"
      "Environment:\n"
      "  HASH_DOCUMENTS_DIR    the documents folder (else the XDG documents folder or $HOME/Documents)\n"
      "  HASH_REGISTRY_FILE    the registry file (else $XDG_CONFIG_HOME/hash-animator/registry.ini)\n" +
      kTunablesHelp +
      "\n"
      "Exit status:\n"
      "  0 when every command succeeded, 1 when a command failed, 2 for wrong arguments.\n";
  return {"hashhost", text.c_str()};
}

// Where the plug-ins are installed, from the installed tree's top (the install rules say).
#ifndef PIGMORA_INSTALLED_PLUGIN_DIR
#define PIGMORA_INSTALLED_PLUGIN_DIR "lib/hashhost/plugins"
#endif

// bin/plugins in a build tree; lib/TRIPLET/hashhost/plugins beside bin/ in an installed tree.
std::string DefaultPluginFolder() {
  std::error_code error;
  const std::filesystem::path executable = os::ExecutablePath();
  if (executable.empty()) return "plugins";
  const auto besideHost = executable.parent_path() / "plugins";
  const auto installed = executable.parent_path().parent_path() / PIGMORA_INSTALLED_PLUGIN_DIR;
  if (!std::filesystem::is_directory(besideHost, error) && std::filesystem::is_directory(installed, error))
    return installed.string();
  return besideHost.string();
}

// False with the reason when the script cannot be read. Only a regular file
// of a sensible size is read: a device or pipe could block or never end.
bool ReadScript(const std::string& path, std::string& text, std::string& reason) {
  constexpr std::uintmax_t kLargestScript = 16u << 20;
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (error) {
    reason = error.message();
    return false;
  }
  if (std::filesystem::is_directory(status)) {
    reason = "it is a folder";
    return false;
  }
  if (!std::filesystem::is_regular_file(status)) {
    reason = "it is not a regular file (a device, pipe or socket)";
    return false;
  }
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (!error && size > kLargestScript) {
    reason = "it is larger than the 16 MiB a script may have";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    reason = std::strerror(errno);
    return false;
  }
  std::ostringstream buffer;
  if (in.peek() != std::ifstream::traits_type::eof()) buffer << in.rdbuf();
  if (in.bad() || buffer.str().size() > kLargestScript) {
    reason = in.bad() ? "it cannot be read" : "it is larger than the 16 MiB a script may have";
    return false;
  }
  text = buffer.str();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  RestartWithHugePages(argv);
  std::string pluginFolder = DefaultPluginFolder();
  std::string scriptText = "plugins; tree";
  std::string scriptSource;  // empty for -c
  bool scriptGiven = false;
  bool gui = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool takesValue = arg == "-c" || arg == "--command" || arg == "--script" || arg == "--plugins";
    if (takesValue && i + 1 >= argc) return common::RefuseArguments(Help(), arg + " needs a value");
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
    } else if (common::AnswerStandardOption(Help(), arg)) {
      return common::kToolStatusDone;
    } else {
      return common::RefuseArguments(Help(), "unknown argument '" + Echoed(arg) + "'");
    }
  }

  std::vector<ScriptCommand> commands;
  std::string parseError;
  if (!ParseScript(scriptText, scriptSource, commands, parseError)) {
    std::cerr << "hashhost: " << parseError << "\n";
    return 2;
  }

  // Message boxes are echoed on standard error; error boxes fail a script run.
  WatchMessageBoxes(std::cerr);

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
    if (const LoadedPlugin* pigmora = plugins.Find("Pigmora")) {
      exchange = std::make_unique<ExchangeStatus>(project, ExchangeStatus::DefaultFolder(), pigmora);
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
