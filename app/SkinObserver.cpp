#include "app/SkinObserver.h"

namespace app {

SkinObserver& GetSkinObserver() {
  static SkinObserver observer;
  return observer;
}

}  // namespace app
