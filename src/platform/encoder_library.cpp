#include "platform/encoder_library.h"

#include "platform/simulated_encoder.h"

#ifdef _WIN32
#include <cstdlib>
#include <string_view>

#include "platform/vendor_encoder.h"
#endif

namespace platform {

// The choice is made here alone, so nothing outside this file has to know
// which encoder is behind the interface.
#ifdef _WIN32

// A Windows PC without the vendor's DLLs (a tester's, or wine on the build
// machine) can still drive the server end to end: QELVO_SIMULATED_ENCODER=1
// in its environment picks the simulated encoder. A hotel never sets it, so
// there a missing DLL still makes opening the encoder fail with a log line.
bool EncoderIsSimulated() {
  const char* choice = std::getenv("QELVO_SIMULATED_ENCODER");
  return choice != nullptr && std::string_view(choice) == "1";
}

std::unique_ptr<TEncoderLibrary> CreateEncoderLibrary(const std::string& directory) {
  if (EncoderIsSimulated()) return std::make_unique<TSimulatedEncoder>(directory);
  return std::make_unique<TVendorEncoder>();
}

#else

std::unique_ptr<TEncoderLibrary> CreateEncoderLibrary(const std::string& directory) {
  return std::make_unique<TSimulatedEncoder>(directory);
}

bool EncoderIsSimulated() { return true; }

#endif

}  // namespace platform
