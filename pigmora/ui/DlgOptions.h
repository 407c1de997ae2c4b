#pragma once

#include <afxwin.h>

#include <array>

#include "settings/OptionTable.h"

namespace pigmora {

class ApplinkSettings;

// The Options page (template 103): shows every option of the table and stores
// each change the moment it is made; there is no OK or Apply step.
class DlgOptions : public CDialog {
public:
  explicit DlgOptions(ApplinkSettings& settings) : settings_(settings) {}
  ~DlgOptions() override = default;

  BOOL OnInitDialog() override;
  // Escape or a cancel command never ends or hides the page.
  void OnCancel() override {}

protected:
  void OnSetExePath();
  void OnDisplacement();
  void OnCheckBox(UINT nID);
  void OnComboSelChange(UINT nID);

private:
  CWnd* Control(Option option) const { return controls_[static_cast<std::size_t>(option)]; }
  void LoadControl(const OptionDefinition& definition);

  ApplinkSettings& settings_;
  // Each option's control, by handle; taken in OnInitDialog, not owned.
  std::array<CWnd*, kOptionCount> controls_{};

  DECLARE_MESSAGE_MAP()
};

}  // namespace pigmora
