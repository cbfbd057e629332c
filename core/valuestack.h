// The value stacks of the stack machine. The Gl stack (a tag stack with a number, a string and a
// boolean stack behind it) carries every operand and result; the Lo stack saves a procedure's locals
// around a recursive call; the call-frame and call-return stacks serve SUB and FUNCTION calls.
// Push and pop are inline: they run for nearly every code item.
#pragma once

#include "core/errornumbers.h"
#include "core/raiseerror.h"
#include "core/sharedstate.h"
#include "platform/memorybudget.h"

#include <QString>

#include <cstdint>
#include <cstring>
#include <emmintrin.h>
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

// A number copied as its bytes: moved through the integer unit, it is not loaded into the x87 unit
// and stored back, whose 80-bit store, read again soon after, waits for memory. Its ten bytes (the rest
// of the 16 is padding) are read as an eight-byte and a two-byte load, which the store that wrote them
// hands on whatever its width (a 16-byte load of a number the x87 unit has just stored waits for
// memory), and written as one 16-byte store (measured: recursive calls ran 1 to 3 % faster than with an
// eight-byte and a two-byte store).
[[gnu::always_inline]] inline void CopyNumber(Extended* to, const Extended* from) {
    std::uint64_t low = 0;
    std::uint16_t high = 0;
    std::memcpy(&low, from, sizeof low);
    std::memcpy(&high, reinterpret_cast<const unsigned char*>(from) + sizeof low, sizeof high);
    const __m128i image = _mm_insert_epi16(_mm_cvtsi64_si128(static_cast<long long>(low)), high, 4);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to), image);
}

// A stack used from index 1; the count is the index of the top entry. It keeps its grown size until
// the next reset, so steady-state pushes never allocate. Capacity (the highest index Items can hold)
// is kept beside the vector, so the room test of a push is one compare; growth is out of line.
template <typename T> struct ValueArray {
    std::vector<T> Items;
    int Count = 0;
    int Capacity = -1;

    void Reset(int capacity) {
        // The room a deep recursion took goes back.
        std::vector<T>(static_cast<std::size_t>(capacity) + 1).swap(Items);
        Count = 0;
        Capacity = capacity;
    }
    // Makes room for one more entry (or `n` more); false when memory runs out.
    bool Reserve() { return Count < Capacity || Grow(); }
    bool Reserve(long n) { return Count + n <= Capacity || Grow(n); }
    // Doubles the array until it has room for `n` more entries (geometric growth: n pushes cost O(n)
    // copies); false when memory runs out or the program's budget has no room for it.
    [[gnu::noinline, gnu::cold]] bool Grow(long n = 1) {
        try {
            std::size_t size = Items.size();
            while (static_cast<std::size_t>(Count + n) >= size)
                size = size * 2 + 1;
            if (!MemoryBudget::AllowsElements(size, sizeof(T))) return false;
            Items.resize(size);
        } catch (const std::exception&) {
            Capacity = static_cast<int>(Items.size()) - 1;
            return false;
        }
        Capacity = static_cast<int>(Items.size()) - 1;
        return true;
    }
};

// W1..W6 bound a procedure's booleans (W1 + 1 to W2), numbers (W3 + 1 to W4) and strings (W5 + 1 to W6).
// A frame of numbers alone also notes where they begin and how many there are, which its saves and
// restores then read instead of working them out (Numbers -1: not noted, or not such a frame).
struct CallFrameType {
    std::int32_t W1 = 0, W2 = 0, W3 = 0, W4 = 0, W5 = 0, W6 = 0;
    std::int32_t FirstNumber = 0, Numbers = -1;
};

// The Gl stack (each value a tag and an entry in the part of its type), the Lo save stack of the
// locals, the call frames and the return indices. One process-wide instance, Vs; the interpreter reset
// brings each back to its start size, empty.
struct ValueStacks {
    ValueArray<std::int32_t> GlTypeStack; // tags; GlTypeStack.Count is ValueStackCount
    ValueArray<Extended> GlNumStack;
    ValueArray<QString> GlStrStack;
    ValueArray<std::uint8_t> GlBoolStack;
    ValueArray<std::int32_t> LoTypeStack;
    ValueArray<Extended> LoNumStack;
    ValueArray<QString> LoStrStack;
    ValueArray<std::uint8_t> LoBoolStack;
    ValueArray<CallFrameType> CallFrameStack;
    ValueArray<std::int32_t> CallReturnStack;

    void Reset();
};
extern constinit ValueStacks Vs;

// The number of Gl entries (the tag count); the end-of-run check and the error text read and clear it.
inline int& ValueStackCount = Vs.GlTypeStack.Count;

// ---- the Gl stack ------------------------------------------------------------------------------------

void InitGlStack();
// Empties the tag stack and the three value stacks together, so they stay in step.
void GlClear();

namespace detail {
// A push onto any part with any tag: the value's own part makes room first, then the tag stack; a
// part that cannot grow stores nothing (30102).
template <typename T> bool GlPushValue(ValueArray<T>& stack, std::int32_t tag, T value) {
    if (!stack.Reserve() || !Vs.GlTypeStack.Reserve()) {
        RaiseError(Err::StackOutOfMemory);
        return false;
    }
    Vs.GlTypeStack.Items[static_cast<std::size_t>(++Vs.GlTypeStack.Count)] = tag;
    stack.Items[static_cast<std::size_t>(++stack.Count)] = std::move(value);
    return true;
}

// The pushes' rare path, out of line: a part has to grow first.
void GlPushNumSlow(std::int32_t tag, Extended value);
void GlPushStrSlow(QString value);
void GlPushBoolSlow(std::uint8_t value);

inline void GlPushNumTagged(std::int32_t tag, Extended value) {
    if (Vs.GlNumStack.Count < Vs.GlNumStack.Capacity && Vs.GlTypeStack.Count < Vs.GlTypeStack.Capacity)
        [[likely]] {
        Vs.GlNumStack.Items.data()[++Vs.GlNumStack.Count] = value;
        Vs.GlTypeStack.Items.data()[++Vs.GlTypeStack.Count] = tag;
        return;
    }
    GlPushNumSlow(tag, value);
}
} // namespace detail

inline void GlPushNum(Extended value) {
    detail::GlPushNumTagged(GlValueType::Number, value);
}
inline void GlPushStr(QString value) {
    if (Vs.GlStrStack.Count < Vs.GlStrStack.Capacity && Vs.GlTypeStack.Count < Vs.GlTypeStack.Capacity)
        [[likely]] {
        Vs.GlStrStack.Items.data()[++Vs.GlStrStack.Count] = std::move(value);
        Vs.GlTypeStack.Items.data()[++Vs.GlTypeStack.Count] = GlValueType::String;
        return;
    }
    detail::GlPushStrSlow(std::move(value));
}
inline void GlPushBool(bool value) {
    if (Vs.GlBoolStack.Count < Vs.GlBoolStack.Capacity && Vs.GlTypeStack.Count < Vs.GlTypeStack.Capacity)
        [[likely]] {
        Vs.GlBoolStack.Items.data()[++Vs.GlBoolStack.Count] = value ? 1 : 0;
        Vs.GlTypeStack.Items.data()[++Vs.GlTypeStack.Count] = GlValueType::Boolean;
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
    return Vs.GlTypeStack.Count >= 1 ? Vs.GlTypeStack.Items.data()[Vs.GlTypeStack.Count] : 0;
}
inline int GlSecondType() {
    return Vs.GlTypeStack.Count >= 2 ? Vs.GlTypeStack.Items.data()[Vs.GlTypeStack.Count - 1] : 0;
}
inline int GlThirdType() {
    return Vs.GlTypeStack.Count >= 3 ? Vs.GlTypeStack.Items.data()[Vs.GlTypeStack.Count - 2] : 0;
}

inline bool IsGlNumberTag(int tag) {
    return tag == GlValueType::Number || tag == GlValueType::NumberAlt ||
           (tag >= GlValueType::NumArrayRef && tag <= GlValueType::BoolArrayRef);
}

// Pops a number (tags 1, 4, 5, 6 and 100). Empty: 52302 and 0; another tag on top: 52300, 0, and the
// stack unchanged.
inline Extended GlPopNum() {
    const int count = Vs.GlTypeStack.Count;
    if (count < 1) {
        RaiseError(Err::StackEmpty);
        return 0.0L;
    }
    if (!IsGlNumberTag(Vs.GlTypeStack.Items.data()[count]) || Vs.GlNumStack.Count < 1) {
        RaiseError(Err::StackError);
        return 0.0L;
    }
    Vs.GlTypeStack.Count = count - 1;
    return Vs.GlNumStack.Items.data()[Vs.GlNumStack.Count--];
}

// Pops a string into `out`; on an empty stack or another tag: 52302, `out` untouched, false.
inline bool GlPopStr(QString& out) {
    if (GlTopType() != GlValueType::String || Vs.GlStrStack.Count < 1) {
        RaiseError(Err::StackEmpty);
        return false;
    }
    --Vs.GlTypeStack.Count;
    out = std::move(Vs.GlStrStack.Items.data()[Vs.GlStrStack.Count--]);
    return true;
}

// Pops a boolean; on an empty stack or another tag: 52302 and false.
inline bool GlPopBool() {
    if (GlTopType() != GlValueType::Boolean || Vs.GlBoolStack.Count < 1) {
        RaiseError(Err::StackEmpty);
        return false;
    }
    --Vs.GlTypeStack.Count;
    return Vs.GlBoolStack.Items.data()[Vs.GlBoolStack.Count--] != 0;
}

// ---- the Lo save stack --------------------------------------------------------------------------------

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
    if (Vs.LoNumStack.Count < Vs.LoNumStack.Capacity && Vs.LoTypeStack.Count < Vs.LoTypeStack.Capacity)
        [[likely]] {
        Vs.LoNumStack.Items.data()[++Vs.LoNumStack.Count] = value;
        Vs.LoTypeStack.Items.data()[++Vs.LoTypeStack.Count] = GlValueType::Number;
        return;
    }
    detail::LoPushNumSlow(value);
}
inline void LoPushStr(const QString& value) {
    if (Vs.LoStrStack.Count < Vs.LoStrStack.Capacity && Vs.LoTypeStack.Count < Vs.LoTypeStack.Capacity)
        [[likely]] {
        Vs.LoStrStack.Items.data()[++Vs.LoStrStack.Count] = value;
        Vs.LoTypeStack.Items.data()[++Vs.LoTypeStack.Count] = GlValueType::String;
        return;
    }
    detail::LoPushStrSlow(value);
}
inline void LoPushBool(bool value) {
    if (Vs.LoBoolStack.Count < Vs.LoBoolStack.Capacity && Vs.LoTypeStack.Count < Vs.LoTypeStack.Capacity)
        [[likely]] {
        Vs.LoBoolStack.Items.data()[++Vs.LoBoolStack.Count] = value ? 1 : 0;
        Vs.LoTypeStack.Items.data()[++Vs.LoTypeStack.Count] = GlValueType::Boolean;
        return;
    }
    detail::LoPushBoolSlow(value ? 1 : 0);
}

namespace detail {
template <typename T> inline bool LoCanPop(const ValueArray<T>& stack, std::int32_t tag) {
    if (Vs.LoTypeStack.Count < 1 || Vs.LoTypeStack.Items.data()[Vs.LoTypeStack.Count] != tag ||
        stack.Count < 1) [[unlikely]] {
        LoPopFailed();
        return false;
    }
    return true;
}
} // namespace detail

// On an empty stack or another tag: 52307, the stack unchanged, and 0 / false / `out` untouched.
inline Extended LoPopNum() {
    if (!detail::LoCanPop(Vs.LoNumStack, GlValueType::Number)) return 0.0L;
    --Vs.LoTypeStack.Count;
    return Vs.LoNumStack.Items.data()[Vs.LoNumStack.Count--];
}
inline bool LoPopStr(QString& out) {
    if (!detail::LoCanPop(Vs.LoStrStack, GlValueType::String)) return false;
    --Vs.LoTypeStack.Count;
    out = std::move(Vs.LoStrStack.Items.data()[Vs.LoStrStack.Count--]);
    return true;
}
inline bool LoPopBool() {
    if (!detail::LoCanPop(Vs.LoBoolStack, GlValueType::Boolean)) return false;
    --Vs.LoTypeStack.Count;
    return Vs.LoBoolStack.Items.data()[Vs.LoBoolStack.Count--] != 0;
}

// ---- call frames and return indices --------------------------------------------------------------------

void PushCallFrame(const CallFrameType& frame); // 52308 when it cannot grow
bool PopCallFrame(CallFrameType& frame);        // 52309 when empty (frame not written)
bool TopCallFrame(CallFrameType& frame);        // 52309 when empty
void PushCallReturn(std::int32_t index);        // 54031 when it cannot grow
std::int32_t PopCallReturn();                   // 54032 and 0 when empty
