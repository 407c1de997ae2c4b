#pragma once

#include <gtest/gtest.h>

#include <FileIO/Registry.h>

#include <string>

#include "HashhostRunner.h"

// Sends the built-in sample from a headless hashhost with the mode button
// `button` and lets the stand-in peer answer it once, so that the exchange
// folder holds an answer pair as Pigmora leaves one.
inline ::testing::AssertionResult LeavePeerAnswerForTheSample(const ScratchFolder& scratch, int button = 1001) {
  SetRegistryString("Pigmora", "exePath", "/usr/bin/true");
  const HashhostRun send =
      RunHashhost(scratch, "-c 'run Pigmora 0 Objects/Sample; click " + std::to_string(button) + "'");
  if (send.exitCode != 0) return ::testing::AssertionFailure() << "the send failed: " << send.err;
  std::string output;
  if (RunCommand(std::string("'") + PIGMORA_PEER_PATH + "' --once", &output) != 0)
    return ::testing::AssertionFailure() << "the peer did not answer: " << output;
  return ::testing::AssertionSuccess() << send.out;
}
