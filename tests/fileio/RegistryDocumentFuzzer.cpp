// libFuzzer target for the registry file's reader and writer: any file must
// parse, and setting one key must leave every other key as it read before
// and make that key read back exactly, after a write and a re-read; every
// line it does not change must survive byte for byte.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "RegistryDocument.h"
#include "RegistryText.h"

using fileio::RegistryDocument;
using fileio::SameName;

namespace {

std::vector<std::string> Lines(std::string text) {
  if (!text.empty() && text.back() != '\n') text += '\n';  // a change may end the last line
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end + 1 - start));
    start = end + 1;
  }
  return lines;
}

// One change rewrites at most one line or adds at most three (a blank line, a
// header and the pair) in one place; all other lines stay as they were.
bool OneChangeBetween(const std::vector<std::string>& old, const std::vector<std::string>& now) {
  std::size_t front = 0;
  while (front < old.size() && front < now.size() && old[front] == now[front]) ++front;
  std::size_t back = 0;
  while (back < old.size() - front && back < now.size() - front &&
         old[old.size() - 1 - back] == now[now.size() - 1 - back])
    ++back;
  std::size_t removed = old.size() - front - back, added = now.size() - front - back;
  return (removed == 0 && added <= 3) || (removed == 1 && added == 1);
}

bool OnlyOnePlaceChanged(const std::string& before, const std::string& after) {
  std::vector<std::string> old = Lines(before), now = Lines(after);
  if (OneChangeBetween(old, now)) return true;
  // A last line without a line end gets the file's own (LF or CR LF) when a line follows it.
  if (before.empty() || before.back() == '\n') return false;
  old.back().insert(old.back().size() - 1, "\r");
  return OneChangeBetween(old, now);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  std::string section = input.ConsumeRandomLengthString(32);
  std::string key = input.ConsumeRandomLengthString(32);
  std::string value = input.ConsumeRandomLengthString(256);
  std::vector<std::string> probes;  // other names to compare before and after
  for (int i = 0; i < 4; ++i) probes.push_back(input.ConsumeRandomLengthString(16));
  std::string file = input.ConsumeRemainingBytesAsString();

  RegistryDocument document = RegistryDocument::Parse(file);
  std::vector<std::optional<std::string>> before;
  for (const std::string& probe : probes) {
    before.push_back(document.Find(section, probe));
    before.push_back(document.Find(probe, key));
  }

  bool changed = document.Set(section, key, value);
  std::string written = document.Serialize();
  if (!changed && written != file) std::abort();
  if (!OnlyOnePlaceChanged(file, written)) std::abort();
  RegistryDocument reread = RegistryDocument::Parse(written);
  if (reread.Find(section, key) != value) std::abort();
  std::size_t at = 0;
  for (const std::string& probe : probes) {
    if (!SameName(probe, key) && reread.Find(section, probe) != before[at]) std::abort();
    if (!SameName(probe, section) && reread.Find(probe, key) != before[at + 1]) std::abort();
    at += 2;
  }
  return 0;
}
