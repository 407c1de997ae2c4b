#include "settings/SettingsCatalog.h"

#include <FileIO/Registry.h>

#include "settings/ApplinkSettings.h"

namespace pigmora {

// One setting a line, in the order the Options page and the command file use.
// clang-format off
const SettingDefinition kSettingDefinitions[] = {
    {"exePath", SK_STRING, 0, EXE_PATH_NOT_SET},
    {"ExportColor", SK_BOOL, 1, nullptr},
    {"ExportSpecular", SK_BOOL, 1, nullptr},
    {"ExportSpecularColor", SK_BOOL, 0, nullptr},
    {"ExportEmissivePower", SK_BOOL, 0, nullptr},
    {"ExportEmissive", SK_BOOL, 0, nullptr},
    {"ExportNormalmap", SK_BOOL, 0, nullptr},
    {"ColorFileExtension", SK_INTEGER, 0, nullptr},
    {"SpecNormExtension", SK_INTEGER, 0, nullptr},
    {"ExportDispl", SK_BOOL, 0, nullptr},
    {"ExportResolution", SK_INTEGER, 0, nullptr},
    {"DisplNorm", SK_INTEGER, 0, nullptr},
    {"DisplTexExt", SK_INTEGER, 0, nullptr},
    {"SkipImport", SK_BOOL, 0, nullptr},
    {"SkipExport", SK_BOOL, 0, nullptr},
    {"PickSourcePositions", SK_BOOL, 0, nullptr},
    {"PickDepthFromLayer0", SK_BOOL, 0, nullptr},
    {"CoarseMesh", SK_BOOL, 0, nullptr},
    {"AutoImport", SK_BOOL, 0, nullptr},
};
// clang-format on

const int kSettingDefinitionCount = sizeof(kSettingDefinitions) / sizeof(kSettingDefinitions[0]);

void RegisterApplinkSettings(ApplinkSettings& settings) {
  // Each setting is written back as it is read; the registry replaces its file
  // only for a value that differs from what it holds, so a later load writes nothing.
  for (const SettingDefinition& definition : kSettingDefinitions) {
    if (definition.kind == SK_STRING)
      settings.RegisterStringSetting(definition.key, definition.defaultText);
    else
      settings.RegisterValueSetting(definition.key, definition.defaultValue, definition.kind == SK_BOOL);
  }
}

}  // namespace pigmora
