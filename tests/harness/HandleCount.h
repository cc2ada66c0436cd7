#pragma once
// The number of kernel handles this process holds, files and sockets
// included (under Wine too, where GetProcessHandleCount answers 0). A test
// takes it before and after a piece of work to show that nothing leaked:
//   const int before = harness::OwnHandleCount();
//   ... run the worker to its end ...
//   EXPECT_EQ(before, harness::OwnHandleCount());
namespace harness {

// -1 when the system does not tell.
int OwnHandleCount();

}  // namespace harness
