#pragma once

class HProject;

// The project GetHProject() reports; set by the host when it opens one.
HProject* CurrentProject();
void SetCurrentProject(HProject* project);
