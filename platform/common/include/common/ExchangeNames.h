#pragma once

// The captions of the applink dialog's twelve mode buttons, in the order of
// its buttons. Plain definitions, so that the dialog's resource script (a
// resource compiler reads only the preprocessor's part of a header) shows the
// very words the host's status line says.
#define EXCHANGE_MODE_PPP "per-pixel painting"
#define EXCHANGE_MODE_MV "microvertex painting"
#define EXCHANGE_MODE_PTEX "Ptex"
#define EXCHANGE_MODE_VOX "as voxel object"
#define EXCHANGE_MODE_VOXCOMBINE "as single voxel object"
#define EXCHANGE_MODE_ALPHA "as new pen alpha"
#define EXCHANGE_MODE_PRIM "as new merging primitive for voxels"
#define EXCHANGE_MODE_CURV "as a curve profile"
#define EXCHANGE_MODE_AUTOPO "for Auto-retopology"
#define EXCHANGE_MODE_UV "Perform UV-mapping in Pigmora"
#define EXCHANGE_MODE_REF "Drop reference mesh to Pigmora"
#define EXCHANGE_MODE_RETOPO "Drop retopo mesh as new layer in Pigmora"

#ifndef RC_INVOKED

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

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
// The version (see AnswerPairVersion) of the last answer a receive took but
// could not remove from the exchange folder: that answer was received, and no
// longer waits to be.
inline constexpr char kAnswerLeftKey[] = "AnswerLeftInFolder";

// One version of the answer pair lying in `folder` (which ends with a
// separator): each file's size and modification time, as text that the
// plug-in and the host compare across processes. Empty when either file is
// not a regular file there. Inline, so both read the files the same way.
inline std::string AnswerPairVersion(const std::string& folder) {
  std::string version;
  for (const char* name : {kAnswerFile, kTextureListFile}) {
    const std::filesystem::path path(folder + name);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::string();
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) return std::string();
    const auto modified = std::filesystem::last_write_time(path, error);
    if (error) return std::string();
    if (!version.empty()) version += ' ';
    version += std::to_string(size) + ':' + std::to_string(modified.time_since_epoch().count());
  }
  return version;
}

// The modes a send names in its command file, as "[keyword]", with the
// caption of the button that sends in each, in the dialog's order.
struct ExportMode {
  const char* keyword;
  const char* caption;
};
inline constexpr ExportMode kExportModes[] = {
    {"ppp", EXCHANGE_MODE_PPP},
    {"mv", EXCHANGE_MODE_MV},
    {"ptex", EXCHANGE_MODE_PTEX},
    {"vox", EXCHANGE_MODE_VOX},
    {"voxcombine", EXCHANGE_MODE_VOXCOMBINE},
    {"alpha", EXCHANGE_MODE_ALPHA},
    {"prim", EXCHANGE_MODE_PRIM},
    {"curv", EXCHANGE_MODE_CURV},
    {"autopo", EXCHANGE_MODE_AUTOPO},
    {"uv", EXCHANGE_MODE_UV},
    {"ref", EXCHANGE_MODE_REF},
    {"retopo", EXCHANGE_MODE_RETOPO},
};
inline constexpr int kExportModeCount = static_cast<int>(sizeof kExportModes / sizeof kExportModes[0]);

}  // namespace exchange

#endif  // RC_INVOKED
