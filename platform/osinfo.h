// The platform's name as the interpreter knows it. The interpreter was designed around Windows
// versions (which select text-size limits and a refusal to start); on any other platform the name
// stays empty and the ordinary limits apply.
#pragma once

#include <QString>

// "16bitWin", "2000", "Xp", "Vista", "7", "32bitWin", or empty on any other platform.
const QString& OSName();

// True on the platforms whose larger text limits apply ("Vista" and "7").
bool HasLargeTextLimits();
