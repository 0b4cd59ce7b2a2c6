/* DXGI 1.0/1.1: objects, resources, devices, factories, swap chains. Interfaces declare the
 * methods the stand-in platform implements, in their published order (the Linux build compiles
 * the program and the platform from these headers, so the vtables agree). */
#pragma once

#include "dxgiformat.h"
#include "unknwn.h"

#define DXGI_USAGE_SHADER_INPUT 0x00000010UL
#define DXGI_USAGE_RENDER_TARGET_OUTPUT 0x00000020UL
#define DXGI_USAGE_BACK_BUFFER 0x00000040UL
#define DXGI_USAGE_SHARED 0x00000080UL
#define DXGI_USAGE_READ_ONLY 0x00000100UL
#define DXGI_USAGE_DISCARD_ON_PRESENT 0x00000200UL
#define DXGI_USAGE_UNORDERED_ACCESS 0x00000400UL
typedef UINT DXGI_USAGE;

#define DXGI_MAX_SWAP_CHAIN_BUFFERS 16

#define DXGI_PRESENT_TEST 0x00000001UL
#define DXGI_PRESENT_DO_NOT_SEQUENCE 0x00000002UL
#define DXGI_PRESENT_RESTART 0x00000004UL
#define DXGI_PRESENT_DO_NOT_WAIT 0x00000008UL
#define DXGI_PRESENT_ALLOW_TEARING 0x00000200UL

typedef struct DXGI_SAMPLE_DESC {
  UINT Count;
  UINT Quality;
} DXGI_SAMPLE_DESC;

typedef enum DXGI_SWAP_EFFECT {
  DXGI_SWAP_EFFECT_DISCARD = 0,
  DXGI_SWAP_EFFECT_SEQUENTIAL = 1,
  DXGI_SWAP_EFFECT_FLIP_SEQUENTIAL = 3,
  DXGI_SWAP_EFFECT_FLIP_DISCARD = 4
} DXGI_SWAP_EFFECT;

typedef enum DXGI_SWAP_CHAIN_FLAG {
  DXGI_SWAP_CHAIN_FLAG_NONPREROTATED = 0x1,
  DXGI_SWAP_CHAIN_FLAG_ALLOW_MODE_SWITCH = 0x2,
  DXGI_SWAP_CHAIN_FLAG_GDI_COMPATIBLE = 0x4,
  DXGI_SWAP_CHAIN_FLAG_RESTRICTED_CONTENT = 0x8,
  DXGI_SWAP_CHAIN_FLAG_RESTRICT_SHARED_RESOURCE_DRIVER = 0x10,
  DXGI_SWAP_CHAIN_FLAG_DISPLAY_ONLY = 0x20,
  DXGI_SWAP_CHAIN_FLAG_FRAME_LATENCY_WAITABLE_OBJECT = 0x40,
  DXGI_SWAP_CHAIN_FLAG_FOREGROUND_LAYER = 0x80,
  DXGI_SWAP_CHAIN_FLAG_FULLSCREEN_VIDEO = 0x100,
  DXGI_SWAP_CHAIN_FLAG_YUV_VIDEO = 0x200,
  DXGI_SWAP_CHAIN_FLAG_HW_PROTECTED = 0x400,
  DXGI_SWAP_CHAIN_FLAG_ALLOW_TEARING = 0x800
} DXGI_SWAP_CHAIN_FLAG;

DEFINE_GUID(IID_IDXGIObject, 0xaec22fb8, 0x76f3, 0x4639, 0x9b, 0xe0, 0x28, 0xeb, 0x43, 0xa6, 0x7a, 0x2e);
DEFINE_GUID(IID_IDXGIDeviceSubObject, 0x3d3e0379, 0xf9de, 0x4d58, 0xbb, 0x6c, 0x18, 0xd6, 0x29, 0x92, 0xf1, 0xa6);
DEFINE_GUID(IID_IDXGIResource, 0x035f3ab4, 0x482e, 0x4e50, 0xb4, 0x1f, 0x8a, 0x7f, 0x8b, 0xd8, 0x96, 0x0b);
DEFINE_GUID(IID_IDXGIDevice, 0x54ec77fa, 0x1377, 0x44e6, 0x8c, 0x32, 0x88, 0xfd, 0x5f, 0x44, 0xc8, 0x4c);
DEFINE_GUID(IID_IDXGIFactory, 0x7b7166ec, 0x21c7, 0x44ae, 0xb2, 0x1a, 0xc9, 0xae, 0x32, 0x1a, 0xe3, 0x69);
DEFINE_GUID(IID_IDXGIFactory1, 0x770aae78, 0xf26f, 0x4dba, 0xa8, 0x29, 0x25, 0x3c, 0x83, 0xd1, 0xb3, 0x87);
DEFINE_GUID(IID_IDXGISwapChain, 0x310d36a0, 0xd2e7, 0x4c0a, 0xaa, 0x04, 0x6a, 0x9d, 0x23, 0xb8, 0x88, 0x6a);

struct IDXGIObject : public IUnknown {};

struct IDXGIDeviceSubObject : public IDXGIObject {
  virtual HRESULT STDMETHODCALLTYPE GetDevice(REFIID riid, void **device) = 0;
};

struct IDXGIResource : public IDXGIDeviceSubObject {
  virtual HRESULT STDMETHODCALLTYPE GetSharedHandle(HANDLE *shared_handle) = 0;
};

struct IDXGIDevice : public IDXGIObject {};

struct IDXGIFactory : public IDXGIObject {};
struct IDXGIFactory1 : public IDXGIFactory {};

struct IDXGISwapChain : public IDXGIDeviceSubObject {
  virtual HRESULT STDMETHODCALLTYPE Present(UINT sync_interval, UINT flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetBuffer(UINT buffer, REFIID riid, void **surface) = 0;
  virtual HRESULT STDMETHODCALLTYPE ResizeBuffers(UINT buffer_count, UINT width, UINT height, DXGI_FORMAT format,
                                                  UINT flags) = 0;
};
