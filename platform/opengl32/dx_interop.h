// WGL_NV_DX_interop's seven entry points, handed out by wglGetProcAddress. Direct3D 11 textures
// are shared without copies: OpenGL imports the memory behind them.
#pragma once

#include <GL/wglext.h>

namespace ilk::opengl32 {

HANDLE WINAPI DXOpenDevice(void *dxDevice);
BOOL WINAPI DXCloseDevice(HANDLE hDevice);
BOOL WINAPI DXSetResourceShareHandle(void *dxObject, HANDLE shareHandle);
HANDLE WINAPI DXRegisterObject(HANDLE hDevice, void *dxObject, GLuint name, GLenum type, GLenum access);
BOOL WINAPI DXUnregisterObject(HANDLE hDevice, HANDLE hObject);
BOOL WINAPI DXLockObjects(HANDLE hDevice, GLint count, HANDLE *hObjects);
BOOL WINAPI DXUnlockObjects(HANDLE hDevice, GLint count, HANDLE *hObjects);

}  // namespace ilk::opengl32
