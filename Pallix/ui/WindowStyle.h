// The application's window look: dark grey background, white text.
#pragma once

class QWidget;

void applyWindowStyle(QWidget &window);
