// Direct3D 11 texture memory in OpenGL (memory_import.h).
#include "memory_import.h"

#include <GL/glext.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "common/knobs.h"
#include "common/log.h"
#include "d3d11/d3d11_internal.h"
#include "gdi32/gdi32_internal.h"
#include "contexts.h"
#include "forward.h"

namespace ilk::opengl32 {
namespace {

typedef void(APIENTRY *GetIntegervProc)(GLenum pname, GLint *params);
typedef void(APIENTRY *BindTextureProc)(GLenum target, GLuint texture);
typedef void(APIENTRY *TexturesProc)(GLsizei n, GLuint *textures);
typedef void(APIENTRY *TexParameteriProc)(GLenum target, GLenum pname, GLint param);
typedef void(APIENTRY *FinishProc)(void);

const char *const kMemoryExtensions[] = {"GL_EXT_memory_object", "GL_EXT_memory_object_fd"};

bool HasExtension(const char *wanted) {
  static const auto get_integer = MesaFunction<GetIntegervProc>("glGetIntegerv");
  static const auto get_string = MesaFunction<PFNGLGETSTRINGIPROC>("glGetStringi");
  if (ilk::IsHidden(wanted)) return false;
  GLint count = 0;
  get_integer(GL_NUM_EXTENSIONS, &count);
  for (GLint i = 0; i < count; ++i) {
    const GLubyte *name = get_string(GL_EXTENSIONS, (GLuint)i);
    if (name && strcmp(reinterpret_cast<const char *>(name), wanted) == 0) return true;
  }
  return false;
}

}  // namespace

DWORD CheckSharing(ID3D11Device *device) {
  ilk::d3d11::DeviceIdentity direct3d;
  if (!device || !ilk::d3d11::DeviceIdentityOf(device, &direct3d)) return ERROR_NOT_SUPPORTED;
  for (const char *extension : kMemoryExtensions) {
    if (!HasExtension(extension)) return ERROR_NOT_SUPPORTED;
  }
  std::string opengl;
  SetAsideErrors();
  bool paired = ilk::gdi32::CurrentOpenGLRunsOn(direct3d, &opengl);
  if (DropErrors() != 0 || !paired) {
    ilk::Log("OpenGL runs on %s and Direct3D on Vulkan device %s: they cannot share memory", opengl.c_str(),
             ilk::gdi32::DescribeDevice(direct3d).c_str());
    return ERROR_NOT_SUPPORTED;
  }
  return 0;
}

bool ImportTexture(ID3D11Texture2D *texture, ID3D11Device *device, ImportedTexture *imported) {
  static const auto create_memory = MesaFunction<PFNGLCREATEMEMORYOBJECTSEXTPROC>("glCreateMemoryObjectsEXT");
  static const auto memory_parameter =
      MesaFunction<PFNGLMEMORYOBJECTPARAMETERIVEXTPROC>("glMemoryObjectParameterivEXT");
  static const auto import_fd = MesaFunction<PFNGLIMPORTMEMORYFDEXTPROC>("glImportMemoryFdEXT");
  static const auto gen_textures = MesaFunction<TexturesProc>("glGenTextures");
  static const auto get_integer = MesaFunction<GetIntegervProc>("glGetIntegerv");
  static const auto bind_texture = MesaFunction<BindTextureProc>("glBindTexture");
  static const auto tex_parameter = MesaFunction<TexParameteriProc>("glTexParameteri");
  static const auto storage = MesaFunction<PFNGLTEXSTORAGEMEM2DEXTPROC>("glTexStorageMem2DEXT");

  ilk::d3d11::SharedMemory memory;
  if (!ilk::d3d11::ExportTextureMemory(texture, device, &memory)) return false;

  SetAsideErrors();
  *imported = {};
  create_memory(1, &imported->memory);
  const GLint dedicated = GL_TRUE;  // the texture's memory is a dedicated allocation
  memory_parameter(imported->memory, GL_DEDICATED_MEMORY_OBJECT_EXT, &dedicated);
  import_fd(imported->memory, memory.size, GL_HANDLE_TYPE_OPAQUE_FD_EXT, memory.fd);
  if (DropErrors() != 0) {
    close(memory.fd);  // a refused import does not take the descriptor over
    DeleteImport(*imported);
    return false;
  }
  GLint previous = 0;
  get_integer(GL_TEXTURE_BINDING_2D, &previous);
  gen_textures(1, &imported->texture);
  bind_texture(GL_TEXTURE_2D, imported->texture);
  tex_parameter(GL_TEXTURE_2D, GL_TEXTURE_TILING_EXT, GL_OPTIMAL_TILING_EXT);  // as the Direct3D image
  storage(GL_TEXTURE_2D, 1, memory.gl_format, (GLsizei)memory.width, (GLsizei)memory.height, imported->memory, 0);
  bind_texture(GL_TEXTURE_2D, (GLuint)previous);
  if (DropErrors() != 0) {
    ilk::Log("OpenGL refused the memory of texture %p", (void *)texture);
    DeleteImport(*imported);
    return false;
  }
  return true;
}

void DeleteImport(const ImportedTexture &imported) {
  static const auto delete_textures = MesaFunction<void(APIENTRY *)(GLsizei, const GLuint *)>("glDeleteTextures");
  static const auto delete_memory = MesaFunction<PFNGLDELETEMEMORYOBJECTSEXTPROC>("glDeleteMemoryObjectsEXT");
  // Work still queued on the memory (drawing while unlocked) would outlive the import, and
  // Mesa would reach memory that is gone.
  FinishOpenGLWork();
  SetAsideErrors();
  if (imported.texture) delete_textures(1, &imported.texture);
  if (imported.memory) delete_memory(1, &imported.memory);
  DropErrors();
}

void FinishOpenGLWork() {
  static const auto finish = MesaFunction<FinishProc>("glFinish");
  finish();
}

}  // namespace ilk::opengl32
