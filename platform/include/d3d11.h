/* Direct3D 11 (declarations grow with the d3d11 stand-in). */
#pragma once

#include "unknwn.h"
#include "dxgi1_3.h"

struct ID3D11Device;
struct ID3D11DeviceContext;
struct ID3D11Texture2D;
struct ID3D11RenderTargetView;
struct ID3D11DepthStencilView;
