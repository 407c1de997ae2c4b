#include "fbxsdk/fbxmanager.h"

#include "AllocationSeam.h"
#include "PointerMap.h"
#include "io/FileVersion.h"
#include "io/SceneWriter.h"

#include <dirent.h>

#include <common/OsFiles.h>
#include <common/OsModules.h>

#include <cstdlib>
#include <cstring>
#include <new>

namespace fbxsdk {

struct FbxManager::LiveObjects : PointerMap<bool> {};

FbxManager::FbxManager() : live_(std::make_unique<LiveObjects>()), registry_(new FbxIOPluginRegistry) {}

FbxManager::~FbxManager() { delete registry_; }

// Test seam: with FBXSDK_TEST_REFUSE_MANAGER set to 1 no manager can be created,
// as when the SDK cannot start, so callers' failure paths can be exercised.
FbxManager* FbxManager::Create() {
  const char* refuse = std::getenv("FBXSDK_TEST_REFUSE_MANAGER");
  if (refuse && std::strcmp(refuse, "1") == 0) return nullptr;
  return new (std::nothrow) FbxManager;
}

void FbxManager::Destroy() {
  destroying_ = true;
  // Every object goes, so the connections are dropped all at once rather than
  // cut one by one, which would search a node's many materials for each.
  for (FbxObject* object : objects_) object->ForgetConnections();
  // Newest first, so that containers outlive little of what they hold.
  while (!objects_.empty()) {
    FbxObject* object = objects_.back();
    objects_.pop_back();
    delete object;
  }
  delete this;
}

bool FbxManager::Owns(const void* object) const { return live_->Contains(object); }

void FbxManager::AdoptObject(FbxObject* object) {
  object->managerSlot_ = objects_.size();
  live_->Insert(object, true);
  objects_.push_back(object);
}

void FbxManager::ReleaseObject(FbxObject* object) {
  if (destroying_ || !object || object->manager_ != this) return;
  size_t slot = object->managerSlot_;
  if (slot >= objects_.size() || objects_[slot] != object) return;
  objects_[slot] = objects_.back();
  objects_[slot]->managerSlot_ = slot;
  objects_.pop_back();
  live_->Erase(object);
  if (ioSettings_ == object) ioSettings_ = nullptr;
  delete object;
}

void FbxManager::GetFileFormatVersion(int& major, int& minor, int& revision) {
  io::VersionParts parts = io::SplitVersion(io::kWrittenVersion);
  major = parts.major;
  minor = parts.minor;
  revision = parts.revision;
}

bool FbxManager::LoadPluginsDirectory(const char* directory, const char* extensions) {
  if (!directory) return false;
  DIR* folder = opendir(directory);
  if (!folder) return false;
  const char* wanted = extensions && *extensions ? extensions : ".so";
  bool found = false;
  while (dirent* entry = readdir(folder)) {
    size_t n = std::strlen(entry->d_name), m = std::strlen(wanted);
    if (n > m && std::strcmp(entry->d_name + n - m, wanted) == 0) found = true;
  }
  closedir(folder);
  return found;
}

// ---- FbxIOSettings ----

FbxIOSettings::FbxIOSettings(FbxManager& manager, const char* name) : FbxObject(manager, name) {}

FbxIOSettings* FbxIOSettings::Create(FbxManager* manager, const char* name) {
  if (!manager) return nullptr;
  CountAllocation();
  return manager->Adopt(new FbxIOSettings(*manager, name));
}
FbxIOSettings* FbxIOSettings::Create(FbxObject* container, const char* name) {
  return container ? Create(container->GetFbxManager(), name) : nullptr;
}

void FbxIOSettings::SetBoolProp(const char* name, bool value) {
  if (name) bools_[name] = value;
}

bool FbxIOSettings::GetBoolProp(const char* name, bool defaultValue) const {
  if (!name) return defaultValue;
  auto found = bools_.find(name);
  return found == bools_.end() ? defaultValue : found->second;
}

// ---- FbxIOPluginRegistry ----

namespace {
const char* const kWriterDescriptions[] = {"FBX binary (*.fbx)", "FBX ascii (*.fbx)"};
const char* const kReaderDescription = "FBX (*.fbx)";

bool SameExtension(const char* a, const char* b) {
  if (!a || !b) return false;
  if (*a == '.') ++a;
  if (*b == '.') ++b;
  return strcasecmp(a, b) == 0;
}
}  // namespace

int FbxIOPluginRegistry::GetWriterFormatCount() const { return eWriterCount; }
int FbxIOPluginRegistry::GetNativeWriterFormat() const { return eBinaryWriter; }
bool FbxIOPluginRegistry::WriterIsFBX(int index) const { return index >= 0 && index < eWriterCount; }
const char* FbxIOPluginRegistry::GetWriterFormatDescription(int index) const {
  return WriterIsFBX(index) ? kWriterDescriptions[index] : nullptr;
}
const char* FbxIOPluginRegistry::GetWriterFormatExtension(int index) const {
  return WriterIsFBX(index) ? "fbx" : nullptr;
}
int FbxIOPluginRegistry::FindWriterIDByDescription(const char* description) const {
  for (int i = 0; i < eWriterCount && description; ++i)
    if (std::strcmp(kWriterDescriptions[i], description) == 0) return i;
  return -1;
}
int FbxIOPluginRegistry::FindWriterIDByExtension(const char* extension) const {
  return SameExtension(extension, "fbx") ? GetNativeWriterFormat() : -1;
}

int FbxIOPluginRegistry::GetReaderFormatCount() const { return 1; }
int FbxIOPluginRegistry::GetNativeReaderFormat() const { return 0; }
bool FbxIOPluginRegistry::ReaderIsFBX(int index) const { return index == 0; }
const char* FbxIOPluginRegistry::GetReaderFormatDescription(int index) const {
  return index == 0 ? kReaderDescription : nullptr;
}
const char* FbxIOPluginRegistry::GetReaderFormatExtension(int index) const { return index == 0 ? "fbx" : nullptr; }
int FbxIOPluginRegistry::FindReaderIDByDescription(const char* description) const {
  return description && std::strcmp(description, kReaderDescription) == 0 ? 0 : -1;
}
int FbxIOPluginRegistry::FindReaderIDByExtension(const char* extension) const {
  return SameExtension(extension, "fbx") ? 0 : -1;
}

// ---- free functions ----

FbxString FbxGetApplicationDirectory() {
  const std::string path = os::ExecutablePath();
  const size_t slash = path.find_last_of(os::kPathSeparators);
  if (slash == std::string::npos) return FbxString(".");
  return FbxString(path.c_str(), slash == 0 ? 1 : slash);
}

void* FbxMalloc(size_t size) { return AllocationFails() ? nullptr : std::malloc(size ? size : 1); }
void* FbxRealloc(void* memory, size_t size) { return std::realloc(memory, size ? size : 1); }
void FbxFree(void* memory) { std::free(memory); }

}  // namespace fbxsdk
