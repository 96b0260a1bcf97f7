#include "Scene.h"

#include "GuiTestSupport.h"
#include "SceneList.h"
#include "TextConvert.h"
#include "WindowImage.h"

#include <atomic>
#include <stdexcept>
#include <thread>

namespace tessaly::test {

namespace {

void Settle(int milliseconds) {
  PumpUntil([] { return false; }, milliseconds);
}

std::string Narrow(const std::wstring& text) { return WideToUtf8(text); }

}  // namespace

std::vector<NamedScene>& RegisteredScenes() {
  static std::vector<NamedScene> scenes;
  return scenes;
}

SceneRegistration::SceneRegistration(const char* name, SceneFunction function) {
  RegisteredScenes().push_back({name, function});
}

Scene::Scene(std::wstring outFolder, std::wstring languageTag, StringTable& language)
    : outFolder_(std::move(outFolder)), languageTag_(std::move(languageTag)), language_(language) {}

void Scene::Shoot(HWND window, const std::wstring& name) const {
  if (!IsWindow(window)) throw std::runtime_error("no window to photograph for " + Narrow(name));
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Settle(400);
  const std::wstring path = outFolder_ + name + L"-" + languageTag_ + L".bmp";
  if (!SaveWindowImage(window, path)) throw std::runtime_error("could not write " + Narrow(path));
}

void Scene::ShootModal(const std::function<void()>& runModal, const std::wstring& name,
                       const std::function<void(HWND)>& prepare, int closeCommand) const {
  const DWORD uiThread = GetCurrentThreadId();
  std::atomic<bool> shot{false};
  std::string failure;
  std::thread helper([&] {
    const auto end = GetTickCount64() + 10000;
    HWND dialog = nullptr;
    while (!(dialog = FindThreadDialog(uiThread)) && GetTickCount64() < end) Sleep(20);
    if (!dialog) {
      failure = "no dialog appeared for " + Narrow(name);
      return;
    }
    if (prepare) prepare(dialog);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    Sleep(600);  // the dialog's own thread paints meanwhile
    const std::wstring path = outFolder_ + name + L"-" + languageTag_ + L".bmp";
    if (!SaveWindowImage(dialog, path)) failure = "could not write " + Narrow(path);
    shot = true;
    PostMessageW(dialog, WM_COMMAND, closeCommand, 0);
  });
  runModal();
  helper.join();
  if (!failure.empty()) throw std::runtime_error(failure);
  if (!shot) throw std::runtime_error("the dialog of " + Narrow(name) + " was not photographed");
}

}  // namespace tessaly::test
