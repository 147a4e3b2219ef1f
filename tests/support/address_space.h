// A limit on the process's address space, for tests of allocations that cannot succeed.
#pragma once

#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>

namespace kvn::testing_support {

// The address sanitizer reserves far more address space for its shadow memory than any
// limit set here leaves, so tests under a limit skip themselves in such builds.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

// Room left above what the process maps when the limit is set: enough for every step of a
// fatal end, far less than the allocations the tests make fail.
constexpr uint64_t kAddressSpaceHeadroom = 24u << 20;

// While it lives, the address space is limited to what the process mapped when it was made
// plus kAddressSpaceHeadroom; the previous limit comes back when it goes.
class AddressSpaceLimit {
  public:
    AddressSpaceLimit() {
        std::FILE* statm = std::fopen("/proc/self/statm", "r");
        if (!statm) return;
        unsigned long long pages = 0;
        const bool read = std::fscanf(statm, "%llu", &pages) == 1;
        std::fclose(statm);
        if (!read || getrlimit(RLIMIT_AS, &previous_) != 0) return;
        rlimit limit = previous_;
        limit.rlim_cur = static_cast<rlim_t>(
            pages * static_cast<uint64_t>(sysconf(_SC_PAGESIZE)) + kAddressSpaceHeadroom);
        active_ = setrlimit(RLIMIT_AS, &limit) == 0;
    }
    AddressSpaceLimit(const AddressSpaceLimit&) = delete;
    AddressSpaceLimit& operator=(const AddressSpaceLimit&) = delete;
    ~AddressSpaceLimit() {
        if (active_) setrlimit(RLIMIT_AS, &previous_);
    }

    // False when the limit could not be set.
    bool active() const { return active_; }

  private:
    rlimit previous_{};
    bool active_ = false;
};

}  // namespace kvn::testing_support
