#pragma once

// Running the project's programs and other tools from tests, as a shell would.
#if !defined(_WIN32)
#include <sys/wait.h>
#endif

#include <cstdio>
#include <filesystem>
#include <string>

#include "ScratchFolder.h"

#if defined(_WIN32)
#define popen _popen
#define pclose _pclose
#endif

// The exit code a closed pipe's status holds (Windows hands the code over as it is).
inline int ExitCodeOf(int status) {
#if defined(_WIN32)
  return status;
#else
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

struct CommandRun {
  int exitCode = -1;  // -1 when the command could not run or did not exit normally
  std::string out;
  std::string err;
};

// The exit code of a shell command line; its standard output and error, together, into `output`.
inline int RunCommand(const std::string& command, std::string* output = nullptr) {
  std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return -1;
  char buffer[4096];
  std::size_t n;
  std::string text;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  const int status = pclose(pipe);
  if (output) *output = text;
  return ExitCodeOf(status);
}

// A program's path as the system's shell takes it on a command line: in single quotes for sh;
// for cmd, absolute with backslashes and in double quotes, since cmd runs no path that starts
// with '/' (Windows roots such a path on the current drive, as std::filesystem::absolute does).
inline std::string QuotedProgram(const std::filesystem::path& program) {
#if defined(_WIN32)
  return '"' + std::filesystem::absolute(program).make_preferred().string() + '"';
#else
  std::string quoted = "'";
  for (char c : program.string()) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
#endif
}

// Runs one of the project's programs with its arguments (already shell words); its exit code,
// its standard output and error together into `output`.
inline int RunProgram(const std::filesystem::path& program, const std::string& arguments,
                      std::string* output = nullptr) {
  return RunCommand(QuotedProgram(program) + " " + arguments, output);
}

// A shell command line with its standard output and standard error kept apart;
// the error goes through `errPath`, a file in the test's scratch folder.
inline CommandRun RunCapturing(const std::string& command, const std::filesystem::path& errPath) {
  CommandRun run;
  if (std::FILE* pipe = popen((command + " 2>'" + errPath.string() + "'").c_str(), "r")) {
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, got);
    const int status = pclose(pipe);
    run.exitCode = ExitCodeOf(status);
  }
  run.err = ScratchFolder::ReadFile(errPath);
  return run;
}
