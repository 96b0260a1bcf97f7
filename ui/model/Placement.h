// Placement arithmetic of the window framework.
#pragma once

namespace tessaly {

struct Point {
  int x = 0;
  int y = 0;
};

// Top-left corner that centres a width x height window in a parent of parentWidth x parentHeight
// (integer halves of each size, as the child-window creation places it).
constexpr Point CentreInParent(int parentWidth, int parentHeight, int width, int height) {
  return {parentWidth / 2 - width / 2, parentHeight / 2 - height / 2};
}

}  // namespace tessaly
