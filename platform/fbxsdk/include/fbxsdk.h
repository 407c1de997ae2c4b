// Umbrella header of the FBX library: manager, scene objects, readers and writers.
#pragma once

#include "fbxsdk/fbxdefs.h"
#include "fbxsdk/fbxgeometry.h"
#include "fbxsdk/fbxio.h"
#include "fbxsdk/fbxlayer.h"
#include "fbxsdk/fbxmanager.h"
#include "fbxsdk/fbxmath.h"
#include "fbxsdk/fbxnode.h"
#include "fbxsdk/fbxobject.h"
#include "fbxsdk/fbxscene.h"
#include "fbxsdk/fbxstatus.h"
#include "fbxsdk/fbxstring.h"
#include "fbxsdk/fbxsurface.h"
#include "fbxsdk/fbxtexture.h"

// Callers write the class names unqualified, as with the vendor's header.
#ifndef FBXSDK_NAMESPACE_USING
#define FBXSDK_NAMESPACE_USING 1
#endif
#if FBXSDK_NAMESPACE_USING
using namespace fbxsdk;
#endif
