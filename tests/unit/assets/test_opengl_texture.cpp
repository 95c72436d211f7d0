// The OpenGL texture on a virtual display. Without $DISPLAY the first test starts this program
// again under xvfb-run with only the display tests selected, and reports their result.
#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "tests/unit/XvfbRerun.h"
#include "AssetTestHelpers.h"
#include "engine/assets/zrnImage.h"
#include "engine/device/zrnDevice.h"
#include "engine/device/zrnOpenGLTexture.h"

namespace {

bool HaveDisplay() {
  const char* d = std::getenv("DISPLAY");
  return d && *d;
}

class OpenGLTextureOnDisplay : public testing::Test {
 protected:
  void SetUp() override {
    if (!HaveDisplay()) GTEST_SKIP() << "run by OpenGLTexture.DisplayTestsPassUnderXvfb";
    Device = std::make_unique<TZRNDevice>();
    Device->Initialize("Textures", 1024, 768, true);
  }
  void TearDown() override { Device.reset(); }

  std::unique_ptr<TZRNOpenGLTexture> Filled(int32_t w, int32_t h, TZRNPixelFormat f) {
    auto t = std::make_unique<TZRNOpenGLTexture>();
    FillTexture(*t, w, h, f);
    return t;
  }

  std::unique_ptr<TZRNDevice> Device;
};

GLint TexParameter(GLenum name) {
  GLint v = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, name, &v);
  return v;
}

std::array<uint8_t, 3> PixelAt(int x, int yFromTop) {
  std::array<uint8_t, 3> rgb{};
  glReadPixels(x, 768 - 1 - yFromTop, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return rgb;
}

}  // namespace

TEST(OpenGLTexture, DisplayTestsPassUnderXvfb) {
  if (HaveDisplay()) GTEST_SKIP() << "a display exists; the display tests run directly";
  int status = -1;
  const std::string output = RunSelfUnderXvfb("OpenGLTextureOnDisplay.*", status);
  EXPECT_EQ(status, 0) << output;
  EXPECT_NE(output.find("[  PASSED  ]"), std::string::npos) << output;
  EXPECT_EQ(output.find("SKIPPED"), std::string::npos) << output;
}

TEST(OpenGLTexture, BuildWithoutAContextDoesNothing) {
  if (ZRNOpenGLLoaded) GTEST_SKIP() << "a context exists in this process";
  TZRNOpenGLTexture t;
  FillTexture(t, 2, 2, pfRGB);
  t.Build();
  EXPECT_EQ(t.Handle, 0u);
  t.Unload();
  EXPECT_EQ(t.Handle, 0u);
}

TEST_F(OpenGLTextureOnDisplay, RebuildReplacesTheGpuObjectAndUnloadReleasesIt) {
  auto t = Filled(4, 4, pfRGBA);
  t->Unload();  // never built: nothing happens
  EXPECT_EQ(t->Handle, 0u);
  t->Build();
  const GLuint first = t->Handle;
  ASSERT_NE(first, 0u);
  EXPECT_TRUE(glIsTexture(first));
  t->Build();
  EXPECT_NE(t->Handle, 0u);
  EXPECT_FALSE(first != t->Handle && glIsTexture(first)) << "the first texture was not deleted";
  const GLuint second = t->Handle;
  t->Unload();
  EXPECT_EQ(t->Handle, 0u);
  EXPECT_FALSE(glIsTexture(second));
}

TEST_F(OpenGLTextureOnDisplay, FiltersAndWrapsFollowTheSettings) {
  auto t = Filled(4, 4, pfRGB);
  t->Settings->Mipmaps = false;
  t->Settings->MinFilter = tfLinearMipmapLinear;
  t->Settings->MagFilter = tfNearest;
  t->Settings->WrapS = twRepeat;
  t->Build();
  EXPECT_EQ(TexParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
  EXPECT_EQ(TexParameter(GL_TEXTURE_MAG_FILTER), GL_NEAREST);
  EXPECT_EQ(TexParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
  EXPECT_EQ(TexParameter(GL_TEXTURE_WRAP_T), GL_CLAMP);

  t->Settings->MinFilter = tfNearestMipmapLinear;
  t->Build();
  EXPECT_EQ(TexParameter(GL_TEXTURE_MIN_FILTER), GL_NEAREST);

  t->Settings->Mipmaps = true;
  t->Build();
  EXPECT_EQ(TexParameter(GL_TEXTURE_MIN_FILTER), GL_NEAREST_MIPMAP_LINEAR);
  GLint levelOneWidth = 0;  // the chain exists, whoever built it
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &levelOneWidth);
  EXPECT_EQ(levelOneWidth, 2);
}

TEST_F(OpenGLTextureOnDisplay, BuildErrorsReleaseThePreviousObjectFirst) {
  auto t = Filled(2, 2, pfRGB);
  t->Build();
  const GLuint first = t->Handle;
  t->SetSize(0, 0, pfNone);
  EXPECT_THROW(t->Build(), EZRNError);
  EXPECT_EQ(t->Handle, 0u);
  EXPECT_FALSE(glIsTexture(first));
  t->Format = pfRGB;
  try {
    t->Build();
    FAIL();
  } catch (const EZRNError& e) {
    EXPECT_STREQ(e.what(), "No texture data");
  }
}

TEST_F(OpenGLTextureOnDisplay, BindLeavesUnitZeroActive) {
  auto t = Filled(2, 2, pfRGB);
  t->Build();
  t->Bind(3);
  GLint active = 0;
  glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
  EXPECT_EQ(active, GL_TEXTURE0);
  glActiveTexture(GL_TEXTURE3);
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  glActiveTexture(GL_TEXTURE0);
  EXPECT_EQ(static_cast<GLuint>(bound), t->Handle);
}

TEST_F(OpenGLTextureOnDisplay, ImageDrawsItsTopRowAtTheTop) {
  // 2 x 2 picture: red over green on the left, blue over white on the right. Its rows are 6
  // bytes, not a multiple of OpenGL's default unpack alignment: they must still arrive intact.
  TZRNImage image(Device.get());
  image.Texture->SetSize(2, 2, pfRGB);
  const uint8_t pixels[12] = {255, 0, 0, 0, 0, 255, 0, 255, 0, 255, 255, 255};
  std::copy(pixels, pixels + 12, image.Texture->Data);
  image.Texture->Settings->Mipmaps = false;
  image.Texture->Settings->MinFilter = tfNearest;
  image.Texture->Settings->MagFilter = tfNearest;
  image.Texture->Build();
  GLint alignment = 0;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  EXPECT_EQ(alignment, 4) << "the upload restores the default alignment";
  image.Width = image.Height = 2;
  image.UpdateCoordinates();
  image.CreatePatterns(1, 1, false);

  Device->Clear();
  image.Batching = true;
  // The whole picture scaled up through a transform: 200 x 200 pixels at (100, 100).
  TMatrix4f m = IdentityMatrix;
  m[0] = 100;
  m[5] = 100;
  m[12] = 100;
  m[13] = 100;
  image.DrawTransformed(m, -1, clrWhite, false);
  image.Draw(400, 100, 3, clrWhite);  // pattern 3: the bottom-right pixel, white
  image.Flush();
  EXPECT_EQ(PixelAt(150, 150), (std::array<uint8_t, 3>{255, 0, 0}));
  EXPECT_EQ(PixelAt(250, 150), (std::array<uint8_t, 3>{0, 0, 255}));
  EXPECT_EQ(PixelAt(150, 250), (std::array<uint8_t, 3>{0, 255, 0}));
  EXPECT_EQ(PixelAt(400, 100), (std::array<uint8_t, 3>{255, 255, 255}));
  EXPECT_EQ(PixelAt(402, 100), (std::array<uint8_t, 3>{0, 0, 0}));
}
