#include "LabelLayout.h"

#include <algorithm>

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

int WrappedRows(std::wstring_view line, int width, const MeasureLine& measure) {
  if (width <= 0 || measure(line).width <= width) return 1;
  int rows = 1;
  size_t rowStart = 0;   // first character of the current row
  size_t lastBreak = 0;  // end of the last word that fitted on it (0: none yet)
  size_t position = 0;
  while (position <= line.size()) {
    const size_t wordEnd = std::min(line.find(L' ', position), line.size());
    if (measure(line.substr(rowStart, wordEnd - rowStart)).width > width && lastBreak > rowStart) {
      // The word goes to a new row; the spaces before it vanish at the break.
      ++rows;
      rowStart = lastBreak;
      while (rowStart < line.size() && line[rowStart] == L' ') ++rowStart;
      lastBreak = rowStart;
      continue;  // measure the same word again at the start of its row
    }
    lastBreak = wordEnd;
    position = wordEnd + 1;
  }
  return rows;
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
  const int labelWidth = ApplyLabelWidth(widest.width, widths);
  int rows = 0;
  for (std::wstring_view line : lines) rows += labelWidth < widest.width ? WrappedRows(line, labelWidth, measure) : 1;
  return {labelWidth, rows * widest.height};
}

}  // namespace tessaly
