// The decoder of the statements: reads the items of a statement once into its entry (its operation,
// the expression's nodes, where it goes on), or leaves the entry Generic.
#include "engine/decoded/decode.h"

#include "core/internalcodes.h"
#include "core/itembuffers.h"
#include "core/parsecodes.h"
#include "core/tables.h"
#include "engine/decoded/decodecalls.h"
#include "engine/decoded/nodes.h"
#include "engine/decoded/reading.h"
#include "platform/memorybudget.h"

#include <algorithm>
#include <atomic>
#include <deque>

std::vector<std::uint32_t> DecodedSlots;
std::vector<DecodedItem> DecodedEntries;
std::uint64_t DecodedGeneration = 0;
std::vector<ExprNode> DecodedNodes;
std::vector<std::int32_t> DecodedRoots;
std::array<Extended, MaxStackedValues> DecodedStacked{};
// The storage of the variable tables when the current generation's nodes began.
const NumVarType* DecodedNumbers = nullptr;
const StrVarType* DecodedStrings = nullptr;

namespace {

using namespace Decoding;

// The literals the generation's nodes point to, and the loops' bounds its entries point to: deques,
// whose elements stay where they are as they grow.
std::deque<Extended> Literals;
std::deque<LoopBounds> Loops;

// The slots are made in steps of this many, a stop request seen between them.
constexpr std::size_t SlotStep = std::size_t{1} << 20;
// Room kept in the nodes for the entry about to be decoded, so that they grow only where they are
// weighed (an entry with more nodes than this grows them unweighed, as any small store does).
constexpr std::size_t NodeHeadroom = 256;
// Room kept in the entries for the one being decoded and the loop test it may decode (which decodes no
// further), so that an entry being filled never moves; and the entries a program starts with.
constexpr std::size_t EntryHeadroom = 2;
constexpr std::size_t FirstEntries = 64;

// The decoded form never takes the last of the budget: what it asks for is weighed twice over, so
// that the program keeps as much room again for its own data. Once refused, it asks no more in this
// generation: the run goes on item by item wherever nothing is decoded.
bool Refused = false;
std::uint64_t RefusedGeneration = 0;
bool Weigh(std::size_t bytes) {
    if (Refused && RefusedGeneration == Ib.CodeGeneration) return false;
    if (MemoryBudget::AllowsSlow(bytes * 2)) return true;
    Refused = true;
    RefusedGeneration = Ib.CodeGeneration;
    return false;
}

// Set while a FOR loop's test is decoded for its NEXT: the test is an IF, and a LET met there is not
// taken for another NEXT, whose test would be decoded in turn, and so on down a long run of such LETs
// (deeper than the stack goes). Its entry was made with room for this one, and nothing moves it.
bool DecodingLoopTest = false;

// Room for one more entry and its nodes; false when the budget has none.
bool RoomForEntry() {
    if (DecodingLoopTest) return DecodedEntries.size() < DecodedEntries.capacity();
    if (DecodedEntries.capacity() - DecodedEntries.size() < EntryHeadroom) {
        const std::size_t room =
            std::max({DecodedEntries.capacity() * 2, DecodedEntries.size() + EntryHeadroom, FirstEntries});
        if (room > UINT32_MAX || !Weigh((room - DecodedEntries.size()) * sizeof(DecodedItem))) return false;
        DecodedEntries.reserve(room);
    }
    if (DecodedNodes.capacity() - DecodedNodes.size() < NodeHeadroom) {
        const std::size_t room = std::max(DecodedNodes.capacity() * 2, DecodedNodes.size() + NodeHeadroom);
        if (!Weigh((room - DecodedNodes.size()) * sizeof(ExprNode))) return false;
        DecodedNodes.reserve(room);
    }
    return true;
}

// A fresh entry for `at`, which its slot then names.
DecodedItem& NewEntry(int at) {
    DecodedSlots[static_cast<std::size_t>(at)] = static_cast<std::uint32_t>(DecodedEntries.size());
    DecodedItem& entry = DecodedEntries.emplace_back();
    entry.At = at;
    return entry;
}

// The types of the values of a decoded expression, as the decoder follows them.
enum class ValueKind : std::uint8_t { Number, Boolean };

// Reads items as long as they form a numeric expression the nodes can compute, building its tree in
// DecodedNodes. Each value on the reader's stack is a leaf (a literal or a plain variable, not yet a
// node: the node that takes it holds it) or a node.
class ExpressionReader {
public:
    // With `onStack`, an operation that finds too few values takes the missing ones from the Gl stack as
    // the items before the first one read left them (the first taken is the one on top).
    explicit ExpressionReader(int limit, bool onStack = false) : limit_(limit), onStack_(onStack) {}

    // Takes items from `at`; returns the index of the first item not taken.
    int Read(int at) {
        while (at <= limit_) {
            const CodeItemType& item = Item(at);
            if (item.FirstCode == CodeKind::ExprOpen || item.FirstCode == CodeKind::ExprClose) {
                ++at;
                continue;
            }
            if (item.FirstCode == CodeKind::StrVar) {
                // LEN of a plain string variable: the two items as one node.
                const int next = StepOverBrackets(at + 1, limit_);
                if (next > limit_ || !IsLength(Item(next)) || !PlainString(item.SecondCode)) break;
                ExprNode node;
                node.Operand.String = &Tb.StrVarTable[static_cast<std::size_t>(item.SecondCode)];
                node.Code = NodeCode::Length;
                if (!PushNode(ValueKind::Number, node)) break;
                at = next + 1;
                continue;
            }
            const int stacked = stacked_;
            if (!Take(item)) break;
            ++at;
            if (stacked_ != stacked) stackEnd_ = at;
        }
        return at;
    }

    int Depth() const { return depth_; }
    // The values taken from the Gl stack, and which of them are booleans (bit k for the k-th taken).
    int Stacked() const { return stacked_; }
    // The index after the last item that took values from the Gl stack.
    int StackEnd() const { return stackEnd_; }
    std::uint8_t StackedBooleans() const { return stackedBooleans_; }
    // One value of `kind` taken from the Gl stack at once (for a statement that takes it as it is).
    bool TakeStacked(ValueKind kind) { return onStack_ && Stack(kind); }
    ValueKind KindAt(int k) const { return values_[static_cast<std::size_t>(k)].Kind; }
    // True when some value is more than a literal or a variable (so that computing it is work).
    bool Computes() const { return operations_ > 0; }
    // How many operations its nodes do.
    int Operations() const { return operations_; }
    // The node of value k (a leaf becomes a node of its own here).
    std::int32_t RootOf(int k) { return Materialize(values_[static_cast<std::size_t>(k)]); }

private:
    enum class Place : std::uint8_t { Node, Literal, Variable };
    struct Value {
        ValueKind Kind = ValueKind::Number;
        Place Where = Place::Node;
        std::int32_t Node = -1;
        Extended Literal = 0;
        const Extended* Variable = nullptr; // a leaf's value: the variable's, or the literal in the pool
    };

    static bool IsLength(const CodeItemType& item) {
        return item.FirstCode == CodeKind::Function &&
               (item.SecondCode == Fn::LEN || item.SecondCode == Fn::KLEN);
    }

    static bool PlainString(int index) {
        return index >= 0 && static_cast<std::size_t>(index) < Tb.StrVarTable.size() &&
               Tb.StrVarTable[static_cast<std::size_t>(index)].Kind == StrVarKind::Variable;
    }

    static std::int32_t AddNode(ExprNode node) {
        node.Run = NodeFunctionOf(node);
        DecodedNodes.push_back(node);
        return static_cast<std::int32_t>(DecodedNodes.size()) - 1;
    }

    static std::int32_t Materialize(Value& value) {
        if (value.Where == Place::Node) return value.Node;
        ExprNode node;
        node.Operand.Value = value.Variable;
        if (value.Where == Place::Literal) {
            node.Literal = value.Literal;
            node.Code = NodeCode::Literal;
            if (FitsDouble(value.Literal)) {
                node.Code = NodeCode::SmallLiteral;
                node.Small = true;
                node.Literal64 = static_cast<double>(value.Literal);
            }
        } else {
            node.Code = NodeCode::Variable;
        }
        value.Where = Place::Node;
        value.Node = AddNode(node);
        return value.Node;
    }

    bool Push(const Value& value) {
        if (depth_ >= MaxDecodedDepth) return false;
        values_[static_cast<std::size_t>(depth_++)] = value;
        return true;
    }

    bool PushNode(ValueKind kind, const ExprNode& node) {
        if (depth_ >= MaxDecodedDepth) return false;
        Value value;
        value.Kind = kind;
        value.Node = AddNode(node);
        ++operations_;
        return Push(value);
    }

    // A value from the Gl stack below the values read: a leaf in the decoded side's place for it, which
    // the run fills before it computes.
    bool Stack(ValueKind kind) {
        if (depth_ >= MaxDecodedDepth || stacked_ >= MaxStackedValues) return false;
        for (int k = depth_; k > 0; --k)
            values_[static_cast<std::size_t>(k)] = values_[static_cast<std::size_t>(k - 1)];
        Value value;
        value.Kind = kind;
        value.Where = Place::Variable;
        value.Variable = &DecodedStacked[static_cast<std::size_t>(stacked_)];
        values_[0] = value;
        if (kind == ValueKind::Boolean)
            stackedBooleans_ = static_cast<std::uint8_t>(stackedBooleans_ | (1u << stacked_));
        ++stacked_;
        ++depth_;
        return true;
    }

    bool TopIs(ValueKind kind, int count = 1) {
        while (onStack_ && depth_ < count)
            if (!Stack(kind)) return false;
        if (depth_ < count) return false;
        for (int k = 1; k <= count; ++k)
            if (values_[static_cast<std::size_t>(depth_ - k)].Kind != kind) return false;
        return true;
    }

    Value& Top(int k = 0) { return values_[static_cast<std::size_t>(depth_ - 1 - k)]; }

    // A node on the value on top, which it replaces (its kind becomes `result`).
    bool Unary(std::uint8_t code, ValueKind operand, ValueKind result, const NumVarType* array = nullptr) {
        if (!TopIs(operand)) return false;
        ExprNode node;
        node.Code = code;
        node.Operand.Number = array;
        if (code == NodeCode::Element && Top().Where != Place::Node) {
            node.Code = NodeCode::ElementOfLeaf;
            node.Value2 = Top().Variable;
        } else {
            node.Left = Materialize(Top());
        }
        Value value;
        value.Kind = result;
        value.Node = AddNode(node);
        Top() = value;
        ++operations_;
        return true;
    }

    // A node on the two values on top: the left one under the right one. Leaves go into the node.
    bool Binary(std::uint8_t code, ValueKind operands, ValueKind result) {
        using namespace NodeCode;
        if (!TopIs(operands, 2)) return false;
        Value& left = Top(1);
        Value& right = Top(0);
        ExprNode node;
        std::uint8_t form = NodeNode;
        if (left.Where == Place::Literal && right.Where == Place::Literal) {
            // Two literals stay two: folding them would move an error of the operator to the decoder.
            Materialize(left);
        }
        // a left leaf in Operand.Value, a right one in Value2
        if (left.Where != Place::Node) node.Operand.Value = left.Variable;
        if (right.Where != Place::Node) node.Value2 = right.Variable;
        if (left.Where == Place::Node) {
            node.Left = left.Node;
            if (right.Where == Place::Node) {
                node.Right = right.Node;
            } else if (right.Where == Place::Literal) {
                form = NodeLiteral;
                node.Literal = right.Literal;
            } else {
                form = NodeVariable;
            }
        } else if (left.Where == Place::Literal) {
            node.Literal = left.Literal;
            if (right.Where == Place::Node) {
                form = LiteralNode;
                node.Right = right.Node;
            } else {
                form = LiteralVariable;
            }
        } else {
            if (right.Where == Place::Node) {
                form = VariableNode;
                node.Right = right.Node;
            } else if (right.Where == Place::Literal) {
                form = VariableLiteral;
                node.Literal = right.Literal;
            } else {
                form = VariableVariable;
            }
        }
        node.Code = NodeCode::Binary(code, form);
        if ((left.Where == Place::Literal || right.Where == Place::Literal) && FitsDouble(node.Literal)) {
            node.Small = true;
            node.Literal64 = static_cast<double>(node.Literal);
        }
        Value value;
        value.Kind = result;
        value.Node = AddNode(node);
        --depth_;
        Top() = value;
        ++operations_;
        return true;
    }

    // A node on the two values on top, both of `kind` as its own value is: AND and OR of two conditions, a
    // function of two numbers.
    bool Pair(std::uint8_t code, ValueKind kind, const NumVarType* array = nullptr) {
        if (!TopIs(kind, 2)) return false;
        ExprNode node;
        node.Code = code;
        node.Operand.Number = array;
        node.Left = Materialize(Top(1));
        node.Right = Materialize(Top(0));
        Value value;
        value.Kind = kind;
        value.Node = AddNode(node);
        --depth_;
        Top() = value;
        ++operations_;
        return true;
    }

    bool Operator(int slot) {
        using namespace NodeCode;
        constexpr ValueKind N = ValueKind::Number;
        constexpr ValueKind B = ValueKind::Boolean;
        if (const std::uint8_t operation = Numeric::OperationOfSlot(slot); operation != NumberOp::Count)
            return Binary(operation, N, Numeric::IsComparison(operation) ? B : N);
        switch (slot) {
        case Op::ChgSgn: return Unary(Negate, N, N);
        case Op::And: return Pair(And, B);
        case Op::Or: return Pair(Or, B);
        case Op::Not: return Unary(Not, B, B);
        default: return false;
        }
    }

    bool Function(int code) {
        constexpr ValueKind N = ValueKind::Number;
        switch (code) {
        case Fn::SGN: return Unary(NodeCode::Sgn, N, N);
        case Fn::ABS: return Unary(NodeCode::Abs, N, N);
        case Fn::INT: return Unary(NodeCode::Int, N, N);
        case Fn::FIX: return Unary(NodeCode::Fix, N, N);
        case InFn::Direct: return Unary(NodeCode::Negate, N, N);
        default: break;
        }
        // any other function that only computes: its general executor called by the node
        switch (CalledFunctionArity(code)) {
        case 1:
            if (!Unary(NodeCode::Call1, N, N)) return false;
            break;
        case 2:
            if (!Pair(NodeCode::Call2, N)) return false;
            break;
        default: return false;
        }
        DecodedNodes.back().Function = code;
        return true;
    }

    // A numeric name: a plain variable is a leaf; a one-dimensional array takes the subscript on top, a
    // two-dimensional one the two subscripts on top.
    // DEF functions, labels and other arrays are left to the general path.
    bool NumericName(int index) {
        if (index < 0 || static_cast<std::size_t>(index) >= Tb.NumVarTable.size()) return false;
        const NumVarType& record = Tb.NumVarTable[static_cast<std::size_t>(index)];
        if (record.Kind == NumVarKind::Variable) {
            Value value;
            value.Where = Place::Variable;
            value.Variable = &record.Value;
            return Push(value);
        }
        if (record.Kind == NumVarKind::Array && record.DimCount == 1)
            return Unary(NodeCode::Element, ValueKind::Number, ValueKind::Number, &record);
        if (record.Kind == NumVarKind::Array && record.DimCount == 2)
            return Pair(NodeCode::Element2, ValueKind::Number, &record);
        return false;
    }

    bool PushLiteral(Extended literal) {
        if (depth_ >= MaxDecodedDepth) return false;
        Literals.push_back(literal);
        Value value;
        value.Where = Place::Literal;
        value.Literal = literal;
        value.Variable = &Literals.back();
        return Push(value);
    }

    bool Take(const CodeItemType& item) {
        const int value = item.SecondCode;
        switch (item.FirstCode) {
        case CodeKind::NumLiteral: {
            const long at = static_cast<long>(value) + 1;
            if (at < 0 || static_cast<std::size_t>(at) >= Tb.NumConTable.size()) return false;
            return PushLiteral(Tb.NumConTable[static_cast<std::size_t>(at)]);
        }
        case CodeKind::SysNumConst:
            if (value < 1 || value > FixedConstSlots) return false;
            return PushLiteral(NumConstTable[static_cast<std::size_t>(value)]);
        case CodeKind::NumVar: return NumericName(value);
        case CodeKind::Operator: return Operator(value);
        case CodeKind::Function: return Function(value);
        default: return false;
        }
    }

    int limit_;
    bool onStack_ = false;
    int depth_ = 0;
    int stacked_ = 0;
    int stackEnd_ = 0;
    std::uint8_t stackedBooleans_ = 0;
    int operations_ = 0;
    std::array<Value, MaxDecodedDepth> values_{};
};

// A node of its own for the left leaf of a binary node (its literal or its variable).
std::int32_t LeafNode(const ExprNode& of, std::uint8_t code) {
    ExprNode node;
    node.Operand.Value = of.Operand.Value;
    node.Literal = of.Literal;
    node.Code = code;
    if (code == NodeCode::Literal && FitsDouble(of.Literal)) {
        node.Code = NodeCode::SmallLiteral;
        node.Small = true;
        node.Literal64 = static_cast<double>(of.Literal);
    }
    node.Run = NodeFunctionOf(node);
    DecodedNodes.push_back(node);
    return static_cast<std::int32_t>(DecodedNodes.size()) - 1;
}

// A node of its own for the right leaf of a binary node.
std::int32_t RightLeafNode(const ExprNode& of, bool literal) {
    ExprNode node;
    node.Operand.Value = of.Value2;
    node.Code = NodeCode::Variable;
    if (literal) {
        node.Literal = of.Literal;
        node.Code = FitsDouble(of.Literal) ? NodeCode::SmallLiteral : NodeCode::Literal;
        node.Small = node.Code == NodeCode::SmallLiteral;
        node.Literal64 = static_cast<double>(of.Literal);
    }
    node.Run = NodeFunctionOf(node);
    DecodedNodes.push_back(node);
    return static_cast<std::int32_t>(DecodedNodes.size()) - 1;
}

// The outcomes of comparing two ordered numbers for which comparison `op` holds.
constexpr std::uint8_t OutcomesOf(std::uint8_t op) {
    switch (op) {
    case NumberOp::Equal: return CompareOutcome::Equal;
    case NumberOp::NotEqual: return CompareOutcome::Less | CompareOutcome::Greater;
    case NumberOp::Less: return CompareOutcome::Less;
    case NumberOp::Greater: return CompareOutcome::Greater;
    case NumberOp::LessEqual: return CompareOutcome::Less | CompareOutcome::Equal;
    default: return CompareOutcome::Greater | CompareOutcome::Equal; // GreaterEqual
    }
}

// When the branch's condition is a comparison of two numbers, the comparison and its operands' nodes.
void DecodeComparison(DecodedItem& entry) {
    using namespace NodeCode;
    const ExprNode root = DecodedNodes[static_cast<std::size_t>(entry.Root)];
    if (root.Code < BinaryBase) return;
    const auto op = static_cast<std::uint8_t>((root.Code - BinaryBase) / FormCount);
    const auto form = static_cast<std::uint8_t>((root.Code - BinaryBase) % FormCount);
    if (!Numeric::IsComparison(op)) return;
    switch (form) {
    case NodeNode: entry.Left = root.Left; break;
    case NodeLiteral:
    case NodeVariable: entry.Left = root.Left; break;
    case LiteralNode:
    case LiteralVariable: entry.Left = LeafNode(root, Literal); break;
    default: entry.Left = LeafNode(root, Variable); break; // VariableNode, VariableLiteral, VariableVariable
    }
    switch (form) {
    case NodeNode:
    case LiteralNode:
    case VariableNode: entry.Right = root.Right; break;
    case NodeLiteral:
    case VariableLiteral: entry.Right = RightLeafNode(root, true); break;
    default: entry.Right = RightLeafNode(root, false); break; // a variable on the right
    }
    entry.Operation = op;
    if (DecodedNodes[static_cast<std::size_t>(entry.Left)].Code != Variable) return;
    const std::uint8_t right = DecodedNodes[static_cast<std::size_t>(entry.Right)].Code;
    if (right == SmallLiteral)
        entry.Outcomes = OutcomesOf(op);
    else if (right == Variable) // such as a DO WHILE loop's I < N
        entry.Outcomes = OutcomesOf(op) | CompareOutcome::RightVariable;
}

// LET v = v op x for + - *: the update of the variable's own value.
void DecodeUpdate(DecodedItem& entry) {
    using namespace NodeCode;
    const ExprNode root = DecodedNodes[static_cast<std::size_t>(entry.Root)];
    if (root.Code < BinaryBase || root.Operand.Value != &entry.Target.Number->Value) return;
    const auto op = static_cast<std::uint8_t>((root.Code - BinaryBase) / FormCount);
    const auto form = static_cast<std::uint8_t>((root.Code - BinaryBase) % FormCount);
    if (op != Add && op != Subtract && op != Multiply) return;
    switch (form) {
    case VariableNode: entry.Right = root.Right; break;
    case VariableLiteral: entry.Right = RightLeafNode(root, true); break;
    case VariableVariable: entry.Right = RightLeafNode(root, false); break;
    default: return;
    }
    entry.Op = DecodedOp::LetUpdate;
    entry.Operation = op;
    // The update reads its right operand alone: the expression's root, made last (before the right
    // leaf), is dropped so that it takes no memory, and Root names the operand.
    const auto last = static_cast<std::int32_t>(DecodedNodes.size()) - 1;
    if (form != VariableNode && entry.Root == last - 1 && entry.Right == last) {
        DecodedNodes[static_cast<std::size_t>(entry.Root)] = DecodedNodes.back();
        DecodedNodes.pop_back();
        entry.Right = entry.Root;
    } else if (form == VariableNode && entry.Root == last) {
        DecodedNodes.pop_back();
    }
    entry.Root = entry.Right;
}

// When `node` is `x op v` for the variable v, the node of x (-1 otherwise).
std::int32_t LeftOperandBeside(std::int32_t at, std::uint8_t op, const Extended* v) {
    using namespace NodeCode;
    const ExprNode node = DecodedNodes[static_cast<std::size_t>(at)];
    if (node.Value2 != v) return -1;
    if (node.Code == Binary(op, NodeVariable)) return node.Left;
    if (node.Code == Binary(op, LiteralVariable)) return LeafNode(node, Literal);
    if (node.Code == Binary(op, VariableVariable)) return LeafNode(node, Variable);
    return -1;
}

DecodedOp DecodeItemAt(int at, int limit);

bool IsLeafCode(std::uint8_t code) {
    return code == NodeCode::Literal || code == NodeCode::Variable || code == NodeCode::SmallLiteral;
}

// The leaves of a FOR loop's step, limit and test factor into the entry, when they all are leaves (or
// the limit a variable with a small literal added or subtracted); the loop then reads no node. With
// STEP the sign must be of the step's own leaf, so that the step read once serves both.
void DecodeLoopLeaves(DecodedItem& entry, std::int32_t step, std::int32_t limit, std::int32_t sign) {
    using namespace NodeCode;
    const ExprNode stepNode = DecodedNodes[static_cast<std::size_t>(step)];
    const ExprNode limitNode = DecodedNodes[static_cast<std::size_t>(limit)];
    if (!IsLeafCode(stepNode.Code)) return;
    std::uint8_t form = LoopForm::Leaves;
    if (stepNode.Code == SmallLiteral) {
        form |= LoopForm::SmallStep;
        entry.Loop->Step64 = stepNode.Literal64;
    } else {
        entry.Loop->StepValue = stepNode.Operand.Value;
    }
    if (limitNode.Code == SmallLiteral) {
        form |= LoopForm::SmallLimit;
        entry.Loop->LimitAdd = limitNode.Literal64;
    } else if (limitNode.Code == Literal || limitNode.Code == Variable) {
        entry.Loop->LimitValue = limitNode.Operand.Value;
    } else if (limitNode.Small && (limitNode.Code == Binary(Add, VariableLiteral) ||
                                   limitNode.Code == Binary(Subtract, VariableLiteral))) {
        // x - c is x + (-c) exactly, the rounding and the signs of zero included
        form |= LoopForm::LimitSum;
        entry.Loop->LimitValue = limitNode.Operand.Value;
        entry.Loop->LimitAdd =
            limitNode.Code == Binary(Add, VariableLiteral) ? limitNode.Literal64 : -limitNode.Literal64;
    } else {
        return;
    }
    if (sign >= 0) {
        const ExprNode factor = DecodedNodes[static_cast<std::size_t>(sign)];
        const ExprNode sgn = DecodedNodes[static_cast<std::size_t>(factor.Right)];
        const ExprNode argument = DecodedNodes[static_cast<std::size_t>(sgn.Left)];
        const bool sameLeaf = argument.Code == stepNode.Code &&
                              (argument.Code == Variable ? argument.Operand.Value == stepNode.Operand.Value
                                                         : argument.Literal == stepNode.Literal);
        if (!sameLeaf || !factor.Small) return;
        form |= LoopForm::WithStep;
        entry.Loop->Factor64 = factor.Literal64;
    }
    entry.LoopForm = form;
}

// A LET that is the NEXT of a FOR loop: v = step + v, on to the loop's test, limit >= v or (with STEP)
// (limit - v) * (0.5 + SGN(step)) >= 0, as the compiler lays them out. Both become one ForNext entry.
void DecodeForNext(DecodedItem& entry, int limit) {
    using namespace NodeCode;
    const Extended* v = &entry.Target.Number->Value;
    const std::int32_t step = LeftOperandBeside(entry.Root, Add, v);
    if (DecodingLoopTest || step < 0 || entry.Next < 1 || entry.Next > limit) return;
    const int testAt = entry.Next;
    DecodingLoopTest = true;
    const DecodedOp testOp = DecodeItemAt(testAt, limit);
    DecodingLoopTest = false;
    if (testOp != DecodedOp::Branch) return;
    const DecodedItem* decodedTest = DecodedEntry(testAt);
    if (!decodedTest) return;
    const DecodedItem& test = *decodedTest;
    const ExprNode root = DecodedNodes[static_cast<std::size_t>(test.Root)];
    std::int32_t limitNode = LeftOperandBeside(test.Root, GreaterEqual, v);
    std::int32_t sign = -1;
    if (limitNode < 0) {
        if (root.Code != Binary(GreaterEqual, NodeLiteral) || root.Literal != 0) return;
        const ExprNode product = DecodedNodes[static_cast<std::size_t>(root.Left)];
        if (product.Code != Binary(Multiply, NodeNode)) return;
        const ExprNode factor = DecodedNodes[static_cast<std::size_t>(product.Right)];
        if (factor.Code != Binary(Add, LiteralNode) ||
            DecodedNodes[static_cast<std::size_t>(factor.Right)].Code != Sgn)
            return;
        limitNode = LeftOperandBeside(product.Left, Subtract, v);
        if (limitNode < 0) return;
        sign = product.Right;
    }
    entry.Op = DecodedOp::ForNext;
    entry.Loop = &Loops.emplace_back();
    DecodeLoopLeaves(entry, step, limitNode, sign);
    entry.Loop->Step = step;
    entry.Loop->Limit = limitNode;
    entry.Loop->Sign = sign;
    entry.Loop->Test = testAt;
    entry.Next = test.Next;
    entry.Alternate = test.Alternate;
}

// The entry's expression: its one value's node, or the nodes of its values listed in DecodedRoots.
void StoreRoots(DecodedItem& entry, ExpressionReader& reader) {
    const int depth = reader.Depth();
    entry.ValueCount = static_cast<std::uint8_t>(depth);
    if (depth == 1) {
        entry.Root = reader.RootOf(0);
        return;
    }
    entry.Root = static_cast<std::int32_t>(DecodedRoots.size());
    for (int k = 0; k < depth; ++k)
        DecodedRoots.push_back(reader.RootOf(k));
}

// S$ = S$ + CHR$(expression) (or &): the string variable, a numeric expression, CHR$, the join, the
// LET to the same variable.
bool DecodeAppendChr(DecodedItem& entry, int start, int limit) {
    const int target = Item(start).SecondCode;
    if (target < 0 || static_cast<std::size_t>(target) >= Tb.StrVarTable.size()) return false;
    ExpressionReader reader(limit);
    int at = StepOverBrackets(reader.Read(start + 1), limit);
    if (reader.Depth() != 1 || reader.KindAt(0) != ValueKind::Number || at > limit) return false;
    const CodeItemType& chr = Item(at);
    if (chr.FirstCode != CodeKind::Function || (chr.SecondCode != Fn::CHRStr && chr.SecondCode != Fn::CHR))
        return false;
    at = StepOverBrackets(at + 1, limit);
    const CodeItemType& join = Item(at);
    if (at > limit || join.FirstCode != CodeKind::Operator ||
        (join.SecondCode != Op::Plus && join.SecondCode != Op::Ampersand))
        return false;
    at = StepOverBrackets(at + 1, limit);
    if (!IsStatementAt(at, limit, St::LET) || at + 1 > limit) return false;
    const CodeItemType& assigned = Item(at + 1);
    if (assigned.FirstCode != CodeKind::StrVar || assigned.SecondCode != target) return false;
    StoreRoots(entry, reader);
    entry.Op = DecodedOp::AppendChr;
    entry.Target.String = &Tb.StrVarTable[static_cast<std::size_t>(target)];
    entry.Next = Continuation(at + 2, limit);
    return true;
}

// The string variable a LET after the item at `at` assigns to, and in `after` the index after it; null
// when no such LET follows.
StrVarType* LetToStringAfter(int at, int limit, int& after) {
    const int let = StepOverBrackets(at + 1, limit);
    if (!IsStatementAt(let, limit, St::LET) || let + 1 > limit) return nullptr;
    const CodeItemType& assigned = Item(let + 1);
    if (assigned.FirstCode != CodeKind::StrVar || assigned.SecondCode < 0 ||
        static_cast<std::size_t>(assigned.SecondCode) >= Tb.StrVarTable.size())
        return nullptr;
    after = let + 2;
    return &Tb.StrVarTable[static_cast<std::size_t>(assigned.SecondCode)];
}

// S$ = S$ + MID$(T$, start, count), LEFT$(T$, count) or RIGHT$(T$, count), T$ another string variable
// or a text literal: the variable, the source, the arguments' numeric expressions, the function, the
// join and the LET to the same variable. (With S$ itself the source, the piece would be read from the
// text the append may move.)
bool DecodeAppendPiece(DecodedItem& entry, int start, int limit) {
    const int target = Item(start).SecondCode;
    if (target < 0 || static_cast<std::size_t>(target) >= Tb.StrVarTable.size()) return false;
    int at = StepOverBrackets(start + 1, limit);
    if (at > limit) return false;
    const CodeItemType& source = Item(at);
    if (source.SecondCode < 0 || source.SecondCode == target ||
        !(source.FirstCode == CodeKind::StrVar || source.FirstCode == CodeKind::StrLiteral))
        return false;
    const auto index = static_cast<std::size_t>(source.SecondCode);
    if (index >= (source.FirstCode == CodeKind::StrVar ? Tb.StrVarTable.size() : Tb.StrConTable.size()))
        return false;
    ExpressionReader reader(limit);
    at = StepOverBrackets(reader.Read(at + 1), limit);
    if (at > limit || Item(at).FirstCode != CodeKind::Function) return false;
    std::uint8_t piece = PieceOf::Mid;
    switch (Item(at).SecondCode) {
    case Fn::MIDStr: piece = PieceOf::Mid; break;
    case Fn::LEFTStr: piece = PieceOf::Left; break;
    case Fn::RIGHTStr: piece = PieceOf::Right; break;
    default: return false;
    }
    const int arguments = piece == PieceOf::Mid ? 2 : 1;
    if (reader.Depth() != arguments) return false;
    for (int k = 0; k < arguments; ++k)
        if (reader.KindAt(k) != ValueKind::Number) return false;
    at = StepOverBrackets(at + 1, limit);
    if (at > limit || Item(at).FirstCode != CodeKind::Operator ||
        (Item(at).SecondCode != Op::Plus && Item(at).SecondCode != Op::Ampersand))
        return false;
    int after = 0;
    StrVarType* assigned = LetToStringAfter(at, limit, after);
    if (assigned != &Tb.StrVarTable[static_cast<std::size_t>(target)]) return false;
    StoreRoots(entry, reader);
    if (source.FirstCode == CodeKind::StrVar) {
        ExprNode node;
        node.Operand.String = &Tb.StrVarTable[index];
        DecodedNodes.push_back(node);
        entry.Left = static_cast<std::int32_t>(DecodedNodes.size()) - 1;
    } else {
        entry.Left = -1;
        entry.Right = source.SecondCode;
    }
    entry.Op = DecodedOp::AppendPiece;
    entry.Operation = piece;
    entry.Target.String = assigned;
    entry.Next = Continuation(after, limit);
    return true;
}

// IF MID$(S$, start, count) compared with a text literal: the string variable, two numeric
// expressions, MID$, the literal, the comparison, IF and its jump target.
bool DecodeMidBranch(DecodedItem& entry, int start, int limit) {
    const int target = Item(start).SecondCode;
    if (target < 0 || static_cast<std::size_t>(target) >= Tb.StrVarTable.size()) return false;
    ExpressionReader reader(limit);
    int at = StepOverBrackets(reader.Read(start + 1), limit);
    if (reader.Depth() != 2 || reader.KindAt(0) != ValueKind::Number ||
        reader.KindAt(1) != ValueKind::Number || at > limit)
        return false;
    const CodeItemType& mid = Item(at);
    if (mid.FirstCode != CodeKind::Function || mid.SecondCode != Fn::MIDStr) return false;
    at = StepOverBrackets(at + 1, limit);
    const CodeItemType& literal = Item(at);
    if (at > limit || literal.FirstCode != CodeKind::StrLiteral || literal.SecondCode < 0 ||
        static_cast<std::size_t>(literal.SecondCode) >= Tb.StrConTable.size())
        return false;
    at = StepOverBrackets(at + 1, limit);
    const CodeItemType& comparison = Item(at);
    if (at > limit || comparison.FirstCode != CodeKind::Operator) return false;
    const std::uint8_t operation = Numeric::OperationOfSlot(comparison.SecondCode);
    if (operation == NumberOp::Count || !Numeric::IsComparison(operation)) return false;
    at = StepOverBrackets(at + 1, limit);
    if (!IsStatementAt(at, limit, St::IF) || at + 1 > limit) return false;
    const CodeItemType& jump = Item(at + 1);
    if (jump.FirstCode != CodeKind::JumpTarget || !IsJumpIndex(jump.SecondCode)) return false;
    StoreRoots(entry, reader);
    entry.Op = DecodedOp::MidBranch;
    entry.Operation = operation;
    entry.Target.String = &Tb.StrVarTable[static_cast<std::size_t>(target)];
    entry.Value = literal.SecondCode;
    entry.Next = Continuation(at + 2, limit);
    entry.Alternate = Continuation(jump.SecondCode, limit);
    return true;
}

// The channel a number literal names (1 to 8), or 0 when it names none or is not a literal.
int ChannelLiteral(const CodeItemType& item) {
    const long at = static_cast<long>(item.SecondCode) + 1;
    if (item.FirstCode != CodeKind::NumLiteral || at < 0 ||
        static_cast<std::size_t>(at) >= Tb.NumConTable.size())
        return 0;
    const Extended n = Tb.NumConTable[static_cast<std::size_t>(at)];
    if (!(n >= 1 && n <= FileChannelCount) || n != static_cast<Extended>(static_cast<int>(n))) return 0;
    return static_cast<int>(n);
}

// The items a PRINT# value may be made of before its channel; a statement or a separator ends them.
constexpr int MaxPrintedItems = 64;

// PRINT #n, value for one value (a numeric expression, a string variable or a text literal), the
// channel a literal: the value's items, the channel and PRINT# (or the PRINT# that ends the line).
bool DecodePrintFile(DecodedItem& entry, int start, int limit) {
    int print = start;
    while (print <= limit && print - start < MaxPrintedItems &&
           Item(print).FirstCode != CodeKind::Statement && Item(print).FirstCode != CodeKind::PrintFileSep)
        ++print;
    if (print > limit || print - start < 2 || Item(print).FirstCode != CodeKind::Statement ||
        (Item(print).SecondCode != St::PRINTFile && Item(print).SecondCode != InSt::PrintFileLineEnd))
        return false;
    const int n = ChannelLiteral(Item(print - 1));
    if (n == 0) return false;
    const CodeItemType& first = Item(start);
    if (first.FirstCode == CodeKind::StrLiteral || first.FirstCode == CodeKind::StrVar) {
        if (StepOverBrackets(start + 1, limit) != print - 1 || first.SecondCode < 0) return false;
        const auto index = static_cast<std::size_t>(first.SecondCode);
        if (first.FirstCode == CodeKind::StrLiteral) {
            if (index >= Tb.StrConTable.size()) return false;
            entry.Operation = PrintedValue::Literal;
            entry.Root = first.SecondCode;
        } else {
            if (index >= Tb.StrVarTable.size()) return false;
            entry.Operation = PrintedValue::Variable;
            entry.Target.String = &Tb.StrVarTable[index];
        }
    } else {
        ExpressionReader reader(print - 2);
        if (reader.Read(start) != print - 1 || reader.Depth() != 1 || reader.KindAt(0) != ValueKind::Number)
            return false;
        StoreRoots(entry, reader);
        entry.Operation = PrintedValue::Number;
    }
    entry.Op = Item(print).SecondCode == St::PRINTFile ? DecodedOp::PrintFile : DecodedOp::PrintFileLine;
    entry.Value = n;
    entry.Left = print + 1;
    entry.Next = Continuation(print + 1, limit);
    return true;
}

// IF EOF(n) or IF NOT EOF(n) for a channel given as a literal: the literal, EOF, NOT, IF and its jump
// target. A literal that names no channel is left to the general path, which raises its error.
bool DecodeEofBranch(DecodedItem& entry, int start, int limit) {
    const int n = ChannelLiteral(Item(start));
    if (n == 0) return false;
    int next = StepOverBrackets(start + 1, limit);
    if (next > limit || Item(next).FirstCode != CodeKind::Function || Item(next).SecondCode != Fn::Eof)
        return false;
    next = StepOverBrackets(next + 1, limit);
    std::uint8_t operation = NumberOp::Equal; // the branch holds when the end is reached
    if (next <= limit && Item(next).FirstCode == CodeKind::Operator && Item(next).SecondCode == Op::Not) {
        operation = NumberOp::NotEqual;
        next = StepOverBrackets(next + 1, limit);
    }
    if (!IsStatementAt(next, limit, St::IF) || next + 1 > limit) return false;
    const CodeItemType& jump = Item(next + 1);
    if (jump.FirstCode != CodeKind::JumpTarget || !IsJumpIndex(jump.SecondCode)) return false;
    entry.Op = DecodedOp::EofBranch;
    entry.Operation = operation;
    entry.Value = n;
    entry.Next = Continuation(next + 2, limit);
    entry.Alternate = Continuation(jump.SecondCode, limit);
    return true;
}

// LET S$ = T$ of a string variable or a PUBLIC text (as LINE INPUT# hands its line over) to a string
// variable: the source, LET and the variable.
bool DecodeLetText(DecodedItem& entry, int start, int limit) {
    const CodeItemType& source = Item(start);
    const int index = source.SecondCode;
    const StrVarType* record = nullptr;
    if (source.FirstCode == CodeKind::StrVar && index >= 0 &&
        static_cast<std::size_t>(index) < Tb.StrVarTable.size())
        record = &Tb.StrVarTable[static_cast<std::size_t>(index)];
    else if (source.FirstCode == CodeKind::PublicStr && index >= 1 && index <= PublicSlotCount)
        record = &Tb.PublicStrTable[static_cast<std::size_t>(index)];
    if (record == nullptr) return false;
    int after = 0;
    StrVarType* target = LetToStringAfter(start, limit, after);
    if (target == nullptr) return false;
    ExprNode node;
    node.Operand.String = record;
    DecodedNodes.push_back(node);
    entry.Root = static_cast<std::int32_t>(DecodedNodes.size()) - 1;
    entry.Op = DecodedOp::LetText;
    entry.Target.String = target;
    entry.Next = Continuation(after, limit);
    return true;
}

// S$ = S$ + x (or &) at its join, x worked out by the items before it: the join, the LET to a scalar
// string variable. Whether the join's left operand is that variable's text is known only when it runs.
bool DecodeJoinOnStack(DecodedItem& entry, int at, int start, int limit) {
    const CodeItemType& join = Item(start);
    if (join.FirstCode != CodeKind::Operator ||
        (join.SecondCode != Op::Plus && join.SecondCode != Op::Ampersand))
        return false;
    int after = 0;
    StrVarType* target = LetToStringAfter(start, limit, after);
    if (target == nullptr) return false;
    entry.Op = DecodedOp::OnStack;
    entry.Inner = StackedStatement::Join;
    entry.Stacked = 2;
    entry.Target.String = target;
    entry.Next = start;
    entry.Value = at;
    entry.Continue = Continuation(after, limit);
    return true;
}

// Whether an entry on values of the Gl stack may begin at `item`: an operator or function the nodes
// compute, an IF or a LET, where the items before left their values (OnStack).
bool BeginsOnStack(const CodeItemType& item) {
    switch (item.FirstCode) {
    case CodeKind::Operator:
        return Numeric::OperationOfSlot(item.SecondCode) != NumberOp::Count ||
               item.SecondCode == Op::ChgSgn || item.SecondCode == Op::And || item.SecondCode == Op::Or ||
               item.SecondCode == Op::Not;
    case CodeKind::Function:
        switch (item.SecondCode) {
        case Fn::SGN:
        case Fn::ABS:
        case Fn::INT:
        case Fn::FIX:
        case InFn::Direct: return true;
        default: return CalledFunctionArity(item.SecondCode) > 0;
        }
    case CodeKind::Statement: return item.SecondCode == St::IF || item.SecondCode == St::LET;
    default: return false;
    }
}

// LET of the number the items before it left on the Gl stack to a numeric scalar, or to an element of a
// one- or two-dimensional numeric array with its subscripts above the value (the first on top).
bool DecodeLetOnStack(DecodedItem& entry, int at, int start, int limit) {
    if (start + 1 > limit || Item(start + 1).FirstCode != CodeKind::NumVar) return false;
    const int target = Item(start + 1).SecondCode;
    if (target < 0 || static_cast<std::size_t>(target) >= Tb.NumVarTable.size()) return false;
    NumVarType& record = Tb.NumVarTable[static_cast<std::size_t>(target)];
    if (record.DimCount > 2) return false;
    entry.Op = DecodedOp::OnStack;
    entry.Inner = record.DimCount == 0 ? StackedStatement::Let : StackedStatement::LetElement;
    entry.Stacked = static_cast<std::uint8_t>(record.DimCount + 1);
    entry.Target.Number = &record;
    entry.Next = start;
    entry.Value = at;
    entry.Continue = Continuation(start + 2, limit);
    return true;
}

// The rest of a statement whose first values the items before it left on the Gl stack: the operators
// that take them, the expression that goes on from there and what takes its values (a LET to a numeric
// scalar, an IF, or the items after it). It runs as an executor (engine/decoded/run.cpp) that does the
// general executor's work on its item when the values on the stack are not what it was decoded for.
bool DecodeOnStack(DecodedItem& entry, int at, int start, int limit) {
    const CodeItemType& first = Item(start);
    if (!BeginsOnStack(first)) return false;
    if (first.FirstCode == CodeKind::Statement && first.SecondCode == St::LET)
        return DecodeLetOnStack(entry, at, start, limit);
    ExpressionReader reader(limit, true);
    int end = start;
    if (first.FirstCode == CodeKind::Statement)
        reader.TakeStacked(ValueKind::Boolean);
    else
        end = reader.Read(start);
    if (reader.Stacked() == 0) return false;
    const int after = StepOverBrackets(end, limit);
    if (first.FirstCode != CodeKind::Statement && !IsStatementAt(after, limit, St::LET) &&
        !IsStatementAt(after, limit, St::IF) && reader.StackEnd() < end) {
        // values for the items after them: only as far as the last operation on the stack's values, so
        // that the values after it stay for the entries that begin there (a call's arguments)
        reader = ExpressionReader(reader.StackEnd() - 1, true);
        end = reader.Read(start);
    }
    const int depth = reader.Depth();
    StackedStatement inner = StackedStatement::Values;
    int next = 0;
    int alternate = 0;
    if (depth == 1 && reader.KindAt(0) == ValueKind::Number && IsStatementAt(after, limit, St::LET) &&
        after + 1 <= limit && Item(after + 1).FirstCode == CodeKind::NumVar) {
        const int target = Item(after + 1).SecondCode;
        if (target < 0 || static_cast<std::size_t>(target) >= Tb.NumVarTable.size()) return false;
        inner = StackedStatement::Let;
        entry.Target.Number = &Tb.NumVarTable[static_cast<std::size_t>(target)];
        next = Continuation(after + 2, limit);
    } else if (depth == 1 && reader.KindAt(0) == ValueKind::Boolean && IsStatementAt(after, limit, St::IF) &&
               after + 1 <= limit) {
        const CodeItemType& target = Item(after + 1);
        if (target.FirstCode != CodeKind::JumpTarget || !IsJumpIndex(target.SecondCode)) return false;
        inner = StackedStatement::Branch;
        next = Continuation(after + 2, limit);
        alternate = Continuation(target.SecondCode, limit);
    } else if (first.FirstCode != CodeKind::Statement && depth <= MaxPushedValues &&
               reader.Operations() > 1) {
        // (one operation alone costs its general executor less than a pass through the decoded run)
        inner = StackedStatement::Values;
        for (int k = 0; k < depth; ++k)
            if (reader.KindAt(k) == ValueKind::Boolean)
                entry.BooleanMask = static_cast<std::uint8_t>(entry.BooleanMask | (1u << k));
        next = Continuation(end, limit);
    } else {
        return false;
    }
    StoreRoots(entry, reader);
    entry.Op = DecodedOp::OnStack;
    entry.Inner = inner;
    entry.Stacked = static_cast<std::uint8_t>(reader.Stacked());
    entry.StackedBooleans = reader.StackedBooleans();
    entry.Next = start; // the executor stands on the first item
    entry.Value = at;   // and finds its entry by the index the run found it at
    entry.Continue = next;
    entry.Alternate = alternate;
    return true;
}

// A numeric expression and what takes its values: a LET, an IF, or the items after it.
void DecodeExpression(DecodedItem& entry, int start, int limit) {
    ExpressionReader reader(limit);
    const int end = reader.Read(start);
    const int depth = reader.Depth();
    if (depth == 0) return;
    const int after = StepOverBrackets(end, limit);
    const auto allNumbers = [&reader, depth] {
        for (int k = 0; k < depth; ++k)
            if (reader.KindAt(k) != ValueKind::Number) return false;
        return true;
    };
    const int target = Item(after + 1).SecondCode;
    if (IsStatementAt(after, limit, St::LET) && after + 1 <= limit &&
        Item(after + 1).FirstCode == CodeKind::NumVar && target >= 0 &&
        static_cast<std::size_t>(target) < Tb.NumVarTable.size() && (depth == 1 || depth == 2) &&
        allNumbers()) {
        // LET X = value (one value) or LET A(subscript) = value (the value, then the subscript)
        StoreRoots(entry, reader);
        entry.Op = depth == 1 ? DecodedOp::LetNumber : DecodedOp::LetElement;
        if (entry.Op == DecodedOp::LetElement) {
            const std::uint8_t value =
                DecodedNodes[static_cast<std::size_t>(DecodedRoots[static_cast<std::size_t>(entry.Root)])]
                    .Code;
            if (value == NodeCode::Literal || value == NodeCode::SmallLiteral)
                entry.Op = DecodedOp::LetElementLiteral;
        }
        entry.Target.Number = &Tb.NumVarTable[static_cast<std::size_t>(target)];
        entry.Next = Continuation(after + 2, limit);
        if (entry.Op == DecodedOp::LetNumber) DecodeForNext(entry, limit);
        if (entry.Op == DecodedOp::LetNumber) DecodeUpdate(entry);
        return;
    }
    if (IsStatementAt(after, limit, St::IF) && after + 1 <= limit && depth == 1 &&
        reader.KindAt(0) == ValueKind::Boolean) {
        const CodeItemType& target = Item(after + 1);
        if (target.FirstCode != CodeKind::JumpTarget || !IsJumpIndex(target.SecondCode)) return;
        StoreRoots(entry, reader);
        entry.Op = DecodedOp::Branch;
        entry.Next = Continuation(after + 2, limit);
        entry.Alternate = Continuation(target.SecondCode, limit);
        DecodeComparison(entry);
        return;
    }
    // A procedure call's argument values: the call works them out itself.
    if (depth <= MaxPushedValues && allNumbers() && DecodeCallAfterValues(entry, end, limit)) {
        StoreRoots(entry, reader);
        return;
    }
    // Values for the items after them (arguments, PRINT items, a comparison's operand): worth it only
    // when some work is done besides the pushes themselves, or there are several.
    if ((!reader.Computes() && depth < 2) || depth > MaxPushedValues) return;
    StoreRoots(entry, reader);
    entry.Op = DecodedOp::PushValues;
    for (int k = 0; k < depth; ++k)
        if (reader.KindAt(k) == ValueKind::Boolean)
            entry.BooleanMask = static_cast<std::uint8_t>(entry.BooleanMask | (1u << k));
    entry.Next = Continuation(end, limit);
}

// A run of GlPop (or GlPush) items with numeric variables, as the procedure calls bind parameters,
// hand by-reference arguments back and take them: one entry for the whole run. A GlPop may also name
// an argument passed by value, whose value is then discarded.
bool DecodeParameterRun(DecodedItem& entry, int start, int limit) {
    const int code = Item(start).SecondCode;
    const auto first = static_cast<std::int32_t>(DecodedNodes.size());
    int at = start;
    int count = 0;
    while (count < MaxPushedValues && IsStatementAt(at, limit, code) && at + 1 <= limit) {
        const CodeItemType& operand = Item(at + 1);
        ExprNode node;
        if (operand.FirstCode == CodeKind::NumVar && operand.SecondCode >= 0 &&
            static_cast<std::size_t>(operand.SecondCode) < Tb.NumVarTable.size()) {
            node.Operand.Value = &Tb.NumVarTable[static_cast<std::size_t>(operand.SecondCode)].Value;
        } else if (!(code == InSt::GlPop && operand.FirstCode == CodeKind::DummyCode)) {
            break;
        }
        DecodedNodes.push_back(node);
        ++count;
        at = StepOverInert(at + 2, limit);
    }
    if (count == 0) return false;
    entry.Op = code == InSt::GlPop ? DecodedOp::PopNumbers : DecodedOp::PushNumbers;
    entry.Root = first;
    entry.ValueCount = static_cast<std::uint8_t>(count);
    entry.Next = Continuation(at, limit);
    return true;
}

// The items of the procedure machinery, run by their own executors from the decoded run.
bool DecodeProcedureItem(DecodedItem& entry, int start) {
    const CodeItemType& item = Item(start);
    const DecodedOp op = ProcedureOp(item.FirstCode, item.SecondCode);
    if (op == DecodedOp::Generic) return false;
    entry.Op = op;
    entry.Next = start;
    entry.Value = item.SecondCode;
    return true;
}

// The decoded operation of `at` in this generation (decoding it when it is not yet).
DecodedOp DecodeItemAt(int at, int limit) {
    if (const DecodedItem* entry = DecodedEntry(at)) return entry->Op;
    const DecodedItem* entry = DecodeItem(at, limit);
    return entry ? entry->Op : DecodedOp::Generic;
}

} // namespace

void KeepDecodedGeneration() {
    if (DecodedGeneration == Ib.CodeGeneration) return;
    // The entries, nodes and bounds of an older generation are dropped; their storage is reused.
    DecodedEntries.clear();
    DecodedNodes.clear();
    DecodedRoots.clear();
    Literals.clear();
    Loops.clear();
    DecodedGeneration = Ib.CodeGeneration;
    DecodedNumbers = Tb.NumVarTable.data();
    DecodedStrings = Tb.StrVarTable.data();
}

DecodedItem* DecodeItem(int at, int limit) {
    KeepDecodedGeneration();
    if (at < 0 || static_cast<std::size_t>(at) >= DecodedSlots.size() || !RoomForEntry()) return nullptr;
    DecodedItem& entry = NewEntry(at);
    entry.Retries = DecodedRetries;
    if (at < 1 || at > limit || limit > Ib.CurrentmaxCodeNum) return &entry;
    const int start = StepOverInert(at, limit);
    const CodeItemType& first = Item(start);
    if (first.FirstCode == CodeKind::Statement && first.SecondCode == St::GOTO) {
        const int next = Continuation(at, limit);
        if (next != at) {
            entry.Op = DecodedOp::Jump;
            entry.Next = next;
        }
        return &entry;
    }
    if (first.FirstCode == CodeKind::StrVar &&
        (DecodeAppendChr(entry, start, limit) || DecodeAppendPiece(entry, start, limit) ||
         DecodeMidBranch(entry, start, limit)))
        return &entry;
    if ((first.FirstCode == CodeKind::StrVar || first.FirstCode == CodeKind::PublicStr) &&
        DecodeLetText(entry, start, limit))
        return &entry;
    if (first.FirstCode == CodeKind::Statement && first.SecondCode == St::LINEINPUTFile) {
        // its executor, which reads its channel and target after it
        entry.Op = DecodedOp::LineInputFile;
        entry.Next = start;
        return &entry;
    }
    if (DecodeEofBranch(entry, start, limit) || DecodePrintFile(entry, start, limit)) return &entry;
    if (DecodeJoinOnStack(entry, at, start, limit)) return &entry;
    if (DecodeOnStack(entry, at, start, limit)) return &entry;
    if (DecodeCallSequence(entry, start, limit)) return &entry;
    if (DecodeProcedureItem(entry, start)) return &entry;
    if (first.FirstCode == CodeKind::Statement &&
        (first.SecondCode == InSt::GlPop || first.SecondCode == InSt::GlPush)) {
        DecodeParameterRun(entry, start, limit);
        return &entry;
    }
    DecodeExpression(entry, start, limit);
    return &entry;
}
bool FitDecodedCode(int limit) {
    if (limit < 0) return false;
    const std::size_t wanted = static_cast<std::size_t>(limit) + 1;
    if (DecodedSlots.size() >= wanted) return true;
    if (DecodedSlots.capacity() < wanted) {
        const std::size_t room = std::max(wanted, DecodedSlots.capacity() + DecodedSlots.capacity() / 2);
        if (!Weigh((room - DecodedSlots.size()) * sizeof(std::uint32_t))) return false;
        DecodedSlots.reserve(room);
    }
    while (DecodedSlots.size() < wanted) {
        if (Rc.StopRequest.load(std::memory_order_relaxed) != 0) return false;
        DecodedSlots.resize(std::min(wanted, DecodedSlots.size() + SlotStep));
    }
    return true;
}

std::size_t DecodedBytes() {
    return DecodedSlots.capacity() * sizeof(std::uint32_t) + DecodedEntries.capacity() * sizeof(DecodedItem) +
           DecodedNodes.capacity() * sizeof(ExprNode) + DecodedRoots.capacity() * sizeof(std::int32_t) +
           Literals.size() * sizeof(Extended) + Loops.size() * sizeof(LoopBounds) + CallShapeBytes();
}

void ReleaseDecodedCode() {
    std::vector<std::uint32_t>().swap(DecodedSlots);
    std::vector<DecodedItem>().swap(DecodedEntries);
    std::vector<ExprNode>().swap(DecodedNodes);
    std::vector<std::int32_t>().swap(DecodedRoots);
    std::deque<Extended>().swap(Literals);
    std::deque<LoopBounds>().swap(Loops);
    ReleaseCallShapes();
    Refused = false;
}
