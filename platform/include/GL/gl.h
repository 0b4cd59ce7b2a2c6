/* OpenGL 1.1 as opengl32.dll exports it: the functions the program and its tests call directly. */
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "../windef.h"

typedef unsigned int GLenum;
typedef unsigned char GLboolean;
typedef unsigned int GLbitfield;
typedef void GLvoid;
typedef signed char GLbyte;
typedef short GLshort;
typedef int GLint;
typedef int GLsizei;
typedef unsigned char GLubyte;
typedef unsigned short GLushort;
typedef unsigned int GLuint;
typedef float GLfloat;
typedef float GLclampf;
typedef double GLdouble;
typedef double GLclampd;
/* Windows' gl.h leaves these to glext.h; the program's diagnostics need GLchar with gl.h alone. */
typedef char GLchar;
typedef ptrdiff_t GLsizeiptr;
typedef ptrdiff_t GLintptr;

#define GL_FALSE 0
#define GL_TRUE 1
#define GL_NO_ERROR 0
#define GL_INVALID_ENUM 0x0500
#define GL_INVALID_VALUE 0x0501
#define GL_INVALID_OPERATION 0x0502
#define GL_STACK_OVERFLOW 0x0503
#define GL_STACK_UNDERFLOW 0x0504
#define GL_OUT_OF_MEMORY 0x0505
#define GL_POINTS 0x0000
#define GL_LINES 0x0001
#define GL_TRIANGLES 0x0004
#define GL_COLOR_BUFFER_BIT 0x00004000
#define GL_DEPTH_BUFFER_BIT 0x00000100
#define GL_STENCIL_BUFFER_BIT 0x00000400
#define GL_TEXTURE_2D 0x0DE1
#define GL_TEXTURE_BINDING_2D 0x8069
#define GL_VIEWPORT 0x0BA2
#define GL_BLEND 0x0BE2
#define GL_DEPTH_TEST 0x0B71
#define GL_BYTE 0x1400
#define GL_UNSIGNED_BYTE 0x1401
#define GL_UNSIGNED_SHORT 0x1403
#define GL_UNSIGNED_INT 0x1405
#define GL_FLOAT 0x1406
#define GL_RGB 0x1907
#define GL_RGBA 0x1908
#define GL_RGBA8 0x8058
#define GL_VENDOR 0x1F00
#define GL_RENDERER 0x1F01
#define GL_VERSION 0x1F02
#define GL_EXTENSIONS 0x1F03

WINGDIAPI GLenum APIENTRY glGetError(void);
WINGDIAPI void APIENTRY glEnable(GLenum cap);
WINGDIAPI void APIENTRY glDisable(GLenum cap);
WINGDIAPI GLboolean APIENTRY glIsEnabled(GLenum cap);
WINGDIAPI const GLubyte *APIENTRY glGetString(GLenum name);
WINGDIAPI void APIENTRY glGetIntegerv(GLenum pname, GLint *params);
WINGDIAPI void APIENTRY glGetPointerv(GLenum pname, GLvoid **params);
WINGDIAPI void APIENTRY glFinish(void);
WINGDIAPI void APIENTRY glFlush(void);
WINGDIAPI void APIENTRY glViewport(GLint x, GLint y, GLsizei width, GLsizei height);
WINGDIAPI void APIENTRY glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha);
WINGDIAPI void APIENTRY glClear(GLbitfield mask);
WINGDIAPI void APIENTRY glBegin(GLenum mode);
WINGDIAPI void APIENTRY glEnd(void);
WINGDIAPI void APIENTRY glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha);
WINGDIAPI void APIENTRY glVertex2f(GLfloat x, GLfloat y);
WINGDIAPI void APIENTRY glDrawArrays(GLenum mode, GLint first, GLsizei count);
WINGDIAPI void APIENTRY glGenTextures(GLsizei n, GLuint *textures);
WINGDIAPI void APIENTRY glDeleteTextures(GLsizei n, const GLuint *textures);
WINGDIAPI void APIENTRY glBindTexture(GLenum target, GLuint texture);
WINGDIAPI GLboolean APIENTRY glIsTexture(GLuint texture);
WINGDIAPI void APIENTRY glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                                     GLvoid *pixels);
