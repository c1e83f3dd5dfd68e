#include "ui/UiResources.h"

#include <QtGlobal>

void LoadUiResources() {
  static const bool loaded = [] {
    Q_INIT_RESOURCE(ui);
    return true;
  }();
  (void)loaded;
}
