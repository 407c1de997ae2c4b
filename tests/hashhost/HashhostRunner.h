#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "ScratchFolder.h"

// Runs the hashhost executable with the given arguments (already quoted for
// the shell) in the scratch folder's environment, without a display, and
// collects what it printed.
struct HashhostRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

inline HashhostRun RunHashhost(const ScratchFolder& scratch, const std::string& arguments) {
  const std::filesystem::path errPath = scratch.Root() / "hashhost.stderr";
  // Without DISPLAY: a run without a script stays in script mode instead of opening a window.
  const std::string command =
      std::string("env -u DISPLAY '") + HASHHOST_PATH + "' " + arguments + " 2>'" + errPath.string() + "'";
  HashhostRun run;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    std::size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, got);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  run.err = ScratchFolder::ReadFile(errPath);
  return run;
}
