// Settings and programs give colours as colour words (0x00BBGGRR) and font styles as FontStyleBit
// sets; every window turns them into Qt's colours and fonts, and back, the same way.
#pragma once

#include <QColor>
#include <QFont>

#include <cstdint>

QColor FromColorRef(std::uint32_t bgr);
std::uint32_t ToColorRef(const QColor& color);

std::uint8_t StyleOfFont(const QFont& font);
void SetFontStyle(QFont& font, std::uint8_t style);
