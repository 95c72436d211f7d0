#pragma once
// A camera turns a position and an angle into the device's view matrix.
#include <string>

#include "engine/core/zrnTypes.h"
#include "engine/device/zrnDevice.h"

class TZRNCamera {
 public:
  explicit TZRNCamera(TZRNDevice* device) : Device(device) {}
  virtual ~TZRNCamera() = default;
  TZRNCamera(const TZRNCamera&) = delete;
  TZRNCamera& operator=(const TZRNCamera&) = delete;

  virtual void Update(bool snap, float deltaTime) = 0;

  TZRNDevice* Device;
  std::string Name = "Camera";
};

class TZRNCamera2D : public TZRNCamera {
 public:
  explicit TZRNCamera2D(TZRNDevice* device) : TZRNCamera(device) {}

  void MoveX(float amount) { X = X + amount; }
  // Snap puts the scene on whole pixels (halves to even). The rotation is about the
  // window's top-left corner. deltaTime is accepted for the interface and not used.
  void Update(bool snap, float deltaTime) override;

  float X = 0.0f;
  float Y = 0.0f;
  float Angle = 0.0f;
  TMatrix4f Matrix = IdentityMatrix;
};
