#pragma once

#include <afxwin.h>

namespace pigmora {

// The Options page (template 103): shows every setting and stores each change
// the moment it is made; there is no OK or Apply step.
class DlgOptions : public CDialog {
public:
  DlgOptions() = default;
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
  void LoadCheckBox(CWnd* box, int id);
  void LoadList(CWnd* list, int id);

  CWnd* exePath_ = nullptr;
  CWnd* exportColor_ = nullptr;
  CWnd* exportSpecular_ = nullptr;
  CWnd* exportSpecularColor_ = nullptr;
  CWnd* exportEmissivePower_ = nullptr;
  CWnd* exportEmissive_ = nullptr;
  CWnd* exportNormalmap_ = nullptr;
  CWnd* colorFileExtension_ = nullptr;
  CWnd* specNormExtension_ = nullptr;
  CWnd* exportDispl_ = nullptr;
  CWnd* exportResolution_ = nullptr;
  CWnd* displNorm_ = nullptr;
  CWnd* displTexExt_ = nullptr;
  CWnd* skipImport_ = nullptr;
  CWnd* autoImport_ = nullptr;
  CWnd* skipExport_ = nullptr;
  CWnd* pickSourcePositions_ = nullptr;
  CWnd* pickDepthFromLayer0_ = nullptr;
  CWnd* coarseMesh_ = nullptr;

  DECLARE_MESSAGE_MAP()
};

}  // namespace pigmora
