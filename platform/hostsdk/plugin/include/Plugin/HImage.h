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

private:
  friend class HClipProperty;
  HStringProperty fileName_;
  std::vector<HClipProperty*> users_;  // cleared on deletion so none dangles
};
