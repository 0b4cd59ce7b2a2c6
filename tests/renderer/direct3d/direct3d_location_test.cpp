// The eleven checks of the Direct3D phase, each proven by running the program with that call
// failing: without a debugger the report names the location and the process ends with status 3.
#include <gtest/gtest.h>

#include "support/program_run.h"

namespace {

struct Location {
  const char *fail;  // INTERLOCK_FAIL rule
  const char *text;  // the check's location text
};

TEST(Direct3DLocations, EachFailedCallIsReportedWithItsLocation) {
  const Location locations[] = {
      {"D3D11CreateDevice", "D3D11CreateDevice @1225"},
      {"ID3D11Device::QueryInterface", "ID3D11Device_QueryInterface (IID_IDXGIDevice) for d3d device @1228"},
      {"CreateDXGIFactory2", "CreateDXGIFactory2 @1233"},
      {"CreateSwapChainForComposition", "IDXGIFactory2_CreateSwapChainForComposition @1259"},
      {"IDXGISwapChain1::QueryInterface", "IDXGISwapChain1_QueryInterface (IID_IDXGISwapChain2) for the swapchain @1264"},
      {"DCompositionCreateDevice", "DCompositionCreateDevice @1276"},
      {"CreateTargetForHwnd", "IDCompositionDevice_CreateTargetForHwnd @1282"},
      {"CreateVisual", "IDCompositionDevice_CreateVisual @1285"},
      {"SetContent", "IDCompositionVisual_SetContent @1288"},
      {"SetRoot", "IDCompositionTarget_SetRoot @1291"},
      {"Commit", "IDCompositionDevice_Commit @1294"},
  };
  for (const Location &location : locations) {
    SCOPED_TRACE(location.fail);
    ProgramRun run = RunProgram(INTERLOCK_BINARY, {}, {{"INTERLOCK_FAIL", std::string(location.fail) + "=0x80004005"}});
    EXPECT_EQ(run.exit_status, 3);
    EXPECT_NE(run.err.find("interlock: Assertion failure\ninterlock: " + std::string(location.text) +
                           " (HRESULT 0x80004005)\n"),
              std::string::npos)
        << run.err;
  }
}

}  // namespace
