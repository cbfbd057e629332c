// Error numbers of the interpreter. Every phase and executor reports a failure by raising one of these
// (RaiseError, raiseerror.h); ErrorMessage (errortext.h) turns it into the user's text. The numbers are part
// of what programs and users see and must never change.
#pragma once

namespace Err {
inline constexpr int None = 0;

// ---- source reader and tokenizer, general syntax --------------------------------------------------
inline constexpr int BadCharacter = 1;            // a character that starts no token (text in BadCharText)
inline constexpr int WideCharInWord = 2;          // a character above 127 in a word or a DEF parameter
inline constexpr int UnknownStatement = 3;        // not a statement, or an incomplete one
inline constexpr int LookBackBeforeStart = 10;    // a look back past the start of the code buffer
inline constexpr int UnexpectedLexErrorAlt = 101; // older number of UnexpectedLexError, same text
inline constexpr int CompileTextTooLarge = 106;   // an included file would pass the size limit (general text)
inline constexpr int BadHexLiteral = 110;         // a hexadecimal literal that does not convert

// ---- infix-to-postfix conversion -------------------------------------------------------------------
inline constexpr int OperatorStackFull = 131;
inline constexpr int OperatorStackEmpty = 132;
inline constexpr int OpenBracketInOutput = 133; // an unclosed "(" reached the postfix output
inline constexpr int NumNameWithoutKind = 136;  // a numeric or boolean name of Kind 0 in an expression
inline constexpr int StrNameWithoutKind = 137;  // a string name of Kind 0 in an expression
inline constexpr int NotInExpression = 138;     // an operator or item that has no place in an expression
inline constexpr int UnmatchedCloseBracket = 151;
inline constexpr int UnmatchedOpenBracket = 152;
inline constexpr int MisplacedComma = 153; // closing the group before a "," failed

// ---- DEF, FUNCTION and SUB headers -------------------------------------------------------------------
inline constexpr int DefParameterTwice = 161;  // a DEF parameter name given twice
inline constexpr int DefNameNotVariable = 162; // a DEF function name must be a numeric or string name
inline constexpr int DefNoOpenBracket = 163;   // "(" missing after the DEF function name
inline constexpr int FunctionNoName = 210;
inline constexpr int SubNoName = 220;

// ---- statement compiler --------------------------------------------------------------------------------
inline constexpr int StatementNotEnded = 501; // the statement does not end where it should (named)
inline constexpr int BracketCountMismatch = 502;
inline constexpr int LabelSyntax = 510; // the name after "*" must be a numeric name
inline constexpr int LabelTwice = 511;
inline constexpr int LabelIsArrayName = 512;
inline constexpr int LabelIsProcedureName = 513;
inline constexpr int NestingTooDeep = 550; // a block stack of the compiler is full
inline constexpr int ForNoVariable = 551;  // FOR not followed by a numeric name (general text)
inline constexpr int ForNoEqual = 552;     // FOR v not followed by "=" (general text)
inline constexpr int ForNoTo = 553;
inline constexpr int ForNextVariableMismatch = 554;
inline constexpr int ForWithoutNext = 555;
inline constexpr int NextWithoutFor = 556;
inline constexpr int WhileWithoutWend = 557;
inline constexpr int WendWithoutWhile = 558; // WEND or LOOP without its loop
inline constexpr int IfNoThen = 565;
inline constexpr int IfThenOrGoto = 566;     // IF must go on with THEN or GOTO
inline constexpr int IfBlockMismatch = 567;  // ELSE, ELSEIF, END IF or END SELECT without its block
inline constexpr int GosubBadLabel = 571;    // GOSUB * followed by something other than a numeric name
inline constexpr int GosubBadOperator = 572; // GOSUB followed by an operator other than "*"
inline constexpr int GosubBadTarget = 573;   // GOSUB followed by any other item (general text)
inline constexpr int SelectCaseNoSeparator = 581;
inline constexpr int SelectCaseNoCase = 582; // SELECT CASE not followed by a CASE statement
inline constexpr int SelectCaseNoExpression = 583;
inline constexpr int CaseOrder = 584; // CASE without SELECT, or CASE ELSE not last
inline constexpr int CaseSyntax = 585;
inline constexpr int DefSyntax = 591; // a bad DEF parameter list, or no "="
inline constexpr int LetNoVariable = 601;
inline constexpr int LetNoEqual = 602;
inline constexpr int LetNoExpression = 603;
inline constexpr int PrintNoExpression = 604;
inline constexpr int GotoBadTarget = 606; // GOTO without a label or line number (general text)
inline constexpr int InputNoVariableAfterPrompt = 607;
inline constexpr int InputNoSeparatorAfterPrompt = 608;
inline constexpr int InputNoVariable = 609;
inline constexpr int DimSyntax = 611;
inline constexpr int ArraySyntax = 612; // a name declared by DIM used without a proper subscript list
inline constexpr int VariableIsLabel = 613;
inline constexpr int VariableIsArray = 614;
inline constexpr int DeclaredVariableUsed = 618; // a name declared by DIM or PUBLIC after it was used
inline constexpr int InputVariableList = 620;
inline constexpr int InputNoSeparator = 621; // a string not followed by "," or ";"
inline constexpr int InputArrayVariable = 622;
inline constexpr int InputArrayType = 623;
inline constexpr int InputSyntax = 624;     // INPUT (#) or LINE INPUT (#)
inline constexpr int InputFileSyntax = 625; // INPUT # or LINE INPUT #
inline constexpr int PrintFileSyntax = 650;
inline constexpr int PrintFileNoComma = 651;
inline constexpr int FileNumberRange = 653; // a file number other than 1 to 8
inline constexpr int PrintFileNoExpression = 654;
inline constexpr int PrintUsingSyntax = 660;
inline constexpr int PrintUsingNoFormat = 661;
inline constexpr int PrintUsingNoSemicolon = 662;
inline constexpr int PrintFileUsingNoFormat = 681;
inline constexpr int PrintFileUsingNoSemicolon = 682;
inline constexpr int ExpressionFormMismatch = 700; // a statement's operands do not match its form
inline constexpr int FilesSyntax = 701;
inline constexpr int KillSyntax = 702;
inline constexpr int ListSyntax = 703;
inline constexpr int LoadSyntax = 704;
inline constexpr int NameSyntax = 706;
inline constexpr int ChDirSyntax = 707;
inline constexpr int RunSyntax = 720;
inline constexpr int WindowSyntax = 801;
inline constexpr int OnOffMissing = 802; // ON or OFF missing after the named statement
inline constexpr int ViewSyntax = 805;
inline constexpr int LineSyntax = 811;
inline constexpr int PrintTitleSyntax = 851;
inline constexpr int PrintGTitleSyntax = 852;

// ---- engine: expressions, DATA, control flow ------------------------------------------------------------
inline constexpr int ExpressionStackOverflow = 1001;
inline constexpr int OperatorMisuse = 1002;
inline constexpr int TooManyData = 1005;
inline constexpr int ReadPastData = 1006;     // READ with no DATA value left
inline constexpr int ReadTypeMismatch = 1007; // a DATA value whose type does not fit the READ target
inline constexpr int DefFnTypeMismatch = 1008;
inline constexpr int NameIsLabel = 1009;
inline constexpr int ExecutionFailed = 1010;
inline constexpr int PowerOfNegative = 1014; // a zero or negative base with a non-whole exponent
inline constexpr int NegativeArgument = 1015;
inline constexpr int LogArgument = 1018; // logarithm of zero, a negative or too small a number
inline constexpr int SqrNegative = 1019;
inline constexpr int InvalidOperation = 1020;
inline constexpr int ModRange = 1024;
inline constexpr int SpaceArgument = 1026;  // SPACE$ or SPC beyond 1024
inline constexpr int IntDivDivisor = 1031;  // "\": the divisor is not a whole number of 0 or more
inline constexpr int IntDivDividend = 1032; // "\": the dividend is not whole
inline constexpr int IntDivRange = 1033;
inline constexpr int IntModDivisor = 1035; // MOD: the same three conditions
inline constexpr int IntModDividend = 1036;
inline constexpr int IntModRange = 1037;
inline constexpr int ReturnStackFull = 1040;   // GOSUB or function return stack full
inline constexpr int ReturnStackEmpty = 1041;  // RETURN with nothing to return to
inline constexpr int NoSuchLabel = 1051;       // GOTO or GOSUB to a name that is no label
inline constexpr int ConditionType = 1052;     // IF without a boolean on the stack
inline constexpr int JumpTargetInvalid = 1055; // a jump target beyond the code
inline constexpr int ClsMode = 1106;           // CLS with a mode other than 1, 2 or 3 (general text)

// ---- engine: drawing
// --------------------------------------------------------------------------------------- Every number from
// WindowNotNumbers to WindowEmptyArea shares the WINDOW text.
inline constexpr int WindowNotNumbers = 1210;
inline constexpr int WindowEmptyArea = 1219; // x2 <= x1 or y2 <= y1
inline constexpr int LineNotNumbers = 1220;
inline constexpr int PsetNotNumbers = 1230;
inline constexpr int LineOptionKind = 1239; // LINE option item of an unexpected kind (general text)
inline constexpr int CircleNotNumbers = 1240;
inline constexpr int PaintNotNumbers = 1245;
inline constexpr int CircleOptionName = 1247;     // a CIRCLE option other than F (general text)
inline constexpr int CircleOptionKind = 1248;     // CIRCLE option item of an unexpected kind (general text)
inline constexpr int PaintPointNotNumbers = 1250; // PAINT coordinates not numbers (general text)
// Every number from ScreenWidthNotNumber to ScreenCoordinateLast shares the screen-size text.
inline constexpr int ScreenWidthNotNumber = 1351;
inline constexpr int ScreenHeightNotNumber = 1353;
inline constexpr int ScreenCoordinateLast = 1354;
inline constexpr int SubscriptTooLarge = 1401;
inline constexpr int SubscriptNegative = 1402;
inline constexpr int SubscriptInvalid = 1403; // not a number, or a bad declaration

// ---- engine: files and folders ----------------------------------------------------------------------------
inline constexpr int FileNotFound = 2101; // shares the text of TargetFileNotFound
inline constexpr int PathNotFound = 2102;
inline constexpr int AccessDenied = 2103;
inline constexpr int BadDriveName = 2104;
inline constexpr int NoDisk = 2105;
inline constexpr int FileWriteProtected = 2106;
inline constexpr int RenameWriteProtected = 2107;
inline constexpr int DeleteWriteProtected = 2108;
inline constexpr int RenameTargetExists = 2109;
inline constexpr int BadDiskName = 2110;
inline constexpr int BadTargetDrive = 2111;
inline constexpr int LoadSaveFailed = 2112;
inline constexpr int ChDirFailed = 2121;
inline constexpr int NameSourceMissing = 2131; // NAME: the old file does not exist
inline constexpr int NameTargetExists = 2132;  // NAME: the new name exists
inline constexpr int NameFailed = 2133;
inline constexpr int KillFileMissing = 2141;
inline constexpr int KillFailed = 2142;
inline constexpr int ChannelAlreadyOpen = 3001;
inline constexpr int OpenFailed = 3003;
inline constexpr int EofNotInput = 3005; // EOF of a channel not opened for input
inline constexpr int EofSyntax = 3006;
inline constexpr int PrintFileNotOpen = 3011;
inline constexpr int PrintFileOpenForInput = 3012;
inline constexpr int LineInputFileNotOpen = 3021;
inline constexpr int LineInputFileForOutput = 3022;
inline constexpr int LineInputFileForAppend = 3023;
inline constexpr int LineInputFileAtEnd = 3025;
inline constexpr int InputFileChannel = 3030; // a channel number other than 1 to 8
inline constexpr int InputFileNotOpen = 3031;
inline constexpr int InputFileForOutput = 3032;
inline constexpr int InputFileForAppend = 3033;
inline constexpr int InputFileAtEnd = 3035;
inline constexpr int InputFileBadNumber = 3041; // a numeric field of INPUT# that is not a number
inline constexpr int UsingFieldType = 3501;     // a PRINT USING field meets a value of the wrong type
inline constexpr int UsingUnderscore = 3502;    // a PRINT USING format ends with "_"

// ---- run-time formulas, limits ---------------------------------------------------------------------------
inline constexpr int StrToFormSyntax = 5001;
inline constexpr int EvalFormSyntax = 5011;
inline constexpr int LineTooLarge = 6001;        // LINE coordinates too large
inline constexpr int NotInImmediateMode = 20001; // a command that cannot be typed as an immediate command

// ---- source text
// ----------------------------------------------------------------------------------------------
inline constexpr int WideCharacter = 30001;       // a character of 128 or above outside a string literal
inline constexpr int BadLineEnd = 30002;          // LF without CR; CR without LF inside a number
inline constexpr int LoneCr = 30003;              // CR without LF elsewhere
inline constexpr int UnderscoreMisplaced = 30004; // the line-continuation "_"
inline constexpr int NameTooLong = 30005;         // a declared name longer than 30 characters

// ---- memory
// ----------------------------------------------------------------------------------------------------
inline constexpr int OutOfMemory = 30101;      // an item buffer, a variable table or an array cannot grow
inline constexpr int StackOutOfMemory = 30102; // a value stack cannot grow
inline constexpr int ProgramTooLarge = 30103;  // a program past the size limit; a command past its area

// ---- OPEN and CLOSE
// ------------------------------------------------------------------------------------------------
inline constexpr int FileNumberInvalid = 40001;
inline constexpr int OpenSyntax = 40002;
inline constexpr int CloseSyntax = 40003;

// ---- engine: general, functions and operators
// --------------------------------------------------------------
inline constexpr int UnexpectedLexError = 50001; // a tokenizer state that should not occur
inline constexpr int UnexpectedParseError = 50002;
inline constexpr int UnexpectedRunError = 50003;
inline constexpr int NoGraphicsWindow = 50006; // shares the text of FilePsetNoGraphicsWindow
inline constexpr int FilePsetNotFound = 50008;
inline constexpr int FilePsetFailed = 50009;
inline constexpr int FilePsetNoGraphicsWindow = 50010;
inline constexpr int FunctionArgType = 50011;     // names the function (ErrorNameIndex)
inline constexpr int FunctionArgRange = 50012;    // names the function
inline constexpr int FunctionResultRange = 50013; // names the function
inline constexpr int FunctionFailed = 50014;      // names the function
inline constexpr int OperatorType = 50015;        // names the operator
inline constexpr int OperatorArgRange = 50016;    // names the operator
inline constexpr int OperatorResultRange = 50017; // names the operator
inline constexpr int OperatorFailed = 50018;      // names the operator
inline constexpr int DivisionByZero = 50019;
inline constexpr int LogicalOperatorType = 50020; // names the operator
inline constexpr int TypeMismatch = 50021;
inline constexpr int StatementType = 50022;         // names the statement
inline constexpr int FunctionNotSupported = 50023;  // names the function
inline constexpr int StatementSyntax = 50024;       // names the statement
inline constexpr int StatementNotSupported = 50025; // names the statement
inline constexpr int StatementFailed = 50026;       // names the statement
inline constexpr int BadStatementStart = 50027;     // a statement cannot start with this item
inline constexpr int PropertySyntax = 50031;        // names the statement
inline constexpr int FileCreateFailed = 52105;
inline constexpr int PropertyAssignSyntax = 52201; // "=" missing in a setting statement

// ---- stacks and block structure
// -----------------------------------------------------------------------------
inline constexpr int StackError = 52300; // a number was popped but something else is on top
inline constexpr int StackOverflow = 52301;
inline constexpr int StackEmpty = 52302;          // a pop from an empty stack or of the wrong type
inline constexpr int BlockNestingTooDeep = 52303; // the block-check stack is full
inline constexpr int BlockMismatch = 52304;       // the block-check stack is empty (may name a statement)
inline constexpr int BlockNotClosed = 52305;      // blocks left open at the end (may name a statement)
inline constexpr int LocalStackError = 52307;     // a pop from the local save stack failed
inline constexpr int CallFrameOverflow = 52308;   // the call-frame stack cannot grow
inline constexpr int CallFrameEmpty = 52309;      // no call frame to pop or read
inline constexpr int EndFunctionWithoutFunction = 52310;
inline constexpr int FunctionInsideBlock = 52311;
inline constexpr int FunctionBadName = 52312;
inline constexpr int FunctionNameUsed = 52313;
inline constexpr int NameDeclaredTwice = 52315;
inline constexpr int TooManyDeclaredNames = 52316;
inline constexpr int EndSubWithoutSub = 52320;
inline constexpr int SubInsideBlock = 52321;
inline constexpr int SubBadName = 52322;
inline constexpr int SubNameUsed = 52323;
inline constexpr int ForNotNumericVariable = 52330;
inline constexpr int NextMismatch = 52340; // may name a statement
inline constexpr int NextNotNumericVariable = 52341;
inline constexpr int NextVariableNotFor = 52342; // NEXT J after FOR I
inline constexpr int WendMismatch = 52350;       // may name a statement
inline constexpr int EndIfMismatch = 52360;      // may name a statement
inline constexpr int ThenMismatch = 52361;       // THEN without IF or ELSEIF (general text)
inline constexpr int ElseMismatch = 52362;       // may name a statement
inline constexpr int UsingWithoutPrint = 52370;
inline constexpr int HashMisplaced = 52371;
inline constexpr int UntilMismatch = 52381; // may name a statement
inline constexpr int LoopMismatch = 52382;  // may name a statement
inline constexpr int WhileMismatch = 52383; // LOOP WHILE without DO; may name a statement
inline constexpr int ExitMismatch = 52384;  // may name a statement

// ---- procedures, CALL, EXIT, declarations -----------------------------------------------------------------
inline constexpr int SyntaxError = 53000; // an operator cannot start a statement; a lost jump slot
inline constexpr int ProcedureNoOpenBracket = 53001;
inline constexpr int ProcedureParameterKind = 53002;
inline constexpr int ProcedureParameterSyntax = 53003;
inline constexpr int CallNoOpenBracket = 53011;
inline constexpr int CallArgumentSyntax = 53012;
inline constexpr int CallNotSub = 53013;
inline constexpr int ExitForOutside = 53021;
inline constexpr int ExitDoOutside = 53022;
inline constexpr int MouseSyntax = 53030;
inline constexpr int PublicSyntax = 53051;
inline constexpr int SeekSyntax = 53061;
inline constexpr int CallArgumentType = 53131;   // an argument of the wrong type for a SUB parameter
inline constexpr int CallReturnOverflow = 54031; // the call-return stack cannot grow
inline constexpr int CallReturnEmpty = 54032;    // no return address to pop
inline constexpr int SubCallFailed = 54033;      // a call of a name that is no SUB or FUNCTION
inline constexpr int IncludeNoString = 54051;
inline constexpr int IncludeFileNotFound = 54052;
inline constexpr int NestedInclude = 54053;
inline constexpr int IncludeOffInProgram = 54054; // the end marker of included text written in a program
inline constexpr int OperandsInRow = 54083;       // two operands in a row, or "(" after a plain name
inline constexpr int LetTargetInvalid = 54084;    // an assignment to a name that cannot be assigned
inline constexpr int RestoreSyntax = 54085;
inline constexpr int RestoreNotLabel = 54086;
inline constexpr int CaseTypeMismatch = 54087;
inline constexpr int PictureFormat = 54089; // a picture file of an unsupported kind
inline constexpr int TooManyDimensions = 54090;
inline constexpr int EmptyFileName = 54092;
inline constexpr int ArgumentOutOfRange = 54093;
inline constexpr int FileNotOpen = 54094;
inline constexpr int TargetFileNotFound = 54095;
inline constexpr int SeekBeyondData = 54096;
inline constexpr int TypeSuffixConflict = 54097; // "$" or "@" contradicting the AS type
inline constexpr int VariableDeclaredTwice = 54098;
inline constexpr int NotABoolean = 54100; // a number other than -1 and 0 taken as a boolean
inline constexpr int BadNumericLiteral = 54101;
inline constexpr int BadDeclaredName = 54102;
inline constexpr int BadLineNumber = 54103;
inline constexpr int GotoLineNumber = 54104; // GOTO or GOSUB to a line number not in the program
inline constexpr int TooManyLineNumbers = 54105;
inline constexpr int RestoreLineNumber = 54106;
inline constexpr int TooManyExits = 54107; // an EXIT list of the compiler is full
inline constexpr int ExitProcedureOutside = 54108;
inline constexpr int ExitSyntax = 54109; // EXIT not followed by DO, FOR, FUNCTION or SUB
inline constexpr int ControlWindowClosed = 54110;
inline constexpr int ConversionTooLong = 54120;   // names the function
inline constexpr int InnerStackUnderflow = 54130; // the SWAP stacks of the compiler
inline constexpr int InnerStackOverflow = 54131;

// ---- strings, devices, OPTION EXPLICIT --------------------------------------------------------------------
inline constexpr int StringNotClosed = 55001;
inline constexpr int MediaPlayerFailed = 55002;
inline constexpr int ClipboardFailed = 55003;
inline constexpr int OptionNotFirst = 55004;
inline constexpr int UndeclaredVariable = 55005; // under OPTION EXPLICIT
} // namespace Err
