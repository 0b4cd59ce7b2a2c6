/* Direct3D 11: the device, its immediate context, 2-D textures and their views. Interfaces
 * declare the methods the stand-in platform implements, in their published order. */
#pragma once

#include "d3dcommon.h"
#include "dxgi1_3.h"
#include "unknwn.h"

#define D3D11_SDK_VERSION 7
#define D3D11_REQ_TEXTURE2D_U_OR_V_DIMENSION 16384
#define D3D11_REQ_TEXTURE2D_ARRAY_AXIS_DIMENSION 2048
#define D3D11_REQ_MIP_LEVELS 15
#define D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT 8

typedef enum D3D11_CREATE_DEVICE_FLAG {
  D3D11_CREATE_DEVICE_SINGLETHREADED = 0x1,
  D3D11_CREATE_DEVICE_DEBUG = 0x2,
  D3D11_CREATE_DEVICE_SWITCH_TO_REF = 0x4,
  D3D11_CREATE_DEVICE_PREVENT_INTERNAL_THREADING_OPTIMIZATIONS = 0x8,
  D3D11_CREATE_DEVICE_BGRA_SUPPORT = 0x20,
  D3D11_CREATE_DEVICE_DEBUGGABLE = 0x40,
  D3D11_CREATE_DEVICE_PREVENT_ALTERING_LAYER_SETTINGS_FROM_REGISTRY = 0x80,
  D3D11_CREATE_DEVICE_DISABLE_GPU_TIMEOUT = 0x100,
  D3D11_CREATE_DEVICE_VIDEO_SUPPORT = 0x800
} D3D11_CREATE_DEVICE_FLAG;

typedef enum D3D11_USAGE {
  D3D11_USAGE_DEFAULT = 0,
  D3D11_USAGE_IMMUTABLE = 1,
  D3D11_USAGE_DYNAMIC = 2,
  D3D11_USAGE_STAGING = 3
} D3D11_USAGE;

typedef enum D3D11_BIND_FLAG {
  D3D11_BIND_VERTEX_BUFFER = 0x1,
  D3D11_BIND_INDEX_BUFFER = 0x2,
  D3D11_BIND_CONSTANT_BUFFER = 0x4,
  D3D11_BIND_SHADER_RESOURCE = 0x8,
  D3D11_BIND_STREAM_OUTPUT = 0x10,
  D3D11_BIND_RENDER_TARGET = 0x20,
  D3D11_BIND_DEPTH_STENCIL = 0x40,
  D3D11_BIND_UNORDERED_ACCESS = 0x80,
  D3D11_BIND_DECODER = 0x200,
  D3D11_BIND_VIDEO_ENCODER = 0x400
} D3D11_BIND_FLAG;

typedef enum D3D11_CPU_ACCESS_FLAG {
  D3D11_CPU_ACCESS_WRITE = 0x10000,
  D3D11_CPU_ACCESS_READ = 0x20000
} D3D11_CPU_ACCESS_FLAG;

typedef enum D3D11_RESOURCE_MISC_FLAG {
  D3D11_RESOURCE_MISC_GENERATE_MIPS = 0x1,
  D3D11_RESOURCE_MISC_SHARED = 0x2,
  D3D11_RESOURCE_MISC_TEXTURECUBE = 0x4,
  D3D11_RESOURCE_MISC_SHARED_KEYEDMUTEX = 0x100,
  D3D11_RESOURCE_MISC_GDI_COMPATIBLE = 0x200,
  D3D11_RESOURCE_MISC_SHARED_NTHANDLE = 0x800
} D3D11_RESOURCE_MISC_FLAG;

typedef struct D3D11_TEXTURE2D_DESC {
  UINT Width;
  UINT Height;
  UINT MipLevels;
  UINT ArraySize;
  DXGI_FORMAT Format;
  DXGI_SAMPLE_DESC SampleDesc;
  D3D11_USAGE Usage;
  UINT BindFlags;
  UINT CPUAccessFlags;
  UINT MiscFlags;
} D3D11_TEXTURE2D_DESC;

typedef struct D3D11_SUBRESOURCE_DATA {
  const void *pSysMem;
  UINT SysMemPitch;
  UINT SysMemSlicePitch;
} D3D11_SUBRESOURCE_DATA;

typedef enum D3D11_RTV_DIMENSION {
  D3D11_RTV_DIMENSION_UNKNOWN = 0,
  D3D11_RTV_DIMENSION_BUFFER = 1,
  D3D11_RTV_DIMENSION_TEXTURE1D = 2,
  D3D11_RTV_DIMENSION_TEXTURE1DARRAY = 3,
  D3D11_RTV_DIMENSION_TEXTURE2D = 4,
  D3D11_RTV_DIMENSION_TEXTURE2DARRAY = 5,
  D3D11_RTV_DIMENSION_TEXTURE2DMS = 6,
  D3D11_RTV_DIMENSION_TEXTURE2DMSARRAY = 7,
  D3D11_RTV_DIMENSION_TEXTURE3D = 8
} D3D11_RTV_DIMENSION;

typedef enum D3D11_DSV_DIMENSION {
  D3D11_DSV_DIMENSION_UNKNOWN = 0,
  D3D11_DSV_DIMENSION_TEXTURE1D = 1,
  D3D11_DSV_DIMENSION_TEXTURE1DARRAY = 2,
  D3D11_DSV_DIMENSION_TEXTURE2D = 3,
  D3D11_DSV_DIMENSION_TEXTURE2DARRAY = 4,
  D3D11_DSV_DIMENSION_TEXTURE2DMS = 5,
  D3D11_DSV_DIMENSION_TEXTURE2DMSARRAY = 6
} D3D11_DSV_DIMENSION;

typedef enum D3D11_DSV_FLAG {
  D3D11_DSV_READ_ONLY_DEPTH = 0x1,
  D3D11_DSV_READ_ONLY_STENCIL = 0x2
} D3D11_DSV_FLAG;

typedef struct D3D11_TEX2D_RTV {
  UINT MipSlice;
} D3D11_TEX2D_RTV;

typedef struct D3D11_TEX2D_ARRAY_RTV {
  UINT MipSlice;
  UINT FirstArraySlice;
  UINT ArraySize;
} D3D11_TEX2D_ARRAY_RTV;

typedef struct D3D11_RENDER_TARGET_VIEW_DESC {
  DXGI_FORMAT Format;
  D3D11_RTV_DIMENSION ViewDimension;
  union {
    D3D11_TEX2D_RTV Texture2D;
    D3D11_TEX2D_ARRAY_RTV Texture2DArray;
  };
} D3D11_RENDER_TARGET_VIEW_DESC;

typedef struct D3D11_TEX2D_DSV {
  UINT MipSlice;
} D3D11_TEX2D_DSV;

typedef struct D3D11_TEX2D_ARRAY_DSV {
  UINT MipSlice;
  UINT FirstArraySlice;
  UINT ArraySize;
} D3D11_TEX2D_ARRAY_DSV;

typedef struct D3D11_DEPTH_STENCIL_VIEW_DESC {
  DXGI_FORMAT Format;
  D3D11_DSV_DIMENSION ViewDimension;
  UINT Flags;
  union {
    D3D11_TEX2D_DSV Texture2D;
    D3D11_TEX2D_ARRAY_DSV Texture2DArray;
  };
} D3D11_DEPTH_STENCIL_VIEW_DESC;

DEFINE_GUID(IID_ID3D11DeviceChild, 0x1841e5c8, 0x16b0, 0x489b, 0xbc, 0xc8, 0x44, 0xcf, 0xb0, 0xd5, 0xde, 0xae);
DEFINE_GUID(IID_ID3D11Resource, 0xdc8e63f3, 0xd12b, 0x4952, 0xb4, 0x7b, 0x5e, 0x45, 0x02, 0x6a, 0x86, 0x2d);
DEFINE_GUID(IID_ID3D11Texture2D, 0x6f15aaf2, 0xd208, 0x4e89, 0x9a, 0xb4, 0x48, 0x95, 0x35, 0xd3, 0x4f, 0x9c);
DEFINE_GUID(IID_ID3D11View, 0x839d1216, 0xbb2e, 0x412b, 0xb7, 0xf4, 0xa9, 0xdb, 0xeb, 0xe0, 0x8e, 0xd1);
DEFINE_GUID(IID_ID3D11RenderTargetView, 0xdfdba067, 0x0b8d, 0x4865, 0x87, 0x5b, 0xd7, 0xb4, 0x51, 0x6c, 0xc1, 0x64);
DEFINE_GUID(IID_ID3D11DepthStencilView, 0x9fdac92a, 0x1876, 0x48c3, 0xaf, 0xad, 0x25, 0xb9, 0x4f, 0x84, 0xa9, 0xb6);
DEFINE_GUID(IID_ID3D11DeviceContext, 0xc0bfa96c, 0xe089, 0x44fb, 0x8e, 0xaf, 0x26, 0xf8, 0x79, 0x61, 0x90, 0xda);
DEFINE_GUID(IID_ID3D11Device, 0xdb6f6ddb, 0xac77, 0x4e88, 0x82, 0x53, 0x81, 0x9d, 0xf9, 0xbb, 0xf1, 0x40);

struct ID3D11Device;

struct ID3D11DeviceChild : public IUnknown {
  virtual void STDMETHODCALLTYPE GetDevice(ID3D11Device **device) = 0;
};

struct ID3D11Resource : public ID3D11DeviceChild {};

struct ID3D11Texture2D : public ID3D11Resource {
  virtual void STDMETHODCALLTYPE GetDesc(D3D11_TEXTURE2D_DESC *desc) = 0;
};

struct ID3D11View : public ID3D11DeviceChild {
  virtual void STDMETHODCALLTYPE GetResource(ID3D11Resource **resource) = 0;
};

struct ID3D11RenderTargetView : public ID3D11View {
  virtual void STDMETHODCALLTYPE GetDesc(D3D11_RENDER_TARGET_VIEW_DESC *desc) = 0;
};

struct ID3D11DepthStencilView : public ID3D11View {
  virtual void STDMETHODCALLTYPE GetDesc(D3D11_DEPTH_STENCIL_VIEW_DESC *desc) = 0;
};

struct ID3D11DeviceContext : public ID3D11DeviceChild {
  virtual void STDMETHODCALLTYPE OMSetRenderTargets(UINT num_views, ID3D11RenderTargetView *const *render_target_views,
                                                    ID3D11DepthStencilView *depth_stencil_view) = 0;
  virtual void STDMETHODCALLTYPE CopyResource(ID3D11Resource *dst_resource, ID3D11Resource *src_resource) = 0;
  virtual void STDMETHODCALLTYPE OMGetRenderTargets(UINT num_views, ID3D11RenderTargetView **render_target_views,
                                                    ID3D11DepthStencilView **depth_stencil_view) = 0;
  virtual void STDMETHODCALLTYPE ClearState() = 0;
  virtual void STDMETHODCALLTYPE Flush() = 0;
};

struct ID3D11Device : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CreateTexture2D(const D3D11_TEXTURE2D_DESC *desc,
                                                    const D3D11_SUBRESOURCE_DATA *initial_data,
                                                    ID3D11Texture2D **texture) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateRenderTargetView(ID3D11Resource *resource,
                                                           const D3D11_RENDER_TARGET_VIEW_DESC *desc,
                                                           ID3D11RenderTargetView **view) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateDepthStencilView(ID3D11Resource *resource,
                                                           const D3D11_DEPTH_STENCIL_VIEW_DESC *desc,
                                                           ID3D11DepthStencilView **view) = 0;
  virtual D3D_FEATURE_LEVEL STDMETHODCALLTYPE GetFeatureLevel() = 0;
  virtual UINT STDMETHODCALLTYPE GetCreationFlags() = 0;
  virtual void STDMETHODCALLTYPE GetImmediateContext(ID3D11DeviceContext **immediate_context) = 0;
};

struct IDXGIAdapter;

STDAPI D3D11CreateDevice(IDXGIAdapter *adapter, D3D_DRIVER_TYPE driver_type, HMODULE software, UINT flags,
                         const D3D_FEATURE_LEVEL *feature_levels, UINT num_feature_levels, UINT sdk_version,
                         ID3D11Device **device, D3D_FEATURE_LEVEL *feature_level,
                         ID3D11DeviceContext **immediate_context);
