// The value stacks of the stack machine. The Gl stack (a tag stack with a number, a string and a
// boolean stack behind it) carries every operand and result; the Lo stack saves a procedure's locals
// around a recursive call; the call-frame and call-return stacks serve SUB and FUNCTION calls.
// Push and pop are inline: they run for nearly every code item.
#pragma once

#include "frontend/errornumbers.h"
#include "frontend/raiseerror.h"
#include "frontend/sharedstate.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace GlValueType {
inline constexpr int None = 0; // the stack holds fewer entries than asked for
inline constexpr int Number = 1;
inline constexpr int String = 2;
inline constexpr int Boolean = 3;
inline constexpr int NumArrayRef = 4;
inline constexpr int StrArrayRef = 5;
inline constexpr int BoolArrayRef = 6;
inline constexpr int NumberAlt = 100; // accepted by GlPopNum as a number
} // namespace GlValueType

inline constexpr int GlInitialCapacity = 100;

// A stack used from index 1; the count is the index of the top entry. It keeps its grown size until
// the next reset, so steady-state pushes never allocate. Capacity (the highest index Items can hold)
// is kept beside the vector, so the room test of a push is one compare; growth is out of line.
template <typename T> struct ValueArray {
    std::vector<T> Items;
    int Count = 0;
    int Capacity = -1;

    void Reset(int capacity) {
        Items.assign(static_cast<std::size_t>(capacity) + 1, T{});
        Count = 0;
        Capacity = capacity;
    }
    // Makes room for one more entry; false when memory runs out.
    bool Reserve() { return Count < Capacity || Grow(); }
    // Doubles the array (geometric growth: n pushes cost O(n) copies); false when memory runs out.
    [[gnu::noinline, gnu::cold]] bool Grow() {
        try {
            while (static_cast<std::size_t>(Count) + 1 >= Items.size())
                Items.resize(Items.size() * 2 + 1);
        } catch (const std::exception&) {
            Capacity = static_cast<int>(Items.size()) - 1;
            return false;
        }
        Capacity = static_cast<int>(Items.size()) - 1;
        return true;
    }
};

// ---- the Gl stack ------------------------------------------------------------------------------------
extern ValueArray<std::int32_t> GlTypeStack; // tags; GlTypeStack.Count is ValueStackCount
extern ValueArray<Extended> GlNumStack;
extern ValueArray<QString> GlStrStack;
extern ValueArray<std::uint8_t> GlBoolStack;
// The number of Gl entries (the tag count); the end-of-run check and the error text read and clear it.
extern int& ValueStackCount;

void InitGlStack();
// Empties the tag stack and the three value stacks together, so they stay in step.
void GlClear();

namespace detail {
// A push onto any part with any tag: the value's own part makes room first, then the tag stack; a
// part that cannot grow stores nothing (30102).
template <typename T> bool GlPushValue(ValueArray<T>& stack, std::int32_t tag, T value) {
    if (!stack.Reserve() || !GlTypeStack.Reserve()) {
        RaiseError(Err::StackOutOfMemory);
        return false;
    }
    GlTypeStack.Items[static_cast<std::size_t>(++GlTypeStack.Count)] = tag;
    stack.Items[static_cast<std::size_t>(++stack.Count)] = std::move(value);
    return true;
}

// The pushes' rare path, out of line: a part has to grow first.
void GlPushNumSlow(std::int32_t tag, Extended value);
void GlPushStrSlow(QString value);
void GlPushBoolSlow(std::uint8_t value);

inline void GlPushNumTagged(std::int32_t tag, Extended value) {
    if (GlNumStack.Count < GlNumStack.Capacity && GlTypeStack.Count < GlTypeStack.Capacity) [[likely]] {
        GlNumStack.Items.data()[++GlNumStack.Count] = value;
        GlTypeStack.Items.data()[++GlTypeStack.Count] = tag;
        return;
    }
    GlPushNumSlow(tag, value);
}
} // namespace detail

inline void GlPushNum(Extended value) {
    detail::GlPushNumTagged(GlValueType::Number, value);
}
inline void GlPushStr(QString value) {
    if (GlStrStack.Count < GlStrStack.Capacity && GlTypeStack.Count < GlTypeStack.Capacity) [[likely]] {
        GlStrStack.Items.data()[++GlStrStack.Count] = std::move(value);
        GlTypeStack.Items.data()[++GlTypeStack.Count] = GlValueType::String;
        return;
    }
    detail::GlPushStrSlow(std::move(value));
}
inline void GlPushBool(bool value) {
    if (GlBoolStack.Count < GlBoolStack.Capacity && GlTypeStack.Count < GlTypeStack.Capacity) [[likely]] {
        GlBoolStack.Items.data()[++GlBoolStack.Count] = value ? 1 : 0;
        GlTypeStack.Items.data()[++GlTypeStack.Count] = GlValueType::Boolean;
        return;
    }
    detail::GlPushBoolSlow(value ? 1 : 0);
}
inline void GlPushNumArray(Extended ref) {
    detail::GlPushNumTagged(GlValueType::NumArrayRef, ref);
}
inline void GlPushStrArray(Extended ref) {
    detail::GlPushNumTagged(GlValueType::StrArrayRef, ref);
}
inline void GlPushBoolArray(Extended ref) {
    detail::GlPushNumTagged(GlValueType::BoolArrayRef, ref);
}

inline int GlTopType() {
    return GlTypeStack.Count >= 1 ? GlTypeStack.Items.data()[GlTypeStack.Count] : 0;
}
inline int GlSecondType() {
    return GlTypeStack.Count >= 2 ? GlTypeStack.Items.data()[GlTypeStack.Count - 1] : 0;
}
inline int GlThirdType() {
    return GlTypeStack.Count >= 3 ? GlTypeStack.Items.data()[GlTypeStack.Count - 2] : 0;
}

inline bool IsGlNumberTag(int tag) {
    return tag == GlValueType::Number || tag == GlValueType::NumberAlt ||
           (tag >= GlValueType::NumArrayRef && tag <= GlValueType::BoolArrayRef);
}

// Pops a number (tags 1, 4, 5, 6 and 100). Empty: 52302 and 0; another tag on top: 52300, 0, and the
// stack unchanged.
inline Extended GlPopNum() {
    const int count = GlTypeStack.Count;
    if (count < 1) {
        RaiseError(Err::StackEmpty);
        return 0.0L;
    }
    if (!IsGlNumberTag(GlTypeStack.Items.data()[count]) || GlNumStack.Count < 1) {
        RaiseError(Err::StackError);
        return 0.0L;
    }
    GlTypeStack.Count = count - 1;
    return GlNumStack.Items.data()[GlNumStack.Count--];
}

// Pops a string into `out`; on an empty stack or another tag: 52302, `out` untouched, false.
inline bool GlPopStr(QString& out) {
    if (GlTopType() != GlValueType::String || GlStrStack.Count < 1) {
        RaiseError(Err::StackEmpty);
        return false;
    }
    --GlTypeStack.Count;
    out = std::move(GlStrStack.Items.data()[GlStrStack.Count--]);
    return true;
}

// Pops a boolean; on an empty stack or another tag: 52302 and false.
inline bool GlPopBool() {
    if (GlTopType() != GlValueType::Boolean || GlBoolStack.Count < 1) {
        RaiseError(Err::StackEmpty);
        return false;
    }
    --GlTypeStack.Count;
    return GlBoolStack.Items.data()[GlBoolStack.Count--] != 0;
}

// ---- the Lo save stack --------------------------------------------------------------------------------
extern ValueArray<std::int32_t> LoTypeStack;
extern ValueArray<Extended> LoNumStack;
extern ValueArray<QString> LoStrStack;
extern ValueArray<std::uint8_t> LoBoolStack;

namespace detail {
// The pushes' rare path, out of line: a part has to grow first (30102 when it cannot).
void LoPushNumSlow(Extended value);
void LoPushStrSlow(const QString& value);
void LoPushBoolSlow(std::uint8_t value);
// A pop that found the wrong tag or an empty part: 52307.
void LoPopFailed();
} // namespace detail

// The pushes and pops run once per local variable of every procedure call, so their common case is
// inline: room in both parts, or the expected tag on top.
inline void LoPushNum(Extended value) {
    if (LoNumStack.Count < LoNumStack.Capacity && LoTypeStack.Count < LoTypeStack.Capacity) [[likely]] {
        LoNumStack.Items.data()[++LoNumStack.Count] = value;
        LoTypeStack.Items.data()[++LoTypeStack.Count] = GlValueType::Number;
        return;
    }
    detail::LoPushNumSlow(value);
}
inline void LoPushStr(const QString& value) {
    if (LoStrStack.Count < LoStrStack.Capacity && LoTypeStack.Count < LoTypeStack.Capacity) [[likely]] {
        LoStrStack.Items.data()[++LoStrStack.Count] = value;
        LoTypeStack.Items.data()[++LoTypeStack.Count] = GlValueType::String;
        return;
    }
    detail::LoPushStrSlow(value);
}
inline void LoPushBool(bool value) {
    if (LoBoolStack.Count < LoBoolStack.Capacity && LoTypeStack.Count < LoTypeStack.Capacity) [[likely]] {
        LoBoolStack.Items.data()[++LoBoolStack.Count] = value ? 1 : 0;
        LoTypeStack.Items.data()[++LoTypeStack.Count] = GlValueType::Boolean;
        return;
    }
    detail::LoPushBoolSlow(value ? 1 : 0);
}

namespace detail {
template <typename T> inline bool LoCanPop(const ValueArray<T>& stack, std::int32_t tag) {
    if (LoTypeStack.Count < 1 || LoTypeStack.Items.data()[LoTypeStack.Count] != tag || stack.Count < 1)
        [[unlikely]] {
        LoPopFailed();
        return false;
    }
    return true;
}
} // namespace detail

// On an empty stack or another tag: 52307, the stack unchanged, and 0 / false / `out` untouched.
inline Extended LoPopNum() {
    if (!detail::LoCanPop(LoNumStack, GlValueType::Number)) return 0.0L;
    --LoTypeStack.Count;
    return LoNumStack.Items.data()[LoNumStack.Count--];
}
inline bool LoPopStr(QString& out) {
    if (!detail::LoCanPop(LoStrStack, GlValueType::String)) return false;
    --LoTypeStack.Count;
    out = std::move(LoStrStack.Items.data()[LoStrStack.Count--]);
    return true;
}
inline bool LoPopBool() {
    if (!detail::LoCanPop(LoBoolStack, GlValueType::Boolean)) return false;
    --LoTypeStack.Count;
    return LoBoolStack.Items.data()[LoBoolStack.Count--] != 0;
}

// ---- call frames and return indices --------------------------------------------------------------------
// W1..W6 bound a procedure's booleans (W1 + 1 to W2), numbers (W3 + 1 to W4) and strings (W5 + 1 to W6).
struct CallFrameType {
    std::int32_t W1 = 0, W2 = 0, W3 = 0, W4 = 0, W5 = 0, W6 = 0;
};
extern ValueArray<CallFrameType> CallFrameStack;
extern ValueArray<std::int32_t> CallReturnStack;

void PushCallFrame(const CallFrameType& frame); // 52308 when it cannot grow
bool PopCallFrame(CallFrameType& frame);        // 52309 when empty (frame not written)
bool TopCallFrame(CallFrameType& frame);        // 52309 when empty
void PushCallReturn(std::int32_t index);        // 54031 when it cannot grow
std::int32_t PopCallReturn();                   // 54032 and 0 when empty
