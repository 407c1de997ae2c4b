#include "app/PluginState.h"

#include "settings/SettingsCatalog.h"

namespace pigmora {

namespace {

ExchangeFolder PreparedExchangeFolder() {
  ExchangeFolder folder;
  folder.Build();
  PrepareExchangeFolder(folder);
  return folder;
}

}  // namespace

PluginState::PluginState() : Exchange(PreparedExchangeFolder()), Settings(kSettingsSection) {
  RegisterApplinkSettings(Settings);
  Fbx.InitFbxContext(FbxErrorText);
}

int PluginState::Receive(ReceiveTrigger trigger) {
  return ReceiveModel(Receiving, Exchange, Fbx, CurrentTreeObject, trigger);
}

}  // namespace pigmora
