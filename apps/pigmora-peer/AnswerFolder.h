#pragma once

#include <string>

// The peer's hold on its answer folder ("Pigmora/" in the exchange folder):
// one peer writes an answer at a time. The lock goes with the object, and with
// the process however it ends.
class AnswerLock {
public:
  AnswerLock() = default;
  ~AnswerLock();
  AnswerLock(const AnswerLock&) = delete;
  AnswerLock& operator=(const AnswerLock&) = delete;

  // Creates the folder when needed; false with the reason when it cannot, or
  // when another peer is writing an answer there.
  bool Acquire(const std::string& answerFolder, std::string& problem);

private:
  int fd_ = -1;
};

// Takes the previous answer out of the exchange folder, "export.txt" first, so
// that no receive pairs the files this answer is about to overwrite with an
// older model. A file already gone counts as taken; false with the reason.
bool RetirePreviousAnswer(const std::string& exchangeFolder, std::string& problem);

// Removes the temporary files that a peer stopped in the middle of an answer
// left: beside "textures.txt" and "export.txt" in the exchange folder, and
// anywhere in the answer folder. Only call while holding the AnswerLock.
void RemoveLeftoverTemporaries(const std::string& exchangeFolder, const std::string& answerFolder);
