// Shared by the tests that call the engine's executors with values they push on the value stack.
#pragma once

#include "core/sharedstate.h"
#include "core/valuestack.h"

#include <QString>

#include <variant>

// A value as a program gives it to a statement or function: a number, a string or a boolean.
using Arg = std::variant<Extended, QString, bool>;

inline Arg N(Extended x) {
    return Arg(x);
}
inline Arg S(const char16_t* s) {
    return Arg(QString::fromUtf16(s));
}
inline Arg S(const QString& s) {
    return Arg(s);
}

inline void PushArg(const Arg& a) {
    if (const auto* x = std::get_if<Extended>(&a))
        GlPushNum(*x);
    else if (const auto* s = std::get_if<QString>(&a))
        GlPushStr(*s);
    else
        GlPushBool(std::get<bool>(a));
}

// What a case puts in ErrorNameIndex before it runs, to see whether an error named anything.
inline constexpr int NoName = -7;

// Starts a case: an empty value stack, no error and no name.
inline void ClearStackAndError() {
    InitGlStack();
    Fe.ErrorNumber = 0;
    Fe.ErrorNameIndex = NoName;
}
