#include "ui/DlgOptions.h"

#include "resources/resource.h"
#include "settings/ApplinkSettings.h"
#include "ui/MessageBoxes.h"

namespace pigmora {

namespace {

int CheckState(CWnd* box) { return box && box->SendMessage(BM_GETCHECK) == BST_CHECKED ? BST_CHECKED : BST_UNCHECKED; }

}  // namespace

BEGIN_MESSAGE_MAP(DlgOptions, CDialog)
ON_BN_CLICKED(IDC_SET_EXE_PATH, OnSetExePath)
ON_BN_CLICKED(IDC_EXPORT_DISPL, OnDisplacement)
ON_CONTROL_RANGE(BN_CLICKED, IDC_EXPORT_COLOR, IDC_AUTO_IMPORT, OnCheckBox)
ON_CONTROL_RANGE(CBN_SELCHANGE, IDC_COLOR_FILE_EXTENSION, IDC_DISPL_TEX_EXT, OnComboSelChange)
END_MESSAGE_MAP()

BOOL DlgOptions::OnInitDialog() {
  CDialog::OnInitDialog();
  for (const OptionDefinition& definition : OptionTable()) {
    controls_[static_cast<std::size_t>(definition.option)] = GetDlgItem(definition.controlId);
    LoadControl(definition);
  }
  OnDisplacement();
  return TRUE;
}

void DlgOptions::LoadControl(const OptionDefinition& definition) {
  CWnd* control = Control(definition.option);
  if (!control) return;
  if (definition.kind == SettingKind::String) {
    control->SetWindowText(settings_.GetSettingString(definition.option));
    return;
  }
  const int stored = settings_.GetSettingValue(definition.option);
  if (definition.entries.empty()) {
    control->SendMessage(BM_SETCHECK, static_cast<WPARAM>(stored));
    return;
  }
  for (const ListEntry& entry : definition.entries)
    control->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.displayText));
  // A stored index outside the list (an edited registry) shows the first
  // entry; the setting changes only when the user chooses one.
  control->SendMessage(CB_SETCURSEL, static_cast<WPARAM>(IsInList(definition, stored) ? stored : 0));
}

void DlgOptions::OnSetExePath() {
  CFileDialog dialog(TRUE, "exe", "*.exe", OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, "Pigmora executable (*.exe) |*.exe||",
                     this, 0, TRUE);
  if (dialog.DoModal() != IDOK) return;
  const std::string path = dialog.GetPathName();
  if (CWnd* edit = Control(Option::ExePath)) edit->SetWindowText(path.c_str());
  settings_.SetSettingString(Option::ExePath, path.c_str());
}

void DlgOptions::OnCheckBox(UINT nID) {
  const OptionDefinition* definition = OptionOfControl(static_cast<int>(nID));
  CWnd* box = GetDlgItem(static_cast<int>(nID));
  if (!definition || !box) return;
  settings_.SetSettingValue(definition->option, CheckState(box));
  if (definition->option == Option::AutoImport) ShowInfoBox(GetSafeHwnd(), "Info", "Requires restart the application");
}

void DlgOptions::OnComboSelChange(UINT nID) {
  const OptionDefinition* definition = OptionOfControl(static_cast<int>(nID));
  CWnd* combo = GetDlgItem(static_cast<int>(nID));
  if (!definition || !combo) return;
  const LRESULT selection = combo->SendMessage(CB_GETCURSEL);
  if (selection >= 0) settings_.SetSettingValue(definition->option, static_cast<int>(selection));
}

void DlgOptions::OnDisplacement() {
  const int state = CheckState(Control(Option::ExportDispl));
  for (Option list : {Option::ExportResolution, Option::DisplNorm, Option::DisplTexExt})
    if (CWnd* combo = Control(list)) combo->EnableWindow(state == BST_CHECKED);
  settings_.SetSettingValue(Option::ExportDispl, state);
}

}  // namespace pigmora
