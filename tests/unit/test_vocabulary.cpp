// The vocabulary searches the tokenizer relies on.
#include "core/vocabulary.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(VocabularySearch, OperatorsAreFoundLinearlyFirstMatchWins) {
    EXPECT_EQ(SearchOperator(u"?"), Op::Question) << "slot 41 is never found";
    EXPECT_EQ(SearchOperator(u"=<"), Op::LessEqualAlt);
    EXPECT_EQ(SearchOperator(u"=>"), Op::GreaterEqualAlt);
    EXPECT_EQ(SearchOperator(u"><"), Op::NotEqualAlt);
    EXPECT_EQ(SearchOperator(u"MOD"), Op::Mod);
    EXPECT_EQ(SearchOperator(u"EQV"), Op::Eqv);
    EXPECT_EQ(SearchOperator(u""), 0) << "the empty slots match nothing";
    EXPECT_EQ(SearchOperator(u"mod"), 0) << "words are upper-cased before the search";
}

TEST(VocabularySearch, EveryStatementAndFunctionIsFoundWithItsOwnCode) {
    for (int slot = 1; slot <= StatementCount; ++slot)
        EXPECT_EQ(SearchStatement(StatementNames[slot]), StatementCodeOfSlot(slot))
            << std::string(StatementNames[slot].begin(), StatementNames[slot].end());
    for (int slot = 1; slot <= FunctionCount; ++slot)
        EXPECT_EQ(SearchFunction(FunctionNames[slot]), FunctionCodeOfSlot(slot));
    for (int slot = 1; slot <= ReservedWordCount; ++slot)
        EXPECT_EQ(SearchReservedWord(ReservedWords[slot]), slot);
}

// Words past the internal codes' first number skip them, so that a new word moves no printed number.
TEST(VocabularySearch, WordCodesPassOverTheInternalCodes) {
    for (int slot = 1; slot <= StatementCount + 100; ++slot) {
        const int code = StatementCodeOfSlot(slot);
        EXPECT_TRUE(code < InSt::First || code >= InSt::AfterLast) << slot;
        if (slot <= StatementCount) {
            EXPECT_EQ(StatementSlotOfCode(code), slot);
        }
    }
    for (int slot = 1; slot <= FunctionCount + 100; ++slot) {
        const int code = FunctionCodeOfSlot(slot);
        EXPECT_TRUE(code < InFn::First || code >= InFn::AfterLast) << slot;
        if (slot <= FunctionCount) {
            EXPECT_EQ(FunctionSlotOfCode(code), slot);
        }
    }
    EXPECT_EQ(StatementCodeOfSlot(InSt::First), InSt::AfterLast);
    for (const int code : {0, -1, InSt::First, InSt::DumpCodeListing, InSt::AfterLast - 1})
        EXPECT_TRUE(StatementWord(code).empty()) << code;
    for (const int code : {0, InFn::Direct, InFn::ClipboardGetText, SettingValueBase + St::BACKCOLOR})
        EXPECT_TRUE(FunctionWord(code).empty()) << code;
}

TEST(VocabularySearch, WordsOutsideTheTablesAreNotFound) {
    EXPECT_EQ(SearchFunction(u"SEEK"), 0) << "slot 101 carries a trailing blank";
    EXPECT_EQ(SearchStatement(u"SEEK"), St::SEEK);
    EXPECT_EQ(SearchStatement(u"A"), 0);
    EXPECT_EQ(SearchStatement(u"ZZZ"), 0);
    EXPECT_EQ(SearchStatement(u"PRIN"), 0);
    EXPECT_EQ(SearchStatement(u"PRINTS"), 0);
    EXPECT_EQ(SearchFunction(u"abs"), 0);
    EXPECT_EQ(SearchFunction(u""), 0);
    EXPECT_EQ(SearchReservedWord(u"ZETA"), 0);
}

TEST(VocabularySearch, NamedCodesGiveTheirWords) {
    EXPECT_EQ(StatementWord(St::INPUTFile), u"INPUT#");
    EXPECT_EQ(StatementWord(St::LINEINPUT), u"LINEINPUT");
    EXPECT_EQ(FunctionWord(Fn::Eof), u"EOF");
    EXPECT_EQ(FunctionWord(Fn::MIDStr), u"MID$");
    EXPECT_EQ(ReservedWords[ReservedWordCount], u"WHILE");
}

} // namespace
