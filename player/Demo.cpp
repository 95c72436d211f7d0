// The player object's construction, destruction and event forwarding.
#include "engine/device/zrnDevice.h"
#include "engine/device/zrnInput.h"
#include "player/Main.h"

// Parts of the player that are still being built elsewhere; their headers replace these
// empty stand-ins as soon as they exist, so the owned pointers can always be destroyed here.
#if __has_include("engine/device/zrnCamera.h")
#include "engine/device/zrnCamera.h"
#else
class TZRNCamera2D {};
#endif
#if __has_include("engine/device/zrnCanvas.h")
#include "engine/device/zrnCanvas.h"
#else
class TZRNCanvas {};
#endif
#if __has_include("engine/assets/zrnImage.h")
#include "engine/assets/zrnImage.h"
#else
class TZRNImageList {};
class TZRNAnimationSet {};
#endif
#if __has_include("engine/assets/zrnFont.h")
#include "engine/assets/zrnFont.h"
#else
class TZRNFont {};
#endif
#if __has_include("engine/particles/zrnParticles.h")
#include "engine/particles/zrnParticles.h"
#else
class TZRNParticleManager {};
#endif

TDemo::TDemo() = default;
TDemo::~TDemo() = default;

void TDemo::HandleEvent(TZRNEvent& event) {
  TZRNApplication::HandleEvent(event);
  if (Input) Input->HandleEvent(event);
}

bool TDemo::IsInfoSwitch(const std::string& argument) { return argument == "-nfo" || argument == "-ver"; }

std::string TDemo::VersionText() { return std::string("Sonavarium ") + SNV_VERSION; }
