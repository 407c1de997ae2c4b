#pragma once

// The interchange model records shared in memory by the plug-in and the host.
#include "Interchange/IEArray.h"
#include "Interchange/IEImage.h"
#include "Interchange/IEMaterial.h"
#include "Interchange/IEModel.h"
#include "Interchange/IEPoly.h"
#include "Interchange/VectorCollection.h"
