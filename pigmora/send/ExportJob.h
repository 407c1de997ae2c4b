#pragma once

#include <FileIO/String.h>
#include <Interchange/IEModel.h>

#include <memory>
#include <vector>

#include "send/ExportMaterial.h"

class HModelCache;

namespace pigmora {

// Releases a model the host built, as the host requires.
struct HostModelRelease {
  void operator()(IEPolyModel* model) const;
};

// The state of one model export; the host's polygon model is released with it.
struct ExportJob {
  std::unique_ptr<IEPolyModel, HostModelRelease> exportModel;  // null when the conversion failed
  std::vector<ExportMaterial> materials;                       // the model's own first, then one per group
  String filePath;
  String modelName;
  String errorText;  // why the conversion failed
  int built = 0;     // 1 once the export model exists and its materials are collected
};

// Has the host convert the model to polygons and collects its materials.
ExportJob BuildExportJob(HModelCache* model, const String& path);

}  // namespace pigmora
