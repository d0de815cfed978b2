#include "resources/skins/SkinResources.h"

#include <mutex>

extern "C" void quillo_resources_register_resource(void);

namespace quillo::skin {

void RegisterResources() {
  static std::once_flag once;
  std::call_once(once, [] { quillo_resources_register_resource(); });
}

}  // namespace quillo::skin
