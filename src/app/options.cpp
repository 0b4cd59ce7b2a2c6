// Run options and the command-line switches.
#include "app/options.h"

#include <wchar.h>

namespace interlock {

namespace {
const UINT kCreateDeviceBgraSupport = 0x20;  // D3D11_CREATE_DEVICE_BGRA_SUPPORT
const UINT kCreateDeviceDebug = 0x2;         // D3D11_CREATE_DEVICE_DEBUG
const UINT kCreateFactoryDebug = 0x1;        // DXGI_CREATE_FACTORY_DEBUG
}  // namespace

RenderTargetKind render_kind;
BOOL share_objects;
BOOL allocate_renderbuffers_storage;
BOOL bind_renderbuffers;
UINT deviceflags;
UINT factoryflags;
BOOL fatal_gl_erros;
BOOL compat_gl;
BOOL no_decorations;

const wchar_t help_text[] =
    L"Possible arguments\n"
    L"Rendering primitive (mutually exclusive):\n"
    L"  --render-buffer    - use render buffers (nVidia, default)\n"
    L"  --render-texture   - use textures (AMD)\n"
    L"GL profile (mutually exclusive):\n"
    L"  --compat-gl        - request WGL_CONTEXT_COMPATIBILITY_PROFILE_BIT_ARB\n"
    L"  --core-gl          - request WGL_CONTEXT_CORE_PROFILE_BIT_ARB (default)\n"
    L"Misc:\n"
    L"  --share-objects    - set up objects for sharing (disabled by default)\n"
    L"  --bind-rb          - bind render buffers when using them (disabled by default)\n"
    L"  --alloc-rb-storage - allocate storage for render buffers when using them (disabled by default)\n"
    L"  --debug-device     - enable device debugging (disabled by default)\n"
    L"  --debug-factory    - enable factory debugging (disabled by default)\n"
    L"  --fatal-gl-errors  - crash on any GL error (disabled by default)\n"
    L"  --no-decorations   - turns of window decorations (disabled by default)\n"
    L"  --help             - show this message\n";

void SetDefaultOptions() {
  render_kind = RENDER_BUFFER;
  share_objects = FALSE;
  allocate_renderbuffers_storage = FALSE;
  bind_renderbuffers = FALSE;
  deviceflags = kCreateDeviceBgraSupport;
  factoryflags = 0;
  fatal_gl_erros = FALSE;
  compat_gl = FALSE;
  no_decorations = FALSE;
}

BOOL ExamineArguments(int wargc, LPWSTR *wargv) {
  for (int i = 0; i < wargc; ++i) {
    const wchar_t *argument = wargv[i];
    if (wcscmp(argument, L"--render-buffer") == 0) {
      render_kind = RENDER_BUFFER;
    } else if (wcscmp(argument, L"--render-texture") == 0) {
      render_kind = RENDER_TEXTURE;
    } else if (wcscmp(argument, L"--share-objects") == 0) {
      share_objects = TRUE;
    } else if (wcscmp(argument, L"--alloc-rb-storage") == 0) {
      allocate_renderbuffers_storage = TRUE;
    } else if (wcscmp(argument, L"--bind-rb") == 0) {
      bind_renderbuffers = TRUE;
    } else if (wcscmp(argument, L"--compat-gl") == 0) {
      compat_gl = TRUE;
    } else if (wcscmp(argument, L"--core-gl") == 0) {
      compat_gl = FALSE;
    } else if (wcscmp(argument, L"--fatal-gl-errors") == 0) {
      fatal_gl_erros = TRUE;
    } else if (wcscmp(argument, L"--debug-device") == 0) {
      deviceflags |= kCreateDeviceDebug;
    } else if (wcscmp(argument, L"--debug-factory") == 0) {
      factoryflags |= kCreateFactoryDebug;
    } else if (wcscmp(argument, L"--no-decorations") == 0) {
      no_decorations = TRUE;
    } else if (wcscmp(argument, L"--help") == 0) {
      MessageBoxW(NULL, help_text, L"Commandline arguments", MB_OK);
      return FALSE;
    }
  }
  return TRUE;
}

}  // namespace interlock
