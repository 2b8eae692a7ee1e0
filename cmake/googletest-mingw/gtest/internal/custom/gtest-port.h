// GoogleTest's porting hook, used in place of the empty one in Debian's
// sources when GoogleTest is compiled with the win32-threads MinGW-w64
// runtime. That runtime has no std::mutex or std::condition_variable, which
// GoogleTest's Notification is built on; everything else of its thread
// support uses the Win32 API already. Notification only lets GoogleTest's own
// thread helpers hold a new thread back until it is released.
#ifndef GOOGLETEST_INCLUDE_GTEST_INTERNAL_CUSTOM_GTEST_PORT_H_
#define GOOGLETEST_INCLUDE_GTEST_INTERNAL_CUSTOM_GTEST_PORT_H_

#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
  public:
    Notification() = default;
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { notified_.store(true, std::memory_order_release); }

    void WaitForNotification() {
        while (!notified_.load(std::memory_order_acquire)) {
        }
    }

  private:
    std::atomic<bool> notified_{false};
};

}  // namespace internal
}  // namespace testing

#endif  // GOOGLETEST_INCLUDE_GTEST_INTERNAL_CUSTOM_GTEST_PORT_H_
