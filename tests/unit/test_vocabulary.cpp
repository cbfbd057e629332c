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

TEST(VocabularySearch, EveryStatementAndFunctionIsFoundAtItsOwnSlot) {
    for (int slot = 1; slot <= StatementCount; ++slot)
        EXPECT_EQ(SearchStatement(StatementNames[slot]), slot)
            << std::string(StatementNames[slot].begin(), StatementNames[slot].end());
    for (int slot = 1; slot <= FunctionCount; ++slot)
        EXPECT_EQ(SearchFunction(FunctionNames[slot]), slot);
    for (int slot = 1; slot <= ReservedWordCount; ++slot)
        EXPECT_EQ(SearchReservedWord(ReservedWords[slot]), slot);
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

TEST(VocabularySearch, NamedSlotsPointAtTheirWords) {
    EXPECT_EQ(StatementNames[St::INPUTFile], u"INPUT#");
    EXPECT_EQ(StatementNames[St::LINEINPUT], u"LINEINPUT");
    EXPECT_EQ(FunctionNames[Fn::Eof], u"EOF");
    EXPECT_EQ(FunctionNames[Fn::MIDStr], u"MID$");
    EXPECT_EQ(ReservedWords[Rw::WHILE], u"WHILE");
}

} // namespace
