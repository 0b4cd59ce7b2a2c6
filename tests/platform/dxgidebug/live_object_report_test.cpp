// The DXGI debug interface's live-object report: what it lists before and after releases, with
// the program's and the platform's references apart.
#include <dxgidebug.h>

#include <string>

#include "platform/d3d11/direct3d_fixture.h"

namespace {

// Live-object report lines on the debugger channel that contain `part`.
int ReportLines(IDXGIDebug *debug, DXGI_DEBUG_RLO_FLAGS flags, const std::string &part) {
  std::string report = DebuggerOutput([&] { EXPECT_EQ(debug->ReportLiveObjects(DXGI_DEBUG_ALL, flags), S_OK); });
  int count = 0;
  for (size_t at = report.find(part); at != std::string::npos; at = report.find(part, at + 1)) ++count;
  return count;
}

class LiveObjectReport : public Direct3DTest {};

TEST_F(LiveObjectReport, CountsObjectsBeforeAndAfterReleases) {
  IDXGIDebug *debug = nullptr;
  ASSERT_EQ(DXGIGetDebugInterface(IID_IDXGIDebug, reinterpret_cast<void **>(&debug)), S_OK);
  int textures = ReportLines(debug, DXGI_DEBUG_RLO_DETAIL, "Live ID3D11Texture2D at 0x");
  ID3D11Texture2D *texture = ColorTexture(4, 4);
  ID3D11RenderTargetView *view = nullptr;
  ASSERT_EQ(device_->CreateRenderTargetView(texture, nullptr, &view), S_OK);
  EXPECT_EQ(ReportLines(debug, DXGI_DEBUG_RLO_DETAIL, "Live ID3D11Texture2D at 0x"), textures + 1);
  EXPECT_EQ(ReportLines(debug, DXGI_DEBUG_RLO_DETAIL, ", Refcount: 1, IntRef: 1 ["), 1);  // the texture

  texture->Release();  // held by the view only: internal, left out by IGNORE_INTERNAL
  EXPECT_EQ(ReportLines(debug, DXGI_DEBUG_RLO_DETAIL, ", Refcount: 0, IntRef: 1 ["), 1);
  EXPECT_EQ(ReportLines(debug, DXGI_DEBUG_RLO_ALL, "Live ID3D11Texture2D at 0x"), textures);
  view->Release();
  EXPECT_EQ(ReportLines(debug, DXGI_DEBUG_RLO_DETAIL, "Live ID3D11Texture2D at 0x"), textures);

  std::string summary = DebuggerOutput([&] { debug->ReportLiveObjects(DXGI_DEBUG_D3D11, DXGI_DEBUG_RLO_SUMMARY); });
  EXPECT_NE(summary.find("D3D11 WARNING: Live Object : "), std::string::npos);
  EXPECT_EQ(summary.find("DXGI WARNING"), std::string::npos);
  EXPECT_EQ(debug->Release(), 0u);
}

}  // namespace
