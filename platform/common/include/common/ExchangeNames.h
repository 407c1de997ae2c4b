#pragma once

#include <string>

// The names Pigmora's exchange is made of, in one place for the three programs
// that meet there: the plug-in that writes the command and reads the answer,
// the peer that answers, and the host's status line that watches both.
namespace exchange {

// <documents>/PigmoraV3/Exchange/
inline constexpr char kTopFolder[] = "PigmoraV3";
inline constexpr char kFolder[] = "Exchange";

// The exchange folder under a documents folder, with a separator at its end.
inline std::string FolderUnder(const std::string& documents, char separator) {
  return documents + separator + kTopFolder + separator + kFolder + separator;
}

inline constexpr char kCommandFile[] = "import.txt";        // the plug-in's command to Pigmora
inline constexpr char kAnswerFile[] = "export.txt";         // Pigmora's answer: its FBX file's path
inline constexpr char kTextureListFile[] = "textures.txt";  // Pigmora's painted images, per material

// A receive renames the answer pair to "<file>.claimed-..." names of its own
// while it reads them; a host that watches the folder sees them there.
inline constexpr char kClaimedInfix[] = ".claimed-";

// The plug-in's section of the host's registry, and its automatic-import switch.
inline constexpr char kRegistrySection[] = "Pigmora";
inline constexpr char kAutoImportKey[] = "AutoImport";

}  // namespace exchange
