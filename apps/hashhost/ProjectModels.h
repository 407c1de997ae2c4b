#pragma once

#include <string>
#include <vector>

class HModelCache;
class HProject;

// The project's models (the objects under "Objects" that are models), in the project's order.
std::vector<HModelCache*> ProjectModels(HProject* project);

// What the status bar says of a project with nothing else to say:
// `Project "Untitled": 2 models, "Sample" and "Big"`.
std::string ProjectSummary(HProject* project);
