// RangeText: the text of a marked range as the block operations hand it on, cut into
// slices, one per line. A slice runs from the range's start column (on its first line)
// to its end column (on its last line); a slice that reaches the end of its line's text
// takes the line break with it as CR LF. The clipboard, the range writer and the undo
// record all see the same bytes.
#pragma once

#include "editing/EditWindow.h"

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace varlin {

constexpr int kMessagePositionFailed = 1030;  // "Fehler beim Positionieren ind Datei"
constexpr int kMessageWriteFailed = 1024;     // "Fehler beim Schreiben in Datei"

// Receives one slice: its bytes and whether CR LF follows them. Returning false stops.
using SliceSink = std::function<bool(std::string_view bytes, bool lineBreak)>;

// Walks the slices of a normalised range in order. Lines at and beyond the end of the
// document hold no text: a range reaching past the last line ends with that line's
// break. Returns false when the sink stopped the walk.
bool ForEachSlice(const EditWindow& w, const DragRange& range, const SliceSink& sink);

// The bytes of all slices together, 2 for every CR LF.
long long RangeTextSize(const EditWindow& w, const DragRange& range);

// The range's text in one string; false (message 1004) when it cannot be allocated.
bool RangeText(const EditWindow& w, const DragRange& range, std::string& text);

// Writes the range's text to stream from offset on. 0, or -1 after message 1030 (the
// stream cannot be positioned) or 1024 (a write failed), both naming name.
int WriteRangeToStream(const EditWindow& w, const DragRange& range, std::FILE* stream,
                       long offset, const std::string& name);

}  // namespace varlin
