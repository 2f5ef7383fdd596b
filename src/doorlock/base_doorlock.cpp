#include "doorlock/base_doorlock.h"

namespace doorlock {

TBaseDoorlock* Doorlock = nullptr;

std::function<void()> ShowDoorlockOptionDialog;

}  // namespace doorlock
