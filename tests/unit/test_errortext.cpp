// Error messages: how the texts are assembled (line breaks, shared pieces, the culprit's name, the
// tokenizer's character), the general text for numbers without a message, the cleared Gl stack, and
// the line and column of an error.
#include "core/errornumbers.h"
#include "core/errortext.h"
#include "core/internalcodes.h"
#include "core/sharedstate.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"

#include <gtest/gtest.h>

#include <climits>
#include <string_view>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString General = u"エラーです。"_s;
const QString Syntax = u" の構文に誤りがあります。"_s;
const QString NotAnExpression = u"正しい式ではありません。"_s;
const QString Mistyped = u"ミスタイプが考えられます。文字や空白を確認して下さい。"_s;

class ErrorTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        Fe.ErrorNameIndex = 0;
        Rd.BadCharText.clear();
    }

    QString Message(int number, int nameIndex) {
        Fe.ErrorNameIndex = nameIndex;
        return ErrorMessage(number);
    }
};

TEST_F(ErrorTextTest, LineBreakOnlyWhereTheFirstTextEndsInOne) {
    EXPECT_EQ(ErrorMessage(Err::NestingTooDeep),
              u" If ， For ， While 等の制御文の入れ子が深すぎます。\r\n 簡単な構文にして下さい。"_s);
    // E runs straight on into the second text.
    EXPECT_EQ(ErrorMessage(Err::NotInExpression),
              NotAnExpression + u"式の中に使えない記号が含まれています。"_s);
    // Two literals without NL between them stay on one line.
    EXPECT_EQ(
        ErrorMessage(Err::ReturnStackFull),
        u"サブルーチンを続けて呼びすぎました。ｻﾌﾞﾙｰﾁﾝのなかでｻﾌﾞﾙｰﾁﾝは続けて10回までしか呼べません。"_s);
    // A first text that ends in NL with no second text leaves the break at the end.
    EXPECT_EQ(ErrorMessage(Err::ForNotNumericVariable), u"For の次は数値変数です。\r\n"_s);
    EXPECT_EQ(ErrorMessage(Err::GosubBadOperator), u"Gosub での引数の取り方に誤りがあります。\r\n"_s);
}

TEST_F(ErrorTextTest, SharedPiecesSAndEAndM) {
    EXPECT_EQ(ErrorMessage(Err::ForNoTo), u"For ～ Next"_s + Syntax + u"\r\n For 文に To がありません。"_s);
    EXPECT_EQ(ErrorMessage(Err::SyntaxError), Syntax + u"\r\n"_s);
    EXPECT_EQ(ErrorMessage(Err::BadNumericLiteral), NotAnExpression);
    EXPECT_EQ(ErrorMessage(Err::LetNoVariable),
              Mistyped + u"\r\nLet文ならば構文の誤りです。Letの次は「変数」です。"_s);
    EXPECT_EQ(ErrorMessage(Err::PrintNoExpression),
              u"Print文 の構文に誤りがあります。Print の次は 式です。\r\n"_s + Mistyped);
    EXPECT_EQ(ErrorMessage(Err::BadDiskName), u"目的のディスクの名前が正しくありません。"_s + Mistyped);
    EXPECT_EQ(ErrorMessage(Err::PrintUsingSyntax), u"Print using"_s + Syntax + u"\r\n"_s + Mistyped);
}

TEST_F(ErrorTextTest, LiteralRowsAsWritten) {
    EXPECT_EQ(ErrorMessage(Err::OutOfMemory),
              u"メモリー不足です。変数の個数，プログラム等が大きすぎます。"_s);
    EXPECT_EQ(ErrorMessage(Err::ControlWindowClosed), u"コントロール画面が開かれていません。"_s);
    EXPECT_EQ(ErrorMessage(Err::InnerStackOverflow), u"InnerStackOverflow"_s);
    EXPECT_EQ(ErrorMessage(Err::PropertyAssignSyntax),
              u"Property 設定の構文に誤りがあります。Proprety = 数値，数値変数の形です。"_s);
    EXPECT_EQ(ErrorMessage(Err::PrintFileNotOpen),
              u"書き込み目的の番号ファイルは Open されていません。\r\n"
              u"Print # は Output または Append で Open されている File にだけ使えます。"_s);
    EXPECT_EQ(ErrorMessage(Err::ListSyntax),
              u"List"_s + Syntax + u"\r\nLorvex for Windows では List 文は 「List」の形 です。"_s);
    // Texts that quote a double quote themselves.
    EXPECT_EQ(ErrorMessage(Err::StringNotClosed), u"文字列が行末まで \" で閉じていません。"_s);
    EXPECT_EQ(ErrorMessage(Err::FilesSyntax),
              u"Files"_s + Syntax + u"\r\nFiles 文は 「Files」又は「Files \"ﾃﾞｨｽｸ名:\"」 です。"_s);
    EXPECT_EQ(ErrorMessage(Err::OpenBracketInOutput),
              NotAnExpression + u"括弧や \" などの誤りが考えられます。"_s);
    EXPECT_EQ(ErrorMessage(Err::WideCharacter),
              u"プログラム本文に漢字（全角文字）や半角カナが使われています。\r\n"
              u"全角の空白や”等を調べてください。"_s);
}

TEST_F(ErrorTextTest, NumbersThatShareAText) {
    EXPECT_EQ(ErrorMessage(Err::WideCharInWord), ErrorMessage(Err::WideCharacter));
    EXPECT_EQ(ErrorMessage(Err::UnexpectedLexErrorAlt), ErrorMessage(Err::UnexpectedLexError));
    EXPECT_EQ(ErrorMessage(Err::NoGraphicsWindow), ErrorMessage(Err::FilePsetNoGraphicsWindow));
    EXPECT_EQ(ErrorMessage(Err::FileNotFound), u"対象ファイルが見つかりません。"_s);
    EXPECT_EQ(ErrorMessage(Err::TargetFileNotFound), u"対象ファイルが見つかりません。"_s);
    EXPECT_EQ(ErrorMessage(Err::BadLineEnd), ErrorMessage(Err::LoneCr));
    EXPECT_EQ(ErrorMessage(Err::UnmatchedCloseBracket), ErrorMessage(Err::UnmatchedOpenBracket));
    EXPECT_EQ(ErrorMessage(Err::NumNameWithoutKind), ErrorMessage(Err::StrNameWithoutKind));
    EXPECT_NE(ErrorMessage(Err::UnexpectedLexError), ErrorMessage(Err::UnexpectedParseError));
}

TEST_F(ErrorTextTest, WholeRangesShareOneText) {
    const QString window = u"Window 文での座標計算中に型の不一致が起きました。\r\n"
                           u"Window の構文は 「Window (X1,Y1)-(X2,Y2)」の形です。"_s;
    const QString screen = u"Screen 文での座標計算中に型の不一致が起きました。\r\n"
                           u"Screen の構文は 「Screen (X,Y)」の形です。"_s;
    for (int n = Err::WindowNotNumbers; n <= Err::WindowEmptyArea; ++n)
        EXPECT_EQ(ErrorMessage(n), window) << n;
    for (int n = Err::ScreenWidthNotNumber; n <= Err::ScreenCoordinateLast; ++n)
        EXPECT_EQ(ErrorMessage(n), screen) << n;
    // The neighbours are not part of the ranges.
    EXPECT_EQ(ErrorMessage(Err::WindowNotNumbers - 1), General);
    EXPECT_EQ(ErrorMessage(Err::LineNotNumbers), u"Line 文で 引数が数値ではありません。\r\n"
                                                 u"Line の構文は 「Line (X1,Y1)-(X2,Y2), C, B」の形です。"_s);
    EXPECT_EQ(ErrorMessage(Err::ScreenWidthNotNumber - 1), General);
    EXPECT_EQ(ErrorMessage(Err::ScreenCoordinateLast + 1), General);
}

TEST_F(ErrorTextTest, StatementRowsNameTheStatement) {
    EXPECT_EQ(Message(Err::StatementNotEnded, St::DATA), u"DATA文が正しく終わっていません。"_s);
    EXPECT_EQ(Message(Err::StatementNotSupported, St::LOCATE),
              u"コマンド LOCATE は現在サポートしていません。"_s);
    EXPECT_EQ(Message(Err::StatementType, St::GLOCATE),
              u"コマンド GLOCATE の実行で型の不一致が起きました。"_s);
    EXPECT_EQ(Message(Err::StatementSyntax, St::CLS),
              u"コマンド CLS の構文エラーです。\r\nコマンドまたは引数のミスタイプが考えられます。"_s);
    EXPECT_EQ(Message(Err::StatementFailed, St::PRINT), u"コマンド PRINT の実行中にエラーが起きました。"_s);
    EXPECT_EQ(Message(Err::PropertySyntax, St::CBUTTON),
              u"プロパティCBUTTON の構文エラーです。\r\n指定または引数のミスタイプが考えられます。"_s);
    EXPECT_EQ(Message(Err::OnOffMissing, St::ECHO),
              u"ECHOの構文に誤りがあります。\r\nECHO On または ECHO Off です。"_s);
}

TEST_F(ErrorTextTest, StatementCodesBeyondTheTableNameWhatTheUserWrote) {
    // Argument forms carry 1000 × k + s.
    EXPECT_EQ(Message(Err::StatementType, 1000 + St::LOADPICTURE),
              u"コマンド LOADPICTURE の実行で型の不一致が起きました。"_s);
    EXPECT_EQ(Message(Err::StatementType, 3000 + St::LOADPICTURE),
              Message(Err::StatementType, St::LOADPICTURE));
    // WEND after DO WHILE: the open block is the DO.
    EXPECT_EQ(Message(Err::WendMismatch, InSt::DoWhile),
              u"Wend が While と正しく対応していません。DO文の誤りも考えられます。"_s);
    EXPECT_EQ(Message(Err::StatementNotEnded, InSt::LoopUntil), u"LOOP文が正しく終わっていません。"_s);
    EXPECT_EQ(Message(Err::StatementType, InSt::MediaPlayerOpen),
              Message(Err::StatementType, St::MEDIAPLAYER));
    EXPECT_EQ(Message(Err::StatementType, InSt::PrintUsingFile), Message(Err::StatementType, St::PRINTFile));
    // Internal codes that stand for no statement name nothing.
    EXPECT_EQ(Message(Err::StatementNotSupported, InSt::GlPop), u"コマンド  は現在サポートしていません。"_s);
}

TEST_F(ErrorTextTest, FunctionRowsNameTheFunction) {
    EXPECT_EQ(
        Message(Err::FunctionArgType, Fn::RND),
        u"関数 RND の計算で引数の型の不一致が起きました。\r\n関数名または引数のミスタイプが考えられます。"_s);
    EXPECT_EQ(Message(Err::FunctionNotSupported, Fn::CSRLIN), u"関数 CSRLIN は現在サポートしていません。"_s);
    EXPECT_EQ(Message(Err::ConversionTooLong, Fn::RND), u"関数RNDで変換文字数が多すぎます。"_s);
    EXPECT_EQ(Message(Err::FunctionArgRange, 1), u"関数 ABS の引数の値が計算できない範囲にあります。"_s);
    EXPECT_EQ(Message(Err::FunctionResultRange, Fn::YEARTIMER),
              u"関数 YEARTIMER の計算で結果が扱える範囲を越えました。"_s);
    // 10000 × k + f is a further form of f; 1000 + s reads the window setting of statement s.
    EXPECT_EQ(Message(Err::FunctionFailed, 20000 + Fn::RND), Message(Err::FunctionFailed, Fn::RND));
    EXPECT_EQ(Message(Err::FunctionFailed, 1000 + St::FORECOLOR),
              u"関数 FORECOLOR の計算・処理中にエラーが起きました。"_s);
}

TEST_F(ErrorTextTest, OperatorRowsNameTheOperator) {
    EXPECT_EQ(
        Message(Err::OperatorType, Op::Mod),
        u"演算子 MOD の計算で型の不一致が起きました。\r\n演算子または引数のミスタイプが考えられます。"_s);
    EXPECT_EQ(Message(Err::OperatorArgRange, Op::ChgSgn),
              u"演算子 ChgSgn の引数の値が計算できない範囲にあります。"_s);
    EXPECT_EQ(Message(Err::OperatorResultRange, Op::Divide),
              u"演算子 / の計算で結果が扱える範囲を越えました。"_s);
    EXPECT_EQ(Message(Err::OperatorFailed, Op::Equal), u"演算子 = の計算中にエラーが起きました。"_s);
    EXPECT_EQ(
        Message(Err::LogicalOperatorType, Op::And),
        u"論理演算子 AND の計算で型の不一致が起きました。\r\n演算子または引数のミスタイプが考えられます。"_s);
}

// Whatever ErrorNameIndex holds, the message names nothing rather than reading past a table.
TEST_F(ErrorTextTest, NameIndexOutsideTheTablesNamesNothing) {
    for (int index : {0, -1, -1000, INT_MIN, INT_MAX, OperatorCount + 1, 999, 2000 + 196}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(Message(Err::OperatorFailed, index), u"演算子  の計算中にエラーが起きました。"_s);
    }
    for (int index : {0, -1, INT_MIN, INT_MAX, FunctionCount + 1, InFn::ClipboardGetText, 1000,
                      SettingValueBase + InSt::AudioMixerMasterMute, 1000 + 196, 2000 + 236, 30000}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(Message(Err::FunctionNotSupported, index), u"関数  は現在サポートしていません。"_s);
    }
    for (int index : {0, -1, INT_MIN, InSt::EvalFormTrapOff, 999, InSt::SubStart, 2000 + 196}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(Message(Err::StatementNotEnded, index), u"文が正しく終わっていません。"_s);
    }
    // INT_MAX reduces to 647, which is no statement either.
    EXPECT_EQ(Message(Err::StatementFailed, INT_MAX), u"コマンド  の実行中にエラーが起きました。"_s);
    // The operator table's own empty slots give an empty name as well.
    EXPECT_EQ(Message(Err::OperatorFailed, Op::Empty26), u"演算子  の計算中にエラーが起きました。"_s);
}

TEST_F(ErrorTextTest, BlockMessagesAddTheNameOnlyWhenThereIsOne) {
    EXPECT_EQ(Message(Err::BlockMismatch, 0), u"文の対応が不正です。"_s);
    EXPECT_EQ(Message(Err::BlockMismatch, St::THEN), u"THEN文に対応する文がありません。"_s);
    EXPECT_EQ(Message(Err::BlockMismatch, InSt::GlPop), u"文の対応が不正です。"_s);
    EXPECT_EQ(Message(Err::BlockNotClosed, 0), u"Block 文が正しくありません。"_s);
    EXPECT_EQ(Message(Err::BlockNotClosed, St::THEN),
              u"Block 文が正しくありません。THEN文に対応する文がありません。"_s);
    EXPECT_EQ(Message(Err::NextMismatch, 0), u"Next が For と正しく対応していません。"_s);
    EXPECT_EQ(Message(Err::NextMismatch, St::NEXT),
              u"Next が For と正しく対応していません。NEXT文の誤りも考えられます。"_s);
    EXPECT_EQ(Message(Err::ExitMismatch, -7), u"Exit 文で Do または For が正しく対応していません。"_s);
}

TEST_F(ErrorTextTest, BadCharacterQuotesTheTokenizersText) {
    Rd.BadCharText = u"~"_s;
    EXPECT_EQ(ErrorMessage(Err::BadCharacter),
              u"Basic で使われない文字(UNICODE:~)が含まれています。\r\n 又は使う場所に誤りがあります。"_s);
    Rd.BadCharText = u"`"_s;
    EXPECT_TRUE(ErrorMessage(Err::BadCharacter).startsWith(u"Basic で使われない文字(UNICODE:`)"_s));
    // Only error 1 quotes it.
    EXPECT_FALSE(ErrorMessage(Err::WideCharInWord).contains(u'`'));
    EXPECT_FALSE(ErrorMessage(Err::UnknownStatement).contains(u'`'));
}

TEST_F(ErrorTextTest, NumbersWithoutAMessageGiveTheGeneralText) {
    for (int number : {Err::None,
                       4,
                       100,
                       102,
                       Err::CompileTextTooLarge,
                       Err::BadHexLiteral,
                       130,
                       Err::ForNoVariable,
                       Err::ForNoEqual,
                       Err::GosubBadTarget,
                       Err::GotoBadTarget,
                       Err::ClsMode,
                       Err::LineOptionKind,
                       Err::CircleOptionName,
                       Err::CircleOptionKind,
                       Err::PaintPointNotNumbers,
                       Err::LocalStackError,
                       Err::CallFrameOverflow,
                       Err::CallFrameEmpty,
                       Err::ThenMismatch,
                       60000,
                       -1,
                       INT_MIN,
                       INT_MAX}) {
        EXPECT_EQ(ErrorMessage(number), General) << number;
    }
    // A program past the size limit is told so.
    EXPECT_EQ(ErrorMessage(Err::ProgramTooLarge), u"プログラムの大きさが許容量を越えました。"_s);
}

TEST_F(ErrorTextTest, EveryNumberGivesSomeText) {
    for (int index : {0, St::THEN, INT_MIN}) {
        Fe.ErrorNameIndex = index;
        for (int number = 0; number <= 60000; ++number)
            ASSERT_FALSE(ErrorMessage(number).isEmpty()) << number;
    }
}

TEST_F(ErrorTextTest, LeavesTheGlStackAlone) {
    // Building a text changes nothing: the end of a run empties the stack itself.
    InitGlStack();
    GlPushNum(1.5L);
    GlPushStr(u"left over"_s);
    ASSERT_EQ(ValueStackCount, 2);
    ErrorMessage(Err::DivisionByZero);
    ErrorMessage(Err::None);
    EXPECT_EQ(ValueStackCount, 2);
    EXPECT_EQ(GlTopType(), GlValueType::String);
    GlClear();
}

TEST_F(ErrorTextTest, PlacesAreMeasuredInTheCompiledTextAndAColumnIsNeverZero) {
    // LOAD and NEW replace ProgramText under the running program; its positions stay in the text it
    // was compiled from.
    Fe.ProgramText.clear();
    Fe.CompiledProgramText = u"AB\r\n  CD\r\nE"_s;
    EXPECT_EQ(LineColumnText(1), u"1行,　1 桁"_s);
    EXPECT_EQ(LineColumnText(4), u"2行,　1 桁"_s); // the LF of a CR LF is no column of its own
    EXPECT_EQ(LineColumnText(7), u"2行,　3 桁"_s);
    EXPECT_EQ(LineColumnText(0), u"1行,　1 桁"_s);
    EXPECT_EQ(LineColumnText(100), u"3行,　1 桁"_s);
    Fe.CompiledProgramText.clear();
    EXPECT_EQ(LineColumnText(5), u"1行,　1 桁"_s);
}

TEST_F(ErrorTextTest, EveryRowGivesItsMessageAndOnlyGeneralRowsTheGeneralText) {
    struct Row {
        int Number;
        bool General;
    };
    static constexpr Row Rows[] = {
#define LX_ERROR_ROW(name, number, text) {number, std::string_view(#text) == "GeneralError"},
        LX_ERROR_NUMBERS(LX_ERROR_ROW)
#undef LX_ERROR_ROW
    };
    for (int index : {0, St::THEN}) {
        Fe.ErrorNameIndex = index;
        for (const Row& row : Rows) {
            const QString text = ErrorMessage(row.Number);
            EXPECT_FALSE(text.isEmpty()) << row.Number;
            EXPECT_EQ(text == General, row.General) << row.Number;
        }
    }
}

} // namespace
