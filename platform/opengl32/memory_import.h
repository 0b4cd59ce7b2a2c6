// Direct3D 11 texture memory in OpenGL without copies: the memory behind a texture,
// imported through GL_EXT_memory_object_fd, and the waits that stand in for interop semaphores.
#pragma once

#include <GL/gl.h>
#include <d3d11.h>

namespace ilk::opengl32 {

// What the current context made of one texture's memory.
struct ImportedTexture {
  GLuint memory = 0;   // the memory object
  GLuint texture = 0;  // a 2-D texture whose immutable storage is that memory
};

// 0 when the current context can share memory with `device`; otherwise the Win32 error: the
// memory extensions are missing (or hidden), or OpenGL and Direct3D are not the same device.
DWORD CheckSharing(ID3D11Device *device);

// Imports the memory of `texture`, which must be a texture of `device`, into the current context.
// False when Direct3D cannot export it (not a texture of `device`, a texture of more than one
// image) or OpenGL refuses the import.
bool ImportTexture(ID3D11Texture2D *texture, ID3D11Device *device, ImportedTexture *imported);
// Deletes what ImportTexture made, in the current context.
void DeleteImport(const ImportedTexture &imported);

// There are no semaphores between the two drivers: OpenGL finishes its work before Direct3D
// touches the memory again (glFlush alone would race).
void FinishOpenGLWork();

}  // namespace ilk::opengl32
