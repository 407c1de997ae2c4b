#include "receive/KeptImages.h"

#include <afx.h>

#include <string>
#include <system_error>
#include <unordered_map>
#include <unordered_set>

#include <Plugin/HImage.h>
#include <Plugin/HProject.h>

#include "files/FilePathKey.h"
#include "receive/ClaimOwner.h"
#include "receive/ImagesInUse.h"
#include "receive/InterchangeImagePath.h"

namespace pigmora {

namespace {

namespace fs = std::filesystem;

// A folder no other answer has: the time and the process, and a count for
// answers of one millisecond.
bool MakeAnswerFolder(const fs::path& keptDir, fs::path& folder, std::error_code& error) {
  fs::create_directories(keptDir, error);
  if (error) return false;
  const std::string stem = std::to_string(SystemMilliseconds()) + "-" + std::to_string(GetCurrentProcessId());
  for (int count = 0; count < 1000; ++count) {
    folder = keptDir / (count ? stem + "-" + std::to_string(count) : stem);
    if (fs::create_directory(folder, error)) return true;
    if (error) return false;
  }
  error = std::make_error_code(std::errc::file_exists);
  return false;
}

// The copy's name: the image's own, numbered when two images share it.
fs::path CopyName(const fs::path& folder, const fs::path& source, std::unordered_set<std::string>& taken) {
  const fs::path name = source.filename();
  fs::path candidate = folder / name;
  for (int count = 2; !taken.insert(FilePathKey(candidate.string().c_str())).second; ++count)
    candidate = folder / (name.stem().string() + "-" + std::to_string(count) + name.extension().string());
  return candidate;
}

}  // namespace

KeptImages::~KeptImages() {
  if (folder_.empty()) return;
  std::error_code error;
  fs::remove_all(folder_, error);
}

bool KeptImages::Keep(IEPolyModel& model, String& errorText) {
  if (model.images.count == 0 || keptDir_.IsEmpty()) return true;
  std::error_code error;
  // Where the plug-in may not write (a read-only exchange folder) the model
  // shows the answer's own images, as nothing else can hold them.
  if (!MakeAnswerFolder(fs::path(keptDir_.Get()), folder_, error)) {
    folder_.clear();
    return true;
  }
  std::unordered_set<std::string> taken;
  std::unordered_map<std::string, std::string> copyOf;  // one copy per file, however many records name it
  for (IEImage& image : model.images) {
    const std::string source = InterchangeImagePath(image);
    std::string& copy = copyOf[FilePathKey(source.c_str())];
    if (copy.empty()) {
      // Only a file can be copied; anything else stays as the answer names it, for the checks that follow.
      std::error_code statusError;
      if (!fs::is_regular_file(fs::status(source, statusError))) continue;
      const fs::path target = CopyName(folder_, source, taken);
      // A name too long for the host keeps the answer's path: that image is not protected.
      if (target.string().size() >= sizeof image.path) continue;
      if (!fs::copy_file(source, target, fs::copy_options::none, error)) {
        errorText = String("Can't keep a copy of the texture '") + source.c_str() + "': " + error.message().c_str() +
                    "; the model was not received";
        return false;
      }
      copy = target.string();
    }
    image.SetPath(copy.c_str());
  }
  return true;
}

void ForgetUnshownKeptImages(HProject* project, const String& keptDir) {
  HClipCacheContainer* container = project ? project->GetChildClipCacheContainer() : nullptr;
  if (!container || keptDir.IsEmpty()) return;
  const std::string kept = FilePathKey(keptDir.Get());
  const std::unordered_set<const HImage*> used = ImagesInUse(*project, nullptr);
  std::unordered_set<std::string> folders;
  HHashObject* child = container->GetChild();
  while (child) {
    HHashObject* next = child->GetSibling();
    auto* image = static_cast<HImage*>(child);
    const std::string file = image->GetFilename()->GetValue().Get();
    if (!used.count(image) && FilePathKey(file.c_str()).rfind(kept, 0) == 0) {
      HTreeObject::DeleteHandle(image);
      std::error_code error;
      fs::remove(file, error);
      folders.insert(fs::path(file).parent_path().string());
    }
    child = next;
  }
  for (const std::string& folder : folders) {
    std::error_code error;
    if (fs::is_empty(folder, error) && !error) fs::remove(folder, error);
  }
}

}  // namespace pigmora
