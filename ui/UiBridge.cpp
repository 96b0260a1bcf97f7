#include "UiBridge.h"

#include "DebugLog.h"
#include "Framework.h"
#include "Win32Check.h"

#include <cstring>
#include <exception>

namespace tessaly {
namespace {

constexpr const wchar_t* kBridgeClass = L"TessalyUiBridge";

bool RegisterBridgeClass(MvError& error) {
  static const bool registered = [&error] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;  // replaced per window once the state is stored
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kBridgeClass;
    return win::CheckWin32(error, RegisterClassExW(&windowClass) != 0, L"RegisterClassExW", kBridgeClass);
  }();
  return registered;
}

}  // namespace

struct UiBridge::State {
  std::mutex mutex;
  std::deque<UiTask> tasks;
  HWND window = nullptr;  // null once the window is gone
  bool wakePosted = false;
  DWORD threadId = GetCurrentThreadId();
  MvError error;

  bool Post(UiTask task) {
    std::unique_lock guard(mutex);
    if (!window) return false;  // task is destroyed by the caller's frame, outside the lock
    tasks.push_back(std::move(task));
    if (wakePosted) return true;
    if (!PostMessageW(window, kUiBridgeMessage, 0, 0)) {
      const DWORD code = ::GetLastError();
      UiTask unrun = std::move(tasks.back());
      tasks.pop_back();
      guard.unlock();
      SetLastError(code);
      win::CheckWin32(error, false, L"PostMessageW", L"UI bridge");
      return false;
    }
    wakePosted = true;
    return true;
  }

  void RunPending() {
    std::deque<UiTask> batch;
    {
      std::lock_guard guard(mutex);
      batch.swap(tasks);
      wakePosted = false;
    }
    for (UiTask& task : batch) {
      try {
        if (task) task();
      } catch (const std::exception& failure) {
        error.Report(L"UiBridge: a task failed: %s", std::wstring(failure.what(), failure.what() + strlen(failure.what())));
      } catch (...) {
        error.Report(L"UiBridge: a task failed");
      }
    }
  }

  void Closed() {
    std::deque<UiTask> dropped;
    std::lock_guard guard(mutex);
    window = nullptr;
    dropped.swap(tasks);
  }
};

UiBridge::UiBridge() : state_(std::make_shared<State>()) {
  std::weak_ptr<State> weak = state_;
  channel_ = std::make_shared<RelayChannel>([weak](UiTask task) {
    std::shared_ptr<State> state = weak.lock();
    return state && state->Post(std::move(task));
  });
  if (!RegisterBridgeClass(state_->error)) return;
  HWND window = win::CheckedHandle(state_->error,
                                   CreateWindowExW(0, kBridgeClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                                   GetModuleHandleW(nullptr), nullptr),
                                   L"CreateWindowExW", L"UI bridge");
  if (!window) return;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state_.get()));
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc));
  std::lock_guard guard(state_->mutex);
  state_->window = window;
}

UiBridge::~UiBridge() {
  channel_->Close();
  HWND window;
  {
    std::lock_guard guard(state_->mutex);
    window = state_->window;
  }
  if (window) win::CheckWin32(state_->error, DestroyWindow(window), L"DestroyWindow", L"UI bridge");
  state_->Closed();
}

bool UiBridge::Ready() const {
  std::lock_guard guard(state_->mutex);
  return state_->window != nullptr;
}

bool UiBridge::Post(UiTask task) { return state_->Post(std::move(task)); }

bool UiBridge::OnUiThread() const { return GetCurrentThreadId() == state_->threadId; }

HWND UiBridge::Window() const {
  std::lock_guard guard(state_->mutex);
  return state_->window;
}

bool UiBridge::RelayBinaryEvent(MvEventHandler& source, std::wstring_view eventName, MvEventHandler& target) {
  return tessaly::RelayBinaryEvent(channel_, source, eventName, target);
}

bool UiBridge::RelayStringEvent(MvEventHandler& source, std::wstring_view eventName, MvEventHandler& target) {
  return tessaly::RelayStringEvent(channel_, source, eventName, target);
}

LRESULT CALLBACK UiBridge::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<State*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (state) {
    if (message == kUiBridgeMessage) {
      state->RunPending();
      return 0;
    }
    if (message == WM_DESTROY) {
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      state->Closed();
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tessaly
