#include "LabelLayout.h"

namespace tessaly {

std::vector<std::wstring_view> SplitLabelLines(std::wstring_view text) {
  std::vector<std::wstring_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find(L'\r', start);
    if (end == std::wstring_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
    if (start < text.size() && text[start] == L'\n') ++start;
  }
  return lines;
}

int ApplyLabelWidth(int measured, const LabelWidths& widths) {
  if (widths.forcedWidth > 0) return widths.forcedWidth;
  if (widths.fixedWidth > 0) return widths.fixedWidth;
  return measured;
}

TextExtent LayoutLabel(std::wstring_view text, const MeasureLine& measure, const LabelWidths& widths) {
  const std::vector<std::wstring_view> lines = SplitLabelLines(text);
  TextExtent widest;
  bool any = false;
  for (std::wstring_view line : lines) {
    const TextExtent extent = measure(line);
    if (!any || extent.width > widest.width) widest = extent;
    any = true;
  }
  return {ApplyLabelWidth(widest.width, widths), static_cast<int>(lines.size()) * widest.height};
}

}  // namespace tessaly
