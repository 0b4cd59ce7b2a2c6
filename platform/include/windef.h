/* Basic Windows types for the Linux stand-in platform (the winnt.h/minwindef.h/windef.h set).
 * Sizes follow 64-bit Windows: DWORD and LONG are 32 bits, pointers and *_PTR types 64 bits. */
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <wchar.h>

/* Calling conventions: the program and the platform are built by the same compiler with the
 * same ABI, so the Windows conventions need no attribute here. */
#define WINAPI
#define APIENTRY
#define CALLBACK
#define STDMETHODCALLTYPE
#define __stdcall
#define FAR
#define NEAR
#define CONST const

/* Every function the stand-in DLLs export is declared with this; definitions pick it up from
 * the declaration, and everything else in a DLL stays hidden (GetProcAddress sees exports only). */
#define INTERLOCK_EXPORT __attribute__((visibility("default")))
#ifdef __cplusplus
#define INTERLOCK_API extern "C" INTERLOCK_EXPORT
#else
#define INTERLOCK_API extern INTERLOCK_EXPORT
#endif
#define WINBASEAPI INTERLOCK_API
#define WINUSERAPI INTERLOCK_API
#define WINGDIAPI INTERLOCK_API
#define STDAPI INTERLOCK_API HRESULT WINAPI

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef unsigned int DWORD;
typedef int LONG;
typedef unsigned int ULONG;
typedef int INT;
typedef unsigned int UINT;
typedef short SHORT;
typedef unsigned short USHORT;
typedef char CHAR;
typedef wchar_t WCHAR;
typedef float FLOAT;
typedef void VOID;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef int64_t INT_PTR, LONG_PTR;
typedef uint64_t UINT_PTR, ULONG_PTR, DWORD_PTR, SIZE_T;
typedef LONG HRESULT;
typedef BYTE BOOLEAN;

typedef void *PVOID, *LPVOID, *HANDLE;
typedef const void *LPCVOID;
typedef BOOL *PBOOL, *LPBOOL;
typedef DWORD *PDWORD, *LPDWORD;
typedef LONG *PLONG, *LPLONG;
typedef UINT *PUINT;
typedef CHAR *PSTR, *LPSTR;
typedef const CHAR *PCSTR, *LPCSTR;
typedef WCHAR *PWSTR, *LPWSTR;
typedef const WCHAR *PCWSTR, *LPCWSTR;
typedef HANDLE *PHANDLE, *LPHANDLE;

typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef WORD ATOM;
typedef DWORD COLORREF;

#define DECLARE_HANDLE(name) struct name##__ { int unused; }; typedef struct name##__ *name
DECLARE_HANDLE(HWND);
DECLARE_HANDLE(HINSTANCE);
DECLARE_HANDLE(HDC);
DECLARE_HANDLE(HGLRC);
DECLARE_HANDLE(HBRUSH);
DECLARE_HANDLE(HICON);
DECLARE_HANDLE(HMENU);
DECLARE_HANDLE(HMONITOR);
typedef HINSTANCE HMODULE;
typedef HICON HCURSOR;
typedef void *HGDIOBJ;

typedef intptr_t(WINAPI *FARPROC)(void);

#ifndef FALSE
#define FALSE 0
#endif
#ifndef TRUE
#define TRUE 1
#endif

typedef struct tagRECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
} RECT, *PRECT, *LPRECT;
typedef const RECT *LPCRECT;

typedef struct tagPOINT {
  LONG x;
  LONG y;
} POINT, *PPOINT, *LPPOINT;

typedef struct tagSIZE {
  LONG cx;
  LONG cy;
} SIZE, *PSIZE, *LPSIZE;

typedef struct _LUID {
  DWORD LowPart;
  LONG HighPart;
} LUID;

typedef union _LARGE_INTEGER {
  struct {
    DWORD LowPart;
    LONG HighPart;
  } u;
  LONGLONG QuadPart;
} LARGE_INTEGER;

#define MAKEWORD(a, b) ((WORD)(((BYTE)((DWORD_PTR)(a) & 0xff)) | ((WORD)((BYTE)((DWORD_PTR)(b) & 0xff))) << 8))
#define MAKELONG(a, b) ((LONG)(((WORD)((DWORD_PTR)(a) & 0xffff)) | ((DWORD)((WORD)((DWORD_PTR)(b) & 0xffff))) << 16))
#define LOWORD(l) ((WORD)((DWORD_PTR)(l) & 0xffff))
#define HIWORD(l) ((WORD)((DWORD_PTR)(l) >> 16))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)MAKELONG(l, h))
#define MAKEINTRESOURCEW(i) ((LPWSTR)((ULONG_PTR)((WORD)(i))))
#define MAKEINTRESOURCEA(i) ((LPSTR)((ULONG_PTR)((WORD)(i))))

#define GET_X_LPARAM(lp) ((int)(short)LOWORD(lp))
#define GET_Y_LPARAM(lp) ((int)(short)HIWORD(lp))

#define UNREFERENCED_PARAMETER(p) (void)(p)
