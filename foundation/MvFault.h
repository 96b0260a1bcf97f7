// Faults that the walk and the dispatcher catch: C++ exceptions carrying a numeric fault code,
// in the same code space as Windows structured-exception codes.
#pragma once

#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>

namespace tessaly {

inline constexpr uint32_t kFaultAccessViolation = 0xC0000005;
inline constexpr uint32_t kFaultNoMemory = 0xC0000017;
inline constexpr uint32_t kFaultCppException = 0xE06D7363;

class MvFault : public std::runtime_error {
 public:
  explicit MvFault(uint32_t code, const std::string& what = "fault")
      : std::runtime_error(what), code_(code) {}
  uint32_t code() const { return code_; }

 private:
  uint32_t code_;
};

// The fault code of the exception being handled: MvFault's own code, "no memory" for bad_alloc,
// the C++ exception code for anything else.
inline uint32_t CurrentFaultCode() {
  try {
    throw;
  } catch (const MvFault& fault) {
    return fault.code();
  } catch (const std::bad_alloc&) {
    return kFaultNoMemory;
  } catch (...) {
    return kFaultCppException;
  }
}

}  // namespace tessaly
