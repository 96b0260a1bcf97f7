// The welcome dialog (at its top and after a quick link), the options dialog and the three pages
// of the scan-done wizard over three P2P programs. Nothing is stored anywhere but in memory.
#include "MvListView.h"
#include "OptionsDialog.h"
#include "ScanDoneWizard.h"
#include "ScanRecords.h"
#include "Scene.h"
#include "SettingsStore.h"
#include "SharedProperties.h"
#include "WelcomeDialog.h"
#include "WelcomeDialogResources.h"

#include <commctrl.h>
#include <windows.h>

#include <memory>
#include <vector>

namespace tessaly::test {
namespace {

void ShootWelcome(Scene& scene, const std::wstring& name, int link) {
  MemorySettingsStore settings;
  WelcomeRequest request;
  request.language = &scene.Language();
  request.settings = &settings;
  scene.ShootModal([&] { ShowWelcome(nullptr, request); }, name, [link](HWND dialog) {
    if (link) SendMessageW(GetDlgItem(dialog, link), WM_LBUTTONUP, 0, 0);
  });
}

TESSALY_SCENE(WelcomeTop) { ShootWelcome(scene, L"welcome", 0); }

TESSALY_SCENE(WelcomeAfterLink) { ShootWelcome(scene, L"welcome-link", IDC_WELCOME_FINDMUSIC); }

TESSALY_SCENE(Options) {
  MemorySettingsStore settings;
  StringTable configuration;
  OptionsRequest request;
  request.language = &scene.Language();
  request.configuration = &configuration;
  request.settings = &settings;
  request.limits = {1, 15, 2, 3000};
  scene.ShootModal([&] { RunOptionsDialog(nullptr, request); }, L"options");
}

// The main window's P2P list as the wizard reads it, in a hidden window of its own.
class ProgramRows {
 public:
  explicit ProgramRows(StringTable& language) {
    parent_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 400, 300, parent_, nullptr,
                                nullptr, nullptr);
    list_ = std::make_unique<MvListView>(L"IDC_LISTVIEW_P2P", list);
    list_->InsertColumn(L"", 100);
    list_->InsertColumn(L"", 100);
    const std::wstring identified = GetString(false, L"IDS_FILESHARINGSOFTWARE", language);
    for (const wchar_t* name : {L"limewire.exe", L"emule.exe", L"bearshare.exe"}) {
      files_.push_back(std::make_unique<ScanFile>());
      files_.back()->name = name;
      const int row = list_->AddItem(-1, name, reinterpret_cast<LPARAM>(files_.back().get()));
      list_->SetItemText(row, 1, identified.c_str());
    }
  }
  ~ProgramRows() {
    list_.reset();
    DestroyWindow(parent_);
  }
  MvListView* List() { return list_.get(); }

 private:
  HWND parent_ = nullptr;
  std::unique_ptr<MvListView> list_;
  std::vector<std::unique_ptr<ScanFile>> files_;
};

void ShootWizardPage(Scene& scene, int page) {
  ProgramRows programs(scene.Language());
  ScanDoneWizard wizard(scene.Language(), GetModuleHandleW(nullptr));
  wizard.SetProperty(kWizardP2pCount, NumberValue(3));
  wizard.SetProperty(kWizardMusicCount, NumberValue(214));
  wizard.SetProperty(kWizardVideoCount, NumberValue(12));
  wizard.SetProperty(kWizardImageCount, NumberValue(1630));
  wizard.SetProperty(kWizardP2pList, programs.List());
  scene.ShootModal([&] { wizard.Run(nullptr); }, L"wizard-page" + std::to_wstring(page + 1),
                   [page](HWND dialog) {
                     for (int next = 0; next < page; ++next) {
                       SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_WIZARD_NEXT, BN_CLICKED),
                                    reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_WIZARD_NEXT)));
                     }
                     if (page == 1) {  // one program checked, as a user would before going on
                       LVITEMW state{};
                       state.stateMask = LVIS_STATEIMAGEMASK;
                       state.state = INDEXTOSTATEIMAGEMASK(2);
                       SendDlgItemMessageW(dialog, IDC_WIZARD_LIST, LVM_SETITEMSTATE, 1,
                                           reinterpret_cast<LPARAM>(&state));
                     }
                   },
                   IDC_WIZARD_CANCEL);
}

TESSALY_SCENE(WizardPage1) { ShootWizardPage(scene, 0); }
TESSALY_SCENE(WizardPage2) { ShootWizardPage(scene, 1); }
TESSALY_SCENE(WizardPage3) { ShootWizardPage(scene, 2); }

}  // namespace
}  // namespace tessaly::test
