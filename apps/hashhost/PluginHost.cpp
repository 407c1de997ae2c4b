#include "PluginHost.h"

#include <algorithm>
#include <filesystem>

#include <FileIO/String.h>
#include <afxhost.h>
#include <common/OsModules.h>

namespace {
// A plug-in with more commands than this is treated as broken.
constexpr int kMaxCommandsPerPlugin = 256;
}  // namespace

PluginHost::~PluginHost() { UnloadAll(); }

void PluginHost::LoadFolder(const std::string& folder, std::vector<std::string>& problems) {
  std::error_code error;
  std::vector<std::string> paths;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.path().extension() == ".hxt") paths.push_back(entry.path().string());
  }
  if (error) {
    problems.push_back("cannot read the plug-in folder " + folder + ": " + error.message());
    return;
  }
  std::sort(paths.begin(), paths.end());
  for (const std::string& path : paths) {
    std::string problem;
    if (!Load(path, problem)) problems.push_back(problem);
  }
}

bool PluginHost::Load(const std::string& path, std::string& problem) {
  std::string why;
  void* handle = os::LoadModule(path, why);
  if (!handle) {
    problem = "cannot load plug-in " + path + ": " + why;
    return false;
  }
  if (!AfxModuleAttachSucceeded(handle)) {
    problem = "plug-in " + path + " refused to start (its application failed to initialise)";
    os::UnloadModule(handle);
    return false;
  }
  LoadedPlugin plugin;
  plugin.path = path;
  plugin.stem = std::filesystem::path(path).stem().string();
  plugin.handle = handle;
  plugin.loadCommandEntry =
      reinterpret_cast<HxtLoadCommandEntryFn>(os::FindSymbol(handle, HXT_LOAD_COMMAND_ENTRY_NAME));
  plugin.onAddCommandMenu =
      reinterpret_cast<HxtOnAddCommandMenuFn>(os::FindSymbol(handle, HXT_ON_ADD_COMMAND_MENU_NAME));
  plugin.onCommand = reinterpret_cast<HxtOnCommandFn>(os::FindSymbol(handle, HXT_ON_COMMAND_NAME));
  if (!plugin.loadCommandEntry || !plugin.onAddCommandMenu || !plugin.onCommand) {
    problem = "plug-in " + path + " lacks the command entry points";
    os::UnloadModule(handle);
    return false;
  }
  for (int index = 0; index < kMaxCommandsPerPlugin; ++index) {
    PluginCommand command;
    command.index = index;
    if (!plugin.loadCommandEntry(index, command.entryCode)) break;
    String caption;
    plugin.onAddCommandMenu(nullptr, index, caption, command.menuValue1, command.menuValue2);
    command.caption = caption.Get();
    plugin.commands.push_back(command);
  }
  plugins_.push_back(std::move(plugin));
  return true;
}

void PluginHost::UnloadAll() {
  while (!plugins_.empty()) {
    os::UnloadModule(plugins_.back().handle);
    plugins_.pop_back();
  }
}

LoadedPlugin* PluginHost::Find(const std::string& stem) {
  for (LoadedPlugin& plugin : plugins_)
    if (plugin.stem == stem) return &plugin;
  return nullptr;
}
