#pragma once
// The player application: one TDemo object drives everything.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/zrnTemplate.h"
#include "engine/core/zrnTimer.h"
#include "engine/core/zrnTypes.h"

class TZRNDevice;
class TZRNCamera2D;
class TZRNImageList;
class TZRNFont;
class TZRNInput;
class TZRNAnimationSet;
class TZRNParticleManager;
class TZRNCanvas;

class TDemo : public TZRNApplication {
 public:
  TDemo();
  ~TDemo() override;

  void Init() override;
  void Update() override;
  void Render() override;
  void Shutdown() override;
  void HandleEvent(TZRNEvent& event) override;

  // ---- fields, in the documented order ----
  uintptr_t WindowHandle = 0;
  std::unique_ptr<TZRNDevice> Device;
  std::unique_ptr<TZRNCamera2D> Camera;
  std::unique_ptr<TZRNTimer> Timer;
  std::unique_ptr<TZRNImageList> Images;
  std::unique_ptr<TZRNFont> Font;
  std::unique_ptr<TZRNInput> Input;
  std::unique_ptr<TZRNAnimationSet> CursorAnimations;
  std::unique_ptr<TZRNAnimationSet> LogoAnimations;
  std::unique_ptr<TZRNAnimationSet> PlayAnimations;
  std::unique_ptr<TZRNAnimationSet> ButtonNormal;
  std::unique_ptr<TZRNAnimationSet> ButtonHover;
  std::unique_ptr<TZRNAnimationSet> ButtonDown;
  TColor4f TextColor{};
  TColor4f HighlightColor{};
  TColor4f SelectionColor{};
  int8_t LayoutCol = 0;
  int8_t LayoutRow = 0;
  int8_t LayoutExtraCols = 0;
  int8_t LayoutExtraRows = 0;
  int16_t LayoutOffsetX = 0;
  int16_t LayoutOffsetY = 0;
  int16_t PressedWidget = 0;
  int16_t WidgetCounter = 0;
  int16_t PressedRow = -1;
  bool LayoutOverflow = false;
  std::unique_ptr<TZRNParticleManager> ParticleManager;
  std::unique_ptr<TZRNCanvas> Canvas;
  uint32_t FrameCount = 0;
  uint32_t LastKeyFrame = 0;
  uint32_t Stream = 0;
  uint8_t Volume = 10;
  bool MenuLatch = false;
  bool Playing = false;
  uint8_t MenuPage = 0;
  std::string CurrentFile;

  // ---- entry and lifecycle ----
  // Command-line arguments after the program name (files to add and play, or -nfo/-ver).
  std::vector<std::string> Arguments;
  // "-nfo" and "-ver" (exactly these spellings) show the version and end.
  static bool IsInfoSwitch(const std::string& argument);
  static std::string VersionText();

  // ---- options and texts ----

  // ---- audio playback ----

  // ---- playlist ----

  // ---- hot keys and menu ----

  // ---- visualizations ----

  // ---- frame composition ----
};

// Player-wide values.
extern TDemo* App;
extern std::string ProgramDir;
extern uint16_t CenterX;
extern uint16_t CenterY;
extern float ScaleX;
extern float ScaleY;
extern uint8_t Visualization;
extern uint8_t Language;
