#pragma once

#include <string>
#include <vector>

#include <Plugin/CommandPlugin.h>

// One command a plug-in offers, as its entry points describe it.
struct PluginCommand {
  int index = 0;
  int entryCode = 0;
  std::string caption;
  int menuValue1 = 0;
  int menuValue2 = 0;
};

// A loaded *.hxt module and its entry points.
struct LoadedPlugin {
  std::string stem;  // file name without ".hxt"
  std::string path;
  void* handle = nullptr;
  HxtLoadCommandEntryFn loadCommandEntry = nullptr;
  HxtOnAddCommandMenuFn onAddCommandMenu = nullptr;
  HxtOnCommandFn onCommand = nullptr;
  std::vector<PluginCommand> commands;
};

// Loads every plug-in of a folder at start and unloads them, last first, at the end.
class PluginHost {
public:
  PluginHost() = default;
  PluginHost(const PluginHost&) = delete;
  PluginHost& operator=(const PluginHost&) = delete;
  ~PluginHost();

  // Loads every *.hxt of the folder in name order. Modules that fail to load
  // are reported in `problems` (one line each) and skipped.
  void LoadFolder(const std::string& folder, std::vector<std::string>& problems);
  void UnloadAll();

  const std::vector<LoadedPlugin>& Plugins() const { return plugins_; }
  LoadedPlugin* Find(const std::string& stem);

private:
  bool Load(const std::string& path, std::string& problem);

  std::vector<LoadedPlugin> plugins_;
};
