#include "watch/ConfigView.h"

namespace {
ConfigView *registered = nullptr;
}

ConfigView *configView() { return registered; }

void setConfigView(ConfigView *view) { registered = view; }
