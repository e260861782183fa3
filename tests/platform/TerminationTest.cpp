// Requests to end the program from outside: each signal is a byte in the pipe, nothing else
// happens to the process, and the handlers it replaced come back afterwards.

#include "platform/Termination.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>

#include "platform/OSError.h"

namespace nc16::platform {
namespace {

volatile sig_atomic_t g_earlier_handler_ran = 0;
extern "C" void EarlierHandler(int) {
  g_earlier_handler_ran = 1;
}

bool Readable(const TerminationRequests& requests) {
  pollfd p{static_cast<int>(requests.ReadHandle()), POLLIN, 0};
  return ::poll(&p, 1, 0) == 1;
}

TEST(TerminationRequests, EachSignalIsARequestUntilTheObjectEnds) {
  struct sigaction earlier {
  }, saved[3];
  earlier.sa_handler = EarlierHandler;
  sigemptyset(&earlier.sa_mask);
  const int signals[] = {SIGTERM, SIGINT, SIGHUP};
  for (int i = 0; i < 3; ++i)
    ::sigaction(signals[i], &earlier, &saved[i]);
  {
    TerminationRequests requests;
    EXPECT_THROW(TerminationRequests(), EOSError);  // one at a time
    EXPECT_FALSE(Readable(requests));
    EXPECT_FALSE(requests.Take());
    for (int signal_number : signals) {
      SCOPED_TRACE(signal_number);
      ::raise(signal_number);  // the process goes on
      EXPECT_TRUE(Readable(requests));
      EXPECT_TRUE(requests.Take());
      EXPECT_FALSE(requests.Take());
    }
    EXPECT_EQ(g_earlier_handler_ran, 0);
  }
  ::raise(SIGTERM);
  EXPECT_EQ(g_earlier_handler_ran, 1);
  for (int i = 0; i < 3; ++i)
    ::sigaction(signals[i], &saved[i], nullptr);
}

// A signal ignored when the program started (nohup, a background job) stays ignored.
TEST(TerminationRequests, IgnoredSignalsStayIgnored) {
  struct sigaction ignore {
  }, saved{};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  ::sigaction(SIGHUP, &ignore, &saved);
  {
    TerminationRequests requests;
    ::raise(SIGHUP);
    EXPECT_FALSE(requests.Take());
  }
  ::sigaction(SIGHUP, &saved, nullptr);
}

}  // namespace
}  // namespace nc16::platform
