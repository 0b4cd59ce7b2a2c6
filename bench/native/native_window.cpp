// One window of the native program (native_window.h).
#include "native_window.h"

#include <string.h>

namespace native {
namespace {

// Position (x, y, z, w) then colour (r, g, b, a) of each vertex.
const float kTriangle[24] = {
    0.0f,  -1.5f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f, 1.0f,  //
    1.5f,  1.5f,  0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 0.5f,  //
    -1.5f, 1.5f,  0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 0.2f,  //
};

const char *const kVertexShader =
    "#version 330\nin vec4 color;\nin vec4 position;\nout vec4 Color;\n"
    "void main() { Color = color; gl_Position = position; }\n";
const char *const kFragmentShader =
    "#version 330\nin vec4 Color;\nout vec4 outColor;\nvoid main() { outColor = Color; }\n";

const VkImageUsageFlags kTargetUsage = VK_IMAGE_USAGE_TRANSFER_SRC_BIT | VK_IMAGE_USAGE_SAMPLED_BIT;

GLuint Compile(const GL &gl, GLenum type, const char *source) {
  GLuint shader = gl.CreateShader(type);
  gl.ShaderSource(shader, 1, &source, nullptr);
  gl.CompileShader(shader);
  return shader;  // a failed compile fails the link
}

// One barrier over all memory between the stages given.
void Barrier(VkCommandBuffer commands, VkPipelineStageFlags from, VkAccessFlags written, VkPipelineStageFlags to,
             VkAccessFlags accessed) {
  VkMemoryBarrier barrier = {VK_STRUCTURE_TYPE_MEMORY_BARRIER};
  barrier.srcAccessMask = written;
  barrier.dstAccessMask = accessed;
  vkCmdPipelineBarrier(commands, from, to, 0, 1, &barrier, 0, nullptr, 0, nullptr);
}

void ToGeneral(VkCommandBuffer commands, const Image &image, VkImageAspectFlags aspects) {
  VkImageMemoryBarrier barrier = {VK_STRUCTURE_TYPE_IMAGE_MEMORY_BARRIER};
  barrier.oldLayout = VK_IMAGE_LAYOUT_UNDEFINED;
  barrier.newLayout = VK_IMAGE_LAYOUT_GENERAL;
  barrier.dstAccessMask = VK_ACCESS_MEMORY_READ_BIT | VK_ACCESS_MEMORY_WRITE_BIT;
  barrier.srcQueueFamilyIndex = barrier.dstQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
  barrier.image = image.image;
  barrier.subresourceRange = {aspects, 0, 1, 0, 1};
  vkCmdPipelineBarrier(commands, VK_PIPELINE_STAGE_TOP_OF_PIPE_BIT, VK_PIPELINE_STAGE_ALL_COMMANDS_BIT, 0, 0, nullptr,
                       0, nullptr, 1, &barrier);
}

}  // namespace

bool Window::Open(uint32_t width, uint32_t height) {
  context_ = egl_.MakeContext();
  if (context_ == EGL_NO_CONTEXT) return false;
  // OpenGL can import only memory of the device it runs on.
  GLubyte uuid[GL_UUID_SIZE_EXT] = {};
  gl_.GetUnsignedBytei_vEXT(GL_DEVICE_UUID_EXT, 0, uuid);
  if (memcmp(uuid, vulkan_.Uuid(), GL_UUID_SIZE_EXT) != 0 || !MakeProgram()) return false;
  gl_.GenFramebuffers(1, &framebuffer_);
  width_ = width;
  height_ = height;
  return MakeTargets();
}

bool Window::MakeProgram() {
  GLuint vertex = Compile(gl_, GL_VERTEX_SHADER, kVertexShader);
  GLuint fragment = Compile(gl_, GL_FRAGMENT_SHADER, kFragmentShader);
  program_ = gl_.CreateProgram();
  gl_.AttachShader(program_, vertex);
  gl_.AttachShader(program_, fragment);
  gl_.BindFragDataLocation(program_, 0, "outColor");
  gl_.LinkProgram(program_);
  gl_.DeleteShader(vertex);
  gl_.DeleteShader(fragment);
  GLint linked = 0;
  gl_.GetProgramiv(program_, GL_LINK_STATUS, &linked);
  GLint position = gl_.GetAttribLocation(program_, "position"), color = gl_.GetAttribLocation(program_, "color");
  if (!linked || position < 0 || color < 0) return false;
  gl_.GenVertexArrays(1, &vertex_array_);
  gl_.BindVertexArray(vertex_array_);
  gl_.GenBuffers(1, &vertex_buffer_);
  gl_.BindBuffer(GL_ARRAY_BUFFER, vertex_buffer_);
  gl_.BufferData(GL_ARRAY_BUFFER, sizeof kTriangle, kTriangle, GL_STATIC_DRAW);
  gl_.EnableVertexAttribArray((GLuint)position);
  gl_.VertexAttribPointer((GLuint)position, 4, GL_FLOAT, GL_FALSE, 32, nullptr);
  gl_.EnableVertexAttribArray((GLuint)color);
  gl_.VertexAttribPointer((GLuint)color, 4, GL_FLOAT, GL_FALSE, 32, reinterpret_cast<const void *>(16));
  return true;
}

bool Window::Import(const Image &image, GLenum format, GLuint *memory, GLuint *texture) {
  int fd = vulkan_.Export(image);
  if (fd < 0) return false;
  gl_.CreateMemoryObjectsEXT(1, memory);
  const GLint dedicated = GL_TRUE;
  gl_.MemoryObjectParameterivEXT(*memory, GL_DEDICATED_MEMORY_OBJECT_EXT, &dedicated);
  gl_.ImportMemoryFdEXT(*memory, image.size, GL_HANDLE_TYPE_OPAQUE_FD_EXT, fd);
  gl_.GenTextures(1, texture);
  gl_.BindTexture(GL_TEXTURE_2D, *texture);
  gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_TILING_EXT, GL_OPTIMAL_TILING_EXT);
  gl_.TexStorageMem2DEXT(GL_TEXTURE_2D, 1, format, (GLsizei)width_, (GLsizei)height_, *memory, 0);
  gl_.BindTexture(GL_TEXTURE_2D, 0);
  return gl_.GetError() == GL_NO_ERROR;
}

bool Window::MakeTargets() {
  const VkImageAspectFlags depth_stencil = VK_IMAGE_ASPECT_DEPTH_BIT | VK_IMAGE_ASPECT_STENCIL_BIT;
  VkDeviceSize bytes = (VkDeviceSize)width_ * height_ * 4;
  if (!vulkan_.MakeImage(VK_FORMAT_R8G8B8A8_UNORM, kTargetUsage | VK_IMAGE_USAGE_COLOR_ATTACHMENT_BIT, true, width_,
                         height_, &color_) ||
      !vulkan_.MakeImage(VK_FORMAT_D24_UNORM_S8_UINT, kTargetUsage | VK_IMAGE_USAGE_DEPTH_STENCIL_ATTACHMENT_BIT, true,
                         width_, height_, &depth_)) {
    return false;
  }
  for (Image &image : chain_) {
    if (!vulkan_.MakeImage(VK_FORMAT_R8G8B8A8_UNORM, VK_IMAGE_USAGE_TRANSFER_SRC_BIT | VK_IMAGE_USAGE_TRANSFER_DST_BIT,
                           false, width_, height_, &image)) {
      return false;
    }
  }
  if (readback_.size < bytes) {
    vulkan_.Free(&readback_);
    if (!vulkan_.MakeHostBuffer(bytes, &readback_)) return false;
  }
  pixels_.resize(bytes);
  VkCommandBuffer commands = vulkan_.Begin();
  ToGeneral(commands, color_, VK_IMAGE_ASPECT_COLOR_BIT);
  ToGeneral(commands, depth_, depth_stencil);
  for (const Image &image : chain_) ToGeneral(commands, image, VK_IMAGE_ASPECT_COLOR_BIT);
  if (!vulkan_.Finish() || !Import(color_, GL_RGBA8, &color_memory_, &color_texture_) ||
      !Import(depth_, GL_DEPTH24_STENCIL8, &depth_memory_, &depth_texture_)) {
    return false;
  }
  gl_.BindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  gl_.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, color_texture_, 0);
  gl_.FramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, depth_texture_, 0);
  gl_.FramebufferTexture2D(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_TEXTURE_2D, depth_texture_, 0);
  gl_.Viewport(0, 0, (GLsizei)width_, (GLsizei)height_);
  return gl_.CheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void Window::DropTargets() {
  gl_.DeleteTextures(1, &color_texture_);
  gl_.DeleteTextures(1, &depth_texture_);
  gl_.DeleteMemoryObjectsEXT(1, &color_memory_);
  gl_.DeleteMemoryObjectsEXT(1, &depth_memory_);
  color_texture_ = depth_texture_ = color_memory_ = depth_memory_ = 0;
  gl_.Finish();  // OpenGL lets go of the memory before Vulkan frees it
  vulkan_.Free(&color_);
  vulkan_.Free(&depth_);
  for (Image &image : chain_) vulkan_.Free(&image);
}

bool Window::Resize(uint32_t width, uint32_t height) {
  if (!egl_.MakeCurrent(context_)) return false;
  DropTargets();
  width_ = width;
  height_ = height;
  return MakeTargets();
}

bool Window::Frame() {
  if (!egl_.MakeCurrent(context_)) return false;
  gl_.BindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  gl_.ClearColor(0.0f, 0.0f, 0.0f, 0.4f);
  gl_.Clear(GL_COLOR_BUFFER_BIT);
  gl_.UseProgram(program_);
  gl_.BindVertexArray(vertex_array_);
  gl_.DrawArrays(GL_TRIANGLES, 0, 3);
  gl_.Finish();

  const Image &shown = chain_[next_];
  next_ = 1 - next_;
  VkCommandBuffer commands = vulkan_.Begin();
  Barrier(commands, VK_PIPELINE_STAGE_ALL_COMMANDS_BIT, VK_ACCESS_MEMORY_WRITE_BIT, VK_PIPELINE_STAGE_TRANSFER_BIT,
          VK_ACCESS_TRANSFER_READ_BIT | VK_ACCESS_TRANSFER_WRITE_BIT);
  VkImageCopy copy = {};
  copy.srcSubresource = copy.dstSubresource = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 0, 1};
  copy.extent = {width_, height_, 1};
  vkCmdCopyImage(commands, color_.image, VK_IMAGE_LAYOUT_GENERAL, shown.image, VK_IMAGE_LAYOUT_GENERAL, 1, &copy);
  Barrier(commands, VK_PIPELINE_STAGE_TRANSFER_BIT, VK_ACCESS_TRANSFER_WRITE_BIT, VK_PIPELINE_STAGE_TRANSFER_BIT,
          VK_ACCESS_TRANSFER_READ_BIT);
  VkBufferImageCopy readback = {};
  readback.imageSubresource = copy.srcSubresource;
  readback.imageExtent = copy.extent;
  vkCmdCopyImageToBuffer(commands, shown.image, VK_IMAGE_LAYOUT_GENERAL, readback_.buffer, 1, &readback);
  Barrier(commands, VK_PIPELINE_STAGE_TRANSFER_BIT, VK_ACCESS_TRANSFER_WRITE_BIT, VK_PIPELINE_STAGE_HOST_BIT,
          VK_ACCESS_HOST_READ_BIT);
  if (!vulkan_.Finish()) return false;

  // R, G, B, A from the GPU become the window's B, G, R and an opaque alpha: the composition
  // over the black background, in one pass.
  const uint8_t *from = readback_.data;
  uint8_t *to = pixels_.data();
  size_t count = (size_t)width_ * height_;
  ++cpu_passes_;
  for (size_t i = 0; i < count; ++i) {
    uint32_t rgba;
    memcpy(&rgba, from + i * 4, 4);
    uint32_t bgra = (rgba & 0x0000FF00u) | (rgba & 0xFFu) << 16 | (rgba >> 16 & 0xFFu) | 0xFF000000u;
    memcpy(to + i * 4, &bgra, 4);
  }
  return true;
}

void Window::Close() {
  if (context_ == EGL_NO_CONTEXT) return;
  egl_.MakeCurrent(context_);
  DropTargets();
  vulkan_.Free(&readback_);
  gl_.DeleteFramebuffers(1, &framebuffer_);
  gl_.DeleteBuffers(1, &vertex_buffer_);
  gl_.DeleteVertexArrays(1, &vertex_array_);
  gl_.DeleteProgram(program_);
  egl_.DestroyContext(context_);
  context_ = EGL_NO_CONTEXT;
}

}  // namespace native
