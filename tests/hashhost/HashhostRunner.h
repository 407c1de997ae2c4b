#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "CommandRun.h"
#include "ScratchFolder.h"

// Runs the hashhost executable with the given arguments (already quoted for
// the shell) in the scratch folder's environment, without a display, and
// collects what it printed. A run that hangs is stopped after ten minutes
// (exit code 124), beyond the waits of a slow sanitizer build on a busy machine.
using HashhostRun = CommandRun;

// `prefix` goes before the command (another user's, say).
inline HashhostRun RunHashhost(const ScratchFolder& scratch, const std::string& arguments,
                               const std::string& prefix = "") {
  const std::filesystem::path errPath = scratch.Root() / "hashhost.stderr";
  // Without DISPLAY: a run without a script stays in script mode instead of opening a window.
  const std::string command = prefix + "env -u DISPLAY timeout 600 '" + HASHHOST_PATH + "' " + arguments;
  return RunCapturing(command, errPath);
}
