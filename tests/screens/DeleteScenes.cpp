// The delete dialog as "Delete Selected" opens it over three checked songs (one inside a ZIP), and
// as the P2P uninstaller's confirmation with its single program. The files do not exist; every
// scene closes with Cancel.
#include "DeleteDialog.h"
#include "MvListView.h"
#include "Scene.h"
#include "ScanRecords.h"

#include <commctrl.h>
#include <windows.h>

#include <memory>
#include <vector>

namespace tessaly::test {
namespace {

DeleteDialogRequest Texts(Scene& scene, const wchar_t* title, const wchar_t* top, const wchar_t* middle,
                          const wchar_t* bottom) {
  StringTable& language = scene.Language();
  DeleteDialogRequest request;
  request.title = GetString(false, title, language);
  request.bodyTop = GetString(false, top, language);
  if (middle) request.bodyMiddleBold = GetString(false, middle, language);
  if (bottom) request.bodyBottom = GetString(false, bottom, language);
  request.language = &language;
  return request;
}

TESSALY_SCENE(DeleteDialogMedia) {
  HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  HWND listWindow = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 10, 10, owner, nullptr,
                                    nullptr, nullptr);
  SendMessageW(listWindow, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
  MvListView list(L"IDC_LISTVIEW_SHAREDMEDIA", listWindow);
  list.InsertColumn(L"", 100);
  auto root = ScanFolder::MakeRoot(L"C:\\Users\\Pat\\Music\\Shared");
  auto zip = ScanFolder::MakeChild(root, L"Summer Hits.zip", kZipArchive, true);
  struct {
    ScanFolder* folder;
    const wchar_t* name;
  } songs[] = {{root.get(), L"Artist - First Song.mp3"}, {zip.get(), L"02 Sunshine.mp3"},
               {root.get(), L"Live Concert.avi"}};
  std::vector<std::unique_ptr<ScanFile>> files;
  for (const auto& song : songs) {
    files.push_back(std::make_unique<ScanFile>());
    files.back()->folder = song.folder;
    files.back()->name = song.name;
    const int row = list.AddItem(-1, song.name, reinterpret_cast<LPARAM>(files.back().get()));
    LVITEMW state{};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = INDEXTOSTATEIMAGEMASK(2);
    SendMessageW(listWindow, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
  }
  DeleteDialogRequest request = Texts(scene, L"IDS_DELETEIMAGEFILES", L"IDS_DELETEFILEBODYTOP",
                                      L"IDS_DELETEFILEBODYMIDDLEBOLD", L"IDS_DELETEFILEBODYBOTTOM");
  request.fileList = &list;
  scene.ShootModal([&] { RunDeleteDialog(owner, request); }, L"delete-media");
  DestroyWindow(owner);
}

TESSALY_SCENE(DeleteDialogP2p) {
  auto root = ScanFolder::MakeRoot(L"C:\\Program Files\\eMule");
  ScanFile program;
  program.folder = root.get();
  program.name = L"emule.exe";
  DeleteDialogRequest request =
      Texts(scene, L"IDS_UNINSTALLFILESHARINGSOFTWARE", L"IDS_DELETEFILEBODYTOPP2P", nullptr, nullptr);
  request.file = &program;
  scene.ShootModal([&] { RunDeleteDialog(nullptr, request); }, L"delete-p2p");
}

}  // namespace
}  // namespace tessaly::test
