#include "CurrentProject.h"

namespace {
HProject* g_currentProject = nullptr;
}

HProject* CurrentProject() { return g_currentProject; }

void SetCurrentProject(HProject* project) { g_currentProject = project; }
