// FbxManager: creates and owns every object; I/O settings and the reader/writer registry.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fbxobject.h"

namespace fbxsdk {

class FbxIOSettings;
class FbxIOPluginRegistry;

class FBXSDK_DLL FbxManager {
public:
  static FbxManager* Create();
  // Destroys every object created through this manager, then the manager.
  void Destroy();

  void SetIOSettings(FbxIOSettings* settings) { ioSettings_ = settings; }
  FbxIOSettings* GetIOSettings() const { return ioSettings_; }
  FbxIOPluginRegistry* GetIOPluginRegistry() const { return registry_; }

  // The FBX file format version the writers produce (7.4.0).
  static void GetFileFormatVersion(int& major, int& minor, int& revision);
  // Reader and writer plug-ins live in the library itself; this only checks
  // that the folder can be listed and reports whether it held any module.
  bool LoadPluginsDirectory(const char* directory, const char* extensions = nullptr);

  int GetObjectCount() const { return static_cast<int>(objects_.size()); }
  // Whether the pointer names a live object of this manager; layer elements hold
  // plain pointers to materials and textures that may have been destroyed since.
  bool Owns(const void* object) const;

  // Takes ownership of a freshly built object. Used by the Create factories.
  template <class T>
  T* Adopt(T* object) {
    AdoptObject(object);
    return object;
  }
  void ReleaseObject(FbxObject* object);

  FbxManager(const FbxManager&) = delete;
  FbxManager& operator=(const FbxManager&) = delete;

private:
  FbxManager();
  ~FbxManager();
  void AdoptObject(FbxObject* object);

  std::vector<FbxObject*> objects_;
  // The objects alive, by address: a caller may hold the address of one destroyed already.
  struct LiveObjects;
  std::unique_ptr<LiveObjects> live_;
  FbxIOSettings* ioSettings_ = nullptr;
  FbxIOPluginRegistry* registry_ = nullptr;
  bool destroying_ = false;
};

// Named boolean options for the readers and writers ("Export|AdvOptGrp|Fbx|Material").
class FBXSDK_DLL FbxIOSettings : public FbxObject {
  FBXSDK_OBJECT_FACTORY(FbxIOSettings)
  void SetBoolProp(const char* name, bool value);
  bool GetBoolProp(const char* name, bool defaultValue) const;

private:
  std::map<std::string, bool> bools_;
};

// The readers and writers the library offers, by index.
class FBXSDK_DLL FbxIOPluginRegistry {
public:
  int GetWriterFormatCount() const;
  int GetNativeWriterFormat() const;
  bool WriterIsFBX(int index) const;
  const char* GetWriterFormatDescription(int index) const;
  const char* GetWriterFormatExtension(int index) const;
  int FindWriterIDByDescription(const char* description) const;
  int FindWriterIDByExtension(const char* extension) const;

  int GetReaderFormatCount() const;
  int GetNativeReaderFormat() const;
  bool ReaderIsFBX(int index) const;
  const char* GetReaderFormatDescription(int index) const;
  const char* GetReaderFormatExtension(int index) const;
  int FindReaderIDByDescription(const char* description) const;
  int FindReaderIDByExtension(const char* extension) const;

  // Writer indices; index 0 is the native writer.
  enum EWriter { eBinaryWriter = 0, eAsciiWriter = 1, eWriterCount = 2 };
};

// The folder of the running executable, without a trailing separator.
FBXSDK_DLL FbxString FbxGetApplicationDirectory();

}  // namespace fbxsdk
