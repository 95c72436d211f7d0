// Start-up of the scene: camera, images, animations, input, canvas, particles, font, hot keys.
#include <filesystem>

#include "engine/assets/zrnFont.h"
#include "engine/assets/zrnImage.h"
#include "engine/device/zrnCamera.h"
#include "engine/device/zrnCanvas.h"
#include "engine/device/zrnDevice.h"
#include "engine/device/zrnInput.h"
#include "engine/particles/zrnParticles.h"
#include "platform/InstallLayout.h"
#include "platform/Log.h"
#include "player/KeyBindings.h"
#include "player/Demo.h"
#include "player/ParticleEffects.h"

namespace {
// A looping animation of the patterns prefix1..prefix4 of an image, at 10 frames a second.
void AddLoop(TZRNAnimationSet& set, const std::string& prefix, const TZRNImage& image) {
  TZRNAnimation* animation = set.Add("");
  animation->Loop = true;
  for (int i = 1; i <= 4; ++i) animation->Frames.AddFrame(prefix + std::to_string(i), image, 0);
  animation->SetFrameRate(10);
}
}  // namespace

void TDemo::LoadScene() {
  // The 2D camera everything is drawn through.
  Camera = MakeOwned<TZRNCamera2D>(Device.get());

  // The menu image and the particle image, cut into 128-pixel cells.
  Images = MakeOwned<TZRNImageList>(Device.get());
  const std::string assets = AssetDir(ProgramDir);
  if (const std::string missing = MissingAssetsReport(ProgramDir); !missing.empty()) LogLine(missing);
  // HiDPI screens get the menu image and font drawn at their resolution when it exists.
  std::error_code error;
  if (Ui.AssetScale != 1 && !(std::filesystem::is_regular_file(assets + Ui.AssetFile("pi"), error) &&
                              std::filesystem::is_regular_file(assets + Ui.AssetFile("ff"), error))) {
    Ui.AssetScale = 1;
  }
  Images->LoadImage(assets + Ui.AssetFile("pi"))->Name = "GUI";
  TZRNImage* particles = Images->LoadImage(assets + "pm" + ".dat");
  particles->CreatePatterns(128, 128, true);
  particles->Name = "Particles";
  const TZRNImage& gui = *Images->Find("GUI");

  // Cursor, playing-track mark, logo and the three looks of a button.
  CursorAnimations = MakeOwned<TZRNAnimationSet>();
  AddLoop(*CursorAnimations, "Cursor", gui);
  PlayAnimations = MakeOwned<TZRNAnimationSet>();
  AddLoop(*PlayAnimations, "Play", gui);
  LogoAnimations = MakeOwned<TZRNAnimationSet>();
  LogoAnimations->Add("")->Frames.AddFrame("LOGO", gui, 0);
  ButtonNormal = MakeOwned<TZRNAnimationSet>();
  ButtonHover = MakeOwned<TZRNAnimationSet>();
  ButtonDown = MakeOwned<TZRNAnimationSet>();
  for (int i = 1; i <= 3; ++i) {
    const std::string digit = std::to_string(i);
    ButtonNormal->Add(digit)->Frames.AddFrame("BtnNormal" + digit, gui, 0);
    ButtonHover->Add(digit)->Frames.AddFrame("BtnHover" + digit, gui, 0);
    ButtonDown->Add(digit)->Frames.AddFrame("BtnDown" + digit, gui, 0);
  }

  // Text colours of the menu: plain, under the pointer, selected.
  TextColor = clrGray;
  HighlightColor = clrWhite;
  SelectionColor = clrSkyBlue;

  // Keyboard and mouse; the canvas for lines and rectangles.
  Input = MakeOwned<TZRNInput>();
  Canvas = MakeOwned<TZRNCanvas>(Device.get());
  Canvas->LineWidth = static_cast<float>(Ui.Factor);

  // The system pool, the visualizations' effects and their sampled curves.
  ParticleManager = MakeOwned<TZRNParticleManager>(Device.get());
  ParticleManager->SetCapacity(99000);
  ParticleManager->Images = Images.get();
  CreateParticleEffects(*ParticleManager, Screen.ScaleX);

  // The menu font.
  Font = MakeOwned<TZRNFont>(Device.get());
  Font->LoadFromFile(assets + Ui.AssetFile("ff"));
  Font->Scale = Ui.DrawScale();

  // Hot keys, and a pointer held inside the screen and scaled with it.
  BindHotKeys(*Input->Keyboard);
  Input->Mouse->SetBounds(2, 2, Device->Width() - 3, Device->Height() - 3);
  Input->Mouse->Sensitivity = Screen.ScaleX;
  Input->Mouse->SetEnabled(true);
}
