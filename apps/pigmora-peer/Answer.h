#pragma once

#include <csignal>
#include <string>

struct PeerOptions {
  std::string exchangeDir;  // with a trailing separator
  bool ascii = false;
  int imageSize = 512;
  // Set by a signal: the answer stops before its next file, leaving none.
  const volatile std::sig_atomic_t* stop = nullptr;
};

// Answers the command file of the exchange folder as Pigmora would: its own
// FBX file with the model's first mesh (with UVs laid out anew when some
// polygon has none), one painted image per material and requested channel,
// then "textures.txt" and last "export.txt". The previous answer's pair goes
// before any file is overwritten. Each model's files carry its name, so the
// answers for two models never share a file. False with the reason, and no
// answer pair, when the command or model file is unusable or a file cannot be
// written. report lists what was written.
bool AnswerCommand(const PeerOptions& options, std::string& report, std::string& problem);
