#include "receive/AnswerClaim.h"

#include <afx.h>

#include <chrono>
#include <random>
#include <string>

#include "files/PathSeparator.h"

namespace pigmora {

namespace {

// Differs between hosts on machines that share the folder (and so may share
// process ids). random_device may throw where the system has no source.
unsigned long long MachinePart() {
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

ClaimNames::ClaimNames() : machine_(MachinePart()) {}

std::string ClaimNames::Next() {
  return ".claimed-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(machine_) + "-" +
         std::to_string(++count_);
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
  const std::string suffix = names.Next();
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
