// The update dialog in its checking, downloading and no-update states, and the about box. A
// staged HTTP client stands in for the server: it answers at once, or holds a request open so
// the dialog stays in the state worth showing.
#include "AboutDialog.h"
#include "Scene.h"
#include "SettingsStore.h"
#include "TempTree.h"
#include "UpdateDialog.h"
#include "UpdateDialogResources.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace tessaly::test {
namespace {

constexpr char kManifestUrl[] = "http://updates.scene/update.xml";
constexpr char kFileUrl[] = "http://updates.scene/Tessaly.exe";
constexpr uint32_t kFileSize = 3 * 1048576;

// Serves the manifest and one file of kFileSize; a held request waits until release.
class StagedHttpClient final : public HttpClient {
 public:
  StagedHttpClient(bool holdManifest, uint32_t fileBytesBeforeHold, std::string manifest)
      : holdManifest_(holdManifest), fileBytesBeforeHold_(fileBytesBeforeHold), manifest_(std::move(manifest)) {}
  void Release() { released_ = true; }

  std::unique_ptr<HttpResponse> Open(const std::string& ansiUrl) override {
    const bool manifest = ansiUrl.rfind(kManifestUrl, 0) == 0;
    if (manifest && holdManifest_) Hold();
    if (released_) return nullptr;
    return std::make_unique<Response>(*this, manifest ? manifest_ : std::string(), manifest ? 0 : kFileSize);
  }

 private:
  class Response final : public HttpResponse {
   public:
    Response(StagedHttpClient& client, std::string body, uint32_t fileSize)
        : client_(client), body_(std::move(body)), fileSize_(fileSize) {}
    std::optional<uint32_t> StatusCode() override { return 200; }
    std::optional<std::string> ContentLength() override {
      return std::to_string(fileSize_ ? fileSize_ : body_.size());
    }
    int64_t Read(void* buffer, uint32_t size) override {
      if (!fileSize_) {
        const size_t count = std::min<size_t>(size, body_.size() - at_);
        std::memcpy(buffer, body_.data() + at_, count);
        at_ += count;
        return static_cast<int64_t>(count);
      }
      if (at_ >= client_.fileBytesBeforeHold_) {
        client_.Hold();
        return -1;
      }
      Sleep(8);  // a steady pace, so the speed line has a second to measure
      const size_t count = std::min<size_t>(size, client_.fileBytesBeforeHold_ - at_);
      std::memset(buffer, 'x', count);
      at_ += count;
      return static_cast<int64_t>(count);
    }

   private:
    StagedHttpClient& client_;
    std::string body_;
    uint32_t fileSize_;
    size_t at_ = 0;
  };

  void Hold() {
    while (!released_) Sleep(20);
  }

  bool holdManifest_;
  uint32_t fileBytesBeforeHold_;
  std::string manifest_;
  std::atomic<bool> released_{false};
};

std::string Manifest(const char* date) {
  return std::string("<MorvaneSoftware><Tessaly><Updater><File Date=\"") + date +
         "\" Time=\"00:00:00\" Build=\"1.3.1.171\" FileName=\"Tessaly.exe\" Size=\"" + std::to_string(kFileSize) +
         "\">" + kFileUrl + "</File></Updater></Tessaly></MorvaneSoftware>";
}

std::wstring ItemText(HWND dialog, int id) {
  wchar_t text[512] = {};
  GetDlgItemTextW(dialog, id, text, 512);
  return text;
}

void WaitFor(const std::function<bool()>& done, int milliseconds = 8000) {
  const auto end = GetTickCount64() + milliseconds;
  while (!done() && GetTickCount64() < end) Sleep(20);
}

// Shows the dialog over the staged client; prepare brings it into its state.
void ShootUpdateDialog(Scene& scene, const std::wstring& name, std::shared_ptr<StagedHttpClient> client,
                       const std::function<void(HWND)>& prepare) {
  TempTree program;
  MemorySettingsStore settings;
  UpdateDialogSetup setup;
  setup.session.language = &scene.Language();
  setup.session.settings = &settings;
  setup.session.checkUrl = L"http://updates.scene/update.xml";
  setup.session.updater.programFolder = program.RootText() + L"\\";
  setup.session.updater.client = client;
  setup.session.buildDate = L"Jul 29 2009";
  setup.session.buildTime = L"11:17:39";
  UpdateDialog dialog(std::move(setup));
  scene.ShootModal([&] { dialog.Run(nullptr); }, name, prepare, IDC_UPDATE_NO);
  client->Release();  // the dialog's end waits for its workers
}

void ClickYes(HWND dialog) { SendMessageW(GetDlgItem(dialog, IDC_UPDATE_YES), BM_CLICK, 0, 0); }

}  // namespace

TESSALY_SCENE(UpdateDialogAsking) {
  ShootUpdateDialog(scene, L"update-asking", std::make_shared<StagedHttpClient>(true, 0, Manifest("07-30-2009")), {});
}

TESSALY_SCENE(UpdateDialogChecking) {
  ShootUpdateDialog(scene, L"update-checking", std::make_shared<StagedHttpClient>(true, 0, Manifest("07-30-2009")),
                    ClickYes);
}

TESSALY_SCENE(UpdateDialogDownloading) {
  const std::wstring sec = L"/sec";
  ShootUpdateDialog(scene, L"update-downloading",
                    std::make_shared<StagedHttpClient>(false, kFileSize * 2 / 5, Manifest("07-30-2009")),
                    [&](HWND dialog) {
                      ClickYes(dialog);
                      WaitFor([&] { return ItemText(dialog, IDC_UPDATE_PRIVACY2).find(sec) != std::wstring::npos; });
                    });
}

TESSALY_SCENE(UpdateDialogNoUpdates) {
  const std::wstring noUpdates = GetString(false, L"IDS_NOUPDATESAVAILABLE", scene.Language());
  // The file is as old as the build stamp: nothing to fetch. The dialog closes itself after two
  // seconds, so the picture is taken at once.
  ShootUpdateDialog(scene, L"update-noupdates", std::make_shared<StagedHttpClient>(false, 0, Manifest("07-28-2009")),
                    [&](HWND dialog) {
                      ClickYes(dialog);
                      WaitFor([&] { return ItemText(dialog, IDC_UPDATE_STATUS) == noUpdates; });
                    });
}

TESSALY_SCENE(AboutDialog) {
  AboutDialogSetup setup;
  setup.language = &scene.Language();
  scene.ShootModal([&] { RunAboutDialog(setup, nullptr); }, L"about", {}, IDOK);
}

}  // namespace tessaly::test
