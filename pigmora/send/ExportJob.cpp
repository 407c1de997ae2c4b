#include "send/ExportJob.h"

#include <Interchange/IEPolyModelParms.h>
#include <Plugin/HModelCache.h>

#include "send/MaterialCollection.h"

namespace pigmora {

void HostModelRelease::operator()(IEPolyModel* model) const { DeleteIEModel(model); }

ExportJob BuildExportJob(HModelCache* model, const String& path) {
  ExportJob job;
  job.filePath = path;
  job.modelName = model->GetName();

  IEPolyModelParms parameters;  // the fields not named here stay zero
  parameters.mode = 0;
  parameters.subdivision = 9;
  parameters.options = 115;
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
