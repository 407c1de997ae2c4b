#pragma once

#include <filesystem>

#include <FileIO/String.h>
#include <Interchange/IEModel.h>

class HProject;

namespace pigmora {

// The images of accepted answers, copied out of Pigmora's reach. Pigmora
// writes its images where it likes and may use the same names for the next
// answer, before the host has decided whether to take it: a received model
// showing them there would change its paint behind the user's back, and keep
// the new paint even when that answer is refused or half written. So each
// accepted answer's images are copied once, into a folder of that answer's
// own under the plug-in's kept-images folder, and the model shows the copies.
class KeptImages {
public:
  explicit KeptImages(const String& keptDir) : keptDir_(keptDir) {}
  KeptImages(const KeptImages&) = delete;
  KeptImages& operator=(const KeptImages&) = delete;
  // Unless kept, what Keep made goes.
  ~KeptImages();

  // Copies each image of model that is a regular file into a new folder and
  // points model at the copies. False with errorText when a copy cannot be
  // made (a full disk): then nothing is left behind.
  bool Keep(IEPolyModel& model, String& errorText);
  // The model that shows the copies was merged: they stay.
  void Commit() { folder_.clear(); }

private:
  String keptDir_;
  std::filesystem::path folder_;  // made by Keep and not yet committed
};

// Deletes the project's images under keptDir that no model's decal shows any
// more (those of a model a newer answer replaced), with their files and the
// folders they leave empty.
void ForgetUnshownKeptImages(HProject* project, const String& keptDir);

}  // namespace pigmora
