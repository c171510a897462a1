// The application-wide mouse pointer, as the desktop shows it.
#pragma once

#include "Desktop.h"

inline void setMousePointer(MousePointer pointer) { Desktop::current().setMousePointer(pointer); }
