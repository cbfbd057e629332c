// The infix-to-postfix conversion: precedence, associativity, brackets, calls, and every way an
// expression can be refused. Expressions are written as space-separated tokens and turned into items
// by hand (no tokenizer): digits are numeric literals, names are looked up in the tables set up below,
// and unary minus is written as ChgSgn, as the statement compiler hands it over.
#include "core/errornumbers.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/vocabulary.h"
#include "frontend/polish.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <sstream>
#include <string>

namespace {

// Builds a text by appending, the way the expectations below read.
template <typename... Parts> std::string Cat(const Parts&... parts) {
    std::string out;
    (out.append(parts), ...);
    return out;
}

std::string Repeat(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

std::string Error(int number) {
    return Cat("error ", std::to_string(number));
}

std::string Utf8(std::u16string_view text) {
    return QString::fromUtf16(text.data(), text.size()).toStdString();
}

class Polish : public ::testing::Test {
protected:
    void SetUp() override {
        ResetNumTbl();
        ResetStrTbl();
        ResetBoolTbl();
        Fe.ErrorNumber = 0;
        for (const char* name : {"A", "B", "C", "D", "I", "J", "Y"})
            AddNum(name, CodeKind::NumVar, NumVarKind::Variable);
        AddNum("X", CodeKind::NumArray, NumVarKind::Array);
        AddNum("XP", CodeKind::NumVar, NumVarKind::ArrayParameter);
        AddNum("FN", CodeKind::NumVar, NumVarKind::FunctionName);
        AddNum("DF", CodeKind::NumVar, NumVarKind::DefFunction);
        AddNum("LBL", CodeKind::NumVar, NumVarKind::Label);
        AddNum("SB", CodeKind::NumVar, NumVarKind::SubName);
        AddStr("S$", CodeKind::StrVar, StrVarKind::Variable);
        AddStr("T$", CodeKind::StrArray, StrVarKind::Array);
        AddStr("U$", CodeKind::StrVar, StrVarKind::FunctionName);
        AddBool("P@", CodeKind::BoolVar, BoolVarKind::Variable);
        AddBool("Q@", CodeKind::BoolVar, BoolVarKind::Variable);
        AddBool("BA@", CodeKind::BoolArray, BoolVarKind::Array);
        names_["LN"] = {CodeKind::LocalNumVar, 1, 0};
        names_["LS$"] = {CodeKind::LocalStrVar, 1, 0};
        names_["TRUE"] = {CodeKind::BoolConst, BoolConstTrue, 0};
        names_["'txt'"] = {CodeKind::StrLiteral, 1, 0};
    }

    void AddNum(const char* name, int itemKind, std::uint8_t kind) {
        NumVarType v;
        v.Name = QString::fromLatin1(name);
        v.Kind = kind;
        Tb.NumVarTable.push_back(v);
        names_[name] = {itemKind, static_cast<int>(Tb.NumVarTable.size()) - 1, 0};
    }
    void AddStr(const char* name, int itemKind, std::uint8_t kind) {
        StrVarType v;
        v.Name = QString::fromLatin1(name);
        v.Kind = kind;
        Tb.StrVarTable.push_back(v);
        names_[name] = {itemKind, static_cast<int>(Tb.StrVarTable.size()) - 1, 0};
    }
    void AddBool(const char* name, int itemKind, std::uint8_t kind) {
        BoolVarType v;
        v.Name = QString::fromLatin1(name);
        v.Kind = kind;
        Tb.BoolVarTable.push_back(v);
        names_[name] = {itemKind, static_cast<int>(Tb.BoolVarTable.size()) - 1, 0};
    }

    // One item per token; an item's position is its token number, so tests can follow items through.
    CodeItemType Item(const std::string& token, int position) {
        CodeItemType item;
        if (std::isdigit(static_cast<unsigned char>(token[0]))) {
            item = {CodeKind::NumLiteral, std::stoi(token), 0};
        } else if (auto it = names_.find(token); it != names_.end()) {
            item = it->second;
        } else {
            for (int slot = 1; slot <= OperatorCount && item.FirstCode == 0; ++slot)
                if (Utf8(OperatorNames[slot]) == token) item = {CodeKind::Operator, slot, 0};
            for (int slot = 1; slot <= FunctionCount && item.FirstCode == 0; ++slot)
                if (Utf8(FunctionNames[slot]) == token)
                    item = {CodeKind::Function, FunctionCodeOfSlot(slot), 0};
        }
        if (item.FirstCode == 0) ADD_FAILURE() << "the test does not know the token " << token;
        item.Position = position;
        return item;
    }

    ItemBuffer Infix(const std::string& text) {
        ItemBuffer buffer{};
        std::istringstream tokens(text);
        std::string token;
        int n = 0;
        while (tokens >> token) {
            ++n;
            buffer[static_cast<std::size_t>(n)] = Item(token, n);
        }
        return buffer;
    }

    static std::string Text(const CodeItemType& item) {
        const auto v = static_cast<std::size_t>(item.SecondCode);
        switch (item.FirstCode) {
        case CodeKind::Operator: return Utf8(OperatorNames[v]);
        case CodeKind::Function: return Utf8(FunctionNames[v]);
        case CodeKind::NumLiteral: return std::to_string(item.SecondCode);
        case CodeKind::NumVar:
        case CodeKind::NumArray: return Tb.NumVarTable[v].Name.toStdString();
        case CodeKind::StrVar:
        case CodeKind::StrArray: return Tb.StrVarTable[v].Name.toStdString();
        case CodeKind::BoolVar:
        case CodeKind::BoolArray: return Tb.BoolVarTable[v].Name.toStdString();
        case CodeKind::LocalNumVar: return "LN";
        case CodeKind::LocalStrVar: return "LS$";
        case CodeKind::BoolConst: return "TRUE";
        case CodeKind::StrLiteral: return "'txt'";
        default: return Cat("?", std::to_string(item.FirstCode));
        }
    }

    // The postfix items up to the first cleared one.
    static std::string Postfix(const ItemBuffer& buffer) {
        std::string out;
        for (int i = 1; i <= ItemBufferSize && buffer[static_cast<std::size_t>(i)].FirstCode > 0; ++i)
            out.append(out.empty() ? "" : " ").append(Text(buffer[static_cast<std::size_t>(i)]));
        return out;
    }

    // Converts in place, as the statement compiler does, and gives the postfix text or "error N".
    std::string Convert(const std::string& text) {
        ItemBuffer buffer = Infix(text);
        Fe.ErrorNumber = -1;
        ToPolish(buffer, buffer, Fe.ErrorNumber);
        if (Fe.ErrorNumber != 0) return Error(Fe.ErrorNumber);
        return Postfix(buffer);
    }

    std::map<std::string, CodeItemType> names_;
};

TEST_F(Polish, ArithmeticBindsByLevelsAndRunsLeftToRight) {
    EXPECT_EQ(Convert("A + B * C"), "A B C * +");
    EXPECT_EQ(Convert("A * B + C"), "A B * C +");
    EXPECT_EQ(Convert("10 - 4 - 3"), "10 4 - 3 -");
    EXPECT_EQ(Convert("A - B + C"), "A B - C +");
    EXPECT_EQ(Convert("A / B / C"), "A B / C /");
    EXPECT_EQ(Convert("A * B ^ C"), "A B C ^ *");
    EXPECT_EQ(Convert("2 ^ 3 ^ 2"), "2 3 ^ 2 ^") << "the power is left-associative too";
    EXPECT_EQ(Convert("A + B & C"), "A B + C &") << "& shares the level of +";
    EXPECT_EQ(Convert("A & B + C"), "A B & C +");
}

TEST_F(Polish, IntegerDivisionAndModSitBetweenAdditionAndMultiplication) {
    EXPECT_EQ(Convert("A MOD B \\ C"), "A B C \\ MOD") << "\\ binds tighter than MOD";
    EXPECT_EQ(Convert("A \\ B MOD C"), "A B \\ C MOD");
    EXPECT_EQ(Convert("A * B \\ C"), "A B * C \\");
    EXPECT_EQ(Convert("A \\ B * C"), "A B C * \\");
    EXPECT_EQ(Convert("A + B MOD C"), "A B C MOD +");
    EXPECT_EQ(Convert("A MOD B - C"), "A B MOD C -");
}

TEST_F(Polish, UnaryMinusBindsBelowPowerAndAboveIntegerDivision) {
    EXPECT_EQ(Convert("ChgSgn 2 ^ 2"), "2 2 ^ ChgSgn") << "the power first";
    EXPECT_EQ(Convert("3 + ChgSgn Y"), "3 Y ChgSgn +");
    EXPECT_EQ(Convert("ChgSgn A + B"), "A ChgSgn B +");
    EXPECT_EQ(Convert("ChgSgn A * B"), "A B * ChgSgn");
    EXPECT_EQ(Convert("ChgSgn 7 MOD 2"), "7 ChgSgn 2 MOD") << "(-7) MOD 2";
    EXPECT_EQ(Convert("ChgSgn 7 \\ 2"), "7 ChgSgn 2 \\");
}

TEST_F(Polish, PrefixOperatorAfterATighterOperatorWaitsForItsOperand) {
    // Comparing a prefix operator with the stack like a binary one would emit "*" or "^" before its
    // right operand ("A * B ChgSgn"), leaving the engine one value short.
    EXPECT_EQ(Convert("A * ChgSgn B"), "A B ChgSgn *");
    EXPECT_EQ(Convert("2 ^ ChgSgn 1"), "2 1 ChgSgn ^");
    EXPECT_EQ(Convert("A * ChgSgn B + C"), "A B ChgSgn * C +");
    EXPECT_EQ(Convert("ChgSgn ChgSgn A"), "A ChgSgn ChgSgn");
    EXPECT_EQ(Convert("NOT NOT P@"), "P@ NOT NOT");
    EXPECT_EQ(Convert("P@ = NOT Q@"), "P@ Q@ NOT =");
    EXPECT_EQ(Convert("P@ AND NOT Q@ OR P@"), "P@ Q@ NOT AND P@ OR");
}

TEST_F(Polish, ComparisonsHaveLevelsOfTheirOwn) {
    EXPECT_EQ(Convert("A = B < C"), "A B C < =");
    EXPECT_EQ(Convert("A < B = C"), "A B < C =");
    EXPECT_EQ(Convert("A <> B < C"), "A B C < <>");
    EXPECT_EQ(Convert("A = B <> C"), "A B C <> =");
    EXPECT_EQ(Convert("A <= B > C"), "A B <= C >") << "<= binds tighter than >";
    EXPECT_EQ(Convert("A > B >= C"), "A B C >= >");
    EXPECT_EQ(Convert("A + 1 < B * 2"), "A 1 + B 2 * <");
}

TEST_F(Polish, LogicalOperatorsBindByTheirOwnLevels) {
    EXPECT_EQ(Convert("NOT A = B"), "A B = NOT");
    EXPECT_EQ(Convert("NOT P@ AND Q@"), "P@ NOT Q@ AND");
    EXPECT_EQ(Convert("P@ OR Q@ AND P@"), "P@ Q@ P@ AND OR");
    EXPECT_EQ(Convert("P@ OR Q@ XOR P@"), "P@ Q@ P@ XOR OR") << "XOR binds tighter than OR";
    EXPECT_EQ(Convert("P@ XOR Q@ OR P@"), "P@ Q@ XOR P@ OR");
    EXPECT_EQ(Convert("P@ IMP Q@ OR P@"), "P@ Q@ P@ OR IMP");
    EXPECT_EQ(Convert("P@ EQV Q@ IMP P@"), "P@ Q@ P@ IMP EQV");
    EXPECT_EQ(Convert("P@ IMP Q@ EQV P@"), "P@ Q@ IMP P@ EQV");
    EXPECT_EQ(Convert("A < B AND C > D"), "A B < C D > AND");
}

TEST_F(Polish, BracketsRegroupAndVanish) {
    EXPECT_EQ(Convert("( A + B ) * C"), "A B + C *");
    EXPECT_EQ(Convert("A * ( B + C )"), "A B C + *");
    EXPECT_EQ(Convert("( ( A ) )"), "A");
    EXPECT_EQ(Convert("2 ^ ( 3 ^ 2 )"), "2 3 2 ^ ^");
    EXPECT_EQ(Convert("( ChgSgn 2 ) ^ 2"), "2 ChgSgn 2 ^");
    EXPECT_EQ(Convert("NOT ( P@ OR Q@ ) AND P@"), "P@ Q@ OR NOT P@ AND");
}

TEST_F(Polish, FunctionsFollowTheirArguments) {
    EXPECT_EQ(Convert("SIN ( A ) + B"), "A SIN B +");
    EXPECT_EQ(Convert("SIN ( A ) ^ 2"), "A SIN 2 ^") << "a call binds tighter than any operator";
    EXPECT_EQ(Convert("ChgSgn SIN ( A ) ^ 2"), "A SIN 2 ^ ChgSgn");
    EXPECT_EQ(Convert("MAX ( A , B + C )"), "A B C + MAX");
    EXPECT_EQ(Convert("MID$ ( S$ , 2 , 3 )"), "S$ 2 3 MID$");
    EXPECT_EQ(Convert("MAX ( MIN ( A , B ) , C * 2 ) - 1"), "A B MIN C 2 * MAX 1 -");
    EXPECT_EQ(Convert("MAX ( ( A + B ) * C , ChgSgn D )"), "A B + C * D ChgSgn MAX");
    EXPECT_EQ(Convert("RND * 2"), "RND 2 *") << "a function without arguments";
    EXPECT_EQ(Convert("LEN ( 'txt' ) + LN"), "'txt' LEN LN +");
}

TEST_F(Polish, ArraysAndUserFunctionsAreCalledLikeFunctions) {
    EXPECT_EQ(Convert("X ( 1 )"), "1 X");
    EXPECT_EQ(Convert("X ( I , J ) * 2"), "I J X 2 *");
    EXPECT_EQ(Convert("X ( X ( I ) ) + 1"), "I X X 1 +");
    EXPECT_EQ(Convert("XP ( I + 1 )"), "I 1 + XP");
    EXPECT_EQ(Convert("FN ( A , B ) - DF ( C )"), "A B FN C DF -");
    EXPECT_EQ(Convert("T$ ( 2 ) + U$ ( S$ )"), "2 T$ S$ U$ +");
    EXPECT_EQ(Convert("BA@ ( I ) AND P@"), "I BA@ P@ AND");
    EXPECT_EQ(Convert("X + 1"), "X 1 +") << "an array name alone waits for the next operator";
    EXPECT_EQ(Convert("LBL + SB"), "LBL SB +") << "labels and SUB names are plain operands";
}

TEST_F(Polish, PositionsTravelWithTheirItems) {
    ItemBuffer buffer = Infix("A + B * C");
    ToPolish(buffer, buffer, Fe.ErrorNumber);
    ASSERT_EQ(Fe.ErrorNumber, 0);
    const int expected[] = {1, 3, 5, 4, 2}; // A B C * +
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(buffer[static_cast<std::size_t>(i) + 1].Position, expected[i]);
    EXPECT_EQ(buffer[6], CodeItemType{}) << "the result ends with a cleared item";
}

TEST_F(Polish, TwoOperandsInARowAreRefused) {
    EXPECT_EQ(Convert("A B"), "error 54083");
    EXPECT_EQ(Convert("A 2"), "error 54083");
    EXPECT_EQ(Convert("2 'txt'"), "error 54083");
    EXPECT_EQ(Convert("A ( B )"), "error 54083") << "a plain variable cannot be called";
    EXPECT_EQ(Convert("2 ( 3 )"), "error 54083");
    EXPECT_EQ(Convert("A SIN ( B )"), "error 54083");
    EXPECT_EQ(Convert("P@ Q@"), "error 54083");
    EXPECT_EQ(Convert("LN TRUE"), "error 54083");
}

TEST_F(Polish, MissingOperandsAreRefused) {
    EXPECT_EQ(Convert("A +"), "error 54083");
    EXPECT_EQ(Convert("A + * B"), "error 54083");
    EXPECT_EQ(Convert("* A"), "error 54083");
    EXPECT_EQ(Convert("( * A )"), "error 54083");
    EXPECT_EQ(Convert("( A - ) * B"), "error 54083");
    EXPECT_EQ(Convert("MAX ( A + , B )"), "error 54083");
    EXPECT_EQ(Convert("X ( 1 , * 2 )"), "error 54083");
    EXPECT_EQ(Convert("NOT"), "error 54083");
    EXPECT_EQ(Convert("A * ChgSgn"), "error 54083");
    EXPECT_EQ(Convert("ChgSgn A"), "A ChgSgn") << "a prefix operator needs nothing on its left";
    EXPECT_EQ(Convert("( NOT P@ )"), "P@ NOT");
}

TEST_F(Polish, UnbalancedBracketsAreRefused) {
    EXPECT_EQ(Convert("A )"), "error 151");
    EXPECT_EQ(Convert("( A ) ) + B"), "error 151");
    EXPECT_EQ(Convert("( A"), "error 152");
    EXPECT_EQ(Convert("( ( A )"), "error 152");
    EXPECT_EQ(Convert("SIN ( A + B"), "error 152");
    EXPECT_EQ(Convert("A ) , B"), "error 153") << "a comma after the whole expression was closed";
}

TEST_F(Polish, ItemsWithNoPlaceInAnExpressionAreRefused) {
    EXPECT_EQ(Convert("A ; B"), "error 138");
    EXPECT_EQ(Convert("A : B"), "error 138");
    EXPECT_EQ(Convert("A >< B"), "error 138") << "the alternative spellings arrive canonical";
    ItemBuffer buffer = Infix("A + B");
    buffer[2] = {CodeKind::Operator, OperatorCount + 1, 2};
    ToPolish(buffer, buffer, Fe.ErrorNumber);
    EXPECT_EQ(Fe.ErrorNumber, Err::NotInExpression);
    buffer = Infix("A + B");
    buffer[3] = {CodeKind::Statement, St::PRINT, 3};
    ToPolish(buffer, buffer, Fe.ErrorNumber);
    EXPECT_EQ(Fe.ErrorNumber, Err::NotInExpression);
    buffer = Infix("A + B");
    buffer[3] = {CodeKind::JumpTarget, 7, 3};
    ToPolish(buffer, buffer, Fe.ErrorNumber);
    EXPECT_EQ(Fe.ErrorNumber, Err::NotInExpression);
}

TEST_F(Polish, NameIndexOutsideItsTableIsTakenAsAPlainOperand) {
    ItemBuffer buffer = Infix("A + B");
    buffer[3] = {CodeKind::NumArray, 100000, 3};
    ToPolish(buffer, buffer, Fe.ErrorNumber);
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(buffer[2], (CodeItemType{CodeKind::NumArray, 100000, 3}));
    EXPECT_EQ(buffer[3].SecondCode, Op::Plus);
}

TEST_F(Polish, OperatorStackHoldsFortyEntries) {
    // The outermost bracket of the conversion takes one entry, so 39 open groups fit.
    EXPECT_EQ(Convert(Cat(Repeat("( ", 39), "A", Repeat(" )", 39))), "A");
    EXPECT_EQ(Convert(Cat(Repeat("( ", 40), "A")), "error 131");
    EXPECT_EQ(Convert(Cat(Repeat("ChgSgn ", 39), "A")), Cat("A", Repeat(" ChgSgn", 39)));
    EXPECT_EQ(Convert(Cat(Repeat("ChgSgn ", 40), "A")), "error 131");
    EXPECT_EQ(Convert(Cat("A", Repeat(" + ( A", 19), Repeat(" )", 19))),
              Cat("A", Repeat(" A", 19), Repeat(" +", 19)));
    EXPECT_EQ(Convert(Cat("A", Repeat(" + ( A", 20))), "error 131")
        << "each open group holds its operator too";
}

TEST_F(Polish, ExpressionsLongerThanTheLimitAreRefused) {
    // 80 items convert; 81 are refused whole rather than converted in part.
    const std::string eighty = Cat("ChgSgn A", Repeat(" + A", 39));
    EXPECT_EQ(Convert(eighty), Cat("A ChgSgn", Repeat(" A +", 39)));
    EXPECT_EQ(Convert(Cat(eighty, " + A")), Error(ExpressionTooLongError));
    EXPECT_EQ(Convert(Cat("A", Repeat(" + A", 511))), Error(ExpressionTooLongError));

    // A buffer filled to its last slot has no end item; nothing past it is read.
    ItemBuffer full{};
    for (int i = 1; i <= ItemBufferSize; ++i)
        full[static_cast<std::size_t>(i)] = names_["A"];
    ToPolish(full, full, Fe.ErrorNumber);
    EXPECT_EQ(Fe.ErrorNumber, ExpressionTooLongError);
}

TEST_F(Polish, FailureLeavesTheOutputAloneAndReportsThroughBothChannels) {
    const ItemBuffer input = Infix("( A + B");
    ItemBuffer output{};
    for (auto& item : output)
        item = {CodeKind::NumLiteral, 99, 99};
    const ItemBuffer before = output;
    int error = -7;
    ToPolish(input, output, error);
    EXPECT_EQ(error, Err::UnmatchedOpenBracket);
    EXPECT_EQ(Fe.ErrorNumber, Err::UnmatchedOpenBracket);
    EXPECT_EQ(output, before);

    error = -7;
    ToPolish(Infix("A B"), output, error);
    EXPECT_EQ(error, Err::OperandsInRow);
    EXPECT_EQ(output, before);

    error = -7;
    ToPolish(Infix(Cat("A", Repeat(" + A", 45))), output, error);
    EXPECT_EQ(error, ExpressionTooLongError);
    EXPECT_EQ(output, before);
}

TEST_F(Polish, SuccessClearsTheErrorsAndEndsTheResult) {
    ItemBuffer output{};
    for (auto& item : output)
        item = {CodeKind::NumLiteral, 99, 99};
    int error = -7;
    Fe.ErrorNumber = 55;
    ToPolish(Infix("( A + B ) * C"), output, error);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Postfix(output), "A B + C *") << "a cleared item ends the shorter result";
}

TEST_F(Polish, TheInputEndsAtItsFirstEmptyItem) {
    ItemBuffer buffer = Infix("A + B");
    buffer[5] = names_["C"]; // after the end item: not part of the expression
    ToPolish(buffer, buffer, Fe.ErrorNumber);
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Postfix(buffer), "A B +");

    buffer = Infix("A + B");
    buffer[3] = {CodeKind::End, 0, 3};
    ToPolish(buffer, buffer, Fe.ErrorNumber);
    EXPECT_EQ(Fe.ErrorNumber, Err::OperandsInRow) << "an end item of kind -1 ends it too, after the +";
}

TEST_F(Polish, ConversionsDoNotLeakIntoEachOther) {
    EXPECT_EQ(Convert(Cat(Repeat("( ", 30), "A")), "error 152");
    EXPECT_EQ(Convert("MAX ( A , B , C , D , I , J , Y , 1 , 2 , 3 , 4 , 5 , 6 )"),
              "A B C D I J Y 1 2 3 4 5 6 MAX");
    EXPECT_EQ(Convert("A"), "A");
}

} // namespace
