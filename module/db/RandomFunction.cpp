// tb_random: the runtime's random generator, seeded when the module loads.
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"
#include "host/ResultValues.h"
#include "host/RuntimeRandom.h"

namespace tabrik::arx::fn {

int tb_random() {
  retInteger(nextRandom());
  return kResultOk;
}

}  // namespace tabrik::arx::fn
