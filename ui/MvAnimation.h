// The progress animation (an AVI played by the animation common control).
#pragma once

#include "MvControl.h"

#include <windows.h>

namespace tessaly {

class MvChildWindow;

inline constexpr const wchar_t* kAnimationName = L"ProgressAnimation";
inline constexpr int32_t kAnimationWidth = 80;   // 96-DPI units
inline constexpr int32_t kAnimationHeight = 50;

class MvAnimation : public MvControl {
 public:
  MvAnimation() : MvControl(kAnimationName, ControlKind::Animation) {}

  // ACM_OPENW of an AVI resource of module.
  bool Open(HINSTANCE module, int resourceId);
  // ACM_PLAY of every frame, repeated (-1) or count times.
  bool Play(int repeat = -1);
  bool Stop();
};

// "SysAnimate32" named "ProgressAnimation", WS_CHILD|WS_VISIBLE, 80 x 50 (DPI-scaled);
// "[ANIMATION]ProgressAnimation" in parent's registry.
MvAnimation* CreateAnimation(MvChildWindow* parent, int32_t x, int32_t y);
MvAnimation* FindAnimation(const MvChildWindow* window);

}  // namespace tessaly
