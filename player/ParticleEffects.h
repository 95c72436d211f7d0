#pragma once
// The 21 particle effects the visualizations spawn, addressed by their index in the effect list.
class TZRNParticleManager;

// Appends the effects, in index order, to the manager's effect list (sizes scaled by scaleX),
// then samples every curve through the manager's Prepare.
void CreateParticleEffects(TZRNParticleManager& manager, float scaleX);
