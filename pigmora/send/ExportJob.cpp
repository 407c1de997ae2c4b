#include "send/ExportJob.h"

#include <Interchange/IEPolyModelParms.h>
#include <Plugin/HModelCache.h>

#include <cstdint>

#include "send/MaterialCollection.h"

namespace pigmora {

namespace {

// The conversion the host's own exporters ask it for. What the values mean is
// the host's; these are the ones it expects from a sender (this host reads
// only the flags), so they are passed as they are.
constexpr std::int32_t kExportMode = 0;
constexpr std::int32_t kExportSubdivision = 9;
constexpr std::int64_t kExportOptions = 115;

}  // namespace

void HostModelRelease::operator()(IEPolyModel* model) const { DeleteIEModel(model); }

ExportJob BuildExportJob(HModelCache* model, const String& path) {
  ExportJob job;
  job.filePath = path;
  job.modelName = model->GetName();

  IEPolyModelParms parameters;  // the fields not named here stay zero
  parameters.mode = kExportMode;
  parameters.subdivision = kExportSubdivision;
  parameters.options = kExportOptions;
  parameters.flags = IEPolyModelParms::IncludeMaps;
  job.exportModel.reset(model->BuildExportModel(&parameters, job.filePath));
  if (!job.exportModel) {
    job.errorText = "Couldn't convert model to mesh";
    return job;
  }
  CollectMaterials(job, model);
  job.built = 1;
  return job;
}

}  // namespace pigmora
