#pragma once

class HModelCache;

namespace pigmora {

struct ExportJob;

// Fills the job's material list (the model's own material, then one per
// group in container order), gives every polygon of the export model its
// material index and fills each material's texture slots from the map
// records of its polygons. A polygon in several groups takes the first.
void CollectMaterials(ExportJob& job, HModelCache* model);

}  // namespace pigmora
