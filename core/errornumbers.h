// Error numbers of the interpreter and their messages, one row each. Every phase and executor reports a
// failure by raising one of these (RaiseError, raiseerror.h); ErrorMessage (errortext.h) turns it into
// the user's text. The numbers are part of what programs and users see and must never change.
#pragma once

// Each row: the constant's name in Err, its number, and its message, an expression of errortext.cpp,
// where the rows become the messages (the front end's other users read the first two columns only): S,
// E, M and NL are the shared pieces of the texts, StatementName(), FunctionName() and OperatorName()
// name the culprit that ErrorNameIndex points at, and GeneralError stands for a number without a
// message of its own.
#define LX_ERROR_NUMBERS(X)                                                                                  \
    /* ---- source reader and tokenizer, general syntax */                                                   \
    /* a character that starts no token (text in BadCharText) */                                             \
    X(BadCharacter, 1,                                                                                       \
      u"Basic で使われない文字(UNICODE:"_s + Rd.BadCharText + u")が含まれています。"_s + NL +                \
          u" 又は使う場所に誤りがあります。"_s)                                                              \
    /* a character above 127 in a word or a DEF parameter */                                                 \
    X(WideCharInWord, 2,                                                                                     \
      u"プログラム本文に漢字（全角文字）や半角カナが使われています。"_s + NL +                               \
          u"全角の空白や”等を調べてください。"_s)                                                            \
    /* not a statement, or an incomplete one */                                                              \
    X(UnknownStatement, 3, u"この命令はサポートされていません。"_s + NL + u"または文が不完全です。"_s)       \
    /* a look back past the start of the code buffer */                                                      \
    X(LookBackBeforeStart, 10, GeneralError)                                                                 \
    /* older number of UnexpectedLexError, same text */                                                      \
    X(UnexpectedLexErrorAlt, 101, u"字句解析エラーが起きました。非想定のエラーです。"_s)                     \
    /* an included file would pass the size limit */                                                         \
    X(CompileTextTooLarge, 106, GeneralError)                                                                \
    /* a hexadecimal literal that does not convert */                                                        \
    X(BadHexLiteral, 110, GeneralError)                                                                      \
    /* ---- infix-to-postfix conversion */                                                                   \
    X(OperatorStackFull, 131, E + u"括弧や，関数の引数の使い方の誤りが考えられます。"_s)                     \
    X(OperatorStackEmpty, 132, E + u"括弧や，関数の引数の使い方の誤りが考えられます。"_s)                    \
    /* an unclosed "(" reached the postfix output */                                                         \
    X(OpenBracketInOutput, 133, E + u"括弧や \" などの誤りが考えられます。"_s)                               \
    /* a numeric or boolean name of Kind 0 in an expression */                                               \
    X(NumNameWithoutKind, 136, u"式の変換中にエラーが生じました。非想定のエラーです。"_s)                    \
    /* a string name of Kind 0 in an expression */                                                           \
    X(StrNameWithoutKind, 137, u"式の変換中にエラーが生じました。非想定のエラーです。"_s)                    \
    /* an operator or item that has no place in an expression */                                             \
    X(NotInExpression, 138, E + u"式の中に使えない記号が含まれています。"_s)                                 \
    X(UnmatchedCloseBracket, 151, E + u"左右の括弧の対応が不正または，計算できない式です。"_s)               \
    X(UnmatchedOpenBracket, 152, E + u"左右の括弧の対応が不正または，計算できない式です。"_s)                \
    /* closing the group before a "," failed */                                                              \
    X(MisplacedComma, 153, E + u"括弧や，カンマ，関数の引数の使い方の誤りが考えられます。"_s)                \
    /* ---- DEF, FUNCTION and SUB headers */                                                                 \
    /* a DEF parameter name given twice */                                                                   \
    X(DefParameterTwice, 161, u"この局所変数は既に使われています。２重定義です。"_s)                         \
    /* a DEF function name must be a numeric or string name */                                               \
    X(DefNameNotVariable, 162, u"Def"_s + S + NL + u"関数名は数値変数または文字列変数です。"_s)              \
    /* "(" missing after the DEF function name */                                                            \
    X(DefNoOpenBracket, 163, u"Def"_s + S + NL + u"関数名の後は( です。"_s)                                  \
    X(FunctionNoName, 210, u"Function"_s + S + NL + u"Function の次は関数名です。"_s)                        \
    X(SubNoName, 220, u"Sub"_s + S + NL + u"Sub の次は手続き名です。"_s)                                     \
    /* ---- statement compiler */                                                                            \
    /* the statement does not end where it should (named) */                                                 \
    X(StatementNotEnded, 501, StatementName() + u"文が正しく終わっていません。"_s)                           \
    X(BracketCountMismatch, 502, u" 式の中に含まれる左右の括弧の個数が合いません。"_s)                       \
    /* the name after "*" must be a numeric name */                                                          \
    X(LabelSyntax, 510, u" Label の使い方に誤りがあります。"_s + u" * の次の Label 名は数値変数型です。"_s)  \
    X(LabelTwice, 511, u" 同じ Label が２つあります。Label の名前を変えて下さい。"_s)                        \
    X(LabelIsArrayName, 512, u" 配列変数名と同じ Label 名です。Label の名前を変えて下さい。"_s)              \
    X(LabelIsProcedureName, 513,                                                                             \
      u" この名前は関数やサブプログラム名として使われています。Label の名前を変えて下さい。"_s)              \
    /* a block stack of the compiler is full */                                                              \
    X(NestingTooDeep, 550,                                                                                   \
      u" If ， For ， While 等の制御文の入れ子が深すぎます。"_s + NL + u" 簡単な構文にして下さい。"_s)       \
    /* FOR not followed by a numeric name */                                                                 \
    X(ForNoVariable, 551, GeneralError)                                                                      \
    /* FOR v not followed by "=" */                                                                          \
    X(ForNoEqual, 552, GeneralError)                                                                         \
    X(ForNoTo, 553, u"For ～ Next"_s + S + NL + u" For 文に To がありません。"_s)                            \
    X(ForNextVariableMismatch, 554,                                                                          \
      u"For ～ Next"_s + S + NL + u"For と Next の数値変数 が対応していません。"_s)                          \
    X(ForWithoutNext, 555, u"For ～ Next"_s + S + NL + u"For に対応する Next がありません。"_s)              \
    X(NextWithoutFor, 556, u"For ～ Next"_s + S + NL + u"Next に対応する For がありません。"_s)              \
    X(WhileWithoutWend, 557, u"While ～ Wend"_s + S + NL + u"While に対応する Wend がありません。"_s)        \
    /* WEND or LOOP without its loop */                                                                      \
    X(WendWithoutWhile, 558, u"While ～ Wend"_s + S + NL + u"Wend に対応する While がありません。"_s)        \
    X(IfNoThen, 565, u"If"_s + S + NL + u"If 文は If ～ の後は Then ～ Else ～ EndIf の形です。"_s)          \
    /* IF must go on with THEN or GOTO */                                                                    \
    X(IfThenOrGoto, 566, u"If"_s + S + NL + u"If 文は If ～ Then ～ 又は If ～ Goto ～です。"_s)             \
    /* ELSE, ELSEIF, END IF or END SELECT without its block */                                               \
    X(IfBlockMismatch, 567, u"If"_s + S + NL + u"If 文と Else や EndIf がよく対応していません。"_s)          \
    /* GOSUB * followed by something other than a numeric name */                                            \
    X(GosubBadLabel, 571, u"ラベル名は数値変数型でなくてはいけません。また予約語は使えません。"_s + NL)      \
    /* GOSUB followed by an operator other than "*" */                                                       \
    X(GosubBadOperator, 572, u"Gosub での引数の取り方に誤りがあります。"_s + NL)                             \
    /* GOSUB followed by any other item */                                                                   \
    X(GosubBadTarget, 573, GeneralError)                                                                     \
    X(SelectCaseNoSeparator, 581,                                                                            \
      u"Select Case"_s + S + NL + u" Select Case 式の後は 改行，カンマ か コロンです。"_s)                   \
    /* SELECT CASE not followed by a CASE statement */                                                       \
    X(SelectCaseNoCase, 582,                                                                                 \
      u"Select Case"_s + S + NL + u" Select Case 式の後は 改行か コロンの次は Case 文です。"_s)              \
    X(SelectCaseNoExpression, 583, u"Select Case"_s + S + NL + u" Select Case の後は 式です。"_s)            \
    /* CASE without SELECT, or CASE ELSE not last */                                                         \
    X(CaseOrder, 584, u"Select Case"_s + S + NL + u" Case の対応や，Case else の順序に誤りがあります。"_s)   \
    X(CaseSyntax, 585, u"Select Case"_s + S + NL + u" Case 構文に誤りがあります。"_s)                        \
    /* a bad DEF parameter list, or no "=" */                                                                \
    X(DefSyntax, 591, u"Def"_s + S + NL + u" Def 文は関数名の後は ( 　変数　,　）です。"_s)                  \
    X(LetNoVariable, 601, M + NL + u"Let文ならば構文の誤りです。Letの次は「変数」です。"_s)                  \
    X(LetNoEqual, 602, M + NL + u"Let文ならば構文の誤りです。Let文では変数の次は「=」です。"_s)              \
    X(LetNoExpression, 603,                                                                                  \
      u"Letの構文に誤りがあります。Let文は変数=式です。対応する式がありません。"_s + NL + M)                 \
    X(PrintNoExpression, 604, u"Print文 の構文に誤りがあります。Print の次は 式です。"_s + NL + M)           \
    /* GOTO without a label or line number */                                                                \
    X(GotoBadTarget, 606, GeneralError)                                                                      \
    X(InputNoVariableAfterPrompt, 607,                                                                       \
      u"Input"_s + S + NL + u"Input 文は 文字列定数 カンマ 又は セミコロンの次は変数です。"_s)               \
    X(InputNoSeparatorAfterPrompt, 608,                                                                      \
      u"Input"_s + S + NL + u"Input 文は Input 文字列定数 の次は カンマ 又は セミコロン です。"_s)           \
    X(InputNoVariable, 609,                                                                                  \
      u"Input"_s + S + NL + u"Input 文は 入力ﾒｯｾｰｼﾞなしの場合 Input 変数 の形です。"_s)                      \
    X(DimSyntax, 611, u"Dim"_s + S + NL + u"Dim 文は Dim 配列変数名(数値,…,数値), ... の形です。"_s)         \
    /* a name declared by DIM used without a proper subscript list */                                        \
    X(ArraySyntax, 612,                                                                                      \
      u"この変数は Dim で配列変数と宣言されています。"_s + NL + u"正しい配列変数の形ではありません。"_s)     \
    X(VariableIsLabel, 613, u"この変数は 既に Label として使われています。名前を変えて下さい。"_s)           \
    X(VariableIsArray, 614, u"この変数は 既に 配列変数として宣言されています。名前を変えて下さい。"_s)       \
    /* a name declared by DIM or PUBLIC after it was used */                                                 \
    X(DeclaredVariableUsed, 618, u"Dim 文や Public 文で宣言した変数が既に使われています。"_s)                \
    X(InputVariableList, 620, u"Input"_s + S + NL + u"読み込み用の変数の並びが正しくありません。"_s)         \
    /* a string not followed by "," or ";" */                                                                \
    X(InputNoSeparator, 621,                                                                                 \
      u"Input"_s + S + NL + u"Input 文で，文字列の次はカンマまたはセミコロンです。"_s)                       \
    X(InputArrayVariable, 622, u"Input"_s + S + NL + u"この変数は 配列変数として宣言されています。"_s)       \
    X(InputArrayType, 623,                                                                                   \
      u"Input (#), Line Input (#)"_s + S + NL + u"この 配列変数の宣言の型と合いません。"_s)                  \
    /* INPUT (#) or LINE INPUT (#) */                                                                        \
    X(InputSyntax, 624, u"Input (#), Line Input (#)"_s + S + NL + u"構文を確認してください。"_s)             \
    /* INPUT # or LINE INPUT # */                                                                            \
    X(InputFileSyntax, 625,                                                                                  \
      u"Input #, Line Input #"_s + S + NL +                                                                  \
          u"Input # 文 は Print #数値(1から8), 式 ; (または , ) ... の形です。"_s)                           \
    X(PrintFileSyntax, 650,                                                                                  \
      u"Print #"_s + S + NL + u"Print # 文 は Print #数値(1から8), 式 ; (または , ) ... の形です。"_s)       \
    X(PrintFileNoComma, 651,                                                                                 \
      u"Print #"_s + S + NL + u"Print #数値 の次は ｶﾝﾏ(,) 式(または , ) ... の形です。"_s)                   \
    /* a file number other than 1 to 8 */                                                                    \
    X(FileNumberRange, 653,                                                                                  \
      u"Print #"_s + S + NL + u"Lorvex で指定できる File 番号は 1,2,...,8 のいずれかです。"_s)               \
    X(PrintFileNoExpression, 654,                                                                            \
      u"Print # 文 の構文に誤りがあります。Print #数, の次は 式です。"_s + NL + M)                           \
    X(PrintUsingSyntax, 660, u"Print using"_s + S + NL + M)                                                  \
    X(PrintUsingNoFormat, 661,                                                                               \
      u"Print using 文の構文に誤りがあります。Print using の次は文字列です。"_s + NL + M)                    \
    X(PrintUsingNoSemicolon, 662,                                                                            \
      u"Print using"_s + S + NL + u"Print using 文字列 の次は ｾﾐｺﾛﾝ ; 式 ... の形です。"_s)                  \
    X(PrintFileUsingNoFormat, 681,                                                                           \
      u"Print # using 文の構文に誤りがあります。Print # using の次は文字列です。"_s + NL + M)                \
    X(PrintFileUsingNoSemicolon, 682,                                                                        \
      u"Print # using"_s + S + NL + u"Print # using 文字列 の次は ｾﾐｺﾛﾝ ; 式 ... の形です。"_s)              \
    /* a statement's operands do not match its form */                                                       \
    X(ExpressionFormMismatch, 700,                                                                           \
      u"対象の指定に誤りがあります。"_s + NL + u"コマンドの構文を確認して下さい。"_s)                        \
    X(FilesSyntax, 701, u"Files"_s + S + NL + u"Files 文は 「Files」又は「Files \"ﾃﾞｨｽｸ名:\"」 です。"_s)    \
    X(KillSyntax, 702, u"Kill"_s + S + NL + u"Kill 文は 「Kill \"ﾌｧｲﾙ名(拡張子付)\"」 です。"_s)             \
    X(ListSyntax, 703, u"List"_s + S + NL + u"Lorvex for Windows では List 文は 「List」の形 です。"_s)      \
    X(LoadSyntax, 704, u"Load"_s + S + NL + u"Load 文は 「Load \"ﾌｧｲﾙ名\"」 です。"_s)                       \
    X(NameSyntax, 706, u"Name"_s + S + NL + u"Name 文は 「Name \"旧ﾌｧｲﾙ名\" as \"新ﾌｧｲﾙ名\"」 です。"_s)     \
    X(ChDirSyntax, 707, u"ChDir"_s + S + NL + u"ChDir 文は 「ChDir \"Path名\"」 です。"_s)                   \
    X(RunSyntax, 720, u"Run"_s + S + NL + u"Run 文は 「Run」または「Run \"ﾌｧｲﾙ名\"」 です。"_s)              \
    X(WindowSyntax, 801, u"Window"_s + S + NL + u"Winodow 文は 「Window (x1,y1)-(x2,y2)」 の形です。"_s)     \
    /* ON or OFF missing after the named statement */                                                        \
    X(OnOffMissing, 802,                                                                                     \
      StatementName() + u"の構文に誤りがあります。"_s + NL + StatementName() + u" On または "_s +            \
          StatementName() + u" Off です。"_s)                                                                \
    X(ViewSyntax, 805, u"View"_s + S + NL + u"View 文は 「View (x1,y1)-(x2,y2)」 の形です。"_s)              \
    X(LineSyntax, 811, u"Line"_s + S + NL + u"Line 文は 「Line (x1,y1)-(x2,y2)」 の形です。"_s)              \
    X(PrintTitleSyntax, 851,                                                                                 \
      u"PrintTitle"_s + S + NL + u"PrintTitle 文は 「PrintTitle 文字列（又は文字列変数）」 です。"_s)        \
    X(PrintGTitleSyntax, 852,                                                                                \
      u"PrintGTitle"_s + S + NL + u"PrintGTitle 文は 「PrintGTitle 文字列（又は文字列変数）」 です。"_s)     \
    /* ---- engine: expressions, DATA, control flow */                                                       \
    X(ExpressionStackOverflow, 1001, u" 式の計算でｽﾀｯｸがオーバーしました。"_s)                               \
    X(OperatorMisuse, 1002, u"式の計算で演算子の使い方に誤りがあります。"_s)                                 \
    X(TooManyData, 1005, u" Data文が多すぎます。メモリを確保できません。"_s)                                 \
    /* READ with no DATA value left */                                                                       \
    X(ReadPastData, 1006, u" Dataの個数を越えて Read 文 を実行しようとしました。"_s)                         \
    /* a DATA value whose type does not fit the READ target */                                               \
    X(ReadTypeMismatch, 1007, u" Read 文の変数の型と Data 文の定数の型が合いません。"_s)                     \
    X(DefFnTypeMismatch, 1008, u" Def Fn 文で定義された変数の型と値の型が合いません。"_s)                    \
    X(NameIsLabel, 1009, u" この変数は Label として使われています。Label と名前を変えて下さい。"_s)          \
    X(ExecutionFailed, 1010, u" の実行に失敗しました。"_s)                                                   \
    /* a zero or negative base with a non-whole exponent */                                                  \
    X(PowerOfNegative, 1014, u"ゼロや負数の巾は整数巾以外計算できません。"_s)                                \
    X(NegativeArgument, 1015, u"引き数が負数です。"_s)                                                       \
    /* logarithm of zero, a negative or too small a number */                                                \
    X(LogArgument, 1018, u"対数の引数が小さすぎるか，ゼロ又は負です。"_s)                                    \
    X(SqrNegative, 1019, u"平方根の引数が負です。"_s)                                                        \
    X(InvalidOperation, 1020,                                                                                \
      u"式の計算で実行できない演算がありました。"_s + NL +                                                   \
          u"演算子や配列変数やカンマなどの使い方の誤りが考えられます。"_s)                                   \
    X(ModRange, 1024, u"剰余演算が可能な範囲を越えました。"_s)                                               \
    /* SPACE$ or SPC beyond 1024 */                                                                          \
    X(SpaceArgument, 1026, u"Space$ の引き数が不適当です。0～1024 の範囲にして下さい。"_s)                   \
    /* "\": the divisor is not a whole number of 0 or more */                                                \
    X(IntDivDivisor, 1031, u"整数除算で除数が正整数でありません。"_s)                                        \
    /* "\": the dividend is not whole */                                                                     \
    X(IntDivDividend, 1032, u"整数除算で被除数が整数でありません。"_s)                                       \
    X(IntDivRange, 1033, u"整数除算が可能な範囲を越えました。"_s)                                            \
    /* MOD: the same three conditions */                                                                     \
    X(IntModDivisor, 1035, u"整数剰余演算で除数が正整数でありません。"_s)                                    \
    X(IntModDividend, 1036, u"整数剰余演算で被除数が整数でありません。"_s)                                   \
    X(IntModRange, 1037, u"整数剰余演算が可能な範囲を越えました。"_s)                                        \
    /* GOSUB or function return stack full */                                                                \
    X(ReturnStackFull, 1040,                                                                                 \
      u"サブルーチンを続けて呼びすぎました。"_s +                                                            \
          u"ｻﾌﾞﾙｰﾁﾝのなかでｻﾌﾞﾙｰﾁﾝは続けて10回までしか呼べません。"_s)                                       \
    /* RETURN with nothing to return to */                                                                   \
    X(ReturnStackEmpty, 1041,                                                                                \
      u"Gosub と Return が対応しません。"_s + u"Return に対して戻る位置が分かりません。"_s)                  \
    /* GOTO or GOSUB to a name that is no label */                                                           \
    X(NoSuchLabel, 1051, u"If 文, Goto (または Gosub) 文で 対応するﾗﾍﾞﾙがありません。"_s)                    \
    /* IF without a boolean on the stack */                                                                  \
    X(ConditionType, 1052, u"If 文，または For 文で 条件式の型が合いません。"_s)                             \
    /* a jump target beyond the code */                                                                      \
    X(JumpTargetInvalid, 1055, u"内部ラベルが対応しません。Bug または条件文の使いすぎです。"_s)              \
    /* CLS with a mode other than 1, 2 or 3 */                                                               \
    X(ClsMode, 1106, GeneralError)                                                                           \
    /* ---- engine: drawing */                                                                               \
    /* Every number from WindowNotNumbers to WindowEmptyArea shares the WINDOW text. */                      \
    X(WindowNotNumbers, 1210, WindowText())                                                                  \
    /* x2 <= x1 or y2 <= y1 */                                                                               \
    X(WindowEmptyArea, 1219, WindowText())                                                                   \
    X(LineNotNumbers, 1220,                                                                                  \
      u"Line 文で 引数が数値ではありません。"_s + NL +                                                       \
          u"Line の構文は 「Line (X1,Y1)-(X2,Y2), C, B」の形です。"_s)                                       \
    X(PsetNotNumbers, 1230,                                                                                  \
      u"PSet 文で 引数が数値ではありません。"_s + NL + u"PSet の構文は 「PSet (X1,Y1), C」の形です。"_s)     \
    /* LINE option item of an unexpected kind */                                                             \
    X(LineOptionKind, 1239, GeneralError)                                                                    \
    X(CircleNotNumbers, 1240,                                                                                \
      u"Circle 文で 引数が数値ではありません。"_s + NL +                                                     \
          u"Circle の構文は 「Circle (X1,Y1), R」の形です。"_s)                                              \
    X(PaintNotNumbers, 1245,                                                                                 \
      u"Paint 文で 引数が数値ではありません。"_s + NL + u"Paint の構文は 「Circle (X1,Y1), C」の形です。"_s) \
    /* a CIRCLE option other than F */                                                                       \
    X(CircleOptionName, 1247, GeneralError)                                                                  \
    /* CIRCLE option item of an unexpected kind */                                                           \
    X(CircleOptionKind, 1248, GeneralError)                                                                  \
    /* PAINT coordinates not numbers */                                                                      \
    X(PaintPointNotNumbers, 1250, GeneralError)                                                              \
    /* Every number from ScreenWidthNotNumber to ScreenCoordinateLast shares the screen-size text. */        \
    X(ScreenWidthNotNumber, 1351, ScreenText())                                                              \
    X(ScreenHeightNotNumber, 1353, ScreenText())                                                             \
    X(ScreenCoordinateLast, 1354, ScreenText())                                                              \
    X(SubscriptTooLarge, 1401, u"配列変数の添え字が Dim 文で指定した範囲を越えました。"_s)                   \
    X(SubscriptNegative, 1402, u"配列変数の添え字が負になりました。"_s)                                      \
    /* not a number, or a bad declaration */                                                                 \
    X(SubscriptInvalid, 1403,                                                                                \
      u"配列変数の添え字の対応が正しくありません。"_s +                                                      \
          u"宣言が不正か，添え字が数値でない可能性があります。"_s)                                           \
    /* ---- engine: files and folders */                                                                     \
    /* shares the text of TargetFileNotFound */                                                              \
    X(FileNotFound, 2101, u"対象ファイルが見つかりません。"_s)                                               \
    X(PathNotFound, 2102, u"パスが見つかりません。"_s)                                                       \
    X(AccessDenied, 2103, u"ファイルアクセスが拒否されました。"_s)                                           \
    X(BadDriveName, 2104, u"ディスクドライブ名が正しくありません。"_s)                                       \
    X(NoDisk, 2105, u"ディスクがセットされていません。"_s)                                                   \
    X(FileWriteProtected, 2106, u"目的のファイルは書き込み禁止です。"_s)                                     \
    X(RenameWriteProtected, 2107, u"目的のファイルは書き込み禁止です。改名できません。"_s)                   \
    X(DeleteWriteProtected, 2108, u"目的のファイルは書き込み禁止です。削除できません。"_s)                   \
    X(RenameTargetExists, 2109, u"目的ﾌｧｲﾙ名と同名のファイル があります。改名できません。"_s)                \
    X(BadDiskName, 2110, u"目的のディスクの名前が正しくありません。"_s + M)                                  \
    X(BadTargetDrive, 2111,                                                                                  \
      u"目的ファイルのドライブ名が正しくありません。"_s +                                                    \
          u"または，ミスタイプです。文字や空白を確認して下さい。"_s)                                         \
    X(LoadSaveFailed, 2112, u"ロードまたはセーブに失敗しました。"_s)                                         \
    X(ChDirFailed, 2121, u"ChDir に失敗しました。"_s)                                                        \
    /* NAME: the old file does not exist */                                                                  \
    X(NameSourceMissing, 2131, u"改名しようとしたファイルが見つかりません。"_s)                              \
    /* NAME: the new name exists */                                                                          \
    X(NameTargetExists, 2132, u"目的ファイル名と同名のファイル があります。改名できません。"_s)              \
    X(NameFailed, 2133, u"改名 に失敗しました。"_s)                                                          \
    X(KillFileMissing, 2141, u"削除しようとしたファイルが見つかりません。"_s)                                \
    X(KillFailed, 2142, u"削除に失敗しました。"_s)                                                           \
    X(ChannelAlreadyOpen, 3001,                                                                              \
      u"目的の番号ファイルは既に Open されています。"_s + NL +                                               \
          u"この番号を別のファイルに割り当てるには１度 Close して下さい。"_s)                                \
    X(OpenFailed, 3003, u"Open の実行中にエラーが起きました。"_s)                                            \
    /* EOF of a channel not opened for input */                                                              \
    X(EofNotInput, 3005,                                                                                     \
      u"目的の番号ファイルは Input で Open されていません。"_s + NL +                                        \
          u"Eof 関数は Input で Open されている File にだけ使えます。"_s)                                    \
    X(EofSyntax, 3006,                                                                                       \
      u"Eof 関数の使い方に誤りがあります。"_s + NL +                                                         \
          u"Eof 関数は Eof(数値) で数値は 1,2,..,8 のいずれかです。"_s)                                      \
    X(PrintFileNotOpen, 3011,                                                                                \
      u"書き込み目的の番号ファイルは Open されていません。"_s + NL +                                         \
          u"Print # は Output または Append で Open されている File にだけ使えます。"_s)                     \
    X(PrintFileOpenForInput, 3012,                                                                           \
      u"書き込み番号目的のファイルは 読み込み用として Input で Open されています。"_s + NL +                 \
          u"Print # は Output または Append で Open されている File にだけ使えます。"_s)                     \
    X(LineInputFileNotOpen, 3021,                                                                            \
      u"読み込み目的の番号ファイルは Open されていません。"_s + NL +                                         \
          u"Line Input # は Input で Open されている File にだけ使えます。"_s)                               \
    X(LineInputFileForOutput, 3022,                                                                          \
      u"読み込み目的の番号ファイルは 書き込み用として Output で Open されています。"_s + NL +                \
          u"Line Input # は Input で Open されている File にだけ使えます。"_s)                               \
    X(LineInputFileForAppend, 3023,                                                                          \
      u"読み込み目的の番号ファイルは 書き込み用として Append で Open されています。"_s + NL +                \
          u"Line Input # は Input で Open されている File にだけ使えます。"_s)                               \
    X(LineInputFileAtEnd, 3025,                                                                              \
      u"目的の番号ファイルには Line Input # で読み込むデータが既にありません。"_s + NL +                     \
          u"Eof 関数でデータの存在を確認をしてから Line Input # を実行して下さい。"_s)                       \
    /* a channel number other than 1 to 8 */                                                                 \
    X(InputFileChannel, 3030,                                                                                \
      u"Input の実行中にエラーが生じました。"_s + NL + u"使える番号は 1, 2,.. 8 のいずれかです。"_s)         \
    X(InputFileNotOpen, 3031,                                                                                \
      u"読み込み目的の番号ファイルは Open されていません。"_s + NL +                                         \
          u"Input は Input で Open されている File にだけ使えます。"_s)                                      \
    X(InputFileForOutput, 3032,                                                                              \
      u"読み込み目的の番号ファイルは 書き込み用として Output で Open されています。"_s + NL +                \
          u"Input は Input で Open されている File にだけ使えます。"_s)                                      \
    X(InputFileForAppend, 3033,                                                                              \
      u"読み込み目的の番号ファイルは 書き込み用として Append で Open されています。"_s + NL +                \
          u"Input は Input で Open されている File にだけ使えます。"_s)                                      \
    X(InputFileAtEnd, 3035,                                                                                  \
      u"目的の番号ファイルには Input で読み込むデータが既にありません。"_s + NL +                            \
          u"Eof 関数でデータの存在を確認をしてから Input を実行して下さい。"_s)                              \
    /* a numeric field of INPUT# that is not a number */                                                     \
    X(InputFileBadNumber, 3041,                                                                              \
      u"Input # で読み込みこもうとした数値が正しい書式ではありません。"_s + NL +                             \
          u"数値変数では正しい数値書式の数しか読めません。LineInput # を薦めます。"_s)                       \
    /* a PRINT USING field meets a value of the wrong type */                                                \
    X(UsingFieldType, 3501, u"Print Using で書式と式が正しく対応していません。"_s)                           \
    /* a PRINT USING format ends with "_" */                                                                 \
    X(UsingUnderscore, 3502, u"Print Using で書式文字 _ の使い方に誤りがあります。"_s)                       \
    /* ---- run-time formulas, limits */                                                                     \
    X(StrToFormSyntax, 5001,                                                                                 \
      u"StrToForm"_s + S + NL + u"StrToForm (文字列変数又は文字列，数式変数，数値変数)の形です。"_s)         \
    X(EvalFormSyntax, 5011, u"EvalForm"_s + S + NL + u"EvalForm (数式変数，数値変数，数値変数)の形です。"_s) \
    /* LINE coordinates too large */                                                                         \
    X(LineTooLarge, 6001, u"Line 文でのx,y の値が大きすぎます。"_s)                                          \
    /* a command that cannot be typed as an immediate command */                                             \
    X(NotInImmediateMode, 20001, u"この コマンドはダイレクトモードではサポートしていません。"_s)             \
    /* ---- source text */                                                                                   \
    /* a character of 128 or above outside a string literal */                                               \
    X(WideCharacter, 30001,                                                                                  \
      u"プログラム本文に漢字（全角文字）や半角カナが使われています。"_s + NL +                               \
          u"全角の空白や”等を調べてください。"_s)                                                            \
    /* LF without CR; CR without LF inside a number */                                                       \
    X(BadLineEnd, 30002,                                                                                     \
      u"正しいテキストファイルプログラムではありません。"_s + NL + u"改行コードが不正です。"_s)              \
    /* CR without LF elsewhere */                                                                            \
    X(LoneCr, 30003,                                                                                         \
      u"正しいテキストファイルプログラムではありません。"_s + NL + u"改行コードが不正です。"_s)              \
    /* the line-continuation "_" */                                                                          \
    X(UnderscoreMisplaced, 30004, u"アンダースコア _ の使い方・位置に誤りがあります。"_s)                    \
    /* a declared name longer than 30 characters */                                                          \
    X(NameTooLong, 30005, u"変数名が長すぎます。"_s)                                                         \
    /* ---- memory */                                                                                        \
    /* an item buffer, a variable table or an array cannot grow */                                           \
    X(OutOfMemory, 30101, u"メモリー不足です。変数の個数，プログラム等が大きすぎます。"_s)                   \
    /* a value stack cannot grow */                                                                          \
    X(StackOutOfMemory, 30102, u"スタックメモリー不足です。計算が負荷が大きすぎます。"_s)                    \
    /* a program past the size limit; a command past its area */                                             \
    X(ProgramTooLarge, 30103, u"プログラムの大きさが許容量を越えました。"_s)                                 \
    /* ---- OPEN and CLOSE */                                                                                \
    X(FileNumberInvalid, 40001, u"ファイル番号は 1,2,...,8 のいずれかです。"_s)                              \
    X(OpenSyntax, 40002, u"Open は Open ファイル名 as #ファイル番号 の形です。"_s)                           \
    X(CloseSyntax, 40003, u"Closeは Close #ファイル番号 [, #ファイル番号 ]の形です。"_s)                     \
    /* ---- engine: general, functions and operators */                                                      \
    /* a tokenizer state that should not occur */                                                            \
    X(UnexpectedLexError, 50001, u"字句解析エラーが起きました。非想定のエラーです。"_s)                      \
    X(UnexpectedParseError, 50002, u"構文解釈エラーが起きました。非想定のエラーです。"_s)                    \
    X(UnexpectedRunError, 50003, u"実行時エラーが起きました。非想定のエラーです。"_s)                        \
    /* shares the text of FilePsetNoGraphicsWindow */                                                        \
    X(NoGraphicsWindow, 50006, u"Graphicコマンドで処理するグラフ画面が開かれていません。"_s)                 \
    X(FilePsetNotFound, 50008, u"FilePset で指定された File が見つかりません。"_s)                           \
    X(FilePsetFailed, 50009, u"FilePset の実行中にエラーが起きました。"_s)                                   \
    X(FilePsetNoGraphicsWindow, 50010, u"Graphicコマンドで処理するグラフ画面が開かれていません。"_s)         \
    /* names the function (ErrorNameIndex) */                                                                \
    X(FunctionArgType, 50011,                                                                                \
      u"関数 "_s + FunctionName() + u" の計算で引数の型の不一致が起きました。"_s + NL +                      \
          u"関数名または引数のミスタイプが考えられます。"_s)                                                 \
    /* names the function */                                                                                 \
    X(FunctionArgRange, 50012, u"関数 "_s + FunctionName() + u" の引数の値が計算できない範囲にあります。"_s) \
    /* names the function */                                                                                 \
    X(FunctionResultRange, 50013,                                                                            \
      u"関数 "_s + FunctionName() + u" の計算で結果が扱える範囲を越えました。"_s)                            \
    /* names the function */                                                                                 \
    X(FunctionFailed, 50014, u"関数 "_s + FunctionName() + u" の計算・処理中にエラーが起きました。"_s)       \
    /* names the operator */                                                                                 \
    X(OperatorType, 50015,                                                                                   \
      u"演算子 "_s + OperatorName() + u" の計算で型の不一致が起きました。"_s + NL +                          \
          u"演算子または引数のミスタイプが考えられます。"_s)                                                 \
    /* names the operator */                                                                                 \
    X(OperatorArgRange, 50016,                                                                               \
      u"演算子 "_s + OperatorName() + u" の引数の値が計算できない範囲にあります。"_s)                        \
    /* names the operator */                                                                                 \
    X(OperatorResultRange, 50017,                                                                            \
      u"演算子 "_s + OperatorName() + u" の計算で結果が扱える範囲を越えました。"_s)                          \
    /* names the operator */                                                                                 \
    X(OperatorFailed, 50018, u"演算子 "_s + OperatorName() + u" の計算中にエラーが起きました。"_s)           \
    X(DivisionByZero, 50019, u"ゼロによる割り算が実行されました。"_s)                                        \
    /* names the operator */                                                                                 \
    X(LogicalOperatorType, 50020,                                                                            \
      u"論理演算子 "_s + OperatorName() + u" の計算で型の不一致が起きました。"_s + NL +                      \
          u"演算子または引数のミスタイプが考えられます。"_s)                                                 \
    X(TypeMismatch, 50021, u"計算中に型の不一致が起こりました。"_s)                                          \
    /* names the statement */                                                                                \
    X(StatementType, 50022, u"コマンド "_s + StatementName() + u" の実行で型の不一致が起きました。"_s)       \
    /* names the function */                                                                                 \
    X(FunctionNotSupported, 50023, u"関数 "_s + FunctionName() + u" は現在サポートしていません。"_s)         \
    /* names the statement */                                                                                \
    X(StatementSyntax, 50024,                                                                                \
      u"コマンド "_s + StatementName() + u" の構文エラーです。"_s + NL +                                     \
          u"コマンドまたは引数のミスタイプが考えられます。"_s)                                               \
    /* names the statement */                                                                                \
    X(StatementNotSupported, 50025, u"コマンド "_s + StatementName() + u" は現在サポートしていません。"_s)   \
    /* names the statement */                                                                                \
    X(StatementFailed, 50026, u"コマンド "_s + StatementName() + u" の実行中にエラーが起きました。"_s)       \
    /* a statement cannot start with this item */                                                            \
    X(BadStatementStart, 50027, u"文頭に置けない記号や文があります。"_s)                                     \
    /* names the statement */                                                                                \
    X(PropertySyntax, 50031,                                                                                 \
      u"プロパティ"_s + StatementName() + u" の構文エラーです。"_s + NL +                                    \
          u"指定または引数のミスタイプが考えられます。"_s)                                                   \
    X(FileCreateFailed, 52105,                                                                               \
      u"File の作成でエラーが起きました。"_s +                                                               \
          u"ファイルが使用中でないか，またDisk が書き込み可か確認して下さい。"_s)                            \
    /* "=" missing in a setting statement */                                                                 \
    X(PropertyAssignSyntax, 52201,                                                                           \
      u"Property 設定の構文に誤りがあります。Proprety = 数値，数値変数の形です。"_s)                         \
    /* ---- stacks and block structure */                                                                    \
    /* a number was popped but something else is on top */                                                   \
    X(StackError, 52300, u"スタックエラーが起きました。"_s)                                                  \
    X(StackOverflow, 52301, u"スタックオーバーエラーが起きました。"_s)                                       \
    /* a pop from an empty stack or of the wrong type */                                                     \
    X(StackEmpty, 52302, u"スタックアンダーフローエラーが起きました。"_s)                                    \
    /* the block-check stack is full */                                                                      \
    X(BlockNestingTooDeep, 52303, u"Block 文の入れ子が多すぎます。"_s)                                       \
    /* the block-check stack is empty (may name a statement) */                                              \
    X(BlockMismatch, 52304, BlockMismatchText())                                                             \
    /* blocks left open at the end (may name a statement) */                                                 \
    X(BlockNotClosed, 52305,                                                                                 \
      u"Block 文が正しくありません。"_s + NamedTail(u"文に対応する文がありません。"_s))                      \
    /* a pop from the local save stack failed */                                                             \
    X(LocalStackError, 52307, GeneralError)                                                                  \
    /* the call-frame stack cannot grow */                                                                   \
    X(CallFrameOverflow, 52308, GeneralError)                                                                \
    /* no call frame to pop or read */                                                                       \
    X(CallFrameEmpty, 52309, GeneralError)                                                                   \
    X(EndFunctionWithoutFunction, 52310,                                                                     \
      u"EndFunction の構文に誤りがあります。Function に対応していません。"_s)                                \
    X(FunctionInsideBlock, 52311, u"Function が別の Block 文の中にあります。Function の位置が不正です。"_s)  \
    X(FunctionBadName, 52312, u"Function の名前は数値変数または文字列変数型でないといけません。"_s)          \
    X(FunctionNameUsed, 52313, u"この Function の名前はすでに使われています。"_s)                            \
    X(NameDeclaredTwice, 52315, u"宣言された変数の名前が重複しています。"_s)                                 \
    X(TooManyDeclaredNames, 52316, u"宣言変数の個数が容量を越えました。"_s)                                  \
    X(EndSubWithoutSub, 52320, u"EndSub の構文に誤りがあります。Sub に対応していません。"_s)                 \
    X(SubInsideBlock, 52321, u"Sub が別の Block 文の中にあります。Sub の位置が不正です。"_s)                 \
    X(SubBadName, 52322, u"Sub の名前は数値変数型でないといけません。また予約語は使えません。"_s)            \
    X(SubNameUsed, 52323, u"この Sub の名前はすでに使われています。"_s)                                      \
    X(ForNotNumericVariable, 52330, u"For の次は数値変数です。"_s + NL)                                      \
    /* may name a statement */                                                                               \
    X(NextMismatch, 52340,                                                                                   \
      u"Next が For と正しく対応していません。"_s + NamedTail(u"文の誤りも考えられます。"_s))                \
    X(NextNotNumericVariable, 52341, u"Next の構文に誤りがあります。 Next の次は数値変数です。"_s)           \
    /* NEXT J after FOR I */                                                                                 \
    X(NextVariableNotFor, 52342, u"Next の次の数値変数が For の数値変数と対応していません。"_s)              \
    /* may name a statement */                                                                               \
    X(WendMismatch, 52350,                                                                                   \
      u"Wend が While と正しく対応していません。"_s + NamedTail(u"文の誤りも考えられます。"_s))              \
    /* may name a statement */                                                                               \
    X(EndIfMismatch, 52360,                                                                                  \
      u"EndIf の構文に誤りがあります。If に対応していません。"_s + NamedTail(u"文の誤りも考えられます。"_s)) \
    /* THEN without IF or ELSEIF */                                                                          \
    X(ThenMismatch, 52361, GeneralError)                                                                     \
    /* may name a statement */                                                                               \
    X(ElseMismatch, 52362,                                                                                   \
      u"Else または ElsIf の構文に誤りがあります。If に対応していません。"_s +                               \
          NamedTail(u"文の誤りも考えられます。"_s))                                                          \
    X(UsingWithoutPrint, 52370, u"Using"_s + S + NL + u"Using は Print Using の形で使います。"_s)            \
    X(HashMisplaced, 52371,                                                                                  \
      u"# の使い方に誤りがあります。# は"_s + NL +                                                           \
          u"Print#,Input#,LineInput#,As#,Close# の形で使います。"_s)                                         \
    /* may name a statement */                                                                               \
    X(UntilMismatch, 52381,                                                                                  \
      u"Until 文が While または Loop に正しく対応していません。"_s +                                         \
          NamedTail(u"文の誤りも考えられます。"_s))                                                          \
    /* may name a statement */                                                                               \
    X(LoopMismatch, 52382,                                                                                   \
      u"Loop 文で While または Until が正しく対応していません。"_s +                                         \
          NamedTail(u"文の誤りも考えられます。"_s))                                                          \
    /* LOOP WHILE without DO; may name a statement */                                                        \
    X(WhileMismatch, 52383,                                                                                  \
      u"While 文が Do または Loop に正しく対応していません。"_s + NamedTail(u"文の誤りも考えられます。"_s))  \
    /* may name a statement */                                                                               \
    X(ExitMismatch, 52384,                                                                                   \
      u"Exit 文で Do または For が正しく対応していません。"_s + NamedTail(u"文の誤りも考えられます。"_s))    \
    /* ---- procedures, CALL, EXIT, declarations */                                                          \
    /* an operator cannot start a statement; a lost jump slot */                                             \
    X(SyntaxError, 53000, S + NL)                                                                            \
    X(ProcedureNoOpenBracket, 53001, u"Sub や Function の名前の次は左括弧 ( です。"_s)                       \
    X(ProcedureParameterKind, 53002, u"Sub や Functionの引数は数値変数，文字列変数または配列変数です。"_s)   \
    X(ProcedureParameterSyntax, 53003, u"Sub や Functionの引数の書式に誤りがあります。"_s)                   \
    X(CallNoOpenBracket, 53011, u"Call文 の名前の次は左括弧 ( です。"_s)                                     \
    X(CallArgumentSyntax, 53012, u"Call文 の引数の書式に誤りがあります。"_s)                                 \
    X(CallNotSub, 53013, u"Call文 された名前が Sub の名前ではありません。"_s)                                \
    X(ExitForOutside, 53021, u"Exit For はFor Next 文の外では使えません。"_s)                                \
    X(ExitDoOutside, 53022, u"Exit Do はDo Loop 文の外では使えません。"_s)                                   \
    X(MouseSyntax, 53030, u"Mouse の構文が違います。Mouse(s,x,y) の形です。"_s)                              \
    X(PublicSyntax, 53051,                                                                                   \
      u"Public"_s + S + NL + u"Public 文は Public 変数名又は配列変数名(数値,…,数値), ... の形です。"_s)      \
    X(SeekSyntax, 53061, u"Seek は Seek #ファイル番号,数値式の形です。"_s)                                   \
    /* an argument of the wrong type for a SUB parameter */                                                  \
    X(CallArgumentType, 53131, u"Call と Sub 引数の型があいません。"_s)                                      \
    /* the call-return stack cannot grow */                                                                  \
    X(CallReturnOverflow, 54031, u"Call の入れ子が深すぎます。"_s)                                           \
    /* no return address to pop */                                                                           \
    X(CallReturnEmpty, 54032, u"Call 文でエラーが起きました。"_s)                                            \
    /* a call of a name that is no SUB or FUNCTION */                                                        \
    X(SubCallFailed, 54033, u"Sub 文の実行中にエラーが起きました。"_s)                                       \
    X(IncludeNoString, 54051, u"Include 文の次は文字列定数でないといけません。"_s)                           \
    X(IncludeFileNotFound, 54052, u"Include 文で指定したファイルが見つかりません。"_s)                       \
    X(NestedInclude, 54053, u"Include 文で指定したファイルの中で Include は使えません。"_s)                  \
    /* the end marker of included text written in a program */                                               \
    X(IncludeOffInProgram, 54054, u"IncludeOff 文は内部使用専用で プログラムでは使えません。"_s)             \
    /* two operands in a row, or "(" after a plain name */                                                   \
    X(OperandsInRow, 54083, u" 式の計算で項と演算子の型の不一致が起こりました。"_s + NL + M)                 \
    /* an assignment to a name that cannot be assigned */                                                    \
    X(LetTargetInvalid, 54084,                                                                               \
      u" Let の計算で代入する変数が不適な型です。"_s + NL +                                                  \
          u"手続き名，ラベル，Def 関数名には代入出来ません。"_s)                                             \
    X(RestoreSyntax, 54085, u"Restore 文は Restore またはResore ラベルです。"_s)                             \
    X(RestoreNotLabel, 54086, u"Restore 文でラベルでない変数を指定しました。"_s)                             \
    X(CaseTypeMismatch, 54087, u"Case 文で値がSelect で指定した型と違います。"_s)                            \
    /* a picture file of an unsupported kind */                                                              \
    X(PictureFormat, 54089, u"この形式の画像ファイルはサポートしていません。"_s)                             \
    X(TooManyDimensions, 54090, u"Dim の宣言は 5 次元以下でなくてはいけません。"_s)                          \
    X(EmptyFileName, 54092, u"ファイル名が空です。変数名等のミススペルを確認して下さい。"_s)                 \
    X(ArgumentOutOfRange, 54093, u"引数が許された範囲外です。関数等のマニュアルを確認して下さい。"_s)        \
    X(FileNotOpen, 54094, u"目的のファイルがオープンされていません。"_s)                                     \
    X(TargetFileNotFound, 54095, u"対象ファイルが見つかりません。"_s)                                        \
    X(SeekBeyondData, 54096, u"Seek で指定値がデータ量を越えています。"_s)                                   \
    /* "$" or "@" contradicting the AS type */                                                               \
    X(TypeSuffixConflict, 54097, u" 文字列宣言子$ と As 宣言した型が矛盾します。"_s)                         \
    X(VariableDeclaredTwice, 54098, u"変数の２重定義です。同じ変数は２度宣言できません。"_s)                 \
    /* a number other than -1 and 0 taken as a boolean */                                                    \
    X(NotABoolean, 54100, u"論理変数処理でエラーが生じました。"_s)                                           \
    X(BadNumericLiteral, 54101, E)                                                                           \
    X(BadDeclaredName, 54102,                                                                                \
      u"宣言された名前が不適です。"_s + NL + u"２重宣言あるいは予約語等と重複している可能性があります。"_s)  \
    X(BadLineNumber, 54103,                                                                                  \
      u"行番号が不適です。"_s + NL + u"行番号は2^32-1以下の正整数で単調増加でないといけません。"_s)          \
    /* GOTO or GOSUB to a line number not in the program */                                                  \
    X(GotoLineNumber, 54104, u"goto 文で行番号が不正です。"_s)                                               \
    X(TooManyLineNumbers, 54105, u"行番号が多すぎます。"_s)                                                  \
    X(RestoreLineNumber, 54106, u"Retore 文で行番号が不正です。"_s)                                          \
    /* an EXIT list of the compiler is full */                                                               \
    X(TooManyExits, 54107, u" Exit 文の使い過ぎです。"_s + NL + u" 簡単な構文にして下さい。"_s)              \
    X(ExitProcedureOutside, 54108, u"Exit Function, Sub はそれぞれ Function, Sub 文の外では使えません。"_s)  \
    /* EXIT not followed by DO, FOR, FUNCTION or SUB */                                                      \
    X(ExitSyntax, 54109, u"Exit の次は，For, Do, Function, Sub です。"_s)                                    \
    X(ControlWindowClosed, 54110, u"コントロール画面が開かれていません。"_s)                                 \
    /* names the function */                                                                                 \
    X(ConversionTooLong, 54120, u"関数"_s + FunctionName() + u"で変換文字数が多すぎます。"_s)                \
    /* the SWAP stacks of the compiler */                                                                    \
    X(InnerStackUnderflow, 54130, u"InnerStackUnderflow"_s)                                                  \
    X(InnerStackOverflow, 54131, u"InnerStackOverflow"_s)                                                    \
    /* ---- strings, devices, OPTION EXPLICIT */                                                             \
    X(StringNotClosed, 55001, u"文字列が行末まで \" で閉じていません。"_s)                                   \
    X(MediaPlayerFailed, 55002, u"MediaPlayer の実行に失敗しました。"_s)                                     \
    X(ClipboardFailed, 55003, u"クリップボード処理に失敗しました。"_s)                                       \
    X(OptionNotFirst, 55004, u"Option Explicit 文は先頭でないといけません。"_s)                              \
    /* under OPTION EXPLICIT */                                                                              \
    X(UndeclaredVariable, 55005,                                                                             \
      u"Option Explicit 宣言がされています。"_s + u"すべての変数は明示宣言しなければいけません。"_s)

namespace Err {
inline constexpr int None = 0;
#define LX_ERROR_NUMBER(name, number, text) inline constexpr int name = number;
LX_ERROR_NUMBERS(LX_ERROR_NUMBER)
#undef LX_ERROR_NUMBER
} // namespace Err
