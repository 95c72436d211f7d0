#pragma once
// Shared set-up for the particle tests: a manager on a recording device with named images.
#include <memory>
#include <string>

#include "engine/assets/zrnImage.h"
#include "engine/device/zrnRecordingRenderer.h"
#include "engine/particles/zrnParticles.h"

struct TParticleScene {
  TParticleScene() {
    Device = TZRNRecordingRenderer::MakeDevice(&Recorder);
    Images = std::make_unique<TZRNImageList>(Device.get());
    Manager = std::make_unique<TZRNParticleManager>(Device.get());
    Manager->Images = Images.get();
    Recorder->Reset();
  }

  TZRNTexture* AddImage(const std::string& name) {
    TZRNImage* image = Images->Add();
    image->Name = name;
    return image->Texture.get();
  }

  // One particle per system, like the player's effects.
  TZRNParticleEffect* AddEffect(const std::string& texture, TZRNParticleMode mode,
                                TZRNParticleBlending blending = pbAdditive) {
    TZRNParticleEffect* e = Manager->Effects->Add();
    e->SetTextureName(texture);
    e->SetMode(mode);
    e->Blending = blending;
    e->Quota = 4;
    e->EmitAmount = 1;
    e->EmitCount = 1;
    e->SetLifeMin(1);
    e->SetLifeMax(1);
    e->Size = {2, 2};
    e->Speed = {10, 10};
    e->Prepare();
    return e;
  }

  TZRNRecordingRenderer* Recorder = nullptr;
  std::unique_ptr<TZRNDevice> Device;
  std::unique_ptr<TZRNImageList> Images;
  std::unique_ptr<TZRNParticleManager> Manager;
};
