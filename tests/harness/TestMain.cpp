// The main of the Windows test programs. Once the cases have run and their
// output is out, the process ends at once, without its DLLs' exit-time work:
// under Wine that work has been seen to wait, past the test's time-out, for
// another test program running beside it to end.
#include <windows.h>

#include <cstdio>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  std::fflush(stdout);
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(result));
  return result;
}
