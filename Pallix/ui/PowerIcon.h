// The power-symbol picture of the application's icons.
#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>

inline const QColor PowerRed(204, 32, 32);
inline const QColor PowerGray(128, 128, 128);

// A power symbol (broken ring with a bar) in colour on a transparent square.
QImage drawPowerSymbol(int size, const QColor &colour);

// The same symbol at the usual icon sizes.
QIcon powerIcon(const QColor &colour);
