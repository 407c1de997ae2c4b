#include "app/PluginState.h"

#include "settings/SettingsCatalog.h"
#include "ui/MessageBoxes.h"

namespace pigmora {

namespace {

ExchangeFolder PreparedExchangeFolder() {
  ExchangeFolder folder;
  folder.Build();
  PrepareExchangeFolder(folder);
  return folder;
}

class RunningFlag {
public:
  explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~RunningFlag() { flag_ = false; }
  RunningFlag(const RunningFlag&) = delete;
  RunningFlag& operator=(const RunningFlag&) = delete;

private:
  bool& flag_;
};

// The receive's boxes, owned by the window the UI thread reports: what was
// left out of a received model, then, in one box, what went wrong.
void ShowReceiveOutcome(const ReceiveOutcome& outcome) {
  const HWND owner = ThreadMainWindow();
  if (outcome.imported && !outcome.notes.IsEmpty()) ShowInfoBox(owner, "Info", outcome.notes.Get());
  const String problem = outcome.ProblemText();
  if (!problem.IsEmpty()) ShowErrorBox(owner, "Pigmora", problem.Get());
}

}  // namespace

PluginState::PluginState() : Exchange(PreparedExchangeFolder()), Settings(kSettingsSection) {
  RegisterApplinkSettings(Settings);
  Fbx.InitFbxContext(FbxErrorText);
}

int PluginState::Receive(ReceiveTrigger trigger) {
  // A tick delivered inside one of this receive's message boxes finds it running.
  if (Receiving.running) return 0;
  const RunningFlag running(Receiving.running);
  const ReceiveOutcome outcome = ReceiveModel(Receiving, Exchange, Fbx, CurrentTreeObject, trigger);
  if (outcome.processed) ShowReceiveOutcome(outcome);
  return outcome.Result();
}

}  // namespace pigmora
