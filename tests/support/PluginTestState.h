#pragma once

// The plug-in's process-wide state as its application object sets it up (the
// settings, read from the test's scratch registry, and the FBX context), a host
// project and an empty message-box record. For tests that link the plug-in's
// parts; fixtures call Start in SetUp and Stop in TearDown.
#include <gtest/gtest.h>

#include <Plugin/HostProject.h>
#include <afxdisplay.h>

#include "fbx/FbxContext.h"
#include "shell/ApplinkSettings.h"
#include "shell/HxtApp.h"
#include "shell/SettingsCatalog.h"

struct PluginTestState {
  HProject* project = nullptr;

  // A failed FBX start fails the test.
  void Start(bool withSample) {
    AfxGetHeadlessDisplay().ClearMessageBoxes();
    TheApplinkSettings = new ApplinkSettings(APPLINK_SETTINGS_SECTION);
    RegisterApplinkSettings(*TheApplinkSettings);
    FbxString error;
    EXPECT_TRUE(InitFbxContext(error)) << error.Buffer();
    project = CreateHostProject(withSample);
  }

  void Stop() {
    SetCurrentTreeObject(nullptr);
    DestroyHostProject(project);
    project = nullptr;
    DestroyFbxContext();
    delete TheApplinkSettings;
    TheApplinkSettings = nullptr;
    AfxGetHeadlessDisplay().ClearMessageBoxes();
  }
};
