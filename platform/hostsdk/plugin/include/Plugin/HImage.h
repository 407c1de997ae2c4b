#pragma once

#include <vector>

#include "Plugin/Export.h"
#include "Plugin/HTreeObject.h"
#include "Plugin/Properties.h"

// An image clip in the project's images folder: a name and a file.
class PLUGIN_API HImage : public HHashObject {
public:
  HImage(const String& name, const String& fileName);
  ~HImage() override;

  HStringProperty* GetFilename() { return &fileName_; }

  // Whether fileName names a file the host can take as an image: a regular
  // file (links followed) no larger than an image file may be, whose first
  // bytes are an image format's header. If not, reason says why ("it is a
  // folder", "not a TGA, PNG, BMP, JPG, TIFF or EXR image", the system's reason).
  static bool IsImageFile(const String& fileName, String& reason);

private:
  friend class HClipProperty;
  HStringProperty fileName_;
  std::vector<HClipProperty*> users_;  // cleared on deletion so none dangles
};
