// The value stacks' one instance, Vs, and their slow paths: growing a stack when a push finds it full, the
// Lo stack's saves, the failures of a pop, and the call-frame and call-return stacks.
#include "core/valuestack.h"
#include "core/raiseerror.h"

constinit ValueStacks Vs;

namespace {
constexpr int LoInitialCapacity = 0; // room for one element (index 0), grown on the first push

template <typename T> void LoPush(ValueArray<T>& stack, std::int32_t tag, const T& value) {
    if (!Vs.LoTypeStack.Reserve() || !stack.Reserve()) {
        RaiseError(Err::StackOutOfMemory);
        return;
    }
    Vs.LoTypeStack.Items[static_cast<std::size_t>(++Vs.LoTypeStack.Count)] = tag;
    stack.Items[static_cast<std::size_t>(++stack.Count)] = value;
}

} // namespace

namespace detail {
void GlPushNumSlow(std::int32_t tag, Extended value) {
    GlPushValue(Vs.GlNumStack, tag, value);
}
void GlPushStrSlow(QString value) {
    GlPushValue(Vs.GlStrStack, GlValueType::String, std::move(value));
}
void GlPushBoolSlow(std::uint8_t value) {
    GlPushValue(Vs.GlBoolStack, GlValueType::Boolean, value);
}
void LoPushNumSlow(Extended value) {
    LoPush(Vs.LoNumStack, GlValueType::Number, value);
}
void LoPushStrSlow(const QString& value) {
    LoPush(Vs.LoStrStack, GlValueType::String, value);
}
void LoPushBoolSlow(std::uint8_t value) {
    LoPush<std::uint8_t>(Vs.LoBoolStack, GlValueType::Boolean, value);
}
void LoPopFailed() {
    RaiseError(Err::LocalStackError);
}
} // namespace detail

void ValueStacks::Reset() {
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

void InitGlStack() {
    Vs.Reset();
}

void GlClear() {
    Vs.GlTypeStack.Count = 0;
    Vs.GlNumStack.Count = 0;
    // Drop the strings' references now rather than when their slots are reused.
    for (int i = 1; i <= Vs.GlStrStack.Count; ++i)
        Vs.GlStrStack.Items[static_cast<std::size_t>(i)] = QString();
    Vs.GlStrStack.Count = 0;
    Vs.GlBoolStack.Count = 0;
}

void PushCallFrame(const CallFrameType& frame) {
    if (!Vs.CallFrameStack.Reserve()) {
        RaiseError(Err::CallFrameOverflow);
        return;
    }
    Vs.CallFrameStack.Items[static_cast<std::size_t>(++Vs.CallFrameStack.Count)] = frame;
}

bool TopCallFrame(CallFrameType& frame) {
    if (Vs.CallFrameStack.Count < 1) {
        RaiseError(Err::CallFrameEmpty);
        return false;
    }
    frame = Vs.CallFrameStack.Items[static_cast<std::size_t>(Vs.CallFrameStack.Count)];
    return true;
}

bool PopCallFrame(CallFrameType& frame) {
    if (!TopCallFrame(frame)) return false;
    --Vs.CallFrameStack.Count;
    return true;
}

void PushCallReturn(std::int32_t index) {
    if (!Vs.CallReturnStack.Reserve()) {
        RaiseError(Err::CallReturnOverflow);
        return;
    }
    Vs.CallReturnStack.Items[static_cast<std::size_t>(++Vs.CallReturnStack.Count)] = index;
}

std::int32_t PopCallReturn() {
    if (Vs.CallReturnStack.Count < 1) {
        RaiseError(Err::CallReturnEmpty);
        return 0;
    }
    return Vs.CallReturnStack.Items[static_cast<std::size_t>(Vs.CallReturnStack.Count--)];
}
