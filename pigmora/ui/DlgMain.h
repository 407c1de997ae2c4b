#pragma once

#include <Plugin/CPluginDialog.h>

namespace pigmora {

class ApplinkSettings;
class DlgIO;
class DlgOptions;
struct SendContext;

// The applink dialog (template 101): a tab control with the I/O and Options
// pages. It only creates, places and switches the pages; they do the work.
class DlgMain : public CPluginDialog {
public:
  // The pages send through `send` and edit `settings`.
  DlgMain(const SendContext& send, ApplinkSettings& settings);
  ~DlgMain() override;

  BOOL OnInitDialog() override;

  DlgIO* IOPage() const { return ioPage_; }
  DlgOptions* OptionsPage() const { return optionsPage_; }

protected:
  void OnTabSelChange(NMHDR* notify, LRESULT* result);

private:
  CWnd* tabControl_ = nullptr;
  DlgIO* ioPage_;
  DlgOptions* optionsPage_;

  DECLARE_MESSAGE_MAP()
};

}  // namespace pigmora
