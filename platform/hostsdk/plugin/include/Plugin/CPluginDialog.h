#pragma once

#include <afxwin.h>

#include "Plugin/Export.h"

// The host SDK's dialog base: a CDialog meant to be owned by the host's main
// window (GetMainApplicationWnd). It adds no behaviour of its own.
class PLUGIN_API CPluginDialog : public CDialog {
public:
  explicit CPluginDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  ~CPluginDialog() override;
};
