#pragma once

#include <functional>
#include <ostream>

#include <FileIO/String.h>
#include <windows.h>

#include "Plugin/Export.h"
#include "Plugin/HTreeObject.h"

class HModelCache;
class HProject;

// The stand-in host's own services: what the host application does with its
// project. Plug-ins never call these.

// A new project, which becomes GetHProject(). withSample adds the built-in
// model "Sample" and an instance of it in the scene.
PLUGIN_API HProject* CreateHostProject(bool withSample = true);
// Deletes the project; GetHProject() is null afterwards when it was current.
PLUGIN_API void DestroyHostProject(HProject* project);

// "" is the project; "Objects", "Objects/NAME", "Images", "Images/NAME",
// "Scenes", "Scenes/SCENE", "Scenes/SCENE/NAME". Null when there is none.
PLUGIN_API HTreeObject* FindTreeObjectByPath(HProject* project, const char* path);

// One object per line, two spaces per level: Kind "Name" then key=value facts.
PLUGIN_API void PrintProjectTree(HProject* project, std::ostream& out);

// How far an import is: what it does now ("checking", "reading", "building")
// and, where known, the share done in percent (else -1). Told on the caller's
// thread at least every tenth of a second, so a window can keep itself drawn;
// it must not change the project.
using ObjImportProgress = std::function<void(const char* stage, int percent)>;

// Adds a model read from a Wavefront OBJ file (and its MTL) to the project.
// Null with a message in error when the file cannot be used; the project is
// then unchanged. Missing MTL files or images are reported in warnings.
PLUGIN_API HModelCache* ImportObjFile(HProject* project, const char* path, String& error, String& warnings,
                                      const ObjImportProgress& progress = {});

// Told how far the host's own long conversions that plug-ins call are
// (MergeIEModel: "adding patches", "building splines", "adding groups",
// "adding decals"), as an OBJ import's progress is, so that the host can keep its
// window drawn while a plug-in's call runs. An empty function removes it.
PLUGIN_API void SetLongWorkListener(ObjImportProgress listener);

// Writes the model as OBJ with an MTL file beside it and its images copied
// there. Non-zero on success. An image that cannot be copied (missing, or not
// an image) leaves its map out of the MTL, one line each in warnings.
PLUGIN_API int SaveModelAsObj(HModelCache* model, const char* path, String& error, String& warnings);

// The window GetMainApplicationWnd() reports to plug-ins; null for none.
PLUGIN_API void SetMainApplicationWnd(HWND wnd);

// Tells the host of every tree object just before it is deleted (each object
// of a deleted subtree on its own, children first), so that it can drop or
// follow the pointers it keeps: the object must not be used any more, only
// compared. The listener must change neither the project nor the listeners. Returns a number for
// RemoveTreeObjectDeletionListener; 0 for an empty function.
PLUGIN_API int AddTreeObjectDeletionListener(std::function<void(HTreeObject* object)> listener);
PLUGIN_API void RemoveTreeObjectDeletionListener(int listener);

// Tells the host of every tree object just after it is put into the tree
// (a model into the objects folder, a group into its model, ...), so that it
// can follow what is added without walking the project. The same rules as
// for deletion listeners hold.
PLUGIN_API int AddTreeObjectAdditionListener(std::function<void(HTreeObject* object)> listener);
PLUGIN_API void RemoveTreeObjectAdditionListener(int listener);
