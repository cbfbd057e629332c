#include "frontend/valuestack.h"
#include "frontend/raiseerror.h"

ValueArray<std::int32_t> GlTypeStack;
ValueArray<Extended> GlNumStack;
ValueArray<QString> GlStrStack;
ValueArray<std::uint8_t> GlBoolStack;
int& ValueStackCount = GlTypeStack.Count;

ValueArray<std::int32_t> LoTypeStack;
ValueArray<Extended> LoNumStack;
ValueArray<QString> LoStrStack;
ValueArray<std::uint8_t> LoBoolStack;

ValueArray<CallFrameType> CallFrameStack;
ValueArray<std::int32_t> CallReturnStack;

namespace {
constexpr int LoInitialCapacity = 0; // room for one element (index 0), grown on the first push

template <typename T> void LoPush(ValueArray<T>& stack, std::int32_t tag, const T& value) {
    if (!LoTypeStack.Reserve() || !stack.Reserve()) {
        RaiseError(Err::StackOutOfMemory);
        return;
    }
    LoTypeStack.Items[static_cast<std::size_t>(++LoTypeStack.Count)] = tag;
    stack.Items[static_cast<std::size_t>(++stack.Count)] = value;
}

} // namespace

namespace detail {
void GlPushNumSlow(std::int32_t tag, Extended value) {
    GlPushValue(GlNumStack, tag, value);
}
void GlPushStrSlow(QString value) {
    GlPushValue(GlStrStack, GlValueType::String, std::move(value));
}
void GlPushBoolSlow(std::uint8_t value) {
    GlPushValue(GlBoolStack, GlValueType::Boolean, value);
}
void LoPushNumSlow(Extended value) {
    LoPush(LoNumStack, GlValueType::Number, value);
}
void LoPushStrSlow(const QString& value) {
    LoPush(LoStrStack, GlValueType::String, value);
}
void LoPushBoolSlow(std::uint8_t value) {
    LoPush<std::uint8_t>(LoBoolStack, GlValueType::Boolean, value);
}
void LoPopFailed() {
    RaiseError(Err::LocalStackError);
}
} // namespace detail

void InitGlStack() {
    GlTypeStack.Reset(GlInitialCapacity);
    GlNumStack.Reset(GlInitialCapacity);
    GlStrStack.Reset(GlInitialCapacity);
    GlBoolStack.Reset(GlInitialCapacity);
    LoTypeStack.Reset(LoInitialCapacity);
    LoNumStack.Reset(LoInitialCapacity);
    LoStrStack.Reset(LoInitialCapacity);
    LoBoolStack.Reset(LoInitialCapacity);
    CallFrameStack.Reset(LoInitialCapacity);
    CallReturnStack.Reset(LoInitialCapacity);
}

void GlClear() {
    GlTypeStack.Count = 0;
    GlNumStack.Count = 0;
    // Drop the strings' references now rather than when their slots are reused.
    for (int i = 1; i <= GlStrStack.Count; ++i)
        GlStrStack.Items[static_cast<std::size_t>(i)] = QString();
    GlStrStack.Count = 0;
    GlBoolStack.Count = 0;
}

void PushCallFrame(const CallFrameType& frame) {
    if (!CallFrameStack.Reserve()) {
        RaiseError(Err::CallFrameOverflow);
        return;
    }
    CallFrameStack.Items[static_cast<std::size_t>(++CallFrameStack.Count)] = frame;
}

bool TopCallFrame(CallFrameType& frame) {
    if (CallFrameStack.Count < 1) {
        RaiseError(Err::CallFrameEmpty);
        return false;
    }
    frame = CallFrameStack.Items[static_cast<std::size_t>(CallFrameStack.Count)];
    return true;
}

bool PopCallFrame(CallFrameType& frame) {
    if (!TopCallFrame(frame)) return false;
    --CallFrameStack.Count;
    return true;
}

void PushCallReturn(std::int32_t index) {
    if (!CallReturnStack.Reserve()) {
        RaiseError(Err::CallReturnOverflow);
        return;
    }
    CallReturnStack.Items[static_cast<std::size_t>(++CallReturnStack.Count)] = index;
}

std::int32_t PopCallReturn() {
    if (CallReturnStack.Count < 1) {
        RaiseError(Err::CallReturnEmpty);
        return 0;
    }
    return CallReturnStack.Items[static_cast<std::size_t>(CallReturnStack.Count--)];
}
