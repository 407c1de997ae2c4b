#pragma once

class HModelCache;
class HProject;

// The built-in model "Sample" every new project holds: a capsule of 288
// patches with three groups, a material head, a colour and a normal-map decal
// and closed splines around it. Its images are the files beside the library.
HModelCache* AddSampleModel(HProject& project);
