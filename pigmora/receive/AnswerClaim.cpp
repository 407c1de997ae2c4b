#include "receive/AnswerClaim.h"

#include <afx.h>

#include <algorithm>
#include <chrono>
#include <exception>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <common/ExchangeNames.h>

#include "files/PathSeparator.h"

namespace pigmora {

namespace {

// Tells apart two hosts that would otherwise name their claims alike (one
// process id, one millisecond, machines of one name). random_device may throw
// where the system has no source.
unsigned long long RandomPart() {
  try {
    return std::random_device{}();
  } catch (...) {
    return static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  }
}

enum class MoveResult { Moved, Gone, Busy, Refused };

// The file, or a folder on its way, is no longer there.
bool IsGone(const CFileException& error) {
  return error.m_cause == CFileException::fileNotFound || error.m_cause == CFileException::badPath;
}

// Renames without replacing: of two receives taking one file exactly one
// succeeds, and a file that has come under the new name stays as it is.
MoveResult Move(const char* from, const char* to) {
  try {
    CFile::Rename(from, to);
    return MoveResult::Moved;
  } catch (CFileException* error) {
    const MoveResult result = IsGone(*error)                                       ? MoveResult::Gone
                              : error->m_cause == CFileException::sharingViolation ? MoveResult::Busy
                                                                                   : MoveResult::Refused;
    error->Delete();
    return result;
  }
}

// A writer still has the file open: Windows refuses to share it for reading
// while another program writes it, and the framework's files hold their
// sharing modes between programs on every system.
bool IsHeldByWriter(const String& path) {
  CFile probe;
  CFileException error;
  if (probe.Open(path.Get(), CFile::modeRead | CFile::shareDenyWrite, &error)) return false;
  return error.m_cause == CFileException::sharingViolation;
}

// The file name at the end of a path, for the user.
std::string NameOf(const String& path) {
  const std::string text = path.Get();
  const std::size_t separator = text.find_last_of(PIGMORA_PATH_SEPARATORS);
  return separator == std::string::npos ? text : text.substr(separator + 1);
}

// Renames from to to unless to exists; false when it could not.
bool MoveBackWithoutReplacing(const char* from, const char* to) { return Move(from, to) == MoveResult::Moved; }

bool Delete(const String& path) {
  try {
    CFile::Remove(path.Get());
    return true;
  } catch (CFileException* error) {
    const bool gone = IsGone(*error);
    error->Delete();
    return gone;
  }
}

}  // namespace

ClaimNames::ClaimNames() : machine_(ThisMachine()), random_(RandomPart()) {}

ClaimOwner ClaimNames::Next() {
  return ClaimOwner{GetCurrentProcessId(), machine_, SystemMilliseconds(), random_, ++count_};
}

ClaimResult ClaimAnswerPair(const String& exportPath, const String& texturesPath, ClaimNames& names, AnswerClaim& claim,
                            std::string* busyName) {
  claim = AnswerClaim{exportPath, texturesPath};
  // Taken now, a pair still being written would be read half done and then
  // deleted: it stays as it is until its writer lets go.
  for (const String* path : {&exportPath, &texturesPath}) {
    if (!IsHeldByWriter(*path)) continue;
    if (busyName) *busyName = NameOf(*path);
    return ClaimResult::Busy;
  }
  const std::string suffix = exchange::kClaimedInfix + names.Next().Text();
  const String claimedExport = exportPath + suffix.c_str();
  switch (Move(exportPath.Get(), claimedExport.Get())) {
    case MoveResult::Gone: return ClaimResult::Gone;
    case MoveResult::Busy:
      if (busyName) *busyName = NameOf(exportPath);
      return ClaimResult::Busy;
    case MoveResult::Refused: break;  // read in place; deleting it will fail and say so
    case MoveResult::Moved:
      claim.exportFile = claimedExport;
      claim.exportClaimed = true;
      break;
  }
  const String claimedTextures = texturesPath + suffix.c_str();
  const MoveResult texturesMove = Move(texturesPath.Get(), claimedTextures.Get());
  if (texturesMove == MoveResult::Gone || texturesMove == MoveResult::Busy) {
    // Without its texture list the answer is incomplete: it goes back, unless Pigmora has written a newer one.
    if (claim.exportClaimed && !MoveBackWithoutReplacing(claimedExport.Get(), exportPath.Get())) Delete(claimedExport);
    if (texturesMove == MoveResult::Gone) return ClaimResult::Gone;
    if (busyName) *busyName = NameOf(texturesPath);
    return ClaimResult::Busy;
  }
  if (texturesMove == MoveResult::Moved) {
    claim.texturesFile = claimedTextures;
    claim.texturesClaimed = true;
  }
  return ClaimResult::Taken;
}

namespace {

struct FoundClaim {
  std::string fileName;
  ClaimName claim;
};

struct FolderClaims {
  std::vector<FoundClaim> answerFiles;
  std::vector<FoundClaim> textureLists;
};

FolderClaims ListClaims(const std::filesystem::path& folder) {
  FolderClaims claims;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    ClaimName claim;
    if (!ParseClaimName(name, claim)) continue;
    std::error_code statusError;
    const auto status = entry->symlink_status(statusError);
    if (statusError || !std::filesystem::is_regular_file(status)) continue;
    (claim.isAnswerFile ? claims.answerFiles : claims.textureLists).push_back(FoundClaim{name, claim});
  }
  return claims;
}

bool Exists(const String& path) {
  std::error_code error;
  return std::filesystem::exists(std::filesystem::symlink_status(path.Get(), error));
}

bool AnswerFileNeedsList(const FolderClaims& claims, const ClaimOwner& listOwner) {
  for (const FoundClaim& answer : claims.answerFiles)
    if (answer.claim.textureListOwner == listOwner) return true;
  return false;
}

// A receive deletes its answer file first: a texture list no answer file
// needs, of a claimer that has stopped, was read and is left over. A second
// look makes sure no answer file needing it was being renamed during the first.
void RemoveLeftTextureLists(const String& exchangeDir, const FolderClaims& claims,
                            const std::function<bool(const ClaimOwner&)>& mayFinish) {
  std::vector<std::string> left;
  for (const FoundClaim& list : claims.textureLists)
    if (!AnswerFileNeedsList(claims, list.claim.owner) && !mayFinish(list.claim.owner)) left.push_back(list.fileName);
  if (left.empty()) return;
  const FolderClaims again = ListClaims(exchangeDir.Get());
  for (const FoundClaim& list : again.textureLists) {
    if (std::find(left.begin(), left.end(), list.fileName) != left.end() &&
        !AnswerFileNeedsList(again, list.claim.owner))
      Delete(exchangeDir + list.fileName.c_str());
  }
}

bool TakeOver(const String& exchangeDir, ClaimNames& names, AnswerClaim& claim) {
  const FolderClaims claims = ListClaims(exchangeDir.Get());
  if (claims.answerFiles.empty() && claims.textureLists.empty()) return false;
  const std::uint64_t now = SystemMilliseconds();
  std::map<std::string, bool> judged;  // by owner: the claimer may finish
  const auto mayFinish = [&](const ClaimOwner& owner) {
    const auto [at, added] = judged.try_emplace(owner.Text(), false);
    if (added) at->second = ClaimerMayFinish(owner, names.Machine(), now);
    return at->second;
  };
  RemoveLeftTextureLists(exchangeDir, claims, mayFinish);

  std::vector<const FoundClaim*> left;
  for (const FoundClaim& answer : claims.answerFiles)
    if (!mayFinish(answer.claim.owner)) left.push_back(&answer);
  // The oldest answer first, so that the newest is the one the project keeps.
  std::sort(left.begin(), left.end(), [](const FoundClaim* a, const FoundClaim* b) {
    return a->claim.textureListOwner.claimedMs < b->claim.textureListOwner.claimedMs;
  });
  const String plainAnswer = exchangeDir + exchange::kAnswerFile;
  const String plainList = exchangeDir + exchange::kTextureListFile;
  for (const FoundClaim* answer : left) {
    const ClaimOwner& listOwner = answer->claim.textureListOwner;
    const String from = exchangeDir + answer->fileName.c_str();
    const String to = exchangeDir + TakenOverAnswerFileName(names.Next(), listOwner).c_str();
    if (Move(from.Get(), to.Get()) != MoveResult::Moved) continue;  // another receive took it, or may not
    const String list = exchangeDir + ClaimedFileName(exchange::kTextureListFile, listOwner).c_str();
    // A claimer stopped between its two renames left the list under its own
    // name; with no newer answer there, the list there is this answer's.
    if (!Exists(list) && !Exists(plainAnswer)) Move(plainList.Get(), list.Get());
    claim = AnswerClaim{to, list, true, true};
    return true;
  }
  return false;
}

}  // namespace

bool TakeOverLeftClaim(const String& exchangeDir, ClaimNames& names, AnswerClaim& claim) {
  try {
    return TakeOver(exchangeDir, names, claim);
  } catch (const std::exception&) {
    // A name the system cannot convert, or no memory: the claims stay for a later look.
    return false;
  }
}

void ReturnAnswerClaim(const AnswerClaim& claim, const String& exportPath, const String& texturesPath) {
  // The texture list first, as Pigmora writes it: the pair is whole once the answer file is back.
  if (claim.texturesClaimed && !MoveBackWithoutReplacing(claim.texturesFile.Get(), texturesPath.Get()))
    Delete(claim.texturesFile);
  if (claim.exportClaimed && !MoveBackWithoutReplacing(claim.exportFile.Get(), exportPath.Get()))
    Delete(claim.exportFile);
}

ClaimRelease DeleteAnswerClaim(const AnswerClaim& claim, const String& exportPath, const String& texturesPath) {
  ClaimRelease release;
  release.exportDeleted = Delete(claim.exportFile);
  release.texturesDeleted = Delete(claim.texturesFile);
  if (!release.exportDeleted && claim.exportClaimed) MoveBackWithoutReplacing(claim.exportFile.Get(), exportPath.Get());
  if (!release.texturesDeleted && claim.texturesClaimed)
    MoveBackWithoutReplacing(claim.texturesFile.Get(), texturesPath.Get());
  return release;
}

}  // namespace pigmora
