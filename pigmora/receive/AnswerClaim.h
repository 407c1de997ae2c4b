#pragma once

#include <string>

#include <FileIO/String.h>

namespace pigmora {

// Pigmora's answer pair, taken out of the way of everyone else before it is
// read: each file is renamed to a name of this receive's own, "export.txt"
// first, since Pigmora writes it last. A rename succeeds for one taker only,
// so of two hosts watching one exchange folder exactly one imports an answer,
// and an answer Pigmora writes while this one is read keeps its names and
// waits for the next receive.
struct AnswerClaim {
  // Where to read each file: the claimed copy, or the file under its own name
  // when the exchange folder does not let it be renamed (nor then deleted).
  String exportFile;
  String texturesFile;
  bool exportClaimed = false;
  bool texturesClaimed = false;
};

// Tells this host's claims apart from every other receive's: the process, a
// random part drawn once, and a count of the claims made. The plug-in's state
// keeps one for all its receives.
class ClaimNames {
public:
  ClaimNames();
  // A suffix no other claim uses.
  std::string Next();

private:
  unsigned long long machine_;
  unsigned long long count_ = 0;
};

enum class ClaimResult {
  Taken,  // the claim holds the pair
  Gone,   // a file of the pair vanished (another receive took it): nothing to do
  Busy,   // its writer still holds a file of the pair open: untouched, for a later receive
};

// Claims the pair named exportPath and texturesPath into claim. On Busy,
// busyName is the file name that its writer still holds.
ClaimResult ClaimAnswerPair(const String& exportPath, const String& texturesPath, ClaimNames& names, AnswerClaim& claim,
                            std::string* busyName = nullptr);

// What deleting a claimed pair left behind.
struct ClaimRelease {
  bool exportDeleted = true;
  bool texturesDeleted = true;
};

// Deletes what the claim read; a file already gone counts as deleted. A
// claimed copy that cannot be deleted goes back to its own name when that is
// free, so the answer stays where the user and Pigmora look for it.
ClaimRelease DeleteAnswerClaim(const AnswerClaim& claim, const String& exportPath, const String& texturesPath);

}  // namespace pigmora
