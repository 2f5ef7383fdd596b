#include "police/base_police.h"

namespace police {

TBasePolice* PoliceDevice = nullptr;

}  // namespace police
