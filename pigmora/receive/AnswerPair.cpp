#include "receive/AnswerPair.h"

#include <chrono>
#include <filesystem>

namespace pigmora {

namespace {

AnswerFileStamp StampFile(const String& path) {
  AnswerFileStamp stamp;
  std::error_code error;
  const std::filesystem::path file(path.Get());
  const auto status = std::filesystem::status(file, error);
  if (error || !std::filesystem::exists(status)) return stamp;
  stamp.exists = true;
  const auto modified = std::filesystem::last_write_time(file, error);
  if (error) return stamp;
  stamp.modifiedNs = std::chrono::duration_cast<std::chrono::nanoseconds>(modified.time_since_epoch()).count();
  stamp.ageNs =
      std::chrono::duration_cast<std::chrono::nanoseconds>(std::filesystem::file_time_type::clock::now() - modified)
          .count();
  if (std::filesystem::is_regular_file(status)) {
    const auto size = std::filesystem::file_size(file, error);
    if (!error) stamp.size = static_cast<std::int64_t>(size);
  }
  return stamp;
}

}  // namespace

AnswerPairStamp StampAnswerPair(const String& exportPath, const String& texturesPath) {
  return AnswerPairStamp{StampFile(exportPath), StampFile(texturesPath)};
}

}  // namespace pigmora
