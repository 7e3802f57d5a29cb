// The test driver's runs of a program: one that a test drops or replaces
// while it still runs is ended, so that it cannot reach into the next test.
#include <windows.h>

#include <gtest/gtest.h>

#include <utility>

#include "driver.h"
#include "foundation/win_handles.h"

namespace {

TEST(DriverProcess, ARunThatIsMovedOverOrDroppedIsEnded) {
    driver::Process process = driver::Process::Start(driver::BuiltFile("KVR_STANDIN"), "");
    ASSERT_TRUE(process.Running());
    const win::KernelHandle replaced(OpenProcess(SYNCHRONIZE, FALSE, process.Id()));
    ASSERT_TRUE(replaced.Valid());

    driver::Process next = driver::Process::Start(driver::BuiltFile("KVR_STANDIN"), "");
    ASSERT_TRUE(next.Running());
    const win::KernelHandle dropped(OpenProcess(SYNCHRONIZE, FALSE, next.Id()));
    ASSERT_TRUE(dropped.Valid());
    process = std::move(next);
    EXPECT_EQ(WaitForSingleObject(replaced.Get(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_TRUE(process.Running()) << "the run moved in goes on";

    process = driver::Process();
    EXPECT_EQ(WaitForSingleObject(dropped.Get(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
}

}  // namespace
