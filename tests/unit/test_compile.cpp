// Whole programs through the front end (pre-scan, statement scan, statement compiler): the code
// listing of each program compared with the code the engine expects, the declarations the compiler
// makes, and the errors with their positions.
#include "core/errornumbers.h"
#include "core/errortext.h"
#include "core/itembuffers.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/vocabulary.h"
#include "frontend/compile.h"
#include "frontend/compilestop.h"
#include "frontend/initall.h"
#include "frontend/listing.h"
#include "frontend/parse.h"
#include "frontend/polish.h"
#include "frontend/scan.h"
#include "tests/compiletext.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <initializer_list>

namespace {

class CompileTest : public ::testing::Test {
protected:
    void SetUp() override {
        Rc.RunMode = RunKind::Program;
        Fe.ErrorNumber = 0;
        Fe.ErrorNameIndex = 0;
    }
    void TearDown() override {
        Rc.RunMode = RunKind::Program;
        Fe.ErrorNumber = 0;
    }

    // Compiles the lines as a program, as a run does (the reset first), and checks the open blocks;
    // true on success.
    static bool Compile(std::initializer_list<const char*> lines) {
        QStringList text;
        for (const char* line : lines)
            text << QString::fromUtf8(line);
        Fe.ProgramText = text.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
        Fe.ProgramTextLength = static_cast<int>(Fe.ProgramText.size());
        Rd.CompileText = Fe.ProgramText + QStringLiteral("\r\n") + QChar(0) + QChar(0);
        Rd.CompileTextLength = static_cast<int>(Rd.CompileText.size());
        ResetInterpreter();
        if (!CompileProgram()) return false;
        CheckOpenBlocks();
        return Fe.ErrorNumber == 0;
    }

    // The code listing; without positions the items read "[index]text". Line ends become "\n".
    static QString Listing(bool withPositions = false) {
        QString text;
        CodeListing(text);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (!withPositions)
            text.replace(QRegularExpression(QStringLiteral(":-?\\d+\\]")), QStringLiteral("]"));
        return text;
    }

    // The line and column of the error as the run window reports it, as "line:column".
    static QString ErrorPlace() {
        static const QRegularExpression place(QStringLiteral("^(\\d+)行,　(\\d+) 桁$"));
        const QRegularExpressionMatch match = place.match(LineColumnText(Fe.ErrorPosition - 1));
        return match.captured(1) + u':' + match.captured(2);
    }
};

// ---- control flow ----------------------------------------------------------------------------------

TEST_F(CompileTest, IfElseIfElseAndForWithPositions) {
    ASSERT_TRUE(Compile({
        "X = 1",
        "IF X > 0 THEN",
        "  PRINT \"A\"; X",
        "ELSEIF X < 0 THEN",
        "  PRINT \"B\"",
        "ELSE",
        "  PRINT",
        "END IF",
        "FOR I = 1 TO 3",
        "  PRINT I,",
        "NEXT",
    }));
    // Every false jump of the chain lands on the next test; every branch's end jump after END IF.
    EXPECT_EQ(
        Listing(true),
        QStringLiteral(
            "[101:5]$[102:5]1[103:5]$[104:1]LET[105:1]#X[106:1]\n"
            "[107:11]$[108:11]#X[109:15]0[110:13]>[111:13]$[112:8]IF[113:8]128[114:8]:[115:17]\n"
            "[116:31]$[117:31]A[118:31]$[119:25]PRINT[120:36]$[121:36]#X[122:36]$[123:25]PRINT"
            "[124:25]^PrintCR[125:37]\n"
            "[126:39]GOTO[127:39]150[128:39]:[129:46]$[130:46]#X[131:50]0[132:48]<[133:48]$[134:39]IF"
            "[135:39]147[136:39]:[137:52]\n"
            "[138:66]$[139:66]B[140:66]$[141:60]PRINT[142:60]^PrintCR[143:69]\n"
            "[144:71]GOTO[145:71]150[146:71]:[147:71]\n"
            "[148:79]^PrintCR[149:84]\n"
            "[150:90]:[151:92]\n"
            "[152:102]$[153:102]1[154:102]$[155:94]LET[156:98]#I[157:94]:[158:107]$[159:107]3[160:98]#I"
            "[161:94]>=[162:107]$[163:94]IF[164:94]183[165:94]:[166:108]\n"
            "[167:118]$[168:118]#I[169:118]$[170:112]PRINT[171:112]^21[172:120]\n"
            "[173:94]$[174:94]1[175:98]#I[176:122]+[177:94]$[178:122]LET[179:98]#I[180:122]GOTO[181:122]157"
            "[182:122]:[183:126]\n"
            "[184:131]EOF\n"));
    EXPECT_EQ(Ib.CodeLimit, 184);
}

TEST_F(CompileTest, ForWithStepAndExitForLeavingOnlyTheInnerLoop) {
    ASSERT_TRUE(Compile({
        "FOR I = 10 TO 1 STEP -2",
        "  FOR J = 1 TO I",
        "    IF J = 3 THEN EXIT FOR",
        "  NEXT J",
        "  IF I = 4 THEN EXIT FOR",
        "NEXT I",
    }));
    // With STEP the test is (b - v) * (SGN(s) + 0.5) >= 0; NEXT adds the step afresh.
    EXPECT_EQ(Listing(),
              QStringLiteral(
                  "[101]$[102]10[103]$[104]LET[105]#I[106]:[107]$[108]1[109]#I[110]-[111]0[112]2[113]ChgSgn"
                  "[114]SGN[115]+[116]*[117]0[118]>=[119]$[120]IF[121]189[122]:[123]\n"
                  "[124]$[125]1[126]$[127]LET[128]#J[129]:[130]$[131]#I[132]#J[133]>=[134]$[135]IF[136]163"
                  "[137]:[138]\n"
                  "[139]$[140]#J[141]3[142]=[143]$[144]IF[145]151[146]:[147]\n"
                  "[148]GOTO[149]163[150]:[151]:[152]\n"
                  "[153]$[154]1[155]#J[156]+[157]$[158]LET[159]#J[160]GOTO[161]129[162]:[163]\n"
                  "[164]$[165]#I[166]4[167]=[168]$[169]IF[170]176[171]:[172]\n"
                  "[173]GOTO[174]189[175]:[176]:[177]\n"
                  "[178]$[179]2[180]ChgSgn[181]#I[182]+[183]$[184]LET[185]#I[186]GOTO[187]106[188]:[189]\n"
                  "[190]EOF\n"));
    // The half of the step test is the system constant 0.5 (listed rounded to 0).
    EXPECT_EQ(Ib.CodeBuffer[111], (CodeItemType{CodeKind::SysNumConst, 6, 1}));
}

TEST_F(CompileTest, SelectCaseListsRangesAndRelations) {
    ASSERT_TRUE(Compile({
        "SELECT CASE N",
        "CASE 1, 3, 5",
        "  PRINT \"odd\"",
        "CASE IS >= 10",
        "  PRINT \"big\"",
        "CASE 6 TO 8",
        "  PRINT \"mid\"",
        "CASE ELSE",
        "  PRINT \"other\"",
        "END SELECT",
    }));
    // The selector is written again before each test; a list test has its count (3) before code 252.
    EXPECT_EQ(
        Listing(),
        QStringLiteral("[101]$[102]1[103]$[104]$[105]3[106]$[107]$[108]5[109]$[110]$[111]#N[112]$[113]3"
                       "[114]InnerSt252[115]126[116]\n"
                       "[117]$[118]odd[119]$[120]PRINT[121]^PrintCR[122]\n"
                       "[123]GOTO[124]172[125]\n"
                       "[126]$[127]10[128]$[129]$[130]#N[131]$[132]InnerSt254[133]144[134]\n"
                       "[135]$[136]big[137]$[138]PRINT[139]^PrintCR[140]\n"
                       "[141]GOTO[142]172[143]\n"
                       "[144]$[145]6[146]$[147]$[148]8[149]$[150]$[151]#N[152]$[153]InnerSt259[154]165[155]\n"
                       "[156]$[157]mid[158]$[159]PRINT[160]^PrintCR[161]\n"
                       "[162]GOTO[163]172[164]\n"
                       "[165]$[166]other[167]$[168]PRINT[169]^PrintCR[170]\n"
                       "[171]:[172]\n"
                       "[173]EOF\n"));
    EXPECT_EQ(NumConValue(Ib.CodeBuffer[113]), 3.0L);
}

TEST_F(CompileTest, EveryRelationOfCaseIsHasItsTest) {
    const std::pair<const char*, int> relations[] = {{"=", 251}, {"<>", 258}, {"<", 255},
                                                     {">", 253}, {"<=", 256}, {">=", 254}};
    for (const auto& [op, code] : relations) {
        const QByteArray line = QByteArray("CASE IS ") + op + " 2";
        ASSERT_TRUE(Compile({"SELECT CASE N", line.constData(), "END SELECT"})) << op;
        // [2] [N] test {45}
        EXPECT_EQ(Ib.CodeBuffer[107], (CodeItemType{CodeKind::Statement, code, Ib.CodeBuffer[107].Position}))
            << op;
    }
}

TEST_F(CompileTest, WhileAndTheDoForms) {
    ASSERT_TRUE(Compile({
        "DO",
        "  N = N + 1",
        "  IF N > 5 THEN EXIT DO",
        "LOOP UNTIL N > 100",
        "WHILE N > 0",
        "  N = N - 1",
        "WEND",
        "DO WHILE N < 3",
        "  N = N + 1",
        "LOOP",
        "DO UNTIL N = 0",
        "  N = N - 1",
        "LOOP",
        "DO",
        "LOOP WHILE N < 2",
    }));
    // EXIT DO lands after the closing statement's ":"; DO UNTIL jumps out when its test is true (257).
    EXPECT_EQ(Listing(), QStringLiteral("[101]:[102]\n"
                                        "[103]$[104]#N[105]1[106]+[107]$[108]LET[109]#N[110]\n"
                                        "[111]$[112]#N[113]5[114]>[115]$[116]IF[117]123[118]:[119]\n"
                                        "[120]GOTO[121]133[122]:[123]:[124]\n"
                                        "[125]$[126]#N[127]100[128]>[129]$[130]IF[131]102[132]:[133]\n"
                                        "[134]$[135]#N[136]0[137]>[138]$[139]IF[140]153[141]:[142]\n"
                                        "[143]$[144]#N[145]1[146]-[147]$[148]LET[149]#N[150]\n"
                                        "[151]GOTO[152]134[153]:[154]\n"
                                        "[155]$[156]#N[157]3[158]<[159]$[160]IF[161]174[162]:[163]\n"
                                        "[164]$[165]#N[166]1[167]+[168]$[169]LET[170]#N[171]\n"
                                        "[172]GOTO[173]155[174]:[175]\n"
                                        "[176]$[177]#N[178]0[179]=[180]$[181]InnerSt257[182]195[183]:[184]\n"
                                        "[185]$[186]#N[187]1[188]-[189]$[190]LET[191]#N[192]\n"
                                        "[193]GOTO[194]176[195]:[196]\n"
                                        "[197]:[198]\n"
                                        "[199]$[200]#N[201]2[202]<[203]$[204]InnerSt257[205]198[206]:[207]\n"
                                        "[208]EOF\n"));
}

TEST_F(CompileTest, ProceduresRecursionCallAndDef) {
    ASSERT_TRUE(Compile({
        "FUNCTION FAC(N)",
        "  IF N <= 1 THEN",
        "    FAC = 1",
        "  ELSE",
        "    FAC = N * FAC(N - 1)",
        "  END IF",
        "END FUNCTION",
        "SUB SHOW(A, B$)",
        "  PRINT A; B$",
        "  IF A > 5 THEN EXIT SUB",
        "  A = A + 1",
        "END SUB",
        "X = 2",
        "CALL SHOW(X, \"Z\" + \"Y\")",
        "DEF FNS(P) = P * P",
        "PRINT FAC(5), FNS(3)",
    }));
    EXPECT_EQ(
        Listing(),
        QStringLiteral(
            "[101]GOTO[102]154[103]\n"
            "[104]FUNCTION[105]LBVP0[106]LBVP0[107]LNVP1[108]LNVP2[109]LSVP0[110]LSVP0[111]GlPop"
            "[112]#0001N[113]\n"
            "[114]$[115]#0001N[116]1[117]<=[118]$[119]IF[120]132[121]:[122]\n"
            "[123]$[124]1[125]$[126]LET[127]FAC[128]\n"
            "[129]GOTO[130]148[131]:[132]\n"
            "[133]$[134]#0001N[135]#0001N[136]1[137]-[138]LoPushAll[139]SubJump[140]FAC[141]\n"
            "[142]LoPopAll[143]*[144]$[145]LET[146]FAC[147]\n"
            "[148]:[149]\n"
            "[150]FunctionEnd[151]GlPush[152]FAC[153]ENDFUNCTION[154]\n"
            "[155]GOTO[156]208[157]\n"
            "[158]SubStart[159]LBVP0[160]LBVP0[161]LNVP3[162]LNVP4[163]LSVP0[164]LSVP1[165]GlPop"
            "[166]0002B$$[167]GlPop[168]#0002A[169]\n"
            "[170]$[171]#0002A[172]$[173]PRINT[174]$[175]0002B$$[176]$[177]PRINT[178]^PrintCR[179]\n"
            "[180]$[181]#0002A[182]5[183]>[184]$[185]IF[186]192[187]:[188]\n"
            "[189]GOTO[190]202[191]:[192]:[193]\n"
            "[194]$[195]#0002A[196]1[197]+[198]$[199]LET[200]#0002A[201]\n"
            "[202]SubEnd[203]GlPush[204]0002B$$[205]GlPush[206]#0002A[207]ENDSUB[208]\n"
            "[209]$[210]2[211]$[212]LET[213]#X[214]\n"
            "[215]InnerSt195[216]#X[217]$[218]Z[219]Y[220]+[221]$[222]\n"
            "[223]LoPushAll[224]SubJump[225]%SHOW[226]\n"
            "[227]LoPopAll[228]GlPop[229]#X[230]GlPop[231]DummyCode[232]\n"
            "[233]DEF[234]PoPL1[235]NLNV1[236]NLSV0[237]L1[238]L1[239]*[240]InnerSt237[241]:[242]\n"
            "[243]$[244]5[245]LoPushAll[246]SubJump[247]FAC[248]\n"
            "[249]LoPopAll[250]$[251]PRINT[252]^21[253]$[254]3[255]&FNS[256]$[257]PRINT[258]^PrintCR[259]\n"
            "[260]EOF\n"));
    // Entry points: the FUNCTION and SUB at their frame items, the DEF after its statement item.
    EXPECT_EQ(Tb.NumVarTable[static_cast<std::size_t>(Ib.CodeBuffer[127].SecondCode)].Base, 105);
    EXPECT_EQ(Tb.NumVarTable[static_cast<std::size_t>(Ib.CodeBuffer[225].SecondCode)].Base, 159);
    EXPECT_EQ(Tb.NumVarTable[static_cast<std::size_t>(Ib.CodeBuffer[255].SecondCode)].Base, 234);
}

TEST_F(CompileTest, CallArgumentsByReferenceAndByValue) {
    ASSERT_TRUE(Compile({"SUB S(P, Q)", "END SUB", "S(A, B + 1)", "CALL S((A), B)", "S"}));
    const QString listing = Listing();
    // A plain name passes by reference; anything else by value ({94, 1} takes the parameter's value).
    EXPECT_TRUE(listing.contains(QStringLiteral(
        "[123]InnerSt195[124]#A[125]$[126]#B[127]1[128]+[129]$[130]\n[131]LoPushAll[132]SubJump[133]%S[134]\n"
        "[135]LoPopAll[136]GlPop[137]#A[138]GlPop[139]DummyCode[140]\n")))
        << qPrintable(listing);
    // A bracketed name is an expression, so it is passed by value.
    EXPECT_TRUE(listing.contains(QStringLiteral(
        "[141]InnerSt195[142]$[143]#A[144]$[145]#B[146]\n[147]LoPushAll[148]SubJump[149]%S[150]\n"
        "[151]LoPopAll[152]GlPop[153]DummyCode[154]GlPop[155]#B[156]\n")))
        << qPrintable(listing);
    // Without arguments: an extra line end.
    EXPECT_TRUE(listing.contains(QStringLiteral("[157]InnerSt195[158]\n[159]\n[160]LoPushAll")))
        << qPrintable(listing);
}

TEST_F(CompileTest, GosubLabelsAndLineNumbers) {
    ASSERT_TRUE(Compile({"GOSUB *L1", "GOTO 100", "*L1", "RETURN", "100 END"}));
    EXPECT_EQ(Listing(), QStringLiteral("[101]GOSUB[102]*L1[103]\n"
                                        "[104]GOTO[105]100[106]\n"
                                        "[107]*L1[108]\n"
                                        "[109]RETURN[110]\n"
                                        "[111]:[112]END[113]\n"
                                        "[114]EOF\n"));
    EXPECT_EQ(Tb.NumVarTable[static_cast<std::size_t>(Ib.CodeBuffer[107].SecondCode)].Base, 107);
    ASSERT_EQ(Tb.NumofRegisteredLabel, 1);
    EXPECT_EQ(Tb.LabelTable[1].Key, 100);
    EXPECT_EQ(Tb.LabelTable[1].CodeIndex, 111);
}

// ---- declarations, assignment, data ---------------------------------------------------------------

TEST_F(CompileTest, DimDeclaresArraysAtCompileTime) {
    ASSERT_TRUE(Compile({"DIM A(3, 4), S$(2), F AS BOOLEAN, T(0)", "A(1, 2) = 5"}));
    const NumVarType* a = nullptr;
    for (int i = 1; i <= Tb.NumofRegisteredNumVar; ++i)
        if (Tb.NumVarTable[static_cast<std::size_t>(i)].Name == QStringLiteral("A"))
            a = &Tb.NumVarTable[static_cast<std::size_t>(i)];
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Kind, NumVarKind::Array);
    EXPECT_EQ(a->DimCount, 2);
    EXPECT_EQ(a->Bounds[1], 3);
    EXPECT_EQ(a->Bounds[2], 4);
    EXPECT_EQ(a->Base, 1);
    // 4 x 5 elements for A, then 1 for T.
    EXPECT_EQ(Tb.NumofRegisteredANumVar, 21);
    EXPECT_EQ(Tb.NumofRegisteredAStrVar, 3);
    EXPECT_GE(Tb.ANumVarTable.size(), 22u);
    // DIM writes no code; A(I, J) = X writes [X], [J], [I], LET, A.
    EXPECT_EQ(Listing(),
              QStringLiteral("[101]\n"
                             "[102]$[103]5[104]$[105]$[106]2[107]$[108]$[109]1[110]$[111]LET[112]A[113]\n"
                             "[114]EOF\n"));
}

TEST_F(CompileTest, DimErrors) {
    EXPECT_FALSE(Compile({"DIM A(1, 2, 3, 4, 5, 6)"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::TooManyDimensions);
    EXPECT_FALSE(Compile({"DIM A(N)"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::DimSyntax);
    // Too large for memory: refused before anything is allocated.
    EXPECT_FALSE(Compile({"DIM A(100000, 100000)"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::OutOfMemory);
    EXPECT_LT(Tb.ANumVarTable.size(), 10u);
}

TEST_F(CompileTest, AssignmentSignsAndSwap) {
    ASSERT_TRUE(
        Compile({"X = -Y", "X = 3 + -Y", "X = +Y", "SWAP P, Q", "DIM A(3, 3)", "SWAP A(1, 2), A(2, 3)"}));
    EXPECT_EQ(Listing(),
              QStringLiteral(
                  "[101]$[102]#Y[103]ChgSgn[104]$[105]LET[106]#X[107]\n"
                  "[108]$[109]3[110]#Y[111]ChgSgn[112]+[113]$[114]LET[115]#X[116]\n"
                  "[117]$[118]#Y[119]$[120]LET[121]#X[122]\n"
                  "[123]#P[124]LET[125]ANV1[126]:[127]#Q[128]LET[129]#P[130]:[131]ANV1[132]LET[133]#Q[134]\n"
                  "[135]$[136]1[137]$[138]$[139]2[140]$[141]A[142]LET[143]ANV1[144]:"
                  "[145]$[146]2[147]$[148]$[149]3[150]$[151]A[152]$[153]2[154]$[155]$[156]1[157]$[158]LET["
                  "159]A[160]:"
                  "[161]ANV1[162]$[163]3[164]$[165]$[166]2[167]$[168]LET[169]A[170]\n"
                  "[171]EOF\n"));
}

TEST_F(CompileTest, DataReadAndRestore) {
    ASSERT_TRUE(Compile({"*TOP", "DATA 1, 2", "*MID", "100 DATA \"A\"", "READ X, Y$", "RESTORE *MID",
                         "RESTORE 100", "RESTORE"}));
    EXPECT_EQ(Listing(), QStringLiteral("[101]*TOP[102]\n"
                                        "[103]DATA[104]1[105]2[106]\n"
                                        "[107]*MID[108]\n"
                                        "[109]:[110]DATA[111]A[112]\n"
                                        "[113]READ[114]#X[115]:[116]READ[117]Y$$[118]:[119]\n"
                                        "[120]RESTORE[121]*MID[122]\n"
                                        "[123]RESTORE[124]100[125]\n"
                                        "[126]RESTORE[127]\n"
                                        "[128]EOF\n"));
    ASSERT_EQ(Tb.NumofRegisteredDataPtr, 2);
    EXPECT_EQ(Tb.DataPtrTable[1], 103);
    EXPECT_EQ(Tb.DataPtrTable[2], 110);
    // A label and a line number remember how many DATA statements stand before them.
    EXPECT_EQ(Tb.NumVarTable[static_cast<std::size_t>(Ib.CodeBuffer[101].SecondCode)].Value, 0.0L);
    EXPECT_EQ(Tb.NumVarTable[static_cast<std::size_t>(Ib.CodeBuffer[107].SecondCode)].Value, 1.0L);
    EXPECT_EQ(Tb.LabelTable[1].Extra, 1);

    EXPECT_FALSE(Compile({"DATA 1,, 2"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementNotEnded);
    EXPECT_EQ(Fe.ErrorNameIndex, St::DATA);
    EXPECT_FALSE(Compile({"READ X, 5"}));
    EXPECT_EQ(Fe.ErrorNameIndex, St::READ);
}

// ---- input and output -------------------------------------------------------------------------------

TEST_F(CompileTest, InputFamily) {
    ASSERT_TRUE(Compile({"DIM S$(2)", "INPUT \"N\"; N, S$(1)", "INPUT B", "LINE INPUT \"L\", L$"}));
    EXPECT_EQ(Listing(),
              QStringLiteral(
                  "[101]\n"
                  "[102]INPUT[103];[104]N[105]InnerSt243[106]:[107]ANV1[108]LET[109]#N[110]:[111]InnerSt244"
                  "[112]:[113]ASV1[114]$[115]1[116]$[117]LET[118]S$$[119]:[120]\n"
                  "[121]INPUT[122],[123]FirstCode=8,SecondCode=2[124]InnerSt243[125]:[126]ANV1[127]LET[128]#B"
                  "[129]:[130]\n"
                  "[131]LINEINPUT[132]L[133]ASV1[134]:[135]ASV1[136]LET[137]L$$[138]\n"
                  "[139]:[140]\n"
                  "[141]EOF\n"));
    EXPECT_FALSE(Compile({"INPUT \"N\" N"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::InputNoSeparator);
    EXPECT_FALSE(Compile({"INPUT 5"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::InputVariableList);
    EXPECT_FALSE(Compile({"DIM A(2, 2)", "INPUT A(1)"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::InputVariableList);
    EXPECT_FALSE(Compile({"LINE INPUT N"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::InputSyntax);
}

TEST_F(CompileTest, PrintForms) {
    ASSERT_TRUE(
        Compile({"PRINT A; B,", "PRINT", "? \"X\", 1; -2", "PRINT #1,", "PRINT #1, A,", "PRINT #1, A; B",
                 "PRINT USING \"#\"; A, B", "PRINT USING \"#\"; A,", "PRINT #2, USING \"###\"; A"}));
    EXPECT_EQ(Listing(),
              QStringLiteral(
                  "[101]$[102]#A[103]$[104]PRINT[105]$[106]#B[107]$[108]PRINT[109]^21[110]\n"
                  "[111]^PrintCR[112]\n"
                  "[113]$[114]X[115]$[116]PRINT[117]^21[118]$[119]1[120]$[121]PRINT[122]$[123]2[124]ChgSgn"
                  "[125]$[126]PRINT[127]^PrintCR[128]\n"
                  "[129]1[130]^Print#CR[131]\n"
                  "[132]$[133]#A[134]$[135]1[136]PRINT#[137]1[138]^Print#,[139]\n"
                  "[140]$[141]#A[142]$[143]1[144]PRINT#[145]$[146]#B[147]$[148]1[149]InnerSt277[150]\n"
                  "[151]$[152]#B[153]$[154]$[155]#A[156]$[157]#[158]PRINTUSING[159]^PrintCR[160]:[161]\n"
                  "[162]$[163]#A[164]$[165]#[166]PRINTUSING[167]^21[168]:[169]\n"
                  "[170]$[171]#A[172]$[173]###[174]2[175]InnerSt278[176]^PrintCR[177]:[178]\n"
                  "[179]EOF\n"));
    EXPECT_FALSE(Compile({"PRINT #9, A"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::FileNumberRange);
    EXPECT_FALSE(Compile({"PRINT #1 A"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::PrintFileNoComma);
    EXPECT_FALSE(Compile({"PRINT USING 5; A"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::PrintUsingNoFormat);
    EXPECT_FALSE(Compile({"PRINT USING \"#\" A"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::PrintUsingNoSemicolon);
}

TEST_F(CompileTest, FilesOpenCloseAndInputFromFiles) {
    ASSERT_TRUE(Compile({"DIM S$(2)", "OPEN \"f.txt\" FOR OUTPUT AS #1", "CLOSE #1, #2",
                         "OPEN N$ FOR INPUT AS #2", "INPUT #2, P, S$(0)", "LINE INPUT #2, L$", "CLOSE",
                         "FILES", "NAME \"A\" AS \"B\"", "FILECOPY \"A\", \"B\"", "RUN \"P.LXT\""}));
    // INPUT# writes one INPUT# item per target, each followed by its channel and target, which is
    // what its executor reads.
    EXPECT_EQ(Listing(),
              QStringLiteral(
                  "[101]\n"
                  "[102]OPEN[103]f.txt[104]OUTPUT[105]1[106]\n"
                  "[107]CLOSE[108]1[109]:[110]CLOSE[111]2[112]\n"
                  "[113]OPEN[114]N$$[115]INPUT[116]2[117]\n"
                  "[118]INPUT#[119]2[120]#P[121]:[122]INPUT#[123]2[124]ASV1[125]:[126]ASV1[127]$[128]0[129]$"
                  "[130]LET[131]S$$[132]:[133]\n"
                  "[134]LINEINPUT#[135]2[136]ASV1[137]:[138]ASV1[139]LET[140]L$$[141]\n"
                  "[142]:[143]\n"
                  "[144]CLOSE[145]0[146]\n"
                  "[147]FILES[148]FirstCode=8,SecondCode=1[149]\n"
                  "[150]$[151]A[152]$[153]$[154]B[155]$[156]NAME[157]\n"
                  "[158]$[159]A[160]$[161]$[162]B[163]$[164]FILECOPY[165]\n"
                  "[166]$[167]P.LXT[168]$[169]LOAD[170]:[171]RUN[172]\n"
                  "[173]EOF\n"));
    EXPECT_FALSE(Compile({"OPEN \"f\" FOR OUTPUT AS #0"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::FileNumberInvalid);
    EXPECT_FALSE(Compile({"OPEN \"f\" AS #1"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::OpenSyntax);
    EXPECT_FALSE(Compile({"CLOSE 1"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementSyntax);
    EXPECT_EQ(Fe.ErrorNameIndex, St::CLOSE);
    EXPECT_FALSE(Compile({"CLOSE #1 X"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::CloseSyntax);
    EXPECT_FALSE(Compile({"INPUT #1 A"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::InputFileSyntax);
}

// ---- graphics and setting statements --------------------------------------------------------------

TEST_F(CompileTest, GraphicsOptionalArgumentsAndSettingStatements) {
    ASSERT_TRUE(Compile({"GSCREEN (640, 480)", "CLS", "CLS 2", "PSET (10, 20)", "PSET (10, 20), 3",
                         "LINE (0, 0)-(100, 50), C, BF", "CIRCLE (50, 50), 20",
                         "CIRCLE (50, 50), 20, 4, , , 2", "PAINT (5, 5), 2, 3", "WINDOW (-1, -1)-(1, 1)",
                         "FORECOLOR = 3", "ECHO OFF", "SLEEP (100)", "BEEP", "CBUTTON(1) ON"}));
    EXPECT_EQ(
        Listing(),
        QStringLiteral(
            "[101]$[102]640[103]$[104]$[105]480[106]$[107]GSCREEN[108]\n"
            "[109]CLS[110]1[111]\n"
            "[112]CLS[113]2[114]\n"
            "[115]$[116]10[117]$[118]$[119]20[120]$[121]PSET[122]-1[123]\n"
            "[124]$[125]10[126]$[127]$[128]20[129]$[130]PSET[131]3[132]\n"
            "[133]$[134]0[135]$[136]$[137]0[138]$[139]$[140]100[141]$[142]$[143]50[144]$[145]LINE[146]#C"
            "[147]#BF[148]\n"
            "[149]$[150]50[151]$[152]$[153]50[154]$[155]$[156]20[157]$[158]CIRCLE[159]-1[160]-1[161]-1"
            "[162]-1[163]-1[164]-1[165]\n"
            "[166]$[167]50[168]$[169]$[170]50[171]$[172]$[173]20[174]$[175]CIRCLE[176]4[177]-1[178]-1"
            "[179]2[180]-1[181]-1[182]\n"
            "[183]$[184]5[185]$[186]$[187]5[188]$[189]PAINT[190]2[191]3[192]\n"
            "[193]$[194]1[195]ChgSgn[196]$[197]$[198]-1[199]$[200]$[201]1[202]$[203]$[204]1[205]$"
            "[206]WINDOW[207]\n"
            "[208]$[209]3[210]$[211]FORECOLOR[212]\n"
            "[213]ECHO[214]OFF[215]\n"
            "[216]$[217]100[218]$[219]SLEEP[220]\n"
            "[221]BEEP[222]\n"
            "[223]$[224]1[225]$[226]CBUTTON[227]ON[228]\n"
            "[229]EOF\n"));
    EXPECT_FALSE(Compile({"LINE (0, 0), (1, 1)"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::LineSyntax);
    EXPECT_FALSE(Compile({"WINDOW (0, 0), (1, 1)"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::WindowSyntax);
    EXPECT_FALSE(Compile({"FORECOLOR 3"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::PropertyAssignSyntax);
    EXPECT_FALSE(Compile({"ECHO"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::OnOffMissing);
    EXPECT_EQ(Fe.ErrorNameIndex, St::ECHO);
    // An argument form that fails is reported against the statement.
    EXPECT_FALSE(Compile({"SLEEP 100"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementType);
    EXPECT_EQ(Fe.ErrorNameIndex, St::SLEEP);
    EXPECT_FALSE(Compile({"BEEP 1"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementNotEnded);
    EXPECT_EQ(Fe.ErrorNameIndex, St::BEEP);
}

// ---- errors and their positions ------------------------------------------------------------------------

TEST_F(CompileTest, ErrorsNameTheStatementAndPointAtIt) {
    EXPECT_FALSE(Compile({"PRINT 1", "LOCATE 1, 2"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementNotSupported);
    EXPECT_EQ(Fe.ErrorNameIndex, St::LOCATE);
    EXPECT_EQ(ErrorPlace(), QStringLiteral("2:1"));

    EXPECT_FALSE(Compile({"X = 1", "CLOSE #9"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::FileNumberInvalid);
    EXPECT_EQ(ErrorPlace(), QStringLiteral("2:7"));

    EXPECT_FALSE(Compile({"*A", "*A"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::LabelTwice);
    EXPECT_EQ(ErrorPlace(), QStringLiteral("2:1"));

    EXPECT_FALSE(Compile({"10 PRINT", "5 PRINT"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::BadLineNumber);
    EXPECT_EQ(ErrorPlace(), QStringLiteral("2:1"));

    EXPECT_FALSE(Compile({"FUNCTION F(X)", "  EXIT SUB", "END FUNCTION"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::ExitProcedureOutside);

    EXPECT_FALSE(Compile({"SELECT CASE X", "CASE 1", "CASE ELSE", "CASE 2", "END SELECT"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::CaseOrder);
    EXPECT_EQ(ErrorPlace(), QStringLiteral("4:1"));

    // An error at a statement's own first item stands on that item: never in the indentation, on the
    // ":" or THEN before it, or on the line before.
    struct Case {
        const char* Line;
        const char* Place;
    };
    const Case cases[] = {
        {"    ERROR 5", "2:5"},     {"  ON X GOTO 10, 20", "2:3"},
        {"\tLOCATE 1, 2", "2:2"},   {"  = 5", "2:3"},
        {"  (1)", "2:3"},           {"  \"a\"", "2:3"},
        {"X = 1:  ERROR 5", "2:9"}, {"IF X THEN ERROR 5", "2:11"},
        {"ERROR 5", "2:1"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(Compile({"PRINT 1", c.Line})) << c.Line;
        EXPECT_EQ(ErrorPlace(), QString::fromUtf8(c.Place)) << c.Line;
    }

    EXPECT_FALSE(Compile({"SELECT CASE X", "PRINT", "END SELECT"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::SelectCaseNoCase);

    EXPECT_FALSE(Compile({"IF X > 1 PRINT"}));
    EXPECT_NE(Fe.ErrorNumber, 0);

    EXPECT_FALSE(Compile({"X = (1 + 2"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::UnmatchedOpenBracket);

    EXPECT_FALSE(Compile({"X ="}));
    EXPECT_EQ(Fe.ErrorNumber, Err::LetNoExpression);

    EXPECT_FALSE(Compile({"X = 1 2"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::OperandsInRow);

    EXPECT_FALSE(Compile({"DIM A(3)", "A = 1"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::ArraySyntax);

    EXPECT_FALSE(Compile({"DIM A(3)", "A(1, 2) = 1"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::ArraySyntax);

    EXPECT_FALSE(Compile({"FOR 1 = 1 TO 2", "NEXT"}));
    EXPECT_NE(Fe.ErrorNumber, 0);
}

TEST_F(CompileTest, OpenBlocksFoundByTheScanFirst) {
    // The scan's own block check sees a FOR without NEXT before the compiler's check could.
    EXPECT_FALSE(Compile({"FOR I = 1 TO 3", "PRINT I"}));
    EXPECT_EQ(Fe.ErrorNumber, Err::BlockNotClosed);
}

TEST_F(CompileTest, AnOverlongExpressionIsRefused) {
    QByteArray sum = "X = 1";
    for (int i = 0; i < 40; ++i)
        sum += " + 1";
    EXPECT_FALSE(Compile({sum.constData()}));
    EXPECT_EQ(Fe.ErrorNumber, ExpressionTooLongError);
}

// A stop asked for while a long program compiles ends each phase within a few statements, leaving no
// error and nothing that could run (the fetch limit stays below the program's first item).
TEST_F(CompileTest, AStopEndsEachPhaseOfALongCompile) {
    constexpr int Lines = 20000;
    QString text;
    for (int i = 0; i < Lines; ++i)
        text += QStringLiteral("X = X + 1\r\n");
    auto prepare = [&] {
        Fe.ProgramText = text;
        Fe.ProgramTextLength = static_cast<int>(text.size());
        Rd.CompileText = text + QStringLiteral("\r\n") + QChar(0) + QChar(0);
        Rd.CompileTextLength = static_cast<int>(Rd.CompileText.size());
        ResetInterpreter();
    };
    prepare();
    Rc.StopRequest = 1;
    EXPECT_FALSE(CompileProgram());
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_LT(Rd.SourcePos, Rd.CompileTextLength / 4) << "the pre-scan read on";
    EXPECT_EQ(Ib.CodeLimit, ImmediateAreaLast);

    prepare();
    Ib.PreCodeIndex = ProgramCodeStart;
    Rc.StopRequest = 1;
    ScanProgram();
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_LT(Ib.PreCodeIndex, ProgramCodeStart + 4 * CompileStopInterval) << "the scan read on";

    prepare();
    Ib.PreCodeIndex = ProgramCodeStart;
    ScanProgram();
    ASSERT_EQ(Fe.ErrorNumber, 0);
    InitCode();
    Ib.PreCodeIndex = ProgramCodeStart;
    Ib.CodeIndex = ProgramCodeStart;
    Rc.StopRequest = 1;
    ParseProgram();
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_LT(Ib.CodeIndex, ProgramCodeStart + 16 * CompileStopInterval) << "the compiler went on";
    EXPECT_EQ(Ib.CodeLimit, ImmediateAreaLast) << "a half-compiled program must not be runnable";
    Rc.StopRequest = 0;
}

TEST_F(CompileTest, ImmediateCommandAfterAProgram) {
    ASSERT_TRUE(Compile({"X = 1", "PRINT X"}));
    const QString program = Listing();
    const int limit = Ib.CodeLimit;
    Rc.RunMode = RunKind::Immediate;
    Fe.CommandText = QStringLiteral("PRINT X + 1");
    Rd.CompileText = Fe.CommandText + QStringLiteral("\r\n") + QChar(0) + QChar(0);
    Rd.CompileTextLength = static_cast<int>(Rd.CompileText.size());
    ASSERT_TRUE(CompileImmediate());
    // The command's items from slot 1, ending in its own end item; the program and its limit stay.
    EXPECT_EQ(Ib.CodeBuffer[1].FirstCode, CodeKind::ExprOpen);
    EXPECT_EQ(Ib.CodeBuffer[4], (CodeItemType{CodeKind::Operator, Op::Plus, Ib.CodeBuffer[4].Position}));
    EXPECT_EQ(Ib.CodeBuffer[6], (CodeItemType{CodeKind::Statement, St::PRINT, Ib.CodeBuffer[6].Position}));
    int end = 1;
    while (end < ImmediateAreaLast && Ib.CodeBuffer[static_cast<std::size_t>(end)].FirstCode != CodeKind::End)
        ++end;
    EXPECT_LT(end, ImmediateAreaLast);
    EXPECT_EQ(Ib.CodeLimit, limit);
    Rc.RunMode = RunKind::Program;
    EXPECT_EQ(Listing(), program);
}

} // namespace
