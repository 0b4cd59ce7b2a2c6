// The indirection from the program's registered names to the internal textures on imported
// memory (name_storage.h). Names live in share groups; the attachments recorded in each context
// are the program's own, per framebuffer, so that they can follow each registration.
#include "name_storage.h"

#include <stdio.h>

#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "common/platform_state.h"
#include "contexts.h"
#include "debug_output.h"
#include "forward.h"

namespace ilk::opengl32 {
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

using NameKey = std::pair<NameKind, GLuint>;

// What registered names designate, by share group. Contexts of one group may be current on
// several threads at once, so the table has a lock. Mesa is never called while it is held: Mesa
// may call the program's debug callback from inside any call, and the callback may come back
// here.
struct Designations {
  std::mutex mutex;
  std::map<HGLRC, std::map<NameKey, SharedStorage *>> by_group;
};

PlatformState<Designations> designations;
Designations &State() { return designations.Get(); }

// A designation as read under the lock.
struct Designation {
  GLuint texture;
  bool writable;
  bool locked;
};

// A render buffer attached with another target than GL_RENDERBUFFER stays untranslated, so
// OpenGL refuses it.
bool CanReachStorage(const Attachment &attachment) {
  return attachment.kind == NameKind::Texture || attachment.object_target == GL_RENDERBUFFER;
}

// What `attachment` reaches in `share_group`: registered storage, or nothing for the name's own
// object.
std::optional<Designation> Designated(HGLRC share_group, const Attachment &attachment) {
  if (!CanReachStorage(attachment)) return std::nullopt;
  std::lock_guard<std::mutex> lock(State().mutex);
  auto group = State().by_group.find(share_group);
  if (group == State().by_group.end()) return std::nullopt;
  auto found = group->second.find({attachment.kind, attachment.name});
  if (found == group->second.end()) return std::nullopt;
  const SharedStorage &storage = *found->second;
  return Designation{storage.texture, storage.writable, storage.locked};
}

// Attaches to the framebuffer bound to `target` the internal texture `storage_texture`, or the
// name's own object when it is 0.
void AttachToBound(GLenum target, GLenum point, const Attachment &attachment, GLuint storage_texture) {
  if (storage_texture) {
    GLenum texture_target = attachment.kind == NameKind::Texture ? attachment.object_target : GL_TEXTURE_2D;
    Mesa().framebuffer_texture_2d(target, point, texture_target, storage_texture, attachment.level);
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

// Attaches what `name` now reaches (`storage_texture`, or its own object when 0) wherever the
// current context's framebuffers hold it.
void Repoint(NameKind kind, GLuint name, GLuint storage_texture) {
  Context *context = CurrentContext();
  if (!context) return;
  // Gathered before Mesa runs: the debug callback may attach and change the records meanwhile.
  struct Place {
    GLuint framebuffer;
    GLenum point;
    Attachment attachment;
  };
  std::vector<Place> places;
  for (const auto &[framebuffer, points] : context->attachments) {
    for (const auto &[point, attachment] : points) {
      if (attachment.kind == kind && attachment.name == name) places.push_back({framebuffer, point, attachment});
    }
  }
  GLuint previous = GetInteger(GL_DRAW_FRAMEBUFFER_BINDING);
  SetAsideErrors();
  for (const Place &place : places) {
    Mesa().bind_framebuffer(GL_DRAW_FRAMEBUFFER, place.framebuffer);
    AttachToBound(GL_DRAW_FRAMEBUFFER, place.point, place.attachment, storage_texture);
  }
  if (!places.empty()) Mesa().bind_framebuffer(GL_DRAW_FRAMEBUFFER, previous);
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
  {
    std::lock_guard<std::mutex> lock(State().mutex);
    State().by_group[CurrentShareGroup()][{kind, name}] = storage;
  }
  Repoint(kind, name, storage->texture);
}

void Undesignate(HGLRC share_group, NameKind kind, GLuint name, const SharedStorage *storage) {
  {
    std::lock_guard<std::mutex> lock(State().mutex);
    auto &names = State().by_group[share_group];
    auto found = names.find({kind, name});
    if (found == names.end() || found->second != storage) return;  // deleted, or registered again since
    names.erase(found);
  }
  if (CurrentShareGroup() == share_group) Repoint(kind, name, 0);
}

void Attach(GLenum target, GLenum attachment, NameKind kind, GLenum object_target, GLuint name, GLint level) {
  Attachment wanted = {kind, object_target, name, kind == NameKind::Renderbuffer ? 0 : level};
  std::optional<Designation> storage = name ? Designated(CurrentShareGroup(), wanted) : std::nullopt;
  GLuint framebuffer = BoundFramebuffer(target);
  SetAsideErrors();
  {
    // Registered storage is attached as a texture whichever call the program made.
    const char *program_call = kind == NameKind::Renderbuffer ? "glFramebufferRenderbuffer" : "glFramebufferTexture2D";
    ForwardedAs as_program_call(storage ? "glFramebufferTexture2D" : program_call, program_call);
    AttachToBound(target, attachment, wanted, storage ? storage->texture : 0);
  }
  // Only what OpenGL accepted is recorded; its errors stay for the program.
  Context *context = CurrentContext();
  if (SetAsideErrors() != 0 || !framebuffer || !context) return;
  std::map<GLenum, Attachment> &points = context->attachments[framebuffer];
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
  std::optional<Designation> storage = Designated(CurrentShareGroup(), {NameKind::Texture, GL_TEXTURE_2D, name, 0});
  return storage ? storage->texture : name;
}

void ForgetNames(NameKind kind, GLsizei count, const GLuint *names) {
  Context *context = CurrentContext();
  if (count <= 0 || !names || !context) return;
  std::set<GLuint> designated;
  {
    std::lock_guard<std::mutex> lock(State().mutex);
    auto &group = State().by_group[context->share_group];
    for (GLsizei i = 0; i < count; ++i) {
      if (group.erase({kind, names[i]})) designated.insert(names[i]);
    }
  }
  GLuint draw = GetInteger(GL_DRAW_FRAMEBUFFER_BINDING);
  GLuint read = GetInteger(GL_READ_FRAMEBUFFER_BINDING);
  // OpenGL detaches the names' own objects itself; designated storage is detached here, from
  // the bound framebuffers, once the records are settled.
  std::vector<std::pair<GLenum, GLenum>> detach;  // target, attachment point
  for (GLsizei i = 0; i < count; ++i) {
    for (auto &[framebuffer, points] : context->attachments) {
      for (auto point = points.begin(); point != points.end();) {
        if (point->second.kind != kind || point->second.name != names[i]) {
          ++point;
          continue;
        }
        if (designated.count(names[i]) && CanReachStorage(point->second)) {
          if (framebuffer == draw) detach.push_back({GL_DRAW_FRAMEBUFFER, point->first});
          if (framebuffer == read) detach.push_back({GL_READ_FRAMEBUFFER, point->first});
        }
        point = points.erase(point);
      }
    }
  }
  SetAsideErrors();
  for (auto [target, point] : detach) Mesa().framebuffer_renderbuffer(target, point, GL_RENDERBUFFER, 0);
  DropErrors();
}

void ForgetFramebuffers(GLsizei count, const GLuint *framebuffers) {
  Context *context = CurrentContext();
  if (count <= 0 || !framebuffers || !context) return;
  for (GLsizei i = 0; i < count; ++i) context->attachments.erase(framebuffers[i]);
}

void CheckDrawTarget(const char *call) {
  Context *context = CurrentContext();
  if (!context) return;
  GLuint framebuffer = GetInteger(GL_DRAW_FRAMEBUFFER_BINDING);
  if (!framebuffer) return;
  auto points = context->attachments.find(framebuffer);
  if (points == context->attachments.end()) return;
  char message[256] = "";
  for (const auto &[point, attachment] : points->second) {
    std::optional<Designation> storage = Designated(context->share_group, attachment);
    if (!storage || (storage->locked && storage->writable)) continue;
    snprintf(message, sizeof message,
             "WGL_NV_DX_interop: %s draws into framebuffer %u, whose attachment 0x%04X is %s %u, %s", call, framebuffer,
             point, attachment.kind == NameKind::Renderbuffer ? "render buffer" : "texture", attachment.name,
             storage->locked ? "registered for reading only" : "registered with Direct3D and not locked");
    break;
  }
  if (*message) {
    Mesa().debug_message_insert(GL_DEBUG_SOURCE_THIRD_PARTY, GL_DEBUG_TYPE_UNDEFINED_BEHAVIOR, 1,
                                GL_DEBUG_SEVERITY_HIGH, -1, message);
  }
}

}  // namespace ilk::opengl32
