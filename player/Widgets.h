#pragma once
// Pieces of the immediate-mode menu widgets that need no player object.
#include <cstdint>
#include <functional>
#include <string>

// Middle pieces (64 px each) of a caption button between its two 32 px end pieces, for a
// caption T pixels wide: -1 when the end pieces alone hold it with 8 px to spare each side.
int32_t CaptionPieces(int32_t textWidth);
inline int32_t CaptionButtonWidth(int32_t pieces) { return 128 + 64 * pieces; }

enum class TWidgetLook : uint8_t { Normal, Hover, Pressed };

struct TPressOutcome {
  TWidgetLook Look = TWidgetLook::Normal;
  bool Activated = false;  // released over the widget that was pressed
  bool Cancel = false;     // slid off while pressed: the caller empties the mouse states
};

// One frame of press tracking for the widget `self`; `pressed` holds the pressed widget or
// `none`. A widget activates on release over itself after it was pressed; sliding off cancels.
TPressOutcome TrackPress(bool inside, bool buttonDown, int32_t self, int32_t none, int32_t& pressed);

// A text too wide for maxWidth loses characters at its start behind three full stops
// ("...tail"), one character at a time (font text is one byte a character); three full stops
// are as short as it gets.
std::string ShortenFromStart(std::string text, int32_t maxWidth, const std::function<int32_t(const std::string&)>& width);
