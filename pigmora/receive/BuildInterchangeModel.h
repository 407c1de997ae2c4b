#pragma once

#include <fbxsdk.h>

#include <FileIO/String.h>
#include <Interchange/IEModel.h>

#include "receive/ImportTables.h"
#include "receive/TextureList.h"

namespace pigmora {

// The first half of a receive: Pigmora's mesh, its materials and the painted
// textures of the texture list become an interchange model, step by step
// (BuildInterchangeModel.cpp reads in the order of the steps).

// The first control point with a coordinate that is not a number or does not
// fit a float (infinite, or beyond its range), or -1: such a point would
// turn the whole model into garbage.
int FindUnusableControlPoint(const FbxMesh& mesh);

// Builds the interchange model of the node's mesh; false with the reason.
// The tables carry what the merge needs beside the model (the material names
// and the notes for the user).
bool BuildInterchangeModel(IEPolyModel& model, FbxNode& node, FbxMesh& mesh, const TextureList& list,
                           ImportTables& tables, String& errorText);

}  // namespace pigmora
