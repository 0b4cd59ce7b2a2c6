/* DXGI 1.3 (declarations grow with the dxgi stand-in). */
#pragma once

#include "unknwn.h"

struct IDXGIDevice;
struct IDXGIFactory2;
struct IDXGISwapChain1;
struct IDXGISwapChain2;
