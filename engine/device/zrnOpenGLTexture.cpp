#include "engine/device/zrnOpenGLTexture.h"

#include "engine/device/zrnMipmaps.h"

#include <epoxy/gl.h>

bool ZRNOpenGLLoaded = false;

namespace {

struct TGLPixelFormat {
  GLint Internal;
  GLenum Pixel;
  const char* Name;
};

// Indexed by TZRNPixelFormat.
const TGLPixelFormat GLPixelFormats[8] = {
    {0, 0, "GL_ZERO"},
    {GL_ALPHA8, GL_ALPHA, "GL_ALPHA"},
    {GL_RED, GL_RED, "GL_RED"},
    {GL_GREEN, GL_GREEN, "GL_GREEN"},
    {GL_BLUE, GL_BLUE, "GL_BLUE"},
    {1, GL_LUMINANCE, "GL_LUMINANCE"},
    {GL_RGB8, GL_RGB, "GL_RGB"},
    {GL_RGBA8, GL_RGBA, "GL_RGBA"},
};

const GLint GLFilters[6] = {GL_NEAREST,
                            GL_LINEAR,
                            GL_NEAREST_MIPMAP_NEAREST,
                            GL_LINEAR_MIPMAP_NEAREST,
                            GL_NEAREST_MIPMAP_LINEAR,
                            GL_LINEAR_MIPMAP_LINEAR};

GLint GLFilter(TZRNTextureFilter f) { return GLFilters[f <= tfLinearMipmapLinear ? f : tfLinear]; }
GLint GLWrap(TZRNTextureWrap w) { return w == twRepeat ? GL_REPEAT : GL_CLAMP; }

// Without mipmaps only the nearest/linear choice of a mipmap filter applies.
GLint MinFilterWithoutMipmaps(TZRNTextureFilter f) {
  switch (f) {
    case tfNearest:
    case tfNearestMipmapNearest:
    case tfNearestMipmapLinear: return GL_NEAREST;
    default: return GL_LINEAR;
  }
}

}  // namespace

TZRNOpenGLTexture::TZRNOpenGLTexture() = default;

TZRNOpenGLTexture::~TZRNOpenGLTexture() { Unload(); }

void TZRNOpenGLTexture::Build() {
  TexelWeights.Clear();
  Splat.clear();
  SplatChecked = false;
  if (!ZRNOpenGLLoaded) return;
  if (Handle != 0) {
    glDeleteTextures(1, &Handle);
    Handle = 0;
  }
  if (Format == pfNone || Format > pfRGBA) throw EZRNError("No texture format specified");
  if (!Data) throw EZRNError("No texture data");
  glGenTextures(1, &Handle);
  if (Handle == 0) return;
  glBindTexture(GL_TEXTURE_2D, Handle);
  const TGLPixelFormat& f = GLPixelFormats[Format];
  // Rows are tightly packed; with the default alignment of 4 OpenGL would read rows of 1- and
  // 3-byte formats whose length is not a multiple of 4 at the wrong stride, past the end of Data.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, f.Internal, Width, Height, 0, f.Pixel, GL_UNSIGNED_BYTE, Data);
  if (Settings->Mipmaps) {
    // The whole chain, built here rather than by the driver (slow in software OpenGL).
    const auto levels = BuildMipmapChain(Data, Width, Height, PixelFormatBytes[Format]);
    for (size_t i = 0; i < levels.size(); ++i) {
      glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(i + 1), f.Internal, levels[i].Width, levels[i].Height, 0,
                   f.Pixel, GL_UNSIGNED_BYTE, levels[i].Pixels.data());
    }
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GLWrap(Settings->WrapS));
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GLWrap(Settings->WrapT));
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GLFilter(Settings->MagFilter));
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                  Settings->Mipmaps ? GLFilter(Settings->MinFilter) : MinFilterWithoutMipmaps(Settings->MinFilter));
}

bool TZRNOpenGLTexture::WholeData() const {
  return Format != pfNone && Format <= pfRGBA && Data && int64_t{Width} * Height * PixelFormatBytes[Format] <= int64_t{Size};
}

TZRNTexelWeights& TZRNOpenGLTexture::Weights() {
  if (!TexelWeights.Ready() && WholeData()) TexelWeights.Build(Data, Width, Height, Format);
  return TexelWeights;
}

const std::vector<TZRNSplatTexture>& TZRNOpenGLTexture::SplatLevels() {
  if (SplatChecked) return Splat;
  SplatChecked = true;
  if (!WholeData() || !Splat.emplace_back().Build(Data, Width, Height, Format)) {
    Splat.clear();
    return Splat;
  }
  if (Settings && Settings->Mipmaps)
    for (const TZRNMipLevel& level : BuildMipmapChain(Data, Width, Height, PixelFormatBytes[Format]))
      Splat.emplace_back().Build(level.Pixels.data(), level.Width, level.Height, Format);
  return Splat;
}

void TZRNOpenGLTexture::Unload() {
  if (Handle == 0) return;
  if (ZRNOpenGLLoaded) glDeleteTextures(1, &Handle);
  Handle = 0;
}

void TZRNOpenGLTexture::Bind(int32_t unit) {
  glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
  glBindTexture(GL_TEXTURE_2D, Handle);
  glActiveTexture(GL_TEXTURE0);
}

void TZRNOpenGLRenderTarget::Initialize() {
  if (!ZRNOpenGLLoaded || !epoxy_has_gl_extension("GL_EXT_framebuffer_object")) return;
  glGenFramebuffersEXT(1, &FrameBuffer);
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, FrameBuffer);
  glGenTextures(1, &Texture);
  glBindTexture(GL_TEXTURE_2D, Texture);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, 1);
  // The colour buffer is always 1024 x 1024, whatever the window size.
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1024, 1024, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  glBindTexture(GL_TEXTURE_2D, 0);
  glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, Texture, 0);
  glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT);
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

void TZRNOpenGLRenderTarget::Finalize() {
  if (FrameBuffer == 0) return;
  if (ZRNOpenGLLoaded) glDeleteFramebuffers(1, &FrameBuffer);
  FrameBuffer = 0;
}

void TZRNOpenGLRenderTarget::Bind() {
  if (!ZRNOpenGLLoaded) return;
  glBindFramebuffer(GL_FRAMEBUFFER, FrameBuffer);
}
