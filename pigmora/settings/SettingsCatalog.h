#pragma once

#include <common/ExchangeNames.h>

namespace pigmora {

class ApplinkSettings;

// The registry section that holds the plug-in's options.
constexpr const char* kSettingsSection = exchange::kRegistrySection;

// Registers every option of the table with its default: read from the
// registry, kept, written back.
void RegisterApplinkSettings(ApplinkSettings& settings);

}  // namespace pigmora
