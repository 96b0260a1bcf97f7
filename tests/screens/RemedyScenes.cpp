// The uninstall progress dialog while it waits, and the question that blocking a P2P program
// asks. Nothing is run or blocked: the progress dialog's attempt has no program and ends by
// itself after its pause, and the question is answered with Cancel.
#include "P2pBlock.h"
#include "ScanRecords.h"
#include "Scene.h"
#include "SettingsStore.h"
#include "UninstallProgressDialog.h"

#include <windows.h>

namespace tessaly::test {

TESSALY_SCENE(UninstallProgress) {
  UninstallProgressRequest request;
  request.language = &scene.Language();
  request.instance = GetModuleHandleW(nullptr);
  request.settleMs = 2500;  // long enough to be photographed
  scene.ShootModal([&] { RunUninstallProgressDialog(nullptr, request); }, L"uninstall-progress");
}

TESSALY_SCENE(BlockQuestion) {
  auto root = ScanFolder::MakeRoot(L"C:\\Program Files\\LimeWire");
  ScanFile program;
  program.folder = root.get();
  program.name = L"limewire.exe";
  MemorySettingsStore settings;
  scene.ShootModal([&] { ToggleP2pBlock(nullptr, program, settings, &scene.Language()); }, L"block-question");
}

}  // namespace tessaly::test
