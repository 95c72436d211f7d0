// Animations of unit zrnImage (declared in zrnImage.h).
#include <cfloat>

#include "engine/assets/zrnImage.h"

void TZRNAnimationFrameList::AddFrame(const std::string& patternName, const TZRNImage* image, float duration) {
  const int32_t index = image->Patterns.IndexOf(patternName);
  ZRN_ASSERT(index >= 0, "Pattern \"" + patternName + "\" not found in the image \"" + image->Name + "\".",
             "zrnImage");
  const int32_t i = Alloc(1);  // may move List
  List[i] = {duration, index};
}

void TZRNAnimation::SetFrameRate(int32_t fps) {
  // 3.4e38 rounds to the largest finite single, so a frame never runs out.
  const float duration = fps == 0 ? 3.4e38f : 1.0f / static_cast<float>(fps);
  for (int32_t i = 0; i < Frames.Count; ++i) Frames[i].Duration = duration;
}

void TZRNAnimation::Reset(TZRNAnimationState& state) const {
  state.Active = true;
  state.Time = 0.0f;
  state.Frame = 0;
}

void TZRNAnimation::Update(TZRNAnimationState& state, float deltaTime) const {
  if (!state.Active) return;
  state.Time += deltaTime;
  if (Frames[state.Frame].Duration >= state.Time) return;
  ++state.Frame;
  state.Time = 0.0f;
  if (state.Frame == Frames.Count) {
    state.Active = Loop;
    if (Loop) Reset(state);
    else state.Frame = Frames.Count - 1;
  }
}

void TZRNAnimation::Draw(const TZRNAnimationState& state, TZRNImage* image, bool additive, const TColor4f& color,
                         int32_t x, int32_t y) const {
  const TZRNAnimationFrame frame = Frames.GetFrame(state.Frame);
  if (additive) image->DrawAdd(static_cast<float>(x), static_cast<float>(y), frame.Pattern, color);
  else image->Draw(static_cast<float>(x), static_cast<float>(y), frame.Pattern, color);
}

void TZRNAnimation::DrawTransformed(const TZRNAnimationState& state, TZRNImage* image, bool additive,
                                    const TColor4f& color, const TMatrix4f& matrix) const {
  image->DrawTransformed(matrix, Frames.GetFrame(state.Frame).Pattern, color, additive);
}

TZRNAnimation* TZRNAnimationSet::Add(const std::string& name) {
  Animations.push_back(std::make_unique<TZRNAnimation>(name));
  TZRNAnimation* animation = Animations.back().get();
  if (Animations.size() == 1) SetAnimation(animation);
  return animation;
}

TZRNAnimation* TZRNAnimationSet::Find(const std::string& name) const {
  for (const auto& a : Animations)
    if (SameText(a->Name, name)) return a.get();
  return nullptr;
}

void TZRNAnimationSet::SetAnimation(TZRNAnimation* animation) {
  if (animation != Current) {
    Current = animation;
    if (Current) Current->Reset(State);
  }
  State.Active = true;
}

void TZRNAnimationSet::Reset() {
  if (Current) Current->Reset(State);
}

void TZRNAnimationSet::Update(float deltaTime) {
  if (Current) Current->Update(State, deltaTime);
}

void TZRNAnimationSet::Draw(TZRNImage* image, int32_t x, int32_t y, float r, float g, float b, float a,
                            bool additive) {
  if (Current) Current->Draw(State, image, additive, Color4f(r, g, b, a), x, y);
}

void TZRNAnimationSet::DrawTransformed(TZRNImage* image, const TMatrix4f& matrix, float r, float g, float b, float a,
                                       bool additive) {
  if (Current) Current->DrawTransformed(State, image, additive, Color4f(r, g, b, a), matrix);
}
