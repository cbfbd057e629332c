#include "engine/predecode.h"

#include "frontend/internalcodes.h"
#include "frontend/itembuffers.h"
#include "frontend/tables.h"

std::vector<DecodedItem> DecodedCode;
std::vector<ExprStep> DecodedSteps;

namespace {

// The generation the steps in DecodedSteps belong to; older steps are dropped before new ones are added.
std::uint64_t StepsGeneration = 0;

// The most jumps and brackets followed when resolving where a statement continues; a GOTO chain longer
// than this (or a loop of GOTOs) is simply left to run item by item.
constexpr int MaxJumpHops = 8;

bool IsJumpIndex(long target) {
    return target >= 1 && target <= CurrentmaxCodeNum;
}

// The item at `at`; no item outside the buffer.
const CodeItemType& ItemAt(int at) {
    static const CodeItemType none{};
    return at >= 0 && static_cast<std::size_t>(at) < CodeBuffer.size() ? CodeBuffer[static_cast<std::size_t>(at)] : none;
}

// The first index from `at` whose item is not inert (at most `limit`).
int SkipInert(int at, int limit) {
    while (at < limit && IsInertItem(ItemAt(at))) ++at;
    return at;
}

int SkipBrackets(int at, int limit) {
    while (at < limit && (ItemAt(at).FirstCode == CodeKind::ExprOpen || ItemAt(at).FirstCode == CodeKind::ExprClose))
        ++at;
    return at;
}

// Where the run goes on from `at`: past inert items and through GOTOs to a valid index. Stepping over
// them costs the run nothing it could see, as when the fetch steps over inert items.
int ResolveContinuation(int at, int limit) {
    for (int hop = 0; hop < MaxJumpHops; ++hop) {
        if (at < 0 || at > limit) return at;
        at = SkipInert(at, limit);
        const CodeItemType& item = ItemAt(at);
        if (item.FirstCode != CodeKind::Statement || item.SecondCode != St::GOTO || at + 1 > limit) return at;
        const CodeItemType& target = ItemAt(at + 1);
        if (target.FirstCode != CodeKind::JumpTarget || !IsJumpIndex(target.SecondCode)) return at;
        at = target.SecondCode;
    }
    return at;
}

// The types of the values of a decoded expression, as the decoder follows them.
enum class ValueKind : std::uint8_t { Number, Boolean };

// Reads items as long as they form a numeric expression the steps can compute, collecting the steps
// and following the kinds of the values they leave.
class ExpressionReader {
public:
    explicit ExpressionReader(int limit) : limit_(limit) {}

    // Takes items from `at`; returns the index of the first item not taken.
    int Read(int at) {
        while (at <= limit_) {
            const CodeItemType& item = ItemAt(at);
            if (item.FirstCode == CodeKind::ExprOpen || item.FirstCode == CodeKind::ExprClose) {
                ++at;
                continue;
            }
            if (item.FirstCode == CodeKind::StrVar) {
                // LEN of a plain string variable: the two items as one step.
                const int next = SkipBrackets(at + 1, limit_);
                if (next > limit_ || !IsLength(ItemAt(next)) || !PlainString(item.SecondCode)) break;
                if (!Push(ValueKind::Number, ExprStep{0, item.SecondCode, StepCode::PushLength})) break;
                at = next + 1;
                continue;
            }
            if (!Take(item)) break;
            ++at;
        }
        return at;
    }

    int Depth() const { return depth_; }
    ValueKind KindAt(int k) const { return kinds_[static_cast<std::size_t>(k)]; }
    const std::vector<ExprStep>& Steps() const { return steps_; }

private:
    static bool IsLength(const CodeItemType& item) {
        return item.FirstCode == CodeKind::Function && (item.SecondCode == Fn::LEN || item.SecondCode == Fn::KLEN);
    }

    static bool PlainString(int index) {
        return index >= 0 && static_cast<std::size_t>(index) < StrVarTable.size() &&
               StrVarTable[static_cast<std::size_t>(index)].Kind == StrVarKind::Variable;
    }

    bool Push(ValueKind kind, ExprStep step) {
        if (depth_ >= MaxDecodedDepth) return false;
        kinds_[static_cast<std::size_t>(depth_++)] = kind;
        steps_.push_back(step);
        return true;
    }

    bool TopIs(ValueKind kind, int count = 1) const {
        if (depth_ < count) return false;
        for (int k = 1; k <= count; ++k)
            if (kinds_[static_cast<std::size_t>(depth_ - k)] != kind) return false;
        return true;
    }

    // A step on the value on top that leaves a value of the same kind.
    bool Unary(std::uint8_t code, ValueKind kind = ValueKind::Number) {
        if (!TopIs(kind)) return false;
        steps_.push_back(ExprStep{0, 0, code});
        return true;
    }

    // A binary step. When the step before pushed a literal or a plain variable, that push becomes this
    // step's right operand.
    bool Binary(std::uint8_t op, ValueKind operands, ValueKind result) {
        if (!TopIs(operands, 2)) return false;
        ExprStep& last = steps_.back();
        std::uint8_t form = StepCode::OnStack;
        if (last.Code == StepCode::PushLiteral) form = StepCode::OnLiteral;
        if (last.Code == StepCode::PushVariable) form = StepCode::OnVariable;
        if (form != StepCode::OnStack)
            last.Code = StepCode::Binary(op, form);
        else
            steps_.push_back(ExprStep{0, 0, StepCode::Binary(op, form)});
        --depth_;
        kinds_[static_cast<std::size_t>(depth_ - 1)] = result;
        return true;
    }

    bool Logic(std::uint8_t code) {
        if (!TopIs(ValueKind::Boolean, 2)) return false;
        steps_.push_back(ExprStep{0, 0, code});
        --depth_;
        return true;
    }

    bool Operator(int slot) {
        using namespace StepCode;
        constexpr ValueKind N = ValueKind::Number;
        constexpr ValueKind B = ValueKind::Boolean;
        switch (slot) {
        case Op::Plus: return Binary(Add, N, N);
        case Op::Minus: return Binary(Subtract, N, N);
        case Op::Multiply: return Binary(Multiply, N, N);
        case Op::Divide: return Binary(Divide, N, N);
        case Op::IntDivide: return Binary(IntDivide, N, N);
        case Op::Mod: return Binary(Modulo, N, N);
        case Op::Equal: return Binary(Equal, N, B);
        case Op::NotEqual: return Binary(NotEqual, N, B);
        case Op::Less: return Binary(Less, N, B);
        case Op::Greater: return Binary(Greater, N, B);
        case Op::LessEqual: return Binary(LessEqual, N, B);
        case Op::GreaterEqual: return Binary(GreaterEqual, N, B);
        case Op::ChgSgn: return Unary(Negate);
        case Op::And: return Logic(And);
        case Op::Or: return Logic(Or);
        case Op::Not: return Unary(Not, B);
        default: return false;
        }
    }

    bool Function(int code) {
        switch (code) {
        case Fn::SGN: return Unary(StepCode::Sgn);
        case Fn::ABS: return Unary(StepCode::Abs);
        case Fn::INT: return Unary(StepCode::Int);
        case Fn::FIX: return Unary(StepCode::Fix);
        case InFn::Direct: return Unary(StepCode::Negate);
        default: return false;
        }
    }

    // A numeric name: a plain variable pushes its value; a one-dimensional array takes the subscript
    // on top. DEF functions, labels and other arrays are left to the general path.
    bool NumericName(int index) {
        if (index < 0 || static_cast<std::size_t>(index) >= NumVarTable.size()) return false;
        const NumVarType& record = NumVarTable[static_cast<std::size_t>(index)];
        if (record.Kind == NumVarKind::Variable) return Push(ValueKind::Number, ExprStep{0, index, StepCode::PushVariable});
        if (record.Kind == NumVarKind::Array && record.DimCount == 1 && TopIs(ValueKind::Number)) {
            steps_.push_back(ExprStep{0, index, StepCode::Element});
            return true;
        }
        return false;
    }

    bool Take(const CodeItemType& item) {
        const int value = item.SecondCode;
        switch (item.FirstCode) {
        case CodeKind::NumLiteral: {
            const long at = static_cast<long>(value) + 1;
            if (at < 0 || static_cast<std::size_t>(at) >= NumConTable.size()) return false;
            return Push(ValueKind::Number, ExprStep{NumConTable[static_cast<std::size_t>(at)], 0, StepCode::PushLiteral});
        }
        case CodeKind::SysNumConst:
            if (value < 1 || value > FixedConstSlots) return false;
            return Push(ValueKind::Number,
                        ExprStep{NumConstTable[static_cast<std::size_t>(value)], 0, StepCode::PushLiteral});
        case CodeKind::NumVar: return NumericName(value);
        case CodeKind::Operator: return Operator(value);
        case CodeKind::Function: return Function(value);
        default: return false;
        }
    }

    int limit_;
    int depth_ = 0;
    std::array<ValueKind, MaxDecodedDepth> kinds_{};
    std::vector<ExprStep> steps_;
};

bool IsStatement(int at, int limit, int code) {
    return at <= limit && ItemAt(at).FirstCode == CodeKind::Statement && ItemAt(at).SecondCode == code;
}

// Moves the reader's steps to DecodedSteps, closed by an End step; the entry's Steps names the first.
void StoreSteps(DecodedItem& entry, const ExpressionReader& reader) {
    entry.Steps = static_cast<std::int32_t>(DecodedSteps.size());
    DecodedSteps.insert(DecodedSteps.end(), reader.Steps().begin(), reader.Steps().end());
    DecodedSteps.push_back(ExprStep{0, 0, StepCode::End});
}

// S$ = S$ + CHR$(expression) (or &): the string variable, a numeric expression, CHR$, the join, the
// LET to the same variable.
bool DecodeAppendChr(DecodedItem& entry, int start, int limit) {
    const int target = ItemAt(start).SecondCode;
    ExpressionReader reader(limit);
    int at = SkipBrackets(reader.Read(start + 1), limit);
    if (reader.Depth() != 1 || reader.KindAt(0) != ValueKind::Number || at > limit) return false;
    const CodeItemType& chr = ItemAt(at);
    if (chr.FirstCode != CodeKind::Function || (chr.SecondCode != Fn::CHRStr && chr.SecondCode != Fn::CHR)) return false;
    at = SkipBrackets(at + 1, limit);
    const CodeItemType& join = ItemAt(at);
    if (at > limit || join.FirstCode != CodeKind::Operator ||
        (join.SecondCode != Op::Plus && join.SecondCode != Op::Ampersand))
        return false;
    at = SkipBrackets(at + 1, limit);
    if (!IsStatement(at, limit, St::LET) || at + 1 > limit) return false;
    const CodeItemType& assigned = ItemAt(at + 1);
    if (assigned.FirstCode != CodeKind::StrVar || assigned.SecondCode != target) return false;
    StoreSteps(entry, reader);
    entry.Op = DecodedOp::AppendChr;
    entry.Target = target;
    entry.Next = ResolveContinuation(at + 2, limit);
    return true;
}

// A numeric expression and what takes its values: a LET, an IF, or the items after it.
void DecodeExpression(DecodedItem& entry, int start, int limit) {
    ExpressionReader reader(limit);
    const int end = reader.Read(start);
    const int depth = reader.Depth();
    if (depth == 0) return;
    const int after = SkipBrackets(end, limit);
    const auto allNumbers = [&reader, depth] {
        for (int k = 0; k < depth; ++k)
            if (reader.KindAt(k) != ValueKind::Number) return false;
        return true;
    };
    if (IsStatement(after, limit, St::LET) && after + 1 <= limit && ItemAt(after + 1).FirstCode == CodeKind::NumVar &&
        (depth == 1 || depth == 2) && allNumbers()) {
        // LET X = value (one value) or LET A(subscript) = value (the value, then the subscript)
        StoreSteps(entry, reader);
        entry.Op = depth == 1 ? DecodedOp::LetNumber : DecodedOp::LetElement;
        entry.Target = ItemAt(after + 1).SecondCode;
        entry.Next = ResolveContinuation(after + 2, limit);
        return;
    }
    if (IsStatement(after, limit, St::IF) && after + 1 <= limit && depth == 1 &&
        reader.KindAt(0) == ValueKind::Boolean) {
        const CodeItemType& target = ItemAt(after + 1);
        if (target.FirstCode != CodeKind::JumpTarget || !IsJumpIndex(target.SecondCode)) return;
        StoreSteps(entry, reader);
        entry.Op = DecodedOp::Branch;
        entry.Next = ResolveContinuation(after + 2, limit);
        entry.Alternate = ResolveContinuation(target.SecondCode, limit);
        return;
    }
    // Values for the items after them (arguments, PRINT items, a comparison's operand): worth it only
    // when some work is done besides the pushes themselves.
    const std::size_t pushes = static_cast<std::size_t>(depth);
    if (reader.Steps().size() <= pushes || depth > 8) return;
    StoreSteps(entry, reader);
    entry.Op = DecodedOp::PushValues;
    entry.ValueCount = static_cast<std::uint8_t>(depth);
    for (int k = 0; k < depth; ++k)
        if (reader.KindAt(k) == ValueKind::Boolean) entry.BooleanMask = static_cast<std::uint8_t>(entry.BooleanMask | (1u << k));
    entry.Next = end;
}

} // namespace

DecodedItem& DecodeItem(int at, int limit) {
    DecodedItem& entry = DecodedCode[static_cast<std::size_t>(at)];
    entry = DecodedItem{};
    entry.Generation = CodeGeneration;
    entry.Retries = DecodedRetries;
    if (StepsGeneration != CodeGeneration) {
        DecodedSteps.clear();
        StepsGeneration = CodeGeneration;
    }
    if (at < 1 || at > limit || limit > CurrentmaxCodeNum) return entry;
    const int start = SkipInert(at, limit);
    const CodeItemType& first = ItemAt(start);
    if (first.FirstCode == CodeKind::Statement && first.SecondCode == St::GOTO) {
        const int next = ResolveContinuation(at, limit);
        if (next != at) {
            entry.Op = DecodedOp::Jump;
            entry.Next = next;
        }
        return entry;
    }
    if (first.FirstCode == CodeKind::StrVar && DecodeAppendChr(entry, start, limit)) return entry;
    DecodeExpression(entry, start, limit);
    return entry;
}
void FitDecodedCode() {
    if (DecodedCode.size() < CodeBuffer.size()) DecodedCode.resize(CodeBuffer.size());
}
