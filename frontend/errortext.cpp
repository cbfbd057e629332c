// Error messages. Most messages are a literal; the assembled ones share the pieces below and, for the
// numbers that name a culprit, the statement, function or operator that ErrorNameIndex points at.
#include "frontend/errortext.h"

#include "frontend/errornumbers.h"
#include "frontend/internalcodes.h"
#include "frontend/sharedstate.h"
#include "frontend/vocabulary.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const QString NL = u"\r\n"_s;
const QString S = u" の構文に誤りがあります。"_s;
const QString E = u"正しい式ではありません。"_s;
const QString M = u"ミスタイプが考えられます。文字や空白を確認して下さい。"_s;
const QString GeneralError = u"エラーです。"_s;

// Statement codes carry 1000 × k + s for the k-th further argument form of statement s; function
// codes carry 10000 × k + f for the k-th further form of function f, and 1000 + s for reading the
// window setting of statement s.
constexpr int StatementFormStep = 1000;
constexpr int FunctionFormStep = 10000;
constexpr int WindowSettingBase = 1000;

// The statement slot a statement code stands for, or 0. Besides the slots and their argument forms,
// the internal codes that replace a statement the user wrote name that statement, so that, say, a WEND
// after DO WHILE blames the DO.
int StatementSlotOf(int code) {
    if (code >= StatementFormStep) code %= StatementFormStep;
    if (code >= 1 && code <= StatementCount) return code;
    if (code >= InSt::MediaPlayerClose && code <= InSt::MediaPlayerStop) return St::MEDIAPLAYER;
    switch (code) {
    case InSt::DoUntil:
    case InSt::DoWhile: return St::DO;
    case InSt::LoopPlain:
    case InSt::LoopUntil:
    case InSt::LoopWhile: return St::LOOP;
    case InSt::AudioMixerMasterMute:
    case InSt::AudioMixerMasterVolume: return St::AUDIOMIXER;
    case InSt::ClipboardClear:
    case InSt::ClipboardSetText: return St::CLIPBOARD;
    case InSt::PrintFileLineEnd:
    case InSt::PrintUsingFile: return St::PRINTFile;
    default: return 0;
    }
}

QString FromTable(std::u16string_view text) {
    return QStringView(text).toString();
}

// The culprit's name; empty whenever ErrorNameIndex is no slot of the table, so a stray index can
// never read outside it.
QString StatementName() {
    const int slot = StatementSlotOf(Fe.ErrorNameIndex);
    return slot > 0 ? FromTable(StatementNames[static_cast<std::size_t>(slot)]) : QString();
}

QString FunctionName() {
    int code = Fe.ErrorNameIndex;
    if (code >= FunctionFormStep) code %= FunctionFormStep;
    if (code >= 1 && code <= FunctionCount) return FromTable(FunctionNames[static_cast<std::size_t>(code)]);
    if (code > WindowSettingBase && code - WindowSettingBase <= StatementCount)
        return FromTable(StatementNames[static_cast<std::size_t>(code - WindowSettingBase)]);
    return {};
}

QString OperatorName() {
    const int slot = Fe.ErrorNameIndex;
    return slot >= 1 && slot <= OperatorCount ? FromTable(OperatorNames[static_cast<std::size_t>(slot)])
                                              : QString();
}

// The second text of the block messages that add the culprit only when there is one.
QString NamedTail(const QString& tail) {
    const QString name = StatementName();
    return name.isEmpty() ? QString() : name + tail;
}

// The first text directly followed by the second; where a first text ends in NL the second starts on
// a line of its own.
QString MessageText(int number) {
    // Two whole ranges share one text each.
    if (number >= Err::WindowNotNumbers && number <= Err::WindowEmptyArea)
        return u"Window 文での座標計算中に型の不一致が起きました。"_s + NL +
               u"Window の構文は 「Window (X1,Y1)-(X2,Y2)」の形です。"_s;
    if (number >= Err::ScreenWidthNotNumber && number <= Err::ScreenCoordinateLast)
        return u"Screen 文での座標計算中に型の不一致が起きました。"_s + NL +
               u"Screen の構文は 「Screen (X,Y)」の形です。"_s;

    switch (number) {
    case Err::BadCharacter:
        return u"Basic で使われない文字(UNICODE:"_s + Fe.BadCharText + u")が含まれています。"_s + NL +
               u" 又は使う場所に誤りがあります。"_s;
    case Err::UnknownStatement:
        return u"この命令はサポートされていません。"_s + NL + u"または文が不完全です。"_s;
    case Err::OperatorStackFull: return E + u"括弧や，関数の引数の使い方の誤りが考えられます。"_s;
    case Err::OperatorStackEmpty: return E + u"括弧や，関数の引数の使い方の誤りが考えられます。"_s;
    case Err::OpenBracketInOutput: return E + u"括弧や \" などの誤りが考えられます。"_s;
    case Err::NumNameWithoutKind:
    case Err::StrNameWithoutKind: return u"式の変換中にエラーが生じました。非想定のエラーです。"_s;
    case Err::NotInExpression: return E + u"式の中に使えない記号が含まれています。"_s;
    case Err::UnmatchedCloseBracket:
    case Err::UnmatchedOpenBracket: return E + u"左右の括弧の対応が不正または，計算できない式です。"_s;
    case Err::MisplacedComma: return E + u"括弧や，カンマ，関数の引数の使い方の誤りが考えられます。"_s;
    case Err::DefParameterTwice: return u"この局所変数は既に使われています。２重定義です。"_s;
    case Err::DefNameNotVariable: return u"Def"_s + S + NL + u"関数名は数値変数または文字列変数です。"_s;
    case Err::DefNoOpenBracket: return u"Def"_s + S + NL + u"関数名の後は( です。"_s;
    case Err::FunctionNoName: return u"Function"_s + S + NL + u"Function の次は関数名です。"_s;
    case Err::SubNoName: return u"Sub"_s + S + NL + u"Sub の次は手続き名です。"_s;
    case Err::StatementNotEnded: return StatementName() + u"文が正しく終わっていません。"_s;
    case Err::BracketCountMismatch: return u" 式の中に含まれる左右の括弧の個数が合いません。"_s;
    case Err::LabelSyntax:
        return u" Label の使い方に誤りがあります。"_s + u" * の次の Label 名は数値変数型です。"_s;
    case Err::LabelTwice: return u" 同じ Label が２つあります。Label の名前を変えて下さい。"_s;
    case Err::LabelIsArrayName: return u" 配列変数名と同じ Label 名です。Label の名前を変えて下さい。"_s;
    case Err::LabelIsProcedureName:
        return u" この名前は関数やサブプログラム名として使われています。Label の名前を変えて下さい。"_s;
    case Err::NestingTooDeep:
        return u" If ， For ， While 等の制御文の入れ子が深すぎます。"_s + NL +
               u" 簡単な構文にして下さい。"_s;
    case Err::ForNoTo: return u"For ～ Next"_s + S + NL + u" For 文に To がありません。"_s;
    case Err::ForNextVariableMismatch:
        return u"For ～ Next"_s + S + NL + u"For と Next の数値変数 が対応していません。"_s;
    case Err::ForWithoutNext: return u"For ～ Next"_s + S + NL + u"For に対応する Next がありません。"_s;
    case Err::NextWithoutFor: return u"For ～ Next"_s + S + NL + u"Next に対応する For がありません。"_s;
    case Err::WhileWithoutWend:
        return u"While ～ Wend"_s + S + NL + u"While に対応する Wend がありません。"_s;
    case Err::WendWithoutWhile:
        return u"While ～ Wend"_s + S + NL + u"Wend に対応する While がありません。"_s;
    case Err::IfNoThen: return u"If"_s + S + NL + u"If 文は If ～ の後は Then ～ Else ～ EndIf の形です。"_s;
    case Err::IfThenOrGoto: return u"If"_s + S + NL + u"If 文は If ～ Then ～ 又は If ～ Goto ～です。"_s;
    case Err::IfBlockMismatch: return u"If"_s + S + NL + u"If 文と Else や EndIf がよく対応していません。"_s;
    case Err::GosubBadLabel:
        return u"ラベル名は数値変数型でなくてはいけません。また予約語は使えません。"_s + NL;
    case Err::GosubBadOperator: return u"Gosub での引数の取り方に誤りがあります。"_s + NL;
    case Err::SelectCaseNoSeparator:
        return u"Select Case"_s + S + NL + u" Select Case 式の後は 改行，カンマ か コロンです。"_s;
    case Err::SelectCaseNoCase:
        return u"Select Case"_s + S + NL + u" Select Case 式の後は 改行か コロンの次は Case 文です。"_s;
    case Err::SelectCaseNoExpression: return u"Select Case"_s + S + NL + u" Select Case の後は 式です。"_s;
    case Err::CaseOrder:
        return u"Select Case"_s + S + NL + u" Case の対応や，Case else の順序に誤りがあります。"_s;
    case Err::CaseSyntax: return u"Select Case"_s + S + NL + u" Case 構文に誤りがあります。"_s;
    case Err::DefSyntax: return u"Def"_s + S + NL + u" Def 文は関数名の後は ( 　変数　,　）です。"_s;
    case Err::LetNoVariable: return M + NL + u"Let文ならば構文の誤りです。Letの次は「変数」です。"_s;
    case Err::LetNoEqual: return M + NL + u"Let文ならば構文の誤りです。Let文では変数の次は「=」です。"_s;
    case Err::LetNoExpression:
        return u"Letの構文に誤りがあります。Let文は変数=式です。対応する式がありません。"_s + NL + M;
    case Err::PrintNoExpression: return u"Print文 の構文に誤りがあります。Print の次は 式です。"_s + NL + M;
    case Err::InputNoVariableAfterPrompt:
        return u"Input"_s + S + NL + u"Input 文は 文字列定数 カンマ 又は セミコロンの次は変数です。"_s;
    case Err::InputNoSeparatorAfterPrompt:
        return u"Input"_s + S + NL + u"Input 文は Input 文字列定数 の次は カンマ 又は セミコロン です。"_s;
    case Err::InputNoVariable:
        return u"Input"_s + S + NL + u"Input 文は 入力ﾒｯｾｰｼﾞなしの場合 Input 変数 の形です。"_s;
    case Err::DimSyntax: return u"Dim"_s + S + NL + u"Dim 文は Dim 配列変数名(数値,…,数値), ... の形です。"_s;
    case Err::ArraySyntax:
        return u"この変数は Dim で配列変数と宣言されています。"_s + NL +
               u"正しい配列変数の形ではありません。"_s;
    case Err::VariableIsLabel: return u"この変数は 既に Label として使われています。名前を変えて下さい。"_s;
    case Err::VariableIsArray:
        return u"この変数は 既に 配列変数として宣言されています。名前を変えて下さい。"_s;
    case Err::DeclaredVariableUsed: return u"Dim 文や Public 文で宣言した変数が既に使われています。"_s;
    case Err::InputVariableList: return u"Input"_s + S + NL + u"読み込み用の変数の並びが正しくありません。"_s;
    case Err::InputNoSeparator:
        return u"Input"_s + S + NL + u"Input 文で，文字列の次はカンマまたはセミコロンです。"_s;
    case Err::InputArrayVariable:
        return u"Input"_s + S + NL + u"この変数は 配列変数として宣言されています。"_s;
    case Err::InputArrayType:
        return u"Input (#), Line Input (#)"_s + S + NL + u"この 配列変数の宣言の型と合いません。"_s;
    case Err::InputSyntax: return u"Input (#), Line Input (#)"_s + S + NL + u"構文を確認してください。"_s;
    case Err::InputFileSyntax:
        return u"Input #, Line Input #"_s + S + NL +
               u"Input # 文 は Print #数値(1から8), 式 ; (または , ) ... の形です。"_s;
    case Err::PrintFileSyntax:
        return u"Print #"_s + S + NL +
               u"Print # 文 は Print #数値(1から8), 式 ; (または , ) ... の形です。"_s;
    case Err::PrintFileNoComma:
        return u"Print #"_s + S + NL + u"Print #数値 の次は ｶﾝﾏ(,) 式(または , ) ... の形です。"_s;
    case Err::FileNumberRange:
        return u"Print #"_s + S + NL + u"Lorvex で指定できる File 番号は 1,2,...,8 のいずれかです。"_s;
    case Err::PrintFileNoExpression:
        return u"Print # 文 の構文に誤りがあります。Print #数, の次は 式です。"_s + NL + M;
    case Err::PrintUsingSyntax: return u"Print using"_s + S + NL + M;
    case Err::PrintUsingNoFormat:
        return u"Print using 文の構文に誤りがあります。Print using の次は文字列です。"_s + NL + M;
    case Err::PrintUsingNoSemicolon:
        return u"Print using"_s + S + NL + u"Print using 文字列 の次は ｾﾐｺﾛﾝ ; 式 ... の形です。"_s;
    case Err::PrintFileUsingNoFormat:
        return u"Print # using 文の構文に誤りがあります。Print # using の次は文字列です。"_s + NL + M;
    case Err::PrintFileUsingNoSemicolon:
        return u"Print # using"_s + S + NL + u"Print # using 文字列 の次は ｾﾐｺﾛﾝ ; 式 ... の形です。"_s;
    case Err::ExpressionFormMismatch:
        return u"対象の指定に誤りがあります。"_s + NL + u"コマンドの構文を確認して下さい。"_s;
    case Err::FilesSyntax:
        return u"Files"_s + S + NL + u"Files 文は 「Files」又は「Files \"ﾃﾞｨｽｸ名:\"」 です。"_s;
    case Err::KillSyntax: return u"Kill"_s + S + NL + u"Kill 文は 「Kill \"ﾌｧｲﾙ名(拡張子付)\"」 です。"_s;
    case Err::ListSyntax:
        return u"List"_s + S + NL + u"Lorvex for Windows では List 文は 「List」の形 です。"_s;
    case Err::LoadSyntax: return u"Load"_s + S + NL + u"Load 文は 「Load \"ﾌｧｲﾙ名\"」 です。"_s;
    case Err::NameSyntax:
        return u"Name"_s + S + NL + u"Name 文は 「Name \"旧ﾌｧｲﾙ名\" as \"新ﾌｧｲﾙ名\"」 です。"_s;
    case Err::ChDirSyntax: return u"ChDir"_s + S + NL + u"ChDir 文は 「ChDir \"Path名\"」 です。"_s;
    case Err::RunSyntax: return u"Run"_s + S + NL + u"Run 文は 「Run」または「Run \"ﾌｧｲﾙ名\"」 です。"_s;
    case Err::WindowSyntax:
        return u"Window"_s + S + NL + u"Winodow 文は 「Window (x1,y1)-(x2,y2)」 の形です。"_s;
    case Err::OnOffMissing:
        return StatementName() + u"の構文に誤りがあります。"_s + NL + StatementName() + u" On または "_s +
               StatementName() + u" Off です。"_s;
    case Err::ViewSyntax: return u"View"_s + S + NL + u"View 文は 「View (x1,y1)-(x2,y2)」 の形です。"_s;
    case Err::LineSyntax: return u"Line"_s + S + NL + u"Line 文は 「Line (x1,y1)-(x2,y2)」 の形です。"_s;
    case Err::PrintTitleSyntax:
        return u"PrintTitle"_s + S + NL + u"PrintTitle 文は 「PrintTitle 文字列（又は文字列変数）」 です。"_s;
    case Err::PrintGTitleSyntax:
        return u"PrintGTitle"_s + S + NL +
               u"PrintGTitle 文は 「PrintGTitle 文字列（又は文字列変数）」 です。"_s;
    case Err::ExpressionStackOverflow: return u" 式の計算でｽﾀｯｸがオーバーしました。"_s;
    case Err::OperatorMisuse: return u"式の計算で演算子の使い方に誤りがあります。"_s;
    case Err::TooManyData: return u" Data文が多すぎます。メモリを確保できません。"_s;
    case Err::ReadPastData: return u" Dataの個数を越えて Read 文 を実行しようとしました。"_s;
    case Err::ReadTypeMismatch: return u" Read 文の変数の型と Data 文の定数の型が合いません。"_s;
    case Err::DefFnTypeMismatch: return u" Def Fn 文で定義された変数の型と値の型が合いません。"_s;
    case Err::NameIsLabel: return u" この変数は Label として使われています。Label と名前を変えて下さい。"_s;
    case Err::ExecutionFailed: return u" の実行に失敗しました。"_s;
    case Err::PowerOfNegative: return u"ゼロや負数の巾は整数巾以外計算できません。"_s;
    case Err::NegativeArgument: return u"引き数が負数です。"_s;
    case Err::LogArgument: return u"対数の引数が小さすぎるか，ゼロ又は負です。"_s;
    case Err::SqrNegative: return u"平方根の引数が負です。"_s;
    case Err::InvalidOperation:
        return u"式の計算で実行できない演算がありました。"_s + NL +
               u"演算子や配列変数やカンマなどの使い方の誤りが考えられます。"_s;
    case Err::ModRange: return u"剰余演算が可能な範囲を越えました。"_s;
    case Err::SpaceArgument: return u"Space$ の引き数が不適当です。0～1024 の範囲にして下さい。"_s;
    case Err::IntDivDivisor: return u"整数除算で除数が正整数でありません。"_s;
    case Err::IntDivDividend: return u"整数除算で被除数が整数でありません。"_s;
    case Err::IntDivRange: return u"整数除算が可能な範囲を越えました。"_s;
    case Err::IntModDivisor: return u"整数剰余演算で除数が正整数でありません。"_s;
    case Err::IntModDividend: return u"整数剰余演算で被除数が整数でありません。"_s;
    case Err::IntModRange: return u"整数剰余演算が可能な範囲を越えました。"_s;
    case Err::ReturnStackFull:
        return u"サブルーチンを続けて呼びすぎました。"_s +
               u"ｻﾌﾞﾙｰﾁﾝのなかでｻﾌﾞﾙｰﾁﾝは続けて10回までしか呼べません。"_s;
    case Err::ReturnStackEmpty:
        return u"Gosub と Return が対応しません。"_s + u"Return に対して戻る位置が分かりません。"_s;
    case Err::NoSuchLabel: return u"If 文, Goto (または Gosub) 文で 対応するﾗﾍﾞﾙがありません。"_s;
    case Err::ConditionType: return u"If 文，または For 文で 条件式の型が合いません。"_s;
    case Err::JumpTargetInvalid: return u"内部ラベルが対応しません。Bug または条件文の使いすぎです。"_s;
    case Err::LineNotNumbers:
        return u"Line 文で 引数が数値ではありません。"_s + NL +
               u"Line の構文は 「Line (X1,Y1)-(X2,Y2), C, B」の形です。"_s;
    case Err::PsetNotNumbers:
        return u"PSet 文で 引数が数値ではありません。"_s + NL +
               u"PSet の構文は 「PSet (X1,Y1), C」の形です。"_s;
    case Err::CircleNotNumbers:
        return u"Circle 文で 引数が数値ではありません。"_s + NL +
               u"Circle の構文は 「Circle (X1,Y1), R」の形です。"_s;
    case Err::PaintNotNumbers:
        return u"Paint 文で 引数が数値ではありません。"_s + NL +
               u"Paint の構文は 「Circle (X1,Y1), C」の形です。"_s;
    case Err::SubscriptTooLarge: return u"配列変数の添え字が Dim 文で指定した範囲を越えました。"_s;
    case Err::SubscriptNegative: return u"配列変数の添え字が負になりました。"_s;
    case Err::SubscriptInvalid:
        return u"配列変数の添え字の対応が正しくありません。"_s +
               u"宣言が不正か，添え字が数値でない可能性があります。"_s;
    case Err::PathNotFound: return u"パスが見つかりません。"_s;
    case Err::AccessDenied: return u"ファイルアクセスが拒否されました。"_s;
    case Err::BadDriveName: return u"ディスクドライブ名が正しくありません。"_s;
    case Err::NoDisk: return u"ディスクがセットされていません。"_s;
    case Err::FileWriteProtected: return u"目的のファイルは書き込み禁止です。"_s;
    case Err::RenameWriteProtected: return u"目的のファイルは書き込み禁止です。改名できません。"_s;
    case Err::DeleteWriteProtected: return u"目的のファイルは書き込み禁止です。削除できません。"_s;
    case Err::RenameTargetExists: return u"目的ﾌｧｲﾙ名と同名のファイル があります。改名できません。"_s;
    case Err::BadDiskName: return u"目的のディスクの名前が正しくありません。"_s + M;
    case Err::BadTargetDrive:
        return u"目的ファイルのドライブ名が正しくありません。"_s +
               u"または，ミスタイプです。文字や空白を確認して下さい。"_s;
    case Err::LoadSaveFailed: return u"ロードまたはセーブに失敗しました。"_s;
    case Err::ChDirFailed: return u"ChDir に失敗しました。"_s;
    case Err::NameSourceMissing: return u"改名しようとしたファイルが見つかりません。"_s;
    case Err::NameTargetExists: return u"目的ファイル名と同名のファイル があります。改名できません。"_s;
    case Err::NameFailed: return u"改名 に失敗しました。"_s;
    case Err::KillFileMissing: return u"削除しようとしたファイルが見つかりません。"_s;
    case Err::KillFailed: return u"削除に失敗しました。"_s;
    case Err::ChannelAlreadyOpen:
        return u"目的の番号ファイルは既に Open されています。"_s + NL +
               u"この番号を別のファイルに割り当てるには１度 Close して下さい。"_s;
    case Err::OpenFailed: return u"Open の実行中にエラーが起きました。"_s;
    case Err::EofNotInput:
        return u"目的の番号ファイルは Input で Open されていません。"_s + NL +
               u"Eof 関数は Input で Open されている File にだけ使えます。"_s;
    case Err::EofSyntax:
        return u"Eof 関数の使い方に誤りがあります。"_s + NL +
               u"Eof 関数は Eof(数値) で数値は 1,2,..,8 のいずれかです。"_s;
    case Err::PrintFileNotOpen:
        return u"書き込み目的の番号ファイルは Open されていません。"_s + NL +
               u"Print # は Output または Append で Open されている File にだけ使えます。"_s;
    case Err::PrintFileOpenForInput:
        return u"書き込み番号目的のファイルは 読み込み用として Input で Open されています。"_s + NL +
               u"Print # は Output または Append で Open されている File にだけ使えます。"_s;
    case Err::LineInputFileNotOpen:
        return u"読み込み目的の番号ファイルは Open されていません。"_s + NL +
               u"Line Input # は Input で Open されている File にだけ使えます。"_s;
    case Err::LineInputFileForOutput:
        return u"読み込み目的の番号ファイルは 書き込み用として Output で Open されています。"_s + NL +
               u"Line Input # は Input で Open されている File にだけ使えます。"_s;
    case Err::LineInputFileForAppend:
        return u"読み込み目的の番号ファイルは 書き込み用として Append で Open されています。"_s + NL +
               u"Line Input # は Input で Open されている File にだけ使えます。"_s;
    case Err::LineInputFileAtEnd:
        return u"目的の番号ファイルには Line Input # で読み込むデータが既にありません。"_s + NL +
               u"Eof 関数でデータの存在を確認をしてから Line Input # を実行して下さい。"_s;
    case Err::InputFileChannel:
        return u"Input の実行中にエラーが生じました。"_s + NL + u"使える番号は 1, 2,.. 8 のいずれかです。"_s;
    case Err::InputFileNotOpen:
        return u"読み込み目的の番号ファイルは Open されていません。"_s + NL +
               u"Input は Input で Open されている File にだけ使えます。"_s;
    case Err::InputFileForOutput:
        return u"読み込み目的の番号ファイルは 書き込み用として Output で Open されています。"_s + NL +
               u"Input は Input で Open されている File にだけ使えます。"_s;
    case Err::InputFileForAppend:
        return u"読み込み目的の番号ファイルは 書き込み用として Append で Open されています。"_s + NL +
               u"Input は Input で Open されている File にだけ使えます。"_s;
    case Err::InputFileAtEnd:
        return u"目的の番号ファイルには Input で読み込むデータが既にありません。"_s + NL +
               u"Eof 関数でデータの存在を確認をしてから Input を実行して下さい。"_s;
    case Err::InputFileBadNumber:
        return u"Input # で読み込みこもうとした数値が正しい書式ではありません。"_s + NL +
               u"数値変数では正しい数値書式の数しか読めません。LineInput # を薦めます。"_s;
    case Err::UsingFieldType: return u"Print Using で書式と式が正しく対応していません。"_s;
    case Err::UsingUnderscore: return u"Print Using で書式文字 _ の使い方に誤りがあります。"_s;
    case Err::StrToFormSyntax:
        return u"StrToForm"_s + S + NL + u"StrToForm (文字列変数又は文字列，数式変数，数値変数)の形です。"_s;
    case Err::EvalFormSyntax:
        return u"EvalForm"_s + S + NL + u"EvalForm (数式変数，数値変数，数値変数)の形です。"_s;
    case Err::LineTooLarge: return u"Line 文でのx,y の値が大きすぎます。"_s;
    case Err::NotInImmediateMode: return u"この コマンドはダイレクトモードではサポートしていません。"_s;
    case Err::WideCharacter:
    case Err::WideCharInWord:
        return u"プログラム本文に漢字（全角文字）や半角カナが使われています。"_s + NL +
               u"全角の空白や”等を調べてください。"_s;
    case Err::BadLineEnd:
    case Err::LoneCr:
        return u"正しいテキストファイルプログラムではありません。"_s + NL + u"改行コードが不正です。"_s;
    case Err::UnderscoreMisplaced: return u"アンダースコア _ の使い方・位置に誤りがあります。"_s;
    case Err::NameTooLong: return u"変数名が長すぎます。"_s;
    case Err::OutOfMemory: return u"メモリー不足です。変数の個数，プログラム等が大きすぎます。"_s;
    case Err::StackOutOfMemory: return u"スタックメモリー不足です。計算が負荷が大きすぎます。"_s;
    case Err::ProgramTooLarge: return u"プログラムの大きさが許容量を越えました。"_s;
    case Err::FileNumberInvalid: return u"ファイル番号は 1,2,...,8 のいずれかです。"_s;
    case Err::OpenSyntax: return u"Open は Open ファイル名 as #ファイル番号 の形です。"_s;
    case Err::CloseSyntax: return u"Closeは Close #ファイル番号 [, #ファイル番号 ]の形です。"_s;
    case Err::UnexpectedLexError:
    case Err::UnexpectedLexErrorAlt: return u"字句解析エラーが起きました。非想定のエラーです。"_s;
    case Err::UnexpectedParseError: return u"構文解釈エラーが起きました。非想定のエラーです。"_s;
    case Err::UnexpectedRunError: return u"実行時エラーが起きました。非想定のエラーです。"_s;
    case Err::FilePsetNotFound: return u"FilePset で指定された File が見つかりません。"_s;
    case Err::FilePsetFailed: return u"FilePset の実行中にエラーが起きました。"_s;
    case Err::FilePsetNoGraphicsWindow:
    case Err::NoGraphicsWindow: return u"Graphicコマンドで処理するグラフ画面が開かれていません。"_s;
    case Err::FunctionArgType:
        return u"関数 "_s + FunctionName() + u" の計算で引数の型の不一致が起きました。"_s + NL +
               u"関数名または引数のミスタイプが考えられます。"_s;
    case Err::FunctionArgRange:
        return u"関数 "_s + FunctionName() + u" の引数の値が計算できない範囲にあります。"_s;
    case Err::FunctionResultRange:
        return u"関数 "_s + FunctionName() + u" の計算で結果が扱える範囲を越えました。"_s;
    case Err::FunctionFailed: return u"関数 "_s + FunctionName() + u" の計算・処理中にエラーが起きました。"_s;
    case Err::OperatorType:
        return u"演算子 "_s + OperatorName() + u" の計算で型の不一致が起きました。"_s + NL +
               u"演算子または引数のミスタイプが考えられます。"_s;
    case Err::OperatorArgRange:
        return u"演算子 "_s + OperatorName() + u" の引数の値が計算できない範囲にあります。"_s;
    case Err::OperatorResultRange:
        return u"演算子 "_s + OperatorName() + u" の計算で結果が扱える範囲を越えました。"_s;
    case Err::OperatorFailed: return u"演算子 "_s + OperatorName() + u" の計算中にエラーが起きました。"_s;
    case Err::DivisionByZero: return u"ゼロによる割り算が実行されました。"_s;
    case Err::LogicalOperatorType:
        return u"論理演算子 "_s + OperatorName() + u" の計算で型の不一致が起きました。"_s + NL +
               u"演算子または引数のミスタイプが考えられます。"_s;
    case Err::TypeMismatch: return u"計算中に型の不一致が起こりました。"_s;
    case Err::StatementType: return u"コマンド "_s + StatementName() + u" の実行で型の不一致が起きました。"_s;
    case Err::FunctionNotSupported: return u"関数 "_s + FunctionName() + u" は現在サポートしていません。"_s;
    case Err::StatementSyntax:
        return u"コマンド "_s + StatementName() + u" の構文エラーです。"_s + NL +
               u"コマンドまたは引数のミスタイプが考えられます。"_s;
    case Err::StatementNotSupported:
        return u"コマンド "_s + StatementName() + u" は現在サポートしていません。"_s;
    case Err::StatementFailed: return u"コマンド "_s + StatementName() + u" の実行中にエラーが起きました。"_s;
    case Err::BadStatementStart: return u"文頭に置けない記号や文があります。"_s;
    case Err::PropertySyntax:
        return u"プロパティ"_s + StatementName() + u" の構文エラーです。"_s + NL +
               u"指定または引数のミスタイプが考えられます。"_s;
    case Err::FileCreateFailed:
        return u"File の作成でエラーが起きました。"_s +
               u"ファイルが使用中でないか，またDisk が書き込み可か確認して下さい。"_s;
    case Err::PropertyAssignSyntax:
        return u"Property 設定の構文に誤りがあります。Proprety = 数値，数値変数の形です。"_s;
    case Err::StackError: return u"スタックエラーが起きました。"_s;
    case Err::StackOverflow: return u"スタックオーバーエラーが起きました。"_s;
    case Err::StackEmpty: return u"スタックアンダーフローエラーが起きました。"_s;
    case Err::BlockNestingTooDeep: return u"Block 文の入れ子が多すぎます。"_s;
    case Err::BlockMismatch: {
        const QString name = StatementName();
        return name.isEmpty() ? u"文の対応が不正です。"_s : name + u"文に対応する文がありません。"_s;
    }
    case Err::BlockNotClosed:
        return u"Block 文が正しくありません。"_s + NamedTail(u"文に対応する文がありません。"_s);
    case Err::EndFunctionWithoutFunction:
        return u"EndFunction の構文に誤りがあります。Function に対応していません。"_s;
    case Err::FunctionInsideBlock:
        return u"Function が別の Block 文の中にあります。Function の位置が不正です。"_s;
    case Err::FunctionBadName: return u"Function の名前は数値変数または文字列変数型でないといけません。"_s;
    case Err::FunctionNameUsed: return u"この Function の名前はすでに使われています。"_s;
    case Err::NameDeclaredTwice: return u"宣言された変数の名前が重複しています。"_s;
    case Err::TooManyDeclaredNames: return u"宣言変数の個数が容量を越えました。"_s;
    case Err::EndSubWithoutSub: return u"EndSub の構文に誤りがあります。Sub に対応していません。"_s;
    case Err::SubInsideBlock: return u"Sub が別の Block 文の中にあります。Sub の位置が不正です。"_s;
    case Err::SubBadName: return u"Sub の名前は数値変数型でないといけません。また予約語は使えません。"_s;
    case Err::SubNameUsed: return u"この Sub の名前はすでに使われています。"_s;
    case Err::ForNotNumericVariable: return u"For の次は数値変数です。"_s + NL;
    case Err::NextMismatch:
        return u"Next が For と正しく対応していません。"_s + NamedTail(u"文の誤りも考えられます。"_s);
    case Err::NextNotNumericVariable: return u"Next の構文に誤りがあります。 Next の次は数値変数です。"_s;
    case Err::NextVariableNotFor: return u"Next の次の数値変数が For の数値変数と対応していません。"_s;
    case Err::WendMismatch:
        return u"Wend が While と正しく対応していません。"_s + NamedTail(u"文の誤りも考えられます。"_s);
    case Err::EndIfMismatch:
        return u"EndIf の構文に誤りがあります。If に対応していません。"_s +
               NamedTail(u"文の誤りも考えられます。"_s);
    case Err::ElseMismatch:
        return u"Else または ElsIf の構文に誤りがあります。If に対応していません。"_s +
               NamedTail(u"文の誤りも考えられます。"_s);
    case Err::UsingWithoutPrint: return u"Using"_s + S + NL + u"Using は Print Using の形で使います。"_s;
    case Err::HashMisplaced:
        return u"# の使い方に誤りがあります。# は"_s + NL +
               u"Print#,Input#,LineInput#,As#,Close# の形で使います。"_s;
    case Err::UntilMismatch:
        return u"Until 文が While または Loop に正しく対応していません。"_s +
               NamedTail(u"文の誤りも考えられます。"_s);
    case Err::LoopMismatch:
        return u"Loop 文で While または Until が正しく対応していません。"_s +
               NamedTail(u"文の誤りも考えられます。"_s);
    case Err::WhileMismatch:
        return u"While 文が Do または Loop に正しく対応していません。"_s +
               NamedTail(u"文の誤りも考えられます。"_s);
    case Err::ExitMismatch:
        return u"Exit 文で Do または For が正しく対応していません。"_s +
               NamedTail(u"文の誤りも考えられます。"_s);
    case Err::SyntaxError: return S + NL;
    case Err::ProcedureNoOpenBracket: return u"Sub や Function の名前の次は左括弧 ( です。"_s;
    case Err::ProcedureParameterKind:
        return u"Sub や Functionの引数は数値変数，文字列変数または配列変数です。"_s;
    case Err::ProcedureParameterSyntax: return u"Sub や Functionの引数の書式に誤りがあります。"_s;
    case Err::CallNoOpenBracket: return u"Call文 の名前の次は左括弧 ( です。"_s;
    case Err::CallArgumentSyntax: return u"Call文 の引数の書式に誤りがあります。"_s;
    case Err::CallNotSub: return u"Call文 された名前が Sub の名前ではありません。"_s;
    case Err::ExitForOutside: return u"Exit For はFor Next 文の外では使えません。"_s;
    case Err::ExitDoOutside: return u"Exit Do はDo Loop 文の外では使えません。"_s;
    case Err::MouseSyntax: return u"Mouse の構文が違います。Mouse(s,x,y) の形です。"_s;
    case Err::PublicSyntax:
        return u"Public"_s + S + NL +
               u"Public 文は Public 変数名又は配列変数名(数値,…,数値), ... の形です。"_s;
    case Err::SeekSyntax: return u"Seek は Seek #ファイル番号,数値式の形です。"_s;
    case Err::CallArgumentType: return u"Call と Sub 引数の型があいません。"_s;
    case Err::CallReturnOverflow: return u"Call の入れ子が深すぎます。"_s;
    case Err::CallReturnEmpty: return u"Call 文でエラーが起きました。"_s;
    case Err::SubCallFailed: return u"Sub 文の実行中にエラーが起きました。"_s;
    case Err::IncludeNoString: return u"Include 文の次は文字列定数でないといけません。"_s;
    case Err::IncludeFileNotFound: return u"Include 文で指定したファイルが見つかりません。"_s;
    case Err::NestedInclude: return u"Include 文で指定したファイルの中で Include は使えません。"_s;
    case Err::IncludeOffInProgram: return u"IncludeOff 文は内部使用専用で プログラムでは使えません。"_s;
    case Err::OperandsInRow: return u" 式の計算で項と演算子の型の不一致が起こりました。"_s + NL + M;
    case Err::LetTargetInvalid:
        return u" Let の計算で代入する変数が不適な型です。"_s + NL +
               u"手続き名，ラベル，Def 関数名には代入出来ません。"_s;
    case Err::RestoreSyntax: return u"Restore 文は Restore またはResore ラベルです。"_s;
    case Err::RestoreNotLabel: return u"Restore 文でラベルでない変数を指定しました。"_s;
    case Err::CaseTypeMismatch: return u"Case 文で値がSelect で指定した型と違います。"_s;
    case Err::PictureFormat: return u"この形式の画像ファイルはサポートしていません。"_s;
    case Err::TooManyDimensions: return u"Dim の宣言は 5 次元以下でなくてはいけません。"_s;
    case Err::EmptyFileName: return u"ファイル名が空です。変数名等のミススペルを確認して下さい。"_s;
    case Err::ArgumentOutOfRange: return u"引数が許された範囲外です。関数等のマニュアルを確認して下さい。"_s;
    case Err::FileNotOpen: return u"目的のファイルがオープンされていません。"_s;
    case Err::TargetFileNotFound:
    case Err::FileNotFound: return u"対象ファイルが見つかりません。"_s;
    case Err::SeekBeyondData: return u"Seek で指定値がデータ量を越えています。"_s;
    case Err::TypeSuffixConflict: return u" 文字列宣言子$ と As 宣言した型が矛盾します。"_s;
    case Err::VariableDeclaredTwice: return u"変数の２重定義です。同じ変数は２度宣言できません。"_s;
    case Err::NotABoolean: return u"論理変数処理でエラーが生じました。"_s;
    case Err::BadNumericLiteral: return E;
    case Err::BadDeclaredName:
        return u"宣言された名前が不適です。"_s + NL +
               u"２重宣言あるいは予約語等と重複している可能性があります。"_s;
    case Err::BadLineNumber:
        return u"行番号が不適です。"_s + NL + u"行番号は2^32-1以下の正整数で単調増加でないといけません。"_s;
    case Err::GotoLineNumber: return u"goto 文で行番号が不正です。"_s;
    case Err::TooManyLineNumbers: return u"行番号が多すぎます。"_s;
    case Err::RestoreLineNumber: return u"Retore 文で行番号が不正です。"_s;
    case Err::TooManyExits: return u" Exit 文の使い過ぎです。"_s + NL + u" 簡単な構文にして下さい。"_s;
    case Err::ExitProcedureOutside:
        return u"Exit Function, Sub はそれぞれ Function, Sub 文の外では使えません。"_s;
    case Err::ExitSyntax: return u"Exit の次は，For, Do, Function, Sub です。"_s;
    case Err::ControlWindowClosed: return u"コントロール画面が開かれていません。"_s;
    case Err::ConversionTooLong: return u"関数"_s + FunctionName() + u"で変換文字数が多すぎます。"_s;
    case Err::InnerStackUnderflow: return u"InnerStackUnderflow"_s;
    case Err::InnerStackOverflow: return u"InnerStackOverflow"_s;
    case Err::StringNotClosed: return u"文字列が行末まで \" で閉じていません。"_s;
    case Err::MediaPlayerFailed: return u"MediaPlayer の実行に失敗しました。"_s;
    case Err::ClipboardFailed: return u"クリップボード処理に失敗しました。"_s;
    case Err::OptionNotFirst: return u"Option Explicit 文は先頭でないといけません。"_s;
    case Err::UndeclaredVariable:
        return u"Option Explicit 宣言がされています。"_s + u"すべての変数は明示宣言しなければいけません。"_s;
    default: return GeneralError;
    }
}

} // namespace

QString ErrorMessage(int number) {
    return MessageText(number);
}

QString LineColumnText(int offset) {
    int p = offset;
    if (p < 1) p = 1;
    if (p > Fe.ProgramText.size()) p = static_cast<int>(Fe.ProgramText.size());
    int line = 1;
    int lineBreak = 0; // the last CR or LF before p: the LF of a CR LF is not a column of the next line
    for (int i = 1; i <= p - 1; ++i) {
        const QChar c = Fe.ProgramText.at(i - 1);
        if (c == QLatin1Char('\r')) ++line;
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) lineBreak = i;
    }
    return QString::number(line) + QStringLiteral("行,　") + QString::number(p - lineBreak) +
           QStringLiteral(" 桁");
}
