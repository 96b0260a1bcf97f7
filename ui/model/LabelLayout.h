// Size of a label from its text: one line per carriage return, as wide as the widest line and as
// high as that line's height times the number of lines; a set width wins over the measured one.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

struct TextExtent {
  int width = 0;
  int height = 0;
};

// Measures one line of text in the label's font (GetTextExtentPoint32W in the window code).
using MeasureLine = std::function<TextExtent(std::wstring_view line)>;

// Unset widths are -1; a width counts only when it is greater than 0.
struct LabelWidths {
  int fixedWidth = -1;
  int forcedWidth = -1;
};

// The lines of a label text: each runs to the next CR or the end; a trailing CR adds no line; an
// LF right after a CR belongs to the break (texts from the string table use CR LF).
std::vector<std::wstring_view> SplitLabelLines(std::wstring_view text);

// forcedWidth when > 0, else fixedWidth when > 0, else measured.
int ApplyLabelWidth(int measured, const LabelWidths& widths);

// How many rows a line takes in a label of width pixels that wraps at spaces (as the static
// control does): 1 when it fits or width is not set (<= 0); a word wider than the label takes a
// row of its own.
int WrappedRows(std::wstring_view line, int width, const MeasureLine& measure);

// The label's size for text: rows x the height measured for the widest line (the first of equally
// wide ones), width by ApplyLabelWidth. A row is a line, or with a set width narrower than a line,
// each piece the control wraps that line into, so a narrow label is as high as its wrapped text.
TextExtent LayoutLabel(std::wstring_view text, const MeasureLine& measure, const LabelWidths& widths = {});

}  // namespace tessaly
