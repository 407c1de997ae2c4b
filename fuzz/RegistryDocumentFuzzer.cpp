// libFuzzer target for the registry file's reader and writer: any file must
// parse, and setting one key must leave every other key as it read before
// and make that key read back exactly, after a write and a re-read.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "RegistryDocument.h"

using fileio::RegistryDocument;

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

  document.Set(section, key, value);
  RegistryDocument reread = RegistryDocument::Parse(document.Serialize());
  if (reread.Find(section, key) != value) std::abort();
  std::size_t at = 0;
  for (const std::string& probe : probes) {
    if (probe != key && reread.Find(section, probe) != before[at]) std::abort();
    if (probe != section && reread.Find(probe, key) != before[at + 1]) std::abort();
    at += 2;
  }
  return 0;
}
