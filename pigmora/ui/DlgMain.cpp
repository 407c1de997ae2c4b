#include "ui/DlgMain.h"

#include <Plugin/MainWindow.h>

#include "resources/resource.h"
#include "ui/DlgIO.h"
#include "ui/DlgOptions.h"

namespace pigmora {

BEGIN_MESSAGE_MAP(DlgMain, CPluginDialog)
ON_NOTIFY(TCN_SELCHANGE, IDC_TABS, OnTabSelChange)
END_MESSAGE_MAP()

DlgMain::DlgMain(const SendContext& send, ApplinkSettings& settings)
    : CPluginDialog(IDD_APPLINK, CWnd::FromHandle(GetMainApplicationWnd())),
      ioPage_(new DlgIO(send)),
      optionsPage_(new DlgOptions(settings)) {}

DlgMain::~DlgMain() {
  delete ioPage_;
  delete optionsPage_;
}

BOOL DlgMain::OnInitDialog() {
  CPluginDialog::OnInitDialog();
  tabControl_ = GetDlgItem(IDC_TABS);
  if (!tabControl_) return TRUE;

  ioPage_->Create(IDD_IO, tabControl_);
  TCITEM item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<char*>("I/O");
  tabControl_->SendMessage(TCM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item));
  RECT itemRect{};
  tabControl_->SendMessage(TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&itemRect));
  // Pages sit right below the tab items, at their template size.
  ioPage_->SetWindowPos(nullptr, itemRect.left, itemRect.bottom + 1, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ioPage_->ShowWindow(SW_SHOW);

  optionsPage_->Create(IDD_OPTIONS, tabControl_);
  item.pszText = const_cast<char*>("Options");
  tabControl_->SendMessage(TCM_INSERTITEM, 1, reinterpret_cast<LPARAM>(&item));
  optionsPage_->SetWindowPos(nullptr, itemRect.left, itemRect.bottom + 1, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  return TRUE;
}

void DlgMain::OnTabSelChange(NMHDR*, LRESULT*) {
  if (tabControl_->SendMessage(TCM_GETCURSEL) != 0) {
    optionsPage_->ShowWindow(SW_SHOW);
    optionsPage_->SetFocus();
    ioPage_->ShowWindow(SW_HIDE);
  } else {
    ioPage_->ShowWindow(SW_SHOW);
    ioPage_->SetFocus();
    optionsPage_->ShowWindow(SW_HIDE);
  }
}

}  // namespace pigmora
