// Scaling of pixel values by the system DPI. At 96 DPI every value is returned unchanged, so the
// layout there is exactly the designed one; at other DPIs values grow by DPI / 96, rounded to the
// nearest pixel (halves away from zero, as MulDiv rounds).
#pragma once

#include <cstdint>

namespace tessaly {

inline constexpr int kDefaultDpi = 96;

class DpiScale {
 public:
  constexpr DpiScale() = default;
  // A DPI of 0 or less (a failed query) means the default.
  constexpr explicit DpiScale(int dpi) : dpi_(dpi > 0 ? dpi : kDefaultDpi) {}

  constexpr int Dpi() const { return dpi_; }
  constexpr int Scale(int pixels) const {
    const int64_t product = static_cast<int64_t>(pixels) * dpi_;
    const int64_t half = kDefaultDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kDefaultDpi : (product - half) / kDefaultDpi);
  }
  // Pixel value back to 96-DPI units (for reading a scaled placement).
  constexpr int Unscale(int pixels) const {
    const int64_t product = static_cast<int64_t>(pixels) * kDefaultDpi;
    const int64_t half = dpi_ / 2;
    return static_cast<int>(product >= 0 ? (product + half) / dpi_ : (product - half) / dpi_);
  }
  constexpr double Factor() const { return static_cast<double>(dpi_) / kDefaultDpi; }

 private:
  int dpi_ = kDefaultDpi;
};

}  // namespace tessaly
