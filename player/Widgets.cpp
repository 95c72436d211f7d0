#include "player/Widgets.h"

int32_t CaptionPieces(int32_t textWidth) {
  const int32_t needed = textWidth + 16;
  if (needed < 64) return -1;
  if (needed <= 128) return 0;
  return (needed - 128 + 63) / 64;
}

std::string ShortenFromStart(std::string text, int32_t maxWidth, const std::function<int32_t(const std::string&)>& width) {
  while (width(text) > maxWidth && text.size() > 3) {
    text.erase(0, 1);
    text.replace(0, 3, "...");
  }
  return text;
}

TPressOutcome TrackPress(bool inside, bool buttonDown, int32_t self, int32_t none, int32_t& pressed) {
  TPressOutcome outcome;
  if (inside) {
    if (buttonDown && (pressed == none || pressed == self)) {
      pressed = self;
      outcome.Look = TWidgetLook::Pressed;
    } else {
      outcome.Activated = pressed == self;
      pressed = none;
      outcome.Look = TWidgetLook::Hover;
    }
  } else if (pressed == self) {
    outcome.Cancel = true;
    pressed = none;
  }
  return outcome;
}

// ---- the player's widgets ----

#include "engine/assets/zrnFont.h"
#include "engine/assets/zrnImage.h"
#include "engine/core/zrnMath.h"
#include "engine/device/zrnDevice.h"
#include "engine/device/zrnInput.h"
#include "player/Demo.h"
#include "player/Playlist.h"

namespace {

constexpr TColor4f ShadowColor{0.0f, 0.0f, 0.0f, 1.0f};
constexpr TColor4f LogoNormalColor{0.5f, 0.5f, 0.5f, 1.0f};
constexpr int32_t ButtonHeight = 44;

bool Inside(const TRectf& rect, int32_t x, int32_t y) {
  const float fx = static_cast<float>(x);
  const float fy = static_cast<float>(y);
  return rect.Left <= fx && fx <= rect.Right && rect.Top <= fy && fy <= rect.Bottom;
}

TPressOutcome TrackMouse(TZRNMouse& mouse, const TRectf& rect, int32_t self, int32_t none, int32_t& pressed) {
  const TPressOutcome outcome =
      TrackPress(Inside(rect, mouse.X, mouse.Y), mouse.States.Contains(isButton1), self, none, pressed);
  if (outcome.Cancel) mouse.States.Clear();
  return outcome;
}

// Menu pictures are drawn 1:1 unless the loaded set is smaller than the screen's scale wants.
void DrawScaled(const TZRNAnimation& animation, const TZRNAnimationState& state, TZRNImage* image, const TColor4f& color,
                int32_t x, int32_t y, float scale) {
  if (scale == 1.0f) animation.Draw(state, image, false, color, x, y);
  else animation.DrawTransformed(state, image, false, color,
                                 MatrixTranslateScale(static_cast<float>(x), static_cast<float>(y), scale, scale, 0.0f));
}

void DrawPiece(TZRNAnimationSet& set, const char* name, TZRNImage* image, int32_t x, int32_t y, float scale) {
  if (const TZRNAnimation* piece = set.Find(name)) DrawScaled(*piece, set.State, image, clrWhite, x, y, scale);
}

void DrawCurrent(TZRNAnimationSet& set, TZRNImage* image, const TColor4f& color, int32_t x, int32_t y, float scale) {
  if (set.Current) DrawScaled(*set.Current, set.State, image, color, x, y, scale);
}

TRectf Rect(int32_t left, int32_t right, int32_t top, int32_t bottom) {
  return {static_cast<float>(left), static_cast<float>(right), static_cast<float>(top), static_cast<float>(bottom)};
}

}  // namespace

int32_t TDemo::LayoutX() const {
  return UiPx(146 * LayoutCol + 64 * LayoutExtraCols + 34 + LayoutOffsetX);
}

int32_t TDemo::LayoutY() const {
  return UiPx(62 * LayoutRow + 44 * LayoutExtraRows + 26 + LayoutOffsetY);
}

int32_t TDemo::DesignWidth(int32_t pixels) const { return (pixels + Ui.Factor - 1) / Ui.Factor; }

void TDemo::NewRow(int8_t count) {
  LayoutRow = static_cast<int8_t>(LayoutRow + count);
  LayoutCol = 0;
  LayoutExtraCols = 0;
}

void TDemo::BeginLayout() {
  LayoutCol = LayoutRow = LayoutExtraCols = LayoutExtraRows = 0;
  LayoutOffsetX = LayoutOffsetY = 0;
  WidgetCounter = 0;
  LayoutOverflow = false;
  // A selection lives only while the playlist page is shown.
  if (MenuPage != mpPlaylist) Playlist->SelectedIndex = -1;
}

bool TDemo::MenuButton(const std::string& caption, int8_t newRows) {
  const int32_t self = ++WidgetCounter;
  if (newRows > 0) NewRow(newRows);
  int32_t x = LayoutX();
  if (Device->Width() - UiPx(128) < x) {
    NewRow(1);
    x = UiPx(34);
  }
  const int32_t y = LayoutY();
  ++LayoutCol;

  const int32_t textWidth = Font->TextWidth(caption);
  const int32_t textHeight = Font->TextHeight(caption);
  const int32_t pieces = CaptionPieces(DesignWidth(textWidth));
  LayoutExtraCols = static_cast<int8_t>(LayoutExtraCols + pieces);
  const int32_t width = UiPx(CaptionButtonWidth(pieces));

  const TPressOutcome press =
      TrackMouse(*Input->Mouse, Rect(x, x + width, y, y + UiPx(ButtonHeight)), self, 0, PressedWidget);
  TZRNAnimationSet& set = press.Look == TWidgetLook::Pressed ? *ButtonDown
                          : press.Look == TWidgetLook::Hover ? *ButtonHover
                                                              : *ButtonNormal;
  TZRNImage* gui = Images->Find("GUI");
  const float scale = Ui.DrawScale();
  DrawPiece(set, "1", gui, x, y, scale);
  for (int32_t k = 0; k <= pieces; ++k) DrawPiece(set, "2", gui, x + UiPx(32 + 64 * k), y, scale);
  DrawPiece(set, "3", gui, x + UiPx(32 + 64 * (pieces + 1)), y, scale);

  const int32_t one = UiPx(1);
  const int32_t tx = static_cast<int32_t>(Round(x + width / 2.0 - textWidth / 2.0)) - UiPx(2);
  const int32_t ty = static_cast<int32_t>(Round(y + UiPx(22) - textHeight / 2.0)) + UiPx(2);
  Font->TextOut(tx - one, ty - one, ShadowColor, caption);
  Font->TextOut(tx + one, ty + one, ShadowColor, caption);
  Font->TextOut(tx, ty, TextColor, caption);
  if (press.Look != TWidgetLook::Normal) Font->TextOut(tx + one, ty + one, HighlightColor, caption);
  return press.Activated;
}

void TDemo::MenuLabel(std::string text, const TColor4f& color, bool newRow) {
  ++WidgetCounter;
  const int32_t deviceWidth = Device->Width();
  // Long paths keep their end.
  text = ShortenFromStart(std::move(text), deviceWidth - UiPx(52), [this](const std::string& t) { return Font->TextWidth(t); });
  const int32_t textWidth = Font->TextWidth(text);
  const int32_t textHeight = Font->TextHeight(text);

  int32_t x = LayoutX();
  int32_t y = LayoutY();
  if (newRow || deviceWidth - textWidth < x) {
    LayoutExtraRows = static_cast<int8_t>(LayoutExtraRows + 1);
    y = LayoutY();
    x = UiPx(34);
  } else if (deviceWidth - textWidth - x >= UiPx(146)) {
    LayoutCol = static_cast<int8_t>(LayoutCol + textWidth / UiPx(146) + 1);
  } else {
    NewRow(1);
  }

  const int32_t ty = static_cast<int32_t>(Round(y + UiPx(22) - textHeight / 2.0));
  Font->TextOut(x, ty - UiPx(2), ShadowColor, text);
  Font->TextOut(x + UiPx(4), ty + UiPx(2), ShadowColor, text);
  Font->TextOut(x + UiPx(2), ty, color, text);
}

bool TDemo::PlaylistRow(const std::string& text, int32_t index) {
  TPlaylist& list = *Playlist;
  LayoutExtraRows = static_cast<int8_t>(LayoutExtraRows + 1);
  const int32_t x0 = UiPx(LayoutOffsetX);
  const int32_t y = LayoutY();
  ++LayoutCol;
  const int32_t pieces = CaptionPieces(DesignWidth(Font->TextWidth(text)));
  LayoutExtraCols = static_cast<int8_t>(LayoutExtraCols + pieces);
  const int32_t textHeight = Font->TextHeight(text);
  const int32_t rowHeight = textHeight + UiPx(2);

  TRectf rect = Rect(x0 + UiPx(18), x0 + UiPx(146 + 64 * pieces), y, y + rowHeight);
  if (Device->Height() - UiPx(18) < y + rowHeight) {
    LayoutOverflow = true;
    return false;
  }
  ++list.VisibleRows;

  int32_t x = x0 + UiPx(18);
  if (index == list.CurrentIndex) {
    DrawCurrent(*PlayAnimations, Images->Find("GUI"), clrWhite, x0 + UiPx(36), y + rowHeight / 2 - UiPx(1), Ui.DrawScale());
    rect.Right += static_cast<float>(UiPx(40));
    x = x0 + UiPx(58);
  }

  const TPressOutcome press = TrackMouse(*Input->Mouse, rect, index, -1, PressedRow);
  bool activated = false;
  if (press.Activated) {
    // The first click selects, a click on the selected row plays it.
    if (index == list.SelectedIndex) activated = true;
    else list.SelectedIndex = index;
  }

  const int32_t one = UiPx(1);
  const int32_t ty = static_cast<int32_t>(Round(y + rowHeight / 2.0 - textHeight / 2.0)) + UiPx(2);
  Font->TextOut(x - one, ty - one, ShadowColor, text);
  Font->TextOut(x + one, ty + one, ShadowColor, text);
  Font->TextOut(x, ty, TextColor, text);
  if (index == list.SelectedIndex) Font->TextOut(x + one, ty + one, HighlightColor, text);
  else if (press.Look != TWidgetLook::Normal) Font->TextOut(x + one, ty + one, SelectionColor, text);
  return activated;
}

bool TDemo::ImageButton(TZRNAnimationSet& animations, const TRectf& rect) {
  const int32_t self = ++WidgetCounter;
  const TPressOutcome press = TrackMouse(*Input->Mouse, rect, self, 0, PressedWidget);
  const int32_t shift = press.Look == TWidgetLook::Pressed ? static_cast<int32_t>(Round(2.0f * Screen.ScaleX)) : 0;
  const TColor4f color = press.Look == TWidgetLook::Normal ? LogoNormalColor : clrWhite;
  DrawCurrent(animations, Images->Find("GUI"), color, Device->Width() + shift, shift, Ui.DrawScale());
  return press.Activated;
}
