#pragma once

#include <string>

struct PeerOptions {
  std::string exchangeDir;  // with a trailing separator
  bool ascii = false;
  int imageSize = 512;
};

// Answers the command file of the exchange folder as Pigmora would: its own
// FBX file with the model's first mesh, one painted image per material and
// requested channel, then "textures.txt" and last "export.txt". False with the
// reason, and no answer files, when the command or model file is unusable.
// report lists what was written.
bool AnswerCommand(const PeerOptions& options, std::string& report, std::string& problem);
