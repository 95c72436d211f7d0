#pragma once
// The player application: one TDemo object drives everything.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/zrnTemplate.h"
#include "engine/core/zrnTimer.h"
#include "engine/core/zrnTypes.h"
#include "player/AudioBridge.h"
#include "player/Screen.h"
#include "player/UiScale.h"
#include "player/HotKeyGate.h"

class TZRNDevice;
class TZRNCamera2D;
class TZRNImageList;
class TZRNFont;
class TZRNInput;
class TZRNAnimationSet;
class TZRNParticleManager;
class TZRNCanvas;
class TPlaylist;
class TVisualizer;
class TOptions;
class TDesktopLink;

// Owning pointer whose deleter is fixed where the object is made, so that TDemo can be
// declared, built and destroyed without every owned type being complete here.
template <typename T>
using Owned = std::unique_ptr<T, void (*)(T*)>;

template <typename T, typename... Args>
Owned<T> MakeOwned(Args&&... args) {
  return Owned<T>(new T(std::forward<Args>(args)...), [](T* p) { delete p; });
}

template <typename T>
Owned<T> NoOwned() {
  return Owned<T>(nullptr, [](T*) {});
}

// What the menu shows over the picture.
enum TMenuPage : uint8_t { mpClosed, mpMain, mpHelp, mpPlaylist };

// Menu buttons per row on screens taller than the 800 x 600 layout.
inline constexpr uint8_t VisualizationButtonsPerRow = 4;

class TDemo : public TZRNApplication {
 public:
  TDemo();
  // Plays through `audio` (tests observe the calls) instead of an audio engine of its own.
  explicit TDemo(audio::IBackend* audio);
  ~TDemo() override;

  void Init() override;
  void Update() override;
  void Render() override;
  void Shutdown() override;
  void HandleEvent(TZRNEvent& event) override;

  // ---- window, scene, menu layout and playback state ----
  // Each player has its own audio engine, made first and released last; Audio is what it plays
  // through.
  std::unique_ptr<audio::IBackend> OwnAudio;
  audio::IBackend* Audio = nullptr;
  uintptr_t WindowHandle = 0;
  Owned<TZRNDevice> Device = NoOwned<TZRNDevice>();
  Owned<TZRNCamera2D> Camera = NoOwned<TZRNCamera2D>();
  Owned<TZRNTimer> Timer = NoOwned<TZRNTimer>();
  Owned<TZRNImageList> Images = NoOwned<TZRNImageList>();
  Owned<TZRNFont> Font = NoOwned<TZRNFont>();
  Owned<TZRNInput> Input = NoOwned<TZRNInput>();
  Owned<TZRNAnimationSet> CursorAnimations = NoOwned<TZRNAnimationSet>();
  Owned<TZRNAnimationSet> LogoAnimations = NoOwned<TZRNAnimationSet>();
  Owned<TZRNAnimationSet> PlayAnimations = NoOwned<TZRNAnimationSet>();
  Owned<TZRNAnimationSet> ButtonNormal = NoOwned<TZRNAnimationSet>();
  Owned<TZRNAnimationSet> ButtonHover = NoOwned<TZRNAnimationSet>();
  Owned<TZRNAnimationSet> ButtonDown = NoOwned<TZRNAnimationSet>();
  TColor4f TextColor{};
  TColor4f HighlightColor{};
  TColor4f SelectionColor{};
  int8_t LayoutCol = 0;
  int8_t LayoutRow = 0;
  int8_t LayoutExtraCols = 0;
  int8_t LayoutExtraRows = 0;
  int16_t LayoutOffsetX = 0;
  int16_t LayoutOffsetY = 0;
  int32_t PressedWidget = 0;
  int32_t WidgetCounter = 0;
  int32_t PressedRow = -1;
  bool LayoutOverflow = false;
  Owned<TZRNParticleManager> ParticleManager = NoOwned<TZRNParticleManager>();
  Owned<TZRNCanvas> Canvas = NoOwned<TZRNCanvas>();
  uint32_t FrameCount = 0;
  THotKeyGate KeyGate;
  uint32_t Stream = 0;
  uint8_t Volume = 10;
  bool MenuLatch = false;
  bool Playing = false;
  uint8_t MenuPage = mpClosed;  // a TMenuPage
  std::string CurrentFile;

  // ---- entry and lifecycle ----
  // The folder of the program (ends in "/"): the shipped assets and the readme are found there.
  std::string ProgramDir;
  // Centre and scale of the full-screen window, set once it is open.
  TScreen Screen;
  // The menu's scale on HiDPI screens (1 elsewhere); menu sizes below are design pixels times it.
  TUiScale Ui;
  int32_t UiPx(int32_t designPixels) const { return designPixels * Ui.Factor; }
  // Row of the string table the texts come from: 0 English, 1 Russian.
  uint8_t Language = 0;
  // Command-line arguments after the program name (files to add and play, or -nfo/-ver).
  std::vector<std::string> Arguments;
  // "-nfo" and "-ver" (exactly these spellings) show the version and end.
  static bool IsInfoSwitch(const std::string& argument);
  static std::string VersionText();

  // ---- options and texts ----
  // The options file, open from start-up to shutdown.
  Owned<TOptions> Options = NoOwned<TOptions>();

  // ---- audio playback ----
  void StartAudio();
  void StopAudio();
  void PlayTrack(int32_t index);
  void SetPaused(bool paused);
  void SetVolume(int8_t value, bool absolute);
  uint16_t GetPositionPercent();
  void SeekPercent(int8_t step);
  void CheckTrackEnd();
  // Copies the newest bytes of the playing stream into buffer; fails silently without a stream.
  void Capture(void* buffer, uint32_t bytes);

  // ---- playlist ----
  Owned<TPlaylist> Playlist = NoOwned<TPlaylist>();
  // The open-file dialog, owned by our window; adds the chosen file (and plays it when asked).
  void AddFilesDialog(bool play);
  void AddFolderDialog(bool play);
  // Files, playlists and folders named on the command line or dropped on the window: each is added
  // (an entry already in the list stays where it is) and the first one plays.
  void AddNamedFiles(const std::vector<std::string>& names);

  // ---- hot keys and menu ----
  void HandleHotKeys();
  void DrawMenu();
  // The repeat gate shared by every hot key; an action closes it for about 0.2 s.
  bool HotKeyGateOpen() const;
  void HotKeyActed(bool edge);
  // Immediate-mode widgets: each draws itself and returns whether it was activated.
  void BeginLayout();
  void NewRow(int8_t count);
  int32_t LayoutX() const;
  int32_t LayoutY() const;
  // A width in screen pixels as design pixels, rounded up.
  int32_t DesignWidth(int32_t pixels) const;
  bool MenuButton(const std::string& caption, int8_t newRows = 0);
  void MenuLabel(std::string text, const TColor4f& color, bool newRow);
  bool PlaylistRow(const std::string& text, int32_t index);
  bool ImageButton(TZRNAnimationSet& animations, const TRectf& rect);

  // ---- visualizations ----
  Owned<TVisualizer> Visualizer = NoOwned<TVisualizer>();
  // An index past the last selects 0; a change resets the visualization state; always hides the menu.
  void SetVisualization(uint8_t index);

  // ---- frame composition ----
  void ReportFirstFrame();

  // ---- start-up and shutdown ----
  void OpenOptions();
  void RestoreSettings();
  void LoadScene();
  void RestoreTrack();
  void StoreSession();
  int8_t StoredPosition = 0;

  // ---- desktop: hand-off socket and media-player interface ----
  Owned<TDesktopLink> Desktop = NoOwned<TDesktopLink>();
};
