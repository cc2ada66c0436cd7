// Must fail (ctest WILL_FAIL): a test that waits for a window that is never
// created has to fail within its bound, not pass and not hang.
#include "WindowFinder.h"

#include <gtest/gtest.h>

TEST(HarnessMustFail, WindowThatNeverAppears) {
  ASSERT_NE(nullptr, harness::WaitForWindow(L"Haulbox_never_created", 300));
}
