#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pigmora {

// Who made a claim on Pigmora's answer, and when: enough for another receive
// to tell whether the claimer can still finish it. The process id is asked
// about only on the machine that made the claim (named by a hash of its name);
// the time tells a process that later got the same id from the claimer, and
// a claim older than any receive can take.
struct ClaimOwner {
  std::uint32_t process = 0;
  std::uint64_t machine = 0;
  std::uint64_t claimedMs = 0;  // since 1970, UTC
  std::uint64_t random = 0;     // drawn once per host process
  std::uint64_t count = 0;      // the claims that process made

  bool operator==(const ClaimOwner& other) const = default;
  std::string Text() const;  // "process-machine-time-random-count", digits and hex only
};

// What a claimed file's name says. A claimed answer file is
// "export.txt.claimed-<owner>", or, once another receive took it over from a
// claimer that had stopped, "export.txt.claimed-<owner>-of-<first owner>":
// its texture list keeps the name "textures.txt.claimed-<first owner>" under
// which the first claim took it.
struct ClaimName {
  bool isAnswerFile = false;  // export.txt, else textures.txt
  ClaimOwner owner;
  ClaimOwner textureListOwner;  // the owner its texture list is claimed under
};

// The claim a file name stands for; false for any other name, one with a
// number too big for its field included.
bool ParseClaimName(std::string_view fileName, ClaimName& claim);

// How long a receive may hold a claim at the most: an older claim is taken
// back whoever made it.
inline constexpr std::uint64_t kLongestReceiveMs = 60ull * 60 * 1000;

// Whether the claim's owner may still finish it: a process on this machine
// that has run since before the claim, or, on another machine, a claim younger
// than kLongestReceiveMs.
bool ClaimerMayFinish(const ClaimOwner& owner, std::uint64_t machine, std::uint64_t nowMs);

// This host's machine, as claims name it, and the system clock in their unit.
std::uint64_t ThisMachine();
std::uint64_t SystemMilliseconds();

// The file names of a claim: "<file>.claimed-<owner>" and the answer file
// taken over from first.
std::string ClaimedFileName(const char* file, const ClaimOwner& owner);
std::string TakenOverAnswerFileName(const ClaimOwner& owner, const ClaimOwner& first);

}  // namespace pigmora
