// Switching visualizations, and the player's visualizer wired to its stream state.
#include "engine/device/zrnCamera.h"
#include "engine/device/zrnCanvas.h"
#include "engine/particles/zrnParticles.h"
#include "player/Demo.h"
#include "player/Visualizer.h"

void TDemo::SetVisualization(uint8_t index) {
  Visualizer->Select(index);
  MenuPage = mpClosed;
}

void CreateVisualizer(TDemo& demo) {
  demo.Visualizer = MakeOwned<TVisualizer>(demo.Device.get(), demo.Canvas.get(), demo.Camera.get(),
                                           demo.ParticleManager.get(), demo.Screen);
  demo.Visualizer->Capture = [&demo](void* buffer, uint32_t bytes) { demo.Capture(buffer, bytes); };
  demo.Visualizer->IsPlaying = [&demo] { return demo.Playing; };
  demo.Visualizer->HasCurrentFile = [&demo] { return !demo.CurrentFile.empty(); };
}
