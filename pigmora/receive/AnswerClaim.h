#pragma once

#include <cstdint>

#include <FileIO/String.h>

#include "receive/ClaimOwner.h"

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

// Tells this host's claims apart from every other receive's, and says who
// made them (see ClaimOwner). The plug-in's state keeps one for all its receives.
class ClaimNames {
public:
  ClaimNames();
  // The owner of a new claim: this process, now.
  ClaimOwner Next();
  std::uint64_t Machine() const { return machine_; }

private:
  std::uint64_t machine_;
  std::uint64_t random_;
  std::uint64_t count_ = 0;
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

// Takes over the oldest answer whose claimer cannot finish it any more (see
// ClaimerMayFinish): true with claim holding it, to be read and deleted as
// any claim. Of several receives taking one left claim exactly one gets it.
// On the way, texture lists that a stopped receive left after deleting its
// answer file go. Only regular files count as claims: anything else under
// such a name is left alone and never read.
bool TakeOverLeftClaim(const String& exchangeDir, ClaimNames& names, AnswerClaim& claim);

// Gives the claimed files back their own names, for a later receive; one
// whose name a newer answer has taken meanwhile goes, as that answer replaces it.
void ReturnAnswerClaim(const AnswerClaim& claim, const String& exportPath, const String& texturesPath);

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
