#include "engine/device/zrnCamera.h"

#include "engine/core/zrnMath.h"

void TZRNCamera2D::Update(bool snap, float /*deltaTime*/) {
  if (snap) {
    X = static_cast<float>(Round(X));
    Y = static_cast<float>(Round(Y));
    Angle = static_cast<float>(Round(Angle));
  }
  Matrix = MatrixMultiply(MatrixTranslate(-X, -Y, 0), MatrixRotateZ(-Angle));
  Device->SetViewMatrix(Matrix);
}
