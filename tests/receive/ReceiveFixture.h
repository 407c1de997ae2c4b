#pragma once

#include <gtest/gtest.h>

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
#include "settings/SettingsCatalog.h"

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
  std::string WriteTextures(const std::vector<std::vector<std::string>>& groups, const char* name = "textures.txt",
                            const char* lineEnd = "\n") const {
    std::string text;
    for (const auto& group : groups) {
      for (const std::string& line : group) text += line + lineEnd;
    }
    ScratchFolder::WriteFile(scratch_.ExchangePath() / name, text);
    return ExchangePath(name);
  }

  std::vector<AfxMessageBoxRecord> Boxes() const { return AfxGetHeadlessDisplay().MessageBoxes(); }

  HModelCache* Model(const char* name) const { return project_->GetChildObjectCacheContainer()->FindModel(name); }
  int CountModels() const { return project_->GetChildObjectCacheContainer()->CountChildren(); }
  int CountImages() const { return project_->GetChildClipCacheContainer()->CountChildren(); }

  static std::vector<HGroup*> Groups(HModelCache* model) {
    std::vector<HGroup*> groups;
    if (HGroupContainer* container = model->GetChildGroupContainer()) {
      for (HHashObject* g = container->GetChildGroup(); g; g = g->GetSibling())
        groups.push_back(static_cast<HGroup*>(g));
    }
    return groups;
  }
  static std::vector<HDecalClip*> Clips(HDecal* decal) {
    std::vector<HDecalClip*> clips;
    if (HDecalClipContainer* container = decal->GetChildDecalClipContainer()) {
      for (HHashObject* c = container->GetChildDecalClip(); c; c = c->GetSibling())
        clips.push_back(static_cast<HDecalClip*>(c));
    }
    return clips;
  }

  ScratchFolder scratch_;
  PluginTestState state_;
  HProject* project_ = nullptr;
};
