#pragma once

// The host SDK's Plugin library: project, tree objects, models, groups,
// attributes, images, decals, splines, patches and model conversion.
#include "Interchange/IEPolyModelParms.h"
#include "Plugin/CPluginApp.h"
#include "Plugin/CommandPlugin.h"
#include "Plugin/DecalKind.h"
#include "Plugin/HAttrProperty.h"
#include "Plugin/HDecal.h"
#include "Plugin/HGroup.h"
#include "Plugin/HImage.h"
#include "Plugin/HModelCache.h"
#include "Plugin/HPatch.h"
#include "Plugin/HProject.h"
#include "Plugin/HSpline.h"
#include "Plugin/HTreeObject.h"
#include "Plugin/HVector.h"
#include "Plugin/MainWindow.h"
#include "Plugin/ObjectTypes.h"
#include "Plugin/Properties.h"
#include "Plugin/RGBFloat.h"
