#pragma once

// The interchange model records shared in memory by the plug-in and the host.
#include "IEArray.h"
#include "IEImage.h"
#include "IEMaterial.h"
#include "IEModel.h"
#include "IEPoly.h"
#include "VectorCollection.h"
