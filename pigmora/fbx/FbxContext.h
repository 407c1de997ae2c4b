#pragma once

#include <fbxsdk.h>

namespace pigmora {

// The one FBX manager, I/O settings object and scene of the plug-in. Created
// when the plug-in loads, destroyed when it unloads; used by send and receive.

// Creates manager, I/O settings and scene. On failure the error text is
// replaced by the reason and false is returned.
bool InitFbxContext(FbxString& errorText);

// Saves the context's scene with the writer at writerFormat; an index that
// names no writer picks the first FBX writer whose description says "ascii".
// Failures append to the error text.
bool SaveFbxScene(const char* path, int writerFormat, FbxString& errorText);

// Loads the file into the context's scene (the caller clears it first).
// Failures append to, or for a password-protected file replace, the error text.
bool LoadFbxScene(const char* path, FbxString& errorText);

// Destroys the manager and with it every FBX object made through it.
void DestroyFbxContext();

FbxManager* GetFbxContextManager();
FbxScene* GetFbxContextScene();

}  // namespace pigmora
