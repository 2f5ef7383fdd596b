#include "platform/encoder_library.h"

#ifdef _WIN32
#include "platform/vendor_encoder.h"
#else
#include "platform/simulated_encoder.h"
#endif

namespace platform {

// The choice is made by the build alone, so nothing outside this file has to
// know which encoder is behind the interface.
#ifdef _WIN32

std::unique_ptr<TEncoderLibrary> CreateEncoderLibrary(const std::string&) {
  return std::make_unique<TVendorEncoder>();
}

bool EncoderIsSimulated() { return false; }

#else

std::unique_ptr<TEncoderLibrary> CreateEncoderLibrary(const std::string& directory) {
  return std::make_unique<TSimulatedEncoder>(directory);
}

bool EncoderIsSimulated() { return true; }

#endif

}  // namespace platform
