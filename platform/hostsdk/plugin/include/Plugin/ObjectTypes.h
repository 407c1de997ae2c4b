#pragma once

// Object type numbers of the host's project tree. Models (1), the objects
// folder (14) and model instances (259) are also command entry codes, so
// they are defined with the command plug-in interface; the rest are the
// host's own and never clash with them.
#include "Plugin/CommandPlugin.h"

enum HostTreeObjectType {
  HOT_PROJECT = 100,
  HOT_IMAGES_FOLDER = 101,
  HOT_SCENES_FOLDER = 102,
  HOT_SCENE = 103,
  HOT_IMAGE = 104,
  HOT_GROUP_CONTAINER = 105,
  HOT_GROUP = 106,
  HOT_DECAL_CONTAINER = 107,
  HOT_DECAL = 108,
  HOT_DECAL_CLIP_CONTAINER = 109,
  HOT_DECAL_CLIP = 110,
};
