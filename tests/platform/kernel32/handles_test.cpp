// Events, semaphores and waits on them.
#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

namespace {

TEST(Semaphore, CountsSignalsUpToItsMaximum) {
  HANDLE semaphore = CreateSemaphoreW(nullptr, 1, 2, nullptr);
  ASSERT_NE(semaphore, nullptr);
  EXPECT_EQ(WaitForSingleObjectEx(semaphore, 0, TRUE), WAIT_OBJECT_0);  // signalled at start
  EXPECT_EQ(WaitForSingleObjectEx(semaphore, 0, TRUE), (DWORD)WAIT_TIMEOUT);  // taken by the wait
  LONG previous = -1;
  EXPECT_TRUE(ReleaseSemaphore(semaphore, 2, &previous));
  EXPECT_EQ(previous, 0);
  EXPECT_FALSE(ReleaseSemaphore(semaphore, 1, nullptr));  // past the maximum: refused, no change
  EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(semaphore, 0), (DWORD)WAIT_TIMEOUT);
  EXPECT_TRUE(CloseHandle(semaphore));
}

TEST(Event, AutoResetWakesOneWaitManualStays) {
  HANDLE automatic = CreateEventW(nullptr, FALSE, TRUE, nullptr);
  HANDLE manual = CreateEventW(nullptr, TRUE, TRUE, nullptr);
  EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(automatic, 0), (DWORD)WAIT_TIMEOUT);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  EXPECT_TRUE(ResetEvent(manual));
  EXPECT_EQ(WaitForSingleObject(manual, 0), (DWORD)WAIT_TIMEOUT);
  CloseHandle(automatic);
  CloseHandle(manual);
}

TEST(Event, WaitReturnsWhenAnotherThreadSets) {
  HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  std::thread setter([event] {
    Sleep(20);
    SetEvent(event);
  });
  EXPECT_EQ(WaitForSingleObject(event, 5000), WAIT_OBJECT_0);
  setter.join();
  CloseHandle(event);
}

TEST(Handles, ClosedAndUnknownHandlesAreInvalid) {
  HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  ASSERT_TRUE(CloseHandle(event));
  SetLastError(0);
  EXPECT_FALSE(CloseHandle(event));
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
  SetLastError(0);
  EXPECT_EQ(WaitForSingleObjectEx(event, 0, TRUE), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
  EXPECT_EQ(WaitForSingleObjectEx(nullptr, 0, TRUE), WAIT_FAILED);
  HANDLE next = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  EXPECT_NE(next, event);  // handle values are not reused
  CloseHandle(next);
}

TEST(LastError, IsPerThread) {
  SetLastError(42);
  DWORD other = 0;
  std::thread([&other] {
    other = GetLastError();
    SetLastError(7);
  }).join();
  EXPECT_EQ(other, 0u);
  EXPECT_EQ(GetLastError(), 42u);
}

}  // namespace
