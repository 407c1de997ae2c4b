#include "settings/OptionTable.h"

#include <common/ExchangeNames.h>

#include "resources/resource.h"

namespace pigmora {

namespace {

constexpr ListEntry kTextureFiles[] = {
    {"TGA (.tga)", "TGA", nullptr},
    {"BMP (.bmp)", "BMP", nullptr},
    {"PNG (.png)", "PNG", nullptr},
    {"JPG (.jpg)", "JPG", nullptr},
};
constexpr ListEntry kResolutions[] = {
    {"LOW-POLY", "LOW-POLY", nullptr},
    {"MID-POLY", "MID-POLY", nullptr},
};
constexpr ListEntry kDisplacementNorms[] = {
    {"GREYBASED", "GREYBASED", nullptr},
    {"ZEROBASED", "ZEROBASED", nullptr},
    {"ZEROBASED_NORM", "ZEROBASED_NORM", nullptr},
    {"ZEROBASED_ABS", "ZEROBASED_ABS", nullptr},
};
// Each displacement file type with the bit depth Pigmora writes it in.
constexpr ListEntry kDisplacementFiles[] = {
    {"BMP 8-bits(.bmp)", "BMP", "8-bits"},      {"TGA 8-bits(.tga)", "TGA", "8-bits"},
    {"PNG 8-bits(.png)", "PNG", "8-bits"},      {"TIF 16-bits(.tif)", "TIF", "16-bits"},
    {"TIFF 32-bits(.tiff)", "TIFF", "32-bits"}, {"EXR 32-bits(.exr)", "EXR", "32-bits"},
};

constexpr std::span<const ListEntry> kNoList;
constexpr SettingKind kBool = SettingKind::Bool;
constexpr SettingKind kInteger = SettingKind::Integer;
constexpr SettingKind kString = SettingKind::String;

// "Emissive" (1103) edits ExportEmissivePower, "Emissive Color" (1104) ExportEmissive.
// clang-format off
constexpr OptionDefinition kOptions[] = {
    {Option::ExePath,             "exePath",             kString,    0, "...",   IDC_EXE_PATH,               kNoList,            false, nullptr},
    {Option::ExportColor,         "ExportColor",         kBool,      1, nullptr, IDC_EXPORT_COLOR,           kNoList,            true,  nullptr},
    {Option::ExportSpecular,      "ExportSpecular",      kBool,      1, nullptr, IDC_EXPORT_SPECULAR,        kNoList,            true,  nullptr},
    {Option::ExportSpecularColor, "ExportSpecularColor", kBool,      0, nullptr, IDC_EXPORT_SPECULAR_COLOR,  kNoList,            true,  nullptr},
    {Option::ExportEmissivePower, "ExportEmissivePower", kBool,      0, nullptr, IDC_EXPORT_EMISSIVE_POWER,  kNoList,            true,  nullptr},
    {Option::ExportEmissive,      "ExportEmissive",      kBool,      0, nullptr, IDC_EXPORT_EMISSIVE,        kNoList,            true,  nullptr},
    {Option::ExportNormalmap,     "ExportNormalmap",     kBool,      0, nullptr, IDC_EXPORT_NORMALMAP,       kNoList,            true,  nullptr},
    {Option::ColorFileExtension,  "ColorFileExtension",  kInteger,   0, nullptr, IDC_COLOR_FILE_EXTENSION,   kTextureFiles,      true,  nullptr},
    {Option::SpecNormExtension,   "SpecNormExtension",   kInteger,   0, nullptr, IDC_SPEC_NORM_EXTENSION,    kTextureFiles,      true,  nullptr},
    {Option::ExportDispl,         "ExportDispl",         kBool,      0, nullptr, IDC_EXPORT_DISPL,           kNoList,            true,  nullptr},
    {Option::ExportResolution,    "ExportResolution",    kInteger,   0, nullptr, IDC_EXPORT_RESOLUTION,      kResolutions,       true,  nullptr},
    {Option::DisplNorm,           "DisplNorm",           kInteger,   0, nullptr, IDC_DISPL_NORM,             kDisplacementNorms, true,  nullptr},
    {Option::DisplTexExt,         "DisplTexExt",         kInteger,   0, nullptr, IDC_DISPL_TEX_EXT,          kDisplacementFiles, true,  "DisplDepth"},
    {Option::SkipImport,          "SkipImport",          kBool,      0, nullptr, IDC_SKIP_IMPORT,            kNoList,            true,  nullptr},
    {Option::SkipExport,          "SkipExport",          kBool,      0, nullptr, IDC_SKIP_EXPORT,            kNoList,            true,  nullptr},
    {Option::PickSourcePositions, "PickSourcePositions", kBool,      0, nullptr, IDC_PICK_SOURCE_POSITIONS,  kNoList,            true,  nullptr},
    {Option::PickDepthFromLayer0, "PickDepthFromLayer0", kBool,      0, nullptr, IDC_PICK_DEPTH_FROM_LAYER0, kNoList,            true,  nullptr},
    {Option::CoarseMesh,          "CoarseMesh",          kBool,      0, nullptr, IDC_COARSE_MESH,            kNoList,            true,  nullptr},
    {Option::AutoImport,          exchange::kAutoImportKey,       kBool,      0, nullptr, IDC_AUTO_IMPORT,            kNoList,            false, nullptr},
};
// clang-format on

constexpr bool HandlesMatchRows() {
  for (int row = 0; row < kOptionCount; ++row)
    if (static_cast<int>(kOptions[row].option) != row) return false;
  return true;
}
static_assert(std::size(kOptions) == kOptionCount && HandlesMatchRows(), "one row per option, in handle order");

}  // namespace

std::span<const OptionDefinition> OptionTable() { return kOptions; }

const OptionDefinition& DefinitionOf(Option option) { return kOptions[static_cast<int>(option)]; }

const OptionDefinition* OptionOfControl(int controlId) {
  for (const OptionDefinition& definition : kOptions)
    if (definition.controlId == controlId) return &definition;
  return nullptr;
}

bool IsInList(const OptionDefinition& definition, int stored) {
  return stored >= 0 && static_cast<std::size_t>(stored) < definition.entries.size();
}

const ListEntry& EntryAt(const OptionDefinition& definition, int stored) {
  return definition.entries[IsInList(definition, stored) ? static_cast<std::size_t>(stored) : 0];
}

}  // namespace pigmora
