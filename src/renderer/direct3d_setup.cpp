// The Direct3D phase of Create: the process-wide device on first use, the window's composition
// swap chain and its frame-latency waitable object, the DirectComposition tree that shows the
// swap chain in the window, and the record's reference to the immediate context.
//
// A failed step is reported by its check and the phase goes on. A later step is made as written
// when a missing object (left null by the failure) is only its argument: the callee validates
// it and the failure is reported. Only a method of a missing object, or a missing entry point,
// is skipped, as there is nothing to call; such a step makes no check of its own.
#include <windows.h>
#include <d3d11.h>
#include <dcomp.h>
#include <dxgi1_3.h>
#include <string.h>

#include "app/options.h"
#include "diag/checks.h"
#include "renderer/create_phases.h"

namespace interlock {

// Published identifiers the program defines itself.
const IID IID_IDXGISwapChain2 = {0xA8BE2AC4, 0x199F, 0x4946, {0xB3, 0x31, 0x79, 0x59, 0x9F, 0xB9, 0x8D, 0xE7}};
const IID IID_IDCompositionDevice = {0xC37EA93A, 0xE7AA, 0x450D, {0xB1, 0x6F, 0x97, 0x46, 0xCB, 0x04, 0x07, 0xF3}};

namespace {

// The process-wide device and its DXGI interface, made by the first Create only.
void CreateDevice() {
  HRESULT hr = D3D11CreateDevice(NULL, D3D_DRIVER_TYPE_HARDWARE, NULL, deviceflags, NULL, 0, D3D11_SDK_VERSION,
                                 &direct3dDevice, NULL, NULL);
  CheckHR(hr, "D3D11CreateDevice @1225");
  if (!direct3dDevice) return;
  hr = direct3dDevice->QueryInterface(IID_IDXGIDevice, reinterpret_cast<void **>(&dxgiDevice));
  CheckHR(hr, "ID3D11Device_QueryInterface (IID_IDXGIDevice) for d3d device @1228");
}

// The window's swap chain, sized to its client area (at least 1 by 1), and its waitable object.
void CreateSwapChain(window_renderer *wr) {
  // A missing entry point was reported at start-up and is never called.
  IDXGIFactory2 *dxFactory = NULL;
  HRESULT hr;
  if (CreateDXGIFactory2) {
    hr = CreateDXGIFactory2(factoryflags, IID_IDXGIFactory2, reinterpret_cast<void **>(&dxFactory));
    CheckHR(hr, "CreateDXGIFactory2 @1233");
  }

  DXGI_SWAP_CHAIN_DESC1 swapdesc;
  memset(&swapdesc, 0, sizeof swapdesc);
  swapdesc.Format = DXGI_FORMAT_B8G8R8A8_UNORM;
  swapdesc.Stereo = FALSE;
  swapdesc.SampleDesc.Count = 1;
  swapdesc.SampleDesc.Quality = 0;
  swapdesc.BufferUsage = DXGI_USAGE_RENDER_TARGET_OUTPUT | DXGI_USAGE_BACK_BUFFER;
  swapdesc.BufferCount = 2;
  swapdesc.Scaling = DXGI_SCALING_STRETCH;
  swapdesc.SwapEffect = DXGI_SWAP_EFFECT_FLIP_SEQUENTIAL;
  swapdesc.AlphaMode = DXGI_ALPHA_MODE_PREMULTIPLIED;
  swapdesc.Flags = DXGI_SWAP_CHAIN_FLAG_FRAME_LATENCY_WAITABLE_OBJECT | DXGI_SWAP_CHAIN_FLAG_ALLOW_TEARING;

  // A failed GetClientRect writes nothing: the rectangle starts empty, so the swap chain is
  // then 1 by 1 on every run rather than sized from whatever the stack held.
  RECT rect = {0, 0, 0, 0};
  GetClientRect(wr->window, &rect);
  swapdesc.Width = rect.right - rect.left;
  swapdesc.Height = rect.bottom - rect.top;
  if (swapdesc.Width == 0) swapdesc.Width = 1;
  if (swapdesc.Height == 0) swapdesc.Height = 1;

  if (!dxFactory) return;
  hr = dxFactory->CreateSwapChainForComposition(dxgiDevice, &swapdesc, NULL, &wr->swapChain1);
  CheckHR(hr, "IDXGIFactory2_CreateSwapChainForComposition @1259");
  dxFactory->Release();

  if (!wr->swapChain1) return;
  IDXGISwapChain2 *swapChain2 = NULL;
  hr = wr->swapChain1->QueryInterface(IID_IDXGISwapChain2, reinterpret_cast<void **>(&swapChain2));
  CheckHR(hr, "IDXGISwapChain1_QueryInterface (IID_IDXGISwapChain2) for the swapchain @1264");
  if (!swapChain2) return;
  wr->waiter = swapChain2->GetFrameLatencyWaitableObject();
  swapChain2->Release();
}

// A composition device, a target on the window and one visual showing the swap chain.
void CreateComposition(window_renderer *wr) {
  if (!DCompositionCreateDevice) return;
  IDCompositionDevice *dcompDevice = NULL;
  HRESULT hr = DCompositionCreateDevice(dxgiDevice, IID_IDCompositionDevice, reinterpret_cast<void **>(&dcompDevice));
  CheckHR(hr, "DCompositionCreateDevice @1276");
  if (!dcompDevice) return;

  hr = dcompDevice->CreateTargetForHwnd(wr->window, TRUE, &wr->target);
  CheckHR(hr, "IDCompositionDevice_CreateTargetForHwnd @1282");

  IDCompositionVisual *visual = NULL;
  hr = dcompDevice->CreateVisual(&visual);
  CheckHR(hr, "IDCompositionDevice_CreateVisual @1285");
  if (visual) {
    hr = visual->SetContent(wr->swapChain1);
    CheckHR(hr, "IDCompositionVisual_SetContent @1288");
  }
  if (wr->target) {
    hr = wr->target->SetRoot(visual);
    CheckHR(hr, "IDCompositionTarget_SetRoot @1291");
  }
  hr = dcompDevice->Commit();
  CheckHR(hr, "IDCompositionDevice_Commit @1294");

  dcompDevice->Release();
  if (visual) visual->Release();
}

}  // namespace

void CreateDirect3DObjects(window_renderer *wr) {
  if (!direct3dDevice) CreateDevice();
  CreateSwapChain(wr);
  CreateComposition(wr);
  if (direct3dDevice) direct3dDevice->GetImmediateContext(&wr->immediate_ctx);
}

}  // namespace interlock
