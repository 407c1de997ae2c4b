#include "receive/ClaimOwner.h"

#include <afx.h>

#include <charconv>

#include <common/ExchangeNames.h>

namespace pigmora {

namespace {

constexpr std::string_view kTakenOverInfix = "-of-";

bool ParseNumber(std::string_view& text, std::uint64_t& value, int base) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value, base);
  if (error != std::errc() || stop == text.data()) return false;
  text.remove_prefix(static_cast<std::size_t>(stop - text.data()));
  return true;
}

bool ParseDash(std::string_view& text) {
  if (text.empty() || text.front() != '-') return false;
  text.remove_prefix(1);
  return true;
}

bool ParseOwner(std::string_view& text, ClaimOwner& owner) {
  std::uint64_t process = 0;
  if (!ParseNumber(text, process, 10) || process > UINT32_MAX || !ParseDash(text) ||
      !ParseNumber(text, owner.machine, 16) || !ParseDash(text) || !ParseNumber(text, owner.claimedMs, 10) ||
      !ParseDash(text) || !ParseNumber(text, owner.random, 10) || !ParseDash(text) ||
      !ParseNumber(text, owner.count, 10))
    return false;
  owner.process = static_cast<std::uint32_t>(process);
  return true;
}

// Windows counts from 1601.
constexpr std::uint64_t kUnixEpochMs = 11644473600000ull;

std::uint64_t MillisecondsOf(const FILETIME& time) {
  const std::uint64_t since1601 = (static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime) / 10000;
  return since1601 > kUnixEpochMs ? since1601 - kUnixEpochMs : 0;
}

char HexDigit(unsigned value) { return "0123456789abcdef"[value & 15]; }

}  // namespace

std::uint64_t ThisMachine() {
  char name[256] = {};
  DWORD size = sizeof name;
  if (!GetComputerNameA(name, &size)) return 0;
  // FNV-1a: the same name gives the same number on every host of the machine.
  std::uint64_t hash = 14695981039346656037ull;
  for (DWORD at = 0; at < size; ++at) {
    hash ^= static_cast<unsigned char>(name[at]);
    hash *= 1099511628211ull;
  }
  return hash;
}

std::uint64_t SystemMilliseconds() {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  return MillisecondsOf(now);
}

std::string ClaimOwner::Text() const {
  std::string machineText(16, '0');
  for (int at = 15, shift = 0; at >= 0; --at, shift += 4)
    machineText[static_cast<std::size_t>(at)] = HexDigit(static_cast<unsigned>(machine >> shift));
  return std::to_string(process) + "-" + machineText + "-" + std::to_string(claimedMs) + "-" + std::to_string(random) +
         "-" + std::to_string(count);
}

bool ParseClaimName(std::string_view fileName, ClaimName& claim) {
  claim = ClaimName{};
  const std::string_view answerPrefix = std::string_view(exchange::kAnswerFile);
  const std::string_view listPrefix = std::string_view(exchange::kTextureListFile);
  std::string_view rest;
  if (fileName.substr(0, answerPrefix.size()) == answerPrefix) {
    claim.isAnswerFile = true;
    rest = fileName.substr(answerPrefix.size());
  } else if (fileName.substr(0, listPrefix.size()) == listPrefix) {
    rest = fileName.substr(listPrefix.size());
  } else {
    return false;
  }
  const std::string_view infix = exchange::kClaimedInfix;
  if (rest.substr(0, infix.size()) != infix) return false;
  rest.remove_prefix(infix.size());
  if (!ParseOwner(rest, claim.owner)) return false;
  claim.textureListOwner = claim.owner;
  if (claim.isAnswerFile && rest.substr(0, kTakenOverInfix.size()) == kTakenOverInfix) {
    rest.remove_prefix(kTakenOverInfix.size());
    if (!ParseOwner(rest, claim.textureListOwner)) return false;
  }
  return rest.empty();
}

std::string ClaimedFileName(const char* file, const ClaimOwner& owner) {
  return std::string(file) + exchange::kClaimedInfix + owner.Text();
}

std::string TakenOverAnswerFileName(const ClaimOwner& owner, const ClaimOwner& first) {
  return ClaimedFileName(exchange::kAnswerFile, owner) + std::string(kTakenOverInfix) + first.Text();
}

bool ClaimerMayFinish(const ClaimOwner& owner, std::uint64_t machine, std::uint64_t nowMs) {
  const std::uint64_t age = nowMs > owner.claimedMs ? nowMs - owner.claimedMs : owner.claimedMs - nowMs;
  if (age >= kLongestReceiveMs) return false;
  // Another machine's process ids mean nothing here: its claims are judged by their age alone.
  if (owner.machine != machine) return true;
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, owner.process);
  // A process this user may not look at is there all the same.
  if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
  DWORD exitCode = 0;
  bool mayFinish = GetExitCodeProcess(process, &exitCode) && exitCode == STILL_ACTIVE;
  FILETIME created{}, exited{}, kernel{}, user{};
  // A process started after the claim only has the claimer's id.
  if (mayFinish && GetProcessTimes(process, &created, &exited, &kernel, &user))
    mayFinish = MillisecondsOf(created) <= owner.claimedMs;
  CloseHandle(process);
  return mayFinish;
}

}  // namespace pigmora
