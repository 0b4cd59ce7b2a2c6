// The platform's state: a test brings the platform up, down and up again in one process, and
// after each shut-down it finds a fresh process's state, with no handle of before valid again.
#include <gtest/gtest.h>
#include <shellscalingapi.h>
#include <windows.h>

#include "common/live_objects.h"
#include "common/platform_state.h"

namespace {

class Probe : public ilk::TrackedObject {
 public:
  Probe() : TrackedObject(ilk::ObjectApi::Dxgi, "IProbe", this) {}
};

std::string Report() {
  testing::internal::CaptureStderr();
  ilk::ReportLiveObjects(nullptr, ilk::kReportDetail);
  return testing::internal::GetCapturedStderr();
}

TEST(PlatformState, UpDownAndUpAgainInOneProcess) {
  ASSERT_EQ(SetProcessDpiAwareness(PROCESS_SYSTEM_DPI_AWARE), S_OK);
  EXPECT_EQ(SetProcessDpiAwareness(PROCESS_SYSTEM_DPI_AWARE), E_ACCESSDENIED);  // once per process
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(event, nullptr);
  auto *probe = new Probe;
  EXPECT_NE(Report().find("Live IProbe"), std::string::npos);
  probe->ReleaseExternal();

  ilk::ShutDownPlatform();
  PROCESS_DPI_AWARENESS awareness = PROCESS_PER_MONITOR_DPI_AWARE;
  EXPECT_EQ(GetProcessDpiAwareness(nullptr, &awareness), S_OK);
  EXPECT_EQ(awareness, PROCESS_DPI_UNAWARE);
  EXPECT_EQ(SetProcessDpiAwareness(PROCESS_PER_MONITOR_DPI_AWARE), S_OK);
  EXPECT_FALSE(SetEvent(event));
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
  HANDLE again = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  EXPECT_NE(again, event);  // handles keep counting upwards
  EXPECT_TRUE(SetEvent(again));
  EXPECT_EQ(WaitForSingleObject(again, 0), WAIT_OBJECT_0);
  EXPECT_TRUE(CloseHandle(again));
  EXPECT_EQ(Report().find("Live IProbe"), std::string::npos);

  ilk::ShutDownPlatform();
  ilk::ShutDownPlatform();  // nothing set up: nothing to do
  EXPECT_EQ(SetProcessDpiAwareness(PROCESS_DPI_UNAWARE), S_OK);
}

}  // namespace
