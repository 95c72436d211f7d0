// The player object's construction, destruction and event forwarding.
#include "engine/device/zrnDevice.h"
#include "engine/device/zrnInput.h"
#include "player/Demo.h"

TDemo::TDemo() : OwnAudio(audio::MakePlatformBackend()), Audio(OwnAudio.get()) {}

TDemo::TDemo(audio::IBackend* audio) : Audio(audio) {}
TDemo::~TDemo() = default;

void TDemo::HandleEvent(TZRNEvent& event) {
  TZRNApplication::HandleEvent(event);
  if (Input) Input->HandleEvent(event);
}

bool TDemo::IsInfoSwitch(const std::string& argument) { return argument == "-nfo" || argument == "-ver"; }

std::string TDemo::VersionText() { return std::string("Sonavarium ") + SNV_VERSION; }
