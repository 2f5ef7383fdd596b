#pragma once
#include <optional>

#include "police/base_police.h"

namespace testing_support {

// A police device whose current guest the test sets; counts its reads.
class TTestPolice : public police::TBasePolice {
 public:
  const police::TGuest* ReadGuest() override {
    ++Reads;
    return Guest ? &*Guest : nullptr;
  }
  std::optional<police::TGuest> Guest;
  int Reads = 0;
};

}  // namespace testing_support
