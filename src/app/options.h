// Run options: set from the command-line switches at start-up, read-only afterwards.
#pragma once

#include <windows.h>

namespace interlock {

enum RenderTargetKind { RENDER_BUFFER = 0, RENDER_TEXTURE = 1 };

extern RenderTargetKind render_kind;
extern BOOL share_objects;
extern BOOL allocate_renderbuffers_storage;
extern BOOL bind_renderbuffers;
extern UINT deviceflags;  // D3D11_CREATE_DEVICE_FLAG bits
extern UINT factoryflags;
extern BOOL fatal_gl_erros;
extern BOOL compat_gl;
extern BOOL no_decorations;

extern const wchar_t help_text[];

// Assigns every option its default.
void SetDefaultOptions();

// Applies the switches among the arguments, in order. Returns FALSE when "--help" was met: the
// help box has been shown and the arguments after it were not examined.
BOOL ExamineArguments(int wargc, LPWSTR *wargv);

}  // namespace interlock
