// The application-wide mouse pointer: normal, hourglass or arrow-with-hourglass.
#pragma once

enum class MousePointer { Default, Hourglass, ArrowHourglass };

void SetMousePointer(MousePointer pointer);
