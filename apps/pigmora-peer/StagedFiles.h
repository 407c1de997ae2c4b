#pragma once

#include <string>
#include <string_view>
#include <vector>

// Files written in full under temporary names beside their targets, then put
// in place one after the other: until Publish nothing of them is visible, and
// a failure or a stop before it leaves the targets as they were and no
// temporary file behind.
class StagedFiles {
public:
  StagedFiles() = default;
  ~StagedFiles() { Discard(); }
  StagedFiles(const StagedFiles&) = delete;
  StagedFiles& operator=(const StagedFiles&) = delete;

  // Writes `bytes` for `target` (which must be replaceable: no folder,
  // read-only or special file there); false with the reason.
  bool Stage(const std::string& target, std::string_view bytes, std::string& problem);
  // Renames every staged file over its target, in staging order; on a failure
  // the files not yet in place are dropped.
  bool Publish(std::string& problem);
  void Discard();

private:
  struct Staged {
    std::string temporary;
    std::string target;
  };
  std::vector<Staged> files_;
};
