#include "receive/AnswerLeftRecord.h"

#include <string>

#include <FileIO/Registry.h>
#include <common/ExchangeNames.h>

namespace pigmora {

void RecordAnswerLeftInFolder(const ExchangeFolder& exchange) {
  const std::string version = exchange::AnswerPairVersion(exchange.exchangeDir.Get());
  SetRegistryString(exchange::kRegistrySection, exchange::kAnswerLeftKey, version.c_str());
}

bool IsAnswerLeftInFolder(const ExchangeFolder& exchange) {
  const std::string version = exchange::AnswerPairVersion(exchange.exchangeDir.Get());
  if (version.empty()) return false;
  return version == GetRegistryString(exchange::kRegistrySection, exchange::kAnswerLeftKey, "").Get();
}

}  // namespace pigmora
