// The indirection from the program's registered names to the internal textures on imported
// memory (name_storage.h). Names live in share groups; the attachments recorded here are the
// program's own, per context and framebuffer, so that they can follow each registration.
#include "opengl32/name_storage.h"

#include <stdio.h>

#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "opengl32/contexts.h"
#include "opengl32/forward.h"

namespace opengl32 {
namespace {

typedef void(APIENTRY *GetIntegervProc)(GLenum pname, GLint *params);
typedef void(APIENTRY *BindTextureProc)(GLenum target, GLuint texture);

// Mesa's functions, called directly: these calls are the platform's, not the program's.
struct MesaCalls {
  GetIntegervProc get_integer = MesaFunction<GetIntegervProc>("glGetIntegerv");
  BindTextureProc bind_texture = MesaFunction<BindTextureProc>("glBindTexture");
  PFNGLBINDRENDERBUFFERPROC bind_renderbuffer = MesaFunction<PFNGLBINDRENDERBUFFERPROC>("glBindRenderbuffer");
  PFNGLBINDFRAMEBUFFERPROC bind_framebuffer = MesaFunction<PFNGLBINDFRAMEBUFFERPROC>("glBindFramebuffer");
  PFNGLFRAMEBUFFERRENDERBUFFERPROC framebuffer_renderbuffer =
      MesaFunction<PFNGLFRAMEBUFFERRENDERBUFFERPROC>("glFramebufferRenderbuffer");
  PFNGLFRAMEBUFFERTEXTURE2DPROC framebuffer_texture_2d =
      MesaFunction<PFNGLFRAMEBUFFERTEXTURE2DPROC>("glFramebufferTexture2D");
  PFNGLDEBUGMESSAGEINSERTPROC debug_message_insert = MesaFunction<PFNGLDEBUGMESSAGEINSERTPROC>("glDebugMessageInsert");
};

const MesaCalls &Mesa() {
  static const MesaCalls calls;
  return calls;
}

GLuint GetInteger(GLenum pname) {
  GLint value = 0;
  Mesa().get_integer(pname, &value);
  return (GLuint)value;
}

// What the program attached at one attachment point.
struct Attachment {
  NameKind kind;
  GLenum object_target;  // GL_RENDERBUFFER, or the texture target it passed
  GLuint name;
  GLint level;
};

using NameKey = std::pair<NameKind, GLuint>;
using Framebuffer = std::map<GLenum, Attachment>;  // by attachment point

struct Tables {
  std::mutex mutex;
  std::map<HGLRC, std::map<NameKey, SharedStorage *>> designations;  // by share group
  std::map<HGLRC, std::map<GLuint, Framebuffer>> framebuffers;       // by context
};

Tables &State() {
  static auto *tables = new Tables;  // lives as long as the process
  return *tables;
}

// What `attachment` reaches in `share_group`: registered storage, or null for the name's own
// object. A render buffer passed with another target stays untranslated, so OpenGL refuses it.
SharedStorage *Designated(HGLRC share_group, const Attachment &attachment) {
  if (attachment.kind == NameKind::Renderbuffer && attachment.object_target != GL_RENDERBUFFER) return nullptr;
  auto group = State().designations.find(share_group);
  if (group == State().designations.end()) return nullptr;
  auto found = group->second.find({attachment.kind, attachment.name});
  return found == group->second.end() ? nullptr : found->second;
}

void AttachToBound(GLenum target, GLenum point, const Attachment &attachment, const SharedStorage *storage) {
  if (storage) {
    GLenum texture_target = attachment.kind == NameKind::Texture ? attachment.object_target : GL_TEXTURE_2D;
    Mesa().framebuffer_texture_2d(target, point, texture_target, storage->texture, attachment.level);
  } else if (attachment.kind == NameKind::Renderbuffer) {
    Mesa().framebuffer_renderbuffer(target, point, attachment.object_target, attachment.name);
  } else {
    Mesa().framebuffer_texture_2d(target, point, attachment.object_target, attachment.name, attachment.level);
  }
}

GLuint BoundFramebuffer(GLenum target) {
  if (target == GL_FRAMEBUFFER || target == GL_DRAW_FRAMEBUFFER) return GetInteger(GL_DRAW_FRAMEBUFFER_BINDING);
  if (target == GL_READ_FRAMEBUFFER) return GetInteger(GL_READ_FRAMEBUFFER_BINDING);
  return 0;
}

// The points one attachment call fills: the combined depth-stencil point is both.
std::vector<GLenum> PointsOf(GLenum attachment) {
  if (attachment == GL_DEPTH_STENCIL_ATTACHMENT) return {GL_DEPTH_ATTACHMENT, GL_STENCIL_ATTACHMENT};
  return {attachment};
}

// Attaches what `name` now reaches wherever the current context's framebuffers hold it.
void Repoint(NameKind kind, GLuint name, const SharedStorage *storage) {
  auto found = State().framebuffers.find(wglGetCurrentContext());
  if (found == State().framebuffers.end()) return;
  GLuint previous = GetInteger(GL_DRAW_FRAMEBUFFER_BINDING);
  bool rebound = false;
  SetAsideErrors();
  for (auto &[framebuffer, points] : found->second) {
    for (auto &[point, attachment] : points) {
      if (attachment.kind != kind || attachment.name != name) continue;
      Mesa().bind_framebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
      rebound = true;
      AttachToBound(GL_DRAW_FRAMEBUFFER, point, attachment, storage);
    }
  }
  if (rebound) Mesa().bind_framebuffer(GL_DRAW_FRAMEBUFFER, previous);
  DropErrors();
}

}  // namespace

bool IsNameOf(NameKind kind, GLuint name) {
  if (!name || !CurrentContext()) return false;
  // Binding creates the object of a generated name and fails for any other name (core
  // profile) or a texture of another target.
  SetAsideErrors();
  if (kind == NameKind::Renderbuffer) {
    GLuint previous = GetInteger(GL_RENDERBUFFER_BINDING);
    Mesa().bind_renderbuffer(GL_RENDERBUFFER, name);
    bool named = DropErrors() == 0;
    Mesa().bind_renderbuffer(GL_RENDERBUFFER, previous);
    return named;
  }
  GLuint previous = GetInteger(GL_TEXTURE_BINDING_2D);
  Mesa().bind_texture(GL_TEXTURE_2D, name);
  bool named = DropErrors() == 0;
  Mesa().bind_texture(GL_TEXTURE_2D, previous);
  return named;
}

void Designate(NameKind kind, GLuint name, SharedStorage *storage) {
  std::lock_guard<std::mutex> lock(State().mutex);
  State().designations[CurrentShareGroup()][{kind, name}] = storage;
  Repoint(kind, name, storage);
}

void Undesignate(HGLRC share_group, NameKind kind, GLuint name, const SharedStorage *storage) {
  std::lock_guard<std::mutex> lock(State().mutex);
  auto &names = State().designations[share_group];
  auto found = names.find({kind, name});
  if (found == names.end() || found->second != storage) return;  // deleted, or registered again since
  names.erase(found);
  if (CurrentShareGroup() == share_group) Repoint(kind, name, nullptr);
}

void Attach(GLenum target, GLenum attachment, NameKind kind, GLenum object_target, GLuint name, GLint level) {
  std::lock_guard<std::mutex> lock(State().mutex);
  Attachment wanted = {kind, object_target, name, kind == NameKind::Renderbuffer ? 0 : level};
  const SharedStorage *storage = name ? Designated(CurrentShareGroup(), wanted) : nullptr;
  GLuint framebuffer = BoundFramebuffer(target);
  SetAsideErrors();
  AttachToBound(target, attachment, wanted, storage);
  // Only what OpenGL accepted is recorded; its errors stay for the program.
  if (SetAsideErrors() != 0 || !framebuffer) return;
  Framebuffer &points = State().framebuffers[wglGetCurrentContext()][framebuffer];
  for (GLenum point : PointsOf(attachment)) {
    if (name) {
      points[point] = wanted;
    } else {
      points.erase(point);
    }
  }
}

GLuint TextureToBind(GLenum target, GLuint name) {
  if (target != GL_TEXTURE_2D || !name) return name;
  std::lock_guard<std::mutex> lock(State().mutex);
  const SharedStorage *storage = Designated(CurrentShareGroup(), {NameKind::Texture, GL_TEXTURE_2D, name, 0});
  return storage ? storage->texture : name;
}

void ForgetNames(NameKind kind, GLsizei count, const GLuint *names) {
  if (count <= 0 || !names || !CurrentContext()) return;
  std::lock_guard<std::mutex> lock(State().mutex);
  HGLRC share_group = CurrentShareGroup();
  GLuint draw = GetInteger(GL_DRAW_FRAMEBUFFER_BINDING);
  GLuint read = GetInteger(GL_READ_FRAMEBUFFER_BINDING);
  std::map<GLuint, Framebuffer> &framebuffers = State().framebuffers[wglGetCurrentContext()];
  SetAsideErrors();
  for (GLsizei i = 0; i < count; ++i) {
    for (auto &[framebuffer, points] : framebuffers) {
      for (auto point = points.begin(); point != points.end();) {
        if (point->second.kind != kind || point->second.name != names[i]) {
          ++point;
          continue;
        }
        // OpenGL detaches the name's own object itself; designated storage is detached here.
        if (Designated(share_group, point->second)) {
          for (auto [bound, target] : {std::pair{draw, GL_DRAW_FRAMEBUFFER}, std::pair{read, GL_READ_FRAMEBUFFER}}) {
            if (framebuffer == bound) Mesa().framebuffer_renderbuffer(target, point->first, GL_RENDERBUFFER, 0);
          }
        }
        point = points.erase(point);
      }
    }
    State().designations[share_group].erase({kind, names[i]});
  }
  DropErrors();
}

void ForgetFramebuffers(GLsizei count, const GLuint *framebuffers) {
  if (count <= 0 || !framebuffers) return;
  std::lock_guard<std::mutex> lock(State().mutex);
  auto found = State().framebuffers.find(wglGetCurrentContext());
  if (found == State().framebuffers.end()) return;
  for (GLsizei i = 0; i < count; ++i) found->second.erase(framebuffers[i]);
}

void ForgetContext(HGLRC context) {
  std::lock_guard<std::mutex> lock(State().mutex);
  State().framebuffers.erase(context);
}

void CheckDrawTarget(const char *call) {
  if (!CurrentContext()) return;
  GLuint framebuffer = GetInteger(GL_DRAW_FRAMEBUFFER_BINDING);
  if (!framebuffer) return;
  char message[256] = "";
  {
    std::lock_guard<std::mutex> lock(State().mutex);
    auto context = State().framebuffers.find(wglGetCurrentContext());
    if (context == State().framebuffers.end()) return;
    auto points = context->second.find(framebuffer);
    if (points == context->second.end()) return;
    for (const auto &[point, attachment] : points->second) {
      const SharedStorage *storage = Designated(CurrentShareGroup(), attachment);
      if (!storage || (storage->locked && storage->writable)) continue;
      snprintf(message, sizeof message,
               "WGL_NV_DX_interop: %s draws into framebuffer %u, whose attachment 0x%04X is %s %u, %s", call,
               framebuffer, point, attachment.kind == NameKind::Renderbuffer ? "render buffer" : "texture",
               attachment.name,
               storage->locked ? "registered for reading only" : "registered with Direct3D and not locked");
      break;
    }
  }
  // Outside the lock: the program's debug callback runs inside this call.
  if (*message) {
    Mesa().debug_message_insert(GL_DEBUG_SOURCE_THIRD_PARTY, GL_DEBUG_TYPE_UNDEFINED_BEHAVIOR, 1,
                                GL_DEBUG_SEVERITY_HIGH, -1, message);
  }
}

}  // namespace opengl32
