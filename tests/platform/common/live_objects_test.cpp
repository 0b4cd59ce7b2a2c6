// The live-object tracker: an object is in a report from its construction until its
// destruction begins, and reports from other threads never reach into a dying object.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "common/live_objects.h"

namespace {

std::string Report() {
  testing::internal::CaptureStderr();
  ilk::ReportLiveObjects(nullptr, ilk::kReportDetail);
  return testing::internal::GetCapturedStderr();
}

std::string report_while_destroyed;

// A tracked object whose destructor asks for a report, as a report from another thread may
// come at that moment.
class ReportingObject : public ilk::TrackedObject {
 public:
  ReportingObject() : TrackedObject(ilk::ObjectApi::D3D11, "IReportingObject", this) {}
  ~ReportingObject() override { report_while_destroyed = Report(); }
};

class QuietObject : public ilk::TrackedObject {
 public:
  QuietObject() : TrackedObject(ilk::ObjectApi::DComp, "IQuietObject", this) {}
};

TEST(LiveObjects, AnObjectLeavesTheReportBeforeItsDestructorRuns) {
  auto *object = new ReportingObject;
  std::string live = Report();
  EXPECT_NE(live.find("D3D11 WARNING: Live IReportingObject at 0x"), std::string::npos) << live;
  EXPECT_NE(live.find(", Refcount: 1, IntRef: 0 ["), std::string::npos) << live;

  object->AddRefInternal();
  EXPECT_EQ(object->ReleaseExternal(), 0u);  // still held internally: listed, not destroyed
  EXPECT_NE(Report().find("Live IReportingObject"), std::string::npos);
  object->ReleaseInternal();
  EXPECT_EQ(report_while_destroyed.find("IReportingObject"), std::string::npos) << report_while_destroyed;
}

TEST(LiveObjects, ReportsFromAnotherThreadSeeObjectsComeAndGoSafely) {
  std::atomic<bool> done{false};
  std::thread reporter([&] {
    while (!done) ilk::ReportLiveObjects(nullptr, ilk::kReportDetail | ilk::kReportSummary);
  });
  testing::internal::CaptureStderr();
  for (int i = 0; i < 2000; ++i) (new QuietObject)->ReleaseExternal();
  done = true;
  reporter.join();
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(Report().find("IQuietObject"), std::string::npos);
}

}  // namespace
