#pragma once

// The plug-in's process-wide state built as its application object builds it
// (the settings, read from the test's scratch registry, the exchange folder
// and the FBX context), a host project and an empty message-box record. For
// tests that link the plug-in's parts; fixtures call Start in SetUp and Stop
// in TearDown.
#include <gtest/gtest.h>

#include <Plugin/HostProject.h>
#include <afxdisplay.h>

#include <optional>

#include "app/PluginState.h"

using namespace pigmora;

struct PluginTestState {
  HProject* project = nullptr;
  std::optional<pigmora::PluginState> plugin;

  // A failed FBX start fails the test.
  void Start(bool withSample) {
    AfxGetHeadlessDisplay().ClearMessageBoxes();
    plugin.emplace();
    EXPECT_TRUE(plugin->FbxErrorText.IsEmpty()) << plugin->FbxErrorText.Buffer();
    project = CreateHostProject(withSample);
  }

  void Stop() {
    DestroyHostProject(project);
    project = nullptr;
    plugin.reset();
    AfxGetHeadlessDisplay().ClearMessageBoxes();
  }

  pigmora::PluginState& Plugin() { return *plugin; }
  pigmora::ApplinkSettings& Settings() { return plugin->Settings; }
};
