// The names through which the program reaches storage that WGL_NV_DX_interop has registered.
//
// Imported memory can only back a texture created for it, and its storage is immutable, while
// the program registers the same render-buffer or texture name again after every resize. So a
// registered name designates an internal texture on the imported memory: the program's calls
// that take the name (framebuffer attachment, texture binding, deletion) reach that texture
// instead, and attachments of the name in the current context's framebuffers follow each
// registration and unregistration, as they follow a render buffer's new storage.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>
#include <windows.h>

#include <atomic>
#include <map>

namespace ilk::opengl32 {

enum class NameKind { Renderbuffer, Texture };

// What a registered name designates; the registered object owns it.
struct SharedStorage {
  GLuint texture = 0;    // the internal 2-D texture on the imported memory
  bool writable = true;  // registered for writing, not WGL_ACCESS_READ_ONLY_NV
  // Between wglDXLockObjectsNV and wglDXUnlockObjectsNV; draws on every thread of the share
  // group read it.
  std::atomic<bool> locked{false};
};

// What the program attached at one attachment point.
struct Attachment {
  NameKind kind;
  GLenum object_target;  // GL_RENDERBUFFER, or the texture target it passed
  GLuint name;
  GLint level;
};

// The program's attachments in one context's framebuffers, by framebuffer and attachment point.
// They belong to the context (contexts.h), so only the thread it is current on uses them.
using FramebufferAttachments = std::map<GLuint, std::map<GLenum, Attachment>>;

// True when `name` is a render-buffer or 2-D texture name (by `kind`) of the current context.
bool IsNameOf(NameKind kind, GLuint name);

// From now on `name` designates `storage` in the current context's share group.
void Designate(NameKind kind, GLuint name, SharedStorage *storage);
// `name` of `share_group` designates its own object again, if it still designates `storage`.
void Undesignate(HGLRC share_group, NameKind kind, GLuint name, const SharedStorage *storage);

// The program's calls that take the names, with their OpenGL errors kept for the program.
// Attaches `name` (or what it designates) to the framebuffer bound to `target`.
void Attach(GLenum target, GLenum attachment, NameKind kind, GLenum object_target, GLuint name, GLint level);
// What glBindTexture(target, name) binds.
GLuint TextureToBind(GLenum target, GLuint name);
// Before the names are deleted: they designate nothing any more, and what they designated is
// detached from the bound framebuffers, as deleting an attached object detaches it.
void ForgetNames(NameKind kind, GLsizei count, const GLuint *names);
// Before the current context's framebuffers are deleted.
void ForgetFramebuffers(GLsizei count, const GLuint *framebuffers);

// Before `call` draws: reports through OpenGL debug output when the bound draw framebuffer has
// registered storage attached that is not locked, or locked for reading only. Drivers stay
// silent there; this platform says so as a debug layer would.
void CheckDrawTarget(const char *call);

}  // namespace ilk::opengl32
