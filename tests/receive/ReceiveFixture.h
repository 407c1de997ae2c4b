#pragma once

#include <gtest/gtest.h>
#if !defined(_WIN32)  // POSIX-only fixture
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <Plugin/HDecal.h>
#include <Plugin/HGroup.h>
#include <Plugin/HImage.h>
#include <Plugin/HModelCache.h>
#include <Plugin/HProject.h>
#include <Plugin/HostProject.h>
#include <afxdisplay.h>
#include <afxhost.h>

#include <string>
#include <vector>

#include "MeshFile.h"
#include "PluginTestState.h"
#include "ScratchFolder.h"
#include "fbx/FbxContext.h"
#include "settings/ApplinkSettings.h"

using namespace pigmora;

// The plug-in's process-wide state as the application object sets it up, a
// host project_, and the headless display, in a scratch_ folder.
class ReceiveFixture : public ::testing::Test {
protected:
  void SetUp() override {
    AfxUseVirtualClock(true);
    state_.Start(false);
    project_ = state_.project;
  }
  void TearDown() override { state_.Stop(); }

  std::string ExchangePath(const char* name) const { return (scratch_.ExchangePath() / name).string(); }

  // Writes a texture list: each group is material, UV set, channel, path.
  // A path inside the scratch folder at which nothing is yet gets a small
  // image, since the receive takes only images.
  std::string WriteTextures(const std::vector<std::vector<std::string>>& groups, const char* name = "textures.txt",
                            const char* lineEnd = "\n") const {
    std::string text;
    for (const auto& group : groups) {
      for (const std::string& line : group) text += line + lineEnd;
      std::error_code unusable;  // a name too long for the system, say
      if (group.size() == 4 && group[3].rfind((scratch_.Root() / "").string(), 0) == 0 &&
          std::filesystem::symlink_status(group[3], unusable).type() == std::filesystem::file_type::not_found)
        ScratchFolder::WriteImage(group[3]);
    }
    ScratchFolder::WriteFile(scratch_.ExchangePath() / name, text);
    return ExchangePath(name);
  }

  std::vector<AfxMessageBoxRecord> Boxes() const { return AfxGetHeadlessDisplay().MessageBoxes(); }

  HModelCache* Model(const char* name) const { return project_->GetChildObjectCacheContainer()->FindModel(name); }
  int CountModels() const { return project_->GetChildObjectCacheContainer()->CountChildren(); }
  int CountImages() const { return project_->GetChildClipCacheContainer()->CountChildren(); }

  // The lists below are empty for a null object, so a test checks their size
  // instead of crashing on what it is about to check.
  static std::vector<HGroup*> Groups(HModelCache* model) {
    std::vector<HGroup*> groups;
    if (HGroupContainer* container = model ? model->GetChildGroupContainer() : nullptr) {
      for (HHashObject* g = container->GetChildGroup(); g; g = g->GetSibling())
        groups.push_back(static_cast<HGroup*>(g));
    }
    return groups;
  }
  static std::vector<HDecal*> Decals(HModelCache* model) {
    std::vector<HDecal*> decals;
    if (HDecalContainer* container = model ? model->GetChildDecalContainer() : nullptr) {
      for (HHashObject* d = container->GetChildDecal(); d; d = d->GetSibling())
        decals.push_back(static_cast<HDecal*>(d));
    }
    return decals;
  }
  // The model's first decal, or null.
  static HDecal* FirstDecal(HModelCache* model) {
    const auto decals = Decals(model);
    return decals.empty() ? nullptr : decals.front();
  }
  // The model's decal of that name, or null.
  static HDecal* DecalNamed(HModelCache* model, const char* name) {
    for (HDecal* decal : Decals(model)) {
      if (decal->GetName() == name) return decal;
    }
    return nullptr;
  }
  static std::vector<HDecalClip*> Clips(HDecal* decal) {
    std::vector<HDecalClip*> clips;
    if (HDecalClipContainer* container = decal ? decal->GetChildDecalClipContainer() : nullptr) {
      for (HHashObject* c = container->GetChildDecalClip(); c; c = c->GetSibling())
        clips.push_back(static_cast<HDecalClip*>(c));
    }
    return clips;
  }
  // The file a clip's image was loaded from; empty when it shows none.
  static std::string FileOf(HDecalClip* clip) {
    HImage* image = clip ? clip->GetClip()->GetClip() : nullptr;
    return image ? image->GetFilename()->GetValue().Get() : "";
  }
  // The patches a decal places, ascending.
  static std::vector<std::int32_t> PlacedPatches(HDecal* decal) {
    std::vector<std::int32_t> patches;
    if (decal) {
      for (const HPatchUV& placement : decal->GetPatchUVs()) patches.push_back(placement.patch);
    }
    return patches;
  }
  // The project's images loaded from that file, compared byte for byte.
  int CountImagesOf(const std::string& file) const {
    int count = 0;
    for (HHashObject* c = project_->GetChildClipCacheContainer()->GetChild(); c; c = c->GetSibling())
      count += static_cast<HImage*>(c)->GetFilename()->GetValue() == file.c_str();
    return count;
  }

  ScratchFolder scratch_;
  PluginTestState state_;
  HProject* project_ = nullptr;

#if !defined(_WIN32)
  // Two hosts (forked processes) receive at the same moment: how many
  // imported an answer, and how many showed a box.
  struct TwoHosts {
    int imported = 0;
    int showedBoxes = 0;
  };
  TwoHosts ReceiveInTwoHostsAtOnce() {
    TwoHosts result;
    int go[2];
    if (pipe(go) != 0) return result;
    pid_t hosts[2];
    for (pid_t& host : hosts) {
      host = fork();
      if (host == 0) {
        char start;
        close(go[1]);
        const bool started = read(go[0], &start, 1) == 0;  // both start when the pipe closes
        const int received = started ? state_.Plugin().Receive() : -1;
        // Exit code: 1 imported, 0 left it, plus 2 when a box was shown.
        _exit(received < 0 ? 9 : received + (Boxes().empty() ? 0 : 2));
      }
    }
    close(go[0]);
    close(go[1]);
    for (pid_t host : hosts) {
      int status = 0;
      if (waitpid(host, &status, 0) != host || !WIFEXITED(status) || WEXITSTATUS(status) > 3) {
        ADD_FAILURE() << "a host did not end as a receive does";
        continue;
      }
      result.imported += WEXITSTATUS(status) & 1;
      result.showedBoxes += WEXITSTATUS(status) >> 1;
    }
    return result;
  }
#endif
};
