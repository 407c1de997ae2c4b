#pragma once

#include <span>

namespace pigmora {

// How a setting is read from and written to the registry.
enum class SettingKind { Bool = 1, Integer = 2, String = 3, Real = 4 };

// Every option the plug-in keeps, by the handle code names it with, in table order.
enum class Option {
  ExePath,
  ExportColor,
  ExportSpecular,
  ExportSpecularColor,
  ExportEmissivePower,
  ExportEmissive,
  ExportNormalmap,
  ColorFileExtension,
  SpecNormExtension,
  ExportDispl,
  ExportResolution,
  DisplNorm,
  DisplTexExt,
  SkipImport,
  SkipExport,
  PickSourcePositions,
  PickDepthFromLayer0,
  CoarseMesh,
  AutoImport,
};
constexpr int kOptionCount = static_cast<int>(Option::AutoImport) + 1;

// One entry of a list option: the text the Options page shows, the word the
// command file carries for it, and the word of the line derived from it.
struct ListEntry {
  const char* displayText;
  const char* commandWord;
  const char* derivedWord;
};

// Everything about one option. The table holds them in registration order,
// which is also the order of the command file's option lines.
struct OptionDefinition {
  Option option;
  const char* key;  // the registry key and the command file's name for it
  SettingKind kind;
  int defaultValue;
  const char* defaultText;             // string options only
  int controlId;                       // the Options page control that edits it
  std::span<const ListEntry> entries;  // list options only: the stored value indexes them
  bool inCommandFile;                  // whether the command file carries the option
  const char* derivedKey;              // a second command-file line, from the entries' derivedWord
};

std::span<const OptionDefinition> OptionTable();
const OptionDefinition& DefinitionOf(Option option);
// The option that the Options page control edits; null for any other control.
const OptionDefinition* OptionOfControl(int controlId);
// The entry a stored value selects. A value outside the list (only a
// hand-edited registry holds one) selects the first entry.
const ListEntry& EntryAt(const OptionDefinition& definition, int stored);
bool IsInList(const OptionDefinition& definition, int stored);

}  // namespace pigmora
