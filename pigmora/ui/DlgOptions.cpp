#include "ui/DlgOptions.h"

#include <iterator>

#include "resources/resource.h"
#include "settings/ApplinkSettings.h"

namespace pigmora {

namespace {

struct CheckBoxSetting {
  int id;
  const char* key;
};

// "Emissive" edits ExportEmissivePower and "Emissive Color" ExportEmissive.
constexpr CheckBoxSetting kCheckBoxes[] = {
    {IDC_EXPORT_COLOR, "ExportColor"},
    {IDC_EXPORT_SPECULAR, "ExportSpecular"},
    {IDC_EXPORT_SPECULAR_COLOR, "ExportSpecularColor"},
    {IDC_EXPORT_EMISSIVE_POWER, "ExportEmissivePower"},
    {IDC_EXPORT_EMISSIVE, "ExportEmissive"},
    {IDC_EXPORT_NORMALMAP, "ExportNormalmap"},
    {IDC_SKIP_IMPORT, "SkipImport"},
    {IDC_SKIP_EXPORT, "SkipExport"},
    {IDC_PICK_SOURCE_POSITIONS, "PickSourcePositions"},
    {IDC_PICK_DEPTH_FROM_LAYER0, "PickDepthFromLayer0"},
    {IDC_COARSE_MESH, "CoarseMesh"},
    {IDC_AUTO_IMPORT, "AutoImport"},
    {IDC_EXPORT_DISPL, "ExportDispl"},
};

struct ListSetting {
  int id;
  const char* key;
  std::initializer_list<const char*> entries;
};

const ListSetting kLists[] = {
    {IDC_COLOR_FILE_EXTENSION, "ColorFileExtension", {"TGA (.tga)", "BMP (.bmp)", "PNG (.png)", "JPG (.jpg)"}},
    {IDC_SPEC_NORM_EXTENSION, "SpecNormExtension", {"TGA (.tga)", "BMP (.bmp)", "PNG (.png)", "JPG (.jpg)"}},
    {IDC_DISPL_NORM, "DisplNorm", {"GREYBASED", "ZEROBASED", "ZEROBASED_NORM", "ZEROBASED_ABS"}},
    {IDC_DISPL_TEX_EXT,
     "DisplTexExt",
     {"BMP 8-bits(.bmp)", "TGA 8-bits(.tga)", "PNG 8-bits(.png)", "TIF 16-bits(.tif)", "TIFF 32-bits(.tiff)",
      "EXR 32-bits(.exr)"}},
    {IDC_EXPORT_RESOLUTION, "ExportResolution", {"LOW-POLY", "MID-POLY"}},
};

const char* CheckBoxKey(int id) {
  for (const CheckBoxSetting& box : kCheckBoxes)
    if (box.id == id) return box.key;
  return nullptr;
}

const ListSetting* FindList(int id) {
  for (const ListSetting& list : kLists)
    if (list.id == id) return &list;
  return nullptr;
}

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
  exePath_ = GetDlgItem(IDC_EXE_PATH);
  exportColor_ = GetDlgItem(IDC_EXPORT_COLOR);
  exportSpecular_ = GetDlgItem(IDC_EXPORT_SPECULAR);
  exportSpecularColor_ = GetDlgItem(IDC_EXPORT_SPECULAR_COLOR);
  exportEmissivePower_ = GetDlgItem(IDC_EXPORT_EMISSIVE_POWER);
  exportEmissive_ = GetDlgItem(IDC_EXPORT_EMISSIVE);
  exportNormalmap_ = GetDlgItem(IDC_EXPORT_NORMALMAP);
  colorFileExtension_ = GetDlgItem(IDC_COLOR_FILE_EXTENSION);
  specNormExtension_ = GetDlgItem(IDC_SPEC_NORM_EXTENSION);
  exportDispl_ = GetDlgItem(IDC_EXPORT_DISPL);
  exportResolution_ = GetDlgItem(IDC_EXPORT_RESOLUTION);
  displNorm_ = GetDlgItem(IDC_DISPL_NORM);
  displTexExt_ = GetDlgItem(IDC_DISPL_TEX_EXT);
  skipImport_ = GetDlgItem(IDC_SKIP_IMPORT);
  autoImport_ = GetDlgItem(IDC_AUTO_IMPORT);
  skipExport_ = GetDlgItem(IDC_SKIP_EXPORT);
  pickSourcePositions_ = GetDlgItem(IDC_PICK_SOURCE_POSITIONS);
  pickDepthFromLayer0_ = GetDlgItem(IDC_PICK_DEPTH_FROM_LAYER0);
  coarseMesh_ = GetDlgItem(IDC_COARSE_MESH);

  for (const ListSetting& list : kLists) {
    if (CWnd* combo = GetDlgItem(list.id))
      for (const char* entry : list.entries) combo->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
  }

  if (exePath_) exePath_->SetWindowText(GetSettingString("exePath"));

  LoadCheckBox(exportColor_, IDC_EXPORT_COLOR);
  LoadCheckBox(exportSpecular_, IDC_EXPORT_SPECULAR);
  LoadCheckBox(exportSpecularColor_, IDC_EXPORT_SPECULAR_COLOR);
  LoadCheckBox(exportEmissivePower_, IDC_EXPORT_EMISSIVE_POWER);
  LoadCheckBox(exportEmissive_, IDC_EXPORT_EMISSIVE);
  LoadCheckBox(exportNormalmap_, IDC_EXPORT_NORMALMAP);
  LoadCheckBox(exportDispl_, IDC_EXPORT_DISPL);

  LoadList(colorFileExtension_, IDC_COLOR_FILE_EXTENSION);
  LoadList(specNormExtension_, IDC_SPEC_NORM_EXTENSION);
  LoadList(exportResolution_, IDC_EXPORT_RESOLUTION);
  LoadList(displNorm_, IDC_DISPL_NORM);
  LoadList(displTexExt_, IDC_DISPL_TEX_EXT);

  LoadCheckBox(skipImport_, IDC_SKIP_IMPORT);
  LoadCheckBox(skipExport_, IDC_SKIP_EXPORT);
  LoadCheckBox(pickSourcePositions_, IDC_PICK_SOURCE_POSITIONS);
  LoadCheckBox(pickDepthFromLayer0_, IDC_PICK_DEPTH_FROM_LAYER0);
  LoadCheckBox(coarseMesh_, IDC_COARSE_MESH);
  LoadCheckBox(autoImport_, IDC_AUTO_IMPORT);

  OnDisplacement();
  return TRUE;
}

void DlgOptions::LoadCheckBox(CWnd* box, int id) {
  if (box) box->SendMessage(BM_SETCHECK, static_cast<WPARAM>(GetSettingValue(CheckBoxKey(id))));
}

void DlgOptions::LoadList(CWnd* list, int id) {
  const ListSetting* setting = FindList(id);
  if (!list || !setting) return;
  // A stored index outside the list (an edited registry) shows the first
  // entry; the setting changes only when the user chooses one.
  const int stored = GetSettingValue(setting->key);
  const int count = static_cast<int>(setting->entries.size());
  list->SendMessage(CB_SETCURSEL, static_cast<WPARAM>(stored >= 0 && stored < count ? stored : 0));
}

void DlgOptions::OnSetExePath() {
  CFileDialog dialog(TRUE, "exe", "*.exe", OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, "Pigmora executable (*.exe) |*.exe||",
                     this, 0, TRUE);
  if (dialog.DoModal() != IDOK) return;
  const std::string path = dialog.GetPathName();
  if (exePath_) exePath_->SetWindowText(path.c_str());
  SetSettingString("exePath", path.c_str());
}

void DlgOptions::OnCheckBox(UINT nID) {
  const char* key = CheckBoxKey(static_cast<int>(nID));
  CWnd* box = GetDlgItem(static_cast<int>(nID));
  if (!key || !box) return;
  SetSettingValue(key, CheckState(box));
  if (nID == IDC_AUTO_IMPORT) MessageBox("Requires restart the application", "Info", MB_OK);
}

void DlgOptions::OnComboSelChange(UINT nID) {
  const ListSetting* setting = FindList(static_cast<int>(nID));
  CWnd* combo = GetDlgItem(static_cast<int>(nID));
  if (!setting || !combo) return;
  const LRESULT selection = combo->SendMessage(CB_GETCURSEL);
  if (selection >= 0) SetSettingValue(setting->key, static_cast<int>(selection));
}

void DlgOptions::OnDisplacement() {
  const int state = CheckState(exportDispl_);
  for (CWnd* list : {exportResolution_, displNorm_, displTexExt_})
    if (list) list->EnableWindow(state == BST_CHECKED);
  SetSettingValue("ExportDispl", state);
}

}  // namespace pigmora
