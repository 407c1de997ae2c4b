#include "app/PluginState.h"

#include "settings/SettingsCatalog.h"

namespace pigmora {

PluginState::PluginState() : TheApplinkSettings(kSettingsSection) {
  RegisterApplinkSettings(TheApplinkSettings);
  fbx.InitFbxContext(fbxErrorText);
}

int PluginState::Receive(ReceiveTrigger trigger) {
  return ReceiveModel(receiveMemory, TheApplinkSettings.Exchange(), fbx, CurrentTreeObject, trigger);
}

}  // namespace pigmora
