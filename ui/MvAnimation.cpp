#include "MvAnimation.h"

#include "Framework.h"
#include "MvChildWindow.h"
#include "model/ControlRegistry.h"

#include <commctrl.h>

namespace tessaly {

bool MvAnimation::Open(HINSTANCE module, int resourceId) {
  if (!hwnd) return false;
  if (!SendMessageW(hwnd, ACM_OPENW, reinterpret_cast<WPARAM>(module), reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(resourceId)))) {
    FrameworkError().Report(L"MvAnimation::Open(): ACM_OPENW failed for resource %d", resourceId);
    return false;
  }
  return true;
}

bool MvAnimation::Play(int repeat) {
  if (!hwnd) return false;
  if (!SendMessageW(hwnd, ACM_PLAY, static_cast<WPARAM>(repeat), MAKELPARAM(0, 0xFFFF))) {
    FrameworkError().Report(L"MvAnimation::Play(): ACM_PLAY failed");
    return false;
  }
  return true;
}

bool MvAnimation::Stop() { return hwnd && SendMessageW(hwnd, ACM_STOP, 0, 0) != 0; }

MvAnimation* CreateAnimation(MvChildWindow* parent, int32_t x, int32_t y) {
  if (!parent) return nullptr;
  const DpiScale dpi = SystemDpiScale();
  const int32_t width = dpi.Scale(kAnimationWidth);
  const int32_t height = dpi.Scale(kAnimationHeight);
  HWND window = CreateControlWindow(ANIMATE_CLASSW, kAnimationName, WS_CHILD | WS_VISIBLE, x, y, width, height,
                                    parent->hwnd, kAnimationName);
  if (!window) return nullptr;
  auto animation = std::make_unique<MvAnimation>();
  animation->hwnd = window;
  animation->x = x;
  animation->y = y;
  animation->width = width;
  animation->height = height;
  MvControl* registered = parent->Register(kTagAnimation, std::move(animation));
  if (!registered) DestroyWindow(window);
  return static_cast<MvAnimation*>(registered);
}

MvAnimation* FindAnimation(const MvChildWindow* window) {
  if (!window) return nullptr;
  return static_cast<MvAnimation*>(window->FindControl(kTagAnimation, kAnimationName));
}

}  // namespace tessaly
