#pragma once

#include <memory>

#include <FileIO/String.h>
#include <Interchange/IEModel.h>

#include "receive/ImportTables.h"

class HModelCache;

namespace pigmora {

class CurrentObject;

// The second half of a receive: the interchange model becomes a new host
// model, which is tidied and then replaces an older model of the same name
// (MergeIntoProject.cpp reads in the order of the steps).

// Merges the model into a new host model named name; false with the reason,
// the project unchanged. The model is released once merged, failed or not.
// A model it replaces takes the current object with it.
bool MergeIntoProject(CurrentObject& current, std::unique_ptr<IEPolyModel> model, const String& name,
                      const ImportTables& tables, String& errorText);

// Steps of the merge that are checked on their own.

// Another model of the project's objects folder named exactly name, or null.
HModelCache* FindOtherModel(HModelCache* model, const String& name);

// Sets the in and out magnitude of every spline control point.
void SetSplineMagnitudes(HModelCache* model, float magnitude);

// Names the groups after the materials (a group beyond them goes) and gathers
// each group's decals into one decal named after the group.
void NameGroupsAndMergeDecals(HModelCache* model, const ImportTables& tables);

}  // namespace pigmora
