#include "Plugin/CPluginDialog.h"

CPluginDialog::CPluginDialog(UINT nIDTemplate, CWnd* pParentWnd) : CDialog(nIDTemplate, pParentWnd) {}

CPluginDialog::~CPluginDialog() = default;
