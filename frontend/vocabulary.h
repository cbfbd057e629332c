// The language's vocabulary: operator, statement, function and reserved-word tables, and the searches
// the tokenizer and the editor use on them. A token's SecondCode is its slot in one of these tables, so
// the slots below are part of the compiled code's format and must never move.
#pragma once

#include <array>
#include <string_view>

inline constexpr int OperatorCount = 44;
inline constexpr int StatementCount = 191;
inline constexpr int FunctionCount = 125;
inline constexpr int ReservedWordCount = 38;

// Slots 26, 38 and 40 are empty; "?" stands twice and the linear search always finds slot 25.
inline constexpr std::array<std::u16string_view, OperatorCount + 1> OperatorNames = {
    u"",   u"=",  u"<>",  u"><", u"<",   u">",   u"<=",  u"=<",  u">=",  u"=>",  u"+",
    u"-",  u"*",  u"/",   u"\\", u"MOD", u"^",   u"(",   u")",   u"{",   u"}",   u",",
    u";",  u":",  u".",   u"?",  u"",    u"\"",  u"#",   u"$",   u"'",   u"NOT", u"AND",
    u"OR", u"XOR", u"IMP", u"EQV", u"_", u"",    u"^Cr", u"",    u"?",   u"SJis", u"&",
    u"ChgSgn",
};

// Operator slots.
namespace Op {
inline constexpr int Equal = 1;          // "="
inline constexpr int NotEqual = 2;       // "<>"
inline constexpr int NotEqualAlt = 3;    // "><"
inline constexpr int Less = 4;           // "<"
inline constexpr int Greater = 5;        // ">"
inline constexpr int LessEqual = 6;      // "<="
inline constexpr int LessEqualAlt = 7;   // "=<"
inline constexpr int GreaterEqual = 8;   // ">="
inline constexpr int GreaterEqualAlt = 9; // "=>"
inline constexpr int Plus = 10;          // "+"
inline constexpr int Minus = 11;         // "-"
inline constexpr int Multiply = 12;      // "*" (also starts a label definition)
inline constexpr int Divide = 13;        // "/"
inline constexpr int IntDivide = 14;     // "\"
inline constexpr int Mod = 15;           // "MOD"
inline constexpr int Power = 16;         // "^"
inline constexpr int OpenBracket = 17;   // "("
inline constexpr int CloseBracket = 18;  // ")"
inline constexpr int OpenBrace = 19;     // "{"
inline constexpr int CloseBrace = 20;    // "}"
inline constexpr int Comma = 21;         // ","
inline constexpr int Semicolon = 22;     // ";"
inline constexpr int Colon = 23;         // ":" (statement separator)
inline constexpr int Period = 24;        // "."
inline constexpr int Question = 25;      // "?" (PRINT shorthand)
inline constexpr int Empty26 = 26;
inline constexpr int DoubleQuote = 27;   // the double-quote character
inline constexpr int Hash = 28;          // "#"
inline constexpr int Dollar = 29;        // "$"
inline constexpr int Apostrophe = 30;    // "'" (comment)
inline constexpr int Not = 31;
inline constexpr int And = 32;
inline constexpr int Or = 33;
inline constexpr int Xor = 34;
inline constexpr int Imp = 35;
inline constexpr int Eqv = 36;
inline constexpr int Underscore = 37;    // "_"
inline constexpr int LineEnd = 38;       // empty text; as a code, the end of a line (listed as CR LF)
inline constexpr int PrintCr = 39;       // "^Cr"
inline constexpr int Empty40 = 40;
inline constexpr int Question2 = 41;     // the second "?", never found by the search
inline constexpr int SJis = 42;
inline constexpr int Ampersand = 43;     // "&"
inline constexpr int ChgSgn = 44;        // unary minus, made by the compiler
} // namespace Op

inline constexpr std::array<std::u16string_view, StatementCount + 1> StatementNames = {
    u"",
    u"ANGLE", u"APPEND", u"APPENDALLTEXT", u"AS", u"AUDIOMIXER", u"BACKCOLOR", u"BEEP", u"BINARY",
    u"BOOLEAN", u"BORDERCOLOR", u"CALL", u"CASE", u"CASEELSE", u"CBACKCOLOR", u"CBUTTON", u"CFONTCHARSET",
    u"CFONTCOLOR", u"CFONTNAME", u"CFONTSIZE", u"CFONTSTYLE", u"CHDIR", u"CHKMSG", u"CIRCLE", u"CLABEL",
    u"CLIPBOARD", u"CLOSE", u"CLOSECSCREEN", u"CLOSEGSCREEN", u"CLS", u"COLOR", u"CONSOLE", u"CONST",
    u"CONT", u"CSCREEN", u"CTEXTBOX", u"CWINDOWSTATE", u"CWPOSITION", u"DATA", u"DEF", u"DEGREES",
    u"DELETE", u"DIM", u"DO", u"DRAWMODE", u"DRAWSTYLE", u"DRAWWIDTH", u"ECHO", u"EDIT",
    u"ELSE", u"ELSEIF", u"END", u"ENDFUNCTION", u"ENDIF", u"ENDSELECT", u"ENDSUB", u"ERROR",
    u"EVALFORM", u"EWINDOWSTATE", u"EWPOSITION", u"EXIT", u"EXITDO", u"EXITFOR", u"EXITFUNCTION", u"EXITSUB",
    u"EXPLICIT", u"FILECOPY", u"FILEPSET", u"FILES", u"FILLSTYLE", u"FINDFILECLOSE", u"FOR", u"FORECOLOR",
    u"FUNCTION", u"GBACKCOLOR", u"GBORDERCOLOR", u"GDRAWMODE", u"GDRAWSTYLE", u"GDRAWWIDTH", u"GFILLSTYLE", u"GFLOCATE",
    u"GFONTCHARSET", u"GFONTCOLOR", u"GFONTNAME", u"GFONTSIZE", u"GFONTSTYLE", u"GFORECOLOR", u"GLOCATE", u"GOSUB",
    u"GOTO", u"GPRINT", u"GREFRESH", u"GSCREEN", u"GSCROLL", u"GSTRETCH", u"GWINDOWSTATE", u"GWPOSITION",
    u"HELP", u"IBPOSITION", u"IF", u"INCLUDE", u"INCLUDEOFF", u"INPUT", u"INPUT#", u"IS",
    u"KILL", u"LET", u"LINE", u"LINEINPUT", u"LINEINPUT#", u"LIST", u"LLIST", u"LOAD",
    u"LOADPICTURE", u"LOCATE", u"LOOP", u"LPRINT", u"MATHGRAPH", u"MEDIAPLAYER", u"MERGE", u"MOUSE",
    u"NAME", u"NEW", u"NEXT", u"OFF", u"ON", u"OPEN", u"OPENCSCREEN", u"OPENGSCREEN",
    u"OPTION", u"OPTIONANGLE", u"OPTIONEXPLICIT", u"OUTPUT", u"PAINT", u"PRECISION", u"PRESET", u"PRINT",
    u"PRINT#", u"PRINTCTITLE", u"PRINTGTITLE", u"PRINTITITLE", u"PRINTTITLE", u"PRINTUSING", u"PSET", u"PUBLIC",
    u"PUBLICCONST", u"RADIANS", u"RANDOMIZE", u"READ", u"REAL", u"REM", u"RENUM", u"RESTORE",
    u"RESUME", u"RETURN", u"RUN", u"SAVE", u"SAVEPICTURE", u"SEEK", u"SELECT", u"SELECTCASE",
    u"SETENCODING", u"SETVERSION", u"SLEEP", u"STEP", u"STOP", u"STRING", u"STRTOFORM", u"SUB",
    u"SWAP", u"SYSCMD", u"SYSTEM", u"TBACKCOLOR", u"TFONTCHARSET", u"TFONTCOLOR", u"TFONTNAME", u"TFONTSIZE",
    u"TFONTSTYLE", u"THEN", u"TO", u"TSCREEN", u"TWINDOWSTATE", u"TWPOSITION", u"UNTIL", u"USING",
    u"VIEW", u"WEND", u"WHILE", u"WINDOW", u"WRITEALLBYTES", u"WRITEALLLINES", u"WRITEALLTEXT",
};

inline constexpr std::array<std::u16string_view, FunctionCount + 1> FunctionNames = {
    u"",
    u"ABS", u"ACOS", u"AKCNV$", u"ASC", u"ASCU", u"ASCW", u"ASIN", u"ATN",
    u"ATTR$", u"BINOM", u"BINOMIAL", u"CEIL", u"CHR", u"CHR$", u"CHRU", u"CHRW",
    u"COS", u"COSH", u"COT", u"CREATEDIR", u"CSC", u"CSRLIN", u"DATE", u"DATE$",
    u"DAYOFWEEK", u"DEG", u"DELETEFILE", u"DIRECTORYEXISTS", u"DISKFREE", u"DISKSIZE", u"EOF", u"EXP",
    u"FACT", u"FACTORIAL", u"FILEEXISTS", u"FILELEN", u"FINDFIRSTFILE", u"FINDNEXTFILE", u"FIX", u"FLOATTOSTR",
    u"FLOATTOSTRBIN", u"FLOATTOSTRHEX", u"GCD", u"GETCURRENTDIR", u"GETDIMTYPE", u"GETFILEDATETIME", u"GETHOUR", u"GETIMAGESIZE$",
    u"GETMINUTE", u"GETMSECOND", u"GETPROGRAMDIR", u"GETRGBPIXEL", u"GETSECOND", u"HEX$", u"INKEY$", u"INPUT$",
    u"INPUTBOX", u"INSTR", u"INT", u"ISLEAPYEAR", u"ISSURROGATE", u"KACNV$", u"KINSTR", u"KLEFT$",
    u"KLEN", u"KMID$", u"KRIGHT$", u"LCASE$", u"LCM", u"LEFT$", u"LEN", u"LOC",
    u"LOF", u"LOG", u"LOG10", u"LOG2", u"LTRIM$", u"MAX", u"MID$", u"MIN",
    u"MSGBOX", u"NORMALIZE", u"PFACTOR", u"PI", u"PI$", u"POS", u"PRIMEFACTOR", u"RAD",
    u"RANDG", u"READALLBYTES", u"READALLLINES", u"READALLTEXT", u"REMOVEDIR", u"RENAMEFILE", u"REPLACE$", u"RIGHT$",
    u"RND", u"ROUND", u"RTRIM$", u"SEC", u"SEEK ", u"SELECTOPENFILE", u"SELECTSAVEFILE", u"SETCURRENTDIR",
    u"SGN", u"SHELL", u"SIN", u"SINH", u"SPACE$", u"SPC", u"SPLIT$", u"SQR",
    u"STR$", u"STRCONV", u"STRING$", u"TAB", u"TAN", u"TANH", u"TIME", u"TIME$",
    u"TIMER", u"TRIM$", u"UCASE$", u"VAL", u"YEARTIMER",
};

inline constexpr std::array<std::u16string_view, ReservedWordCount + 1> ReservedWords = {
    u"",
    u"AS", u"BOOLEAN", u"CALL", u"CASE", u"CLOSE", u"CONST", u"DATA", u"DIM",
    u"DO", u"ELSE", u"ELSEIF", u"END", u"EXIT", u"EXPLICIT", u"FOR", u"FUNCTION",
    u"GOSUB", u"GOTO", u"IF", u"IS", u"LET", u"LOOP", u"NEXT", u"OPEN",
    u"OPTION", u"PUBLIC", u"REAL", u"REM", u"RETURN", u"SELECT", u"STOP", u"STRING",
    u"SUB", u"THEN", u"TO", u"UNTIL", u"WEND", u"WHILE",
};

// Statement slots (kind 6 items below 192).
namespace St {
inline constexpr int ANGLE = 1;
inline constexpr int APPEND = 2;
inline constexpr int APPENDALLTEXT = 3;
inline constexpr int AS = 4;
inline constexpr int AUDIOMIXER = 5;
inline constexpr int BACKCOLOR = 6;
inline constexpr int BEEP = 7;
inline constexpr int BINARY = 8;
inline constexpr int BOOLEAN = 9;
inline constexpr int BORDERCOLOR = 10;
inline constexpr int CALL = 11;
inline constexpr int CASE = 12;
inline constexpr int CASEELSE = 13;
inline constexpr int CBACKCOLOR = 14;
inline constexpr int CBUTTON = 15;
inline constexpr int CFONTCHARSET = 16;
inline constexpr int CFONTCOLOR = 17;
inline constexpr int CFONTNAME = 18;
inline constexpr int CFONTSIZE = 19;
inline constexpr int CFONTSTYLE = 20;
inline constexpr int CHDIR = 21;
inline constexpr int CHKMSG = 22;
inline constexpr int CIRCLE = 23;
inline constexpr int CLABEL = 24;
inline constexpr int CLIPBOARD = 25;
inline constexpr int CLOSE = 26;
inline constexpr int CLOSECSCREEN = 27;
inline constexpr int CLOSEGSCREEN = 28;
inline constexpr int CLS = 29;
inline constexpr int COLOR = 30;
inline constexpr int CONSOLE = 31;
inline constexpr int CONST = 32;
inline constexpr int CONT = 33;
inline constexpr int CSCREEN = 34;
inline constexpr int CTEXTBOX = 35;
inline constexpr int CWINDOWSTATE = 36;
inline constexpr int CWPOSITION = 37;
inline constexpr int DATA = 38;
inline constexpr int DEF = 39;
inline constexpr int DEGREES = 40;
inline constexpr int DELETE = 41;
inline constexpr int DIM = 42;
inline constexpr int DO = 43;
inline constexpr int DRAWMODE = 44;
inline constexpr int DRAWSTYLE = 45;
inline constexpr int DRAWWIDTH = 46;
inline constexpr int ECHO = 47;
inline constexpr int EDIT = 48;
inline constexpr int ELSE = 49;
inline constexpr int ELSEIF = 50;
inline constexpr int END = 51;
inline constexpr int ENDFUNCTION = 52;
inline constexpr int ENDIF = 53;
inline constexpr int ENDSELECT = 54;
inline constexpr int ENDSUB = 55;
inline constexpr int ERROR = 56;
inline constexpr int EVALFORM = 57;
inline constexpr int EWINDOWSTATE = 58;
inline constexpr int EWPOSITION = 59;
inline constexpr int EXIT = 60;
inline constexpr int EXITDO = 61;
inline constexpr int EXITFOR = 62;
inline constexpr int EXITFUNCTION = 63;
inline constexpr int EXITSUB = 64;
inline constexpr int EXPLICIT = 65;
inline constexpr int FILECOPY = 66;
inline constexpr int FILEPSET = 67;
inline constexpr int FILES = 68;
inline constexpr int FILLSTYLE = 69;
inline constexpr int FINDFILECLOSE = 70;
inline constexpr int FOR = 71;
inline constexpr int FORECOLOR = 72;
inline constexpr int FUNCTION = 73;
inline constexpr int GBACKCOLOR = 74;
inline constexpr int GBORDERCOLOR = 75;
inline constexpr int GDRAWMODE = 76;
inline constexpr int GDRAWSTYLE = 77;
inline constexpr int GDRAWWIDTH = 78;
inline constexpr int GFILLSTYLE = 79;
inline constexpr int GFLOCATE = 80;
inline constexpr int GFONTCHARSET = 81;
inline constexpr int GFONTCOLOR = 82;
inline constexpr int GFONTNAME = 83;
inline constexpr int GFONTSIZE = 84;
inline constexpr int GFONTSTYLE = 85;
inline constexpr int GFORECOLOR = 86;
inline constexpr int GLOCATE = 87;
inline constexpr int GOSUB = 88;
inline constexpr int GOTO = 89;
inline constexpr int GPRINT = 90;
inline constexpr int GREFRESH = 91;
inline constexpr int GSCREEN = 92;
inline constexpr int GSCROLL = 93;
inline constexpr int GSTRETCH = 94;
inline constexpr int GWINDOWSTATE = 95;
inline constexpr int GWPOSITION = 96;
inline constexpr int HELP = 97;
inline constexpr int IBPOSITION = 98;
inline constexpr int IF = 99;
inline constexpr int INCLUDE = 100;
inline constexpr int INCLUDEOFF = 101;
inline constexpr int INPUT = 102;
inline constexpr int INPUTFile = 103;
inline constexpr int IS = 104;
inline constexpr int KILL = 105;
inline constexpr int LET = 106;
inline constexpr int LINE = 107;
inline constexpr int LINEINPUT = 108;
inline constexpr int LINEINPUTFile = 109;
inline constexpr int LIST = 110;
inline constexpr int LLIST = 111;
inline constexpr int LOAD = 112;
inline constexpr int LOADPICTURE = 113;
inline constexpr int LOCATE = 114;
inline constexpr int LOOP = 115;
inline constexpr int LPRINT = 116;
inline constexpr int MATHGRAPH = 117;
inline constexpr int MEDIAPLAYER = 118;
inline constexpr int MERGE = 119;
inline constexpr int MOUSE = 120;
inline constexpr int NAME = 121;
inline constexpr int NEW = 122;
inline constexpr int NEXT = 123;
inline constexpr int OFF = 124;
inline constexpr int ON = 125;
inline constexpr int OPEN = 126;
inline constexpr int OPENCSCREEN = 127;
inline constexpr int OPENGSCREEN = 128;
inline constexpr int OPTION = 129;
inline constexpr int OPTIONANGLE = 130;
inline constexpr int OPTIONEXPLICIT = 131;
inline constexpr int OUTPUT = 132;
inline constexpr int PAINT = 133;
inline constexpr int PRECISION = 134;
inline constexpr int PRESET = 135;
inline constexpr int PRINT = 136;
inline constexpr int PRINTFile = 137;
inline constexpr int PRINTCTITLE = 138;
inline constexpr int PRINTGTITLE = 139;
inline constexpr int PRINTITITLE = 140;
inline constexpr int PRINTTITLE = 141;
inline constexpr int PRINTUSING = 142;
inline constexpr int PSET = 143;
inline constexpr int PUBLIC = 144;
inline constexpr int PUBLICCONST = 145;
inline constexpr int RADIANS = 146;
inline constexpr int RANDOMIZE = 147;
inline constexpr int READ = 148;
inline constexpr int REAL = 149;
inline constexpr int REM = 150;
inline constexpr int RENUM = 151;
inline constexpr int RESTORE = 152;
inline constexpr int RESUME = 153;
inline constexpr int RETURN = 154;
inline constexpr int RUN = 155;
inline constexpr int SAVE = 156;
inline constexpr int SAVEPICTURE = 157;
inline constexpr int SEEK = 158;
inline constexpr int SELECT = 159;
inline constexpr int SELECTCASE = 160;
inline constexpr int SETENCODING = 161;
inline constexpr int SETVERSION = 162;
inline constexpr int SLEEP = 163;
inline constexpr int STEP = 164;
inline constexpr int STOP = 165;
inline constexpr int STRING = 166;
inline constexpr int STRTOFORM = 167;
inline constexpr int SUB = 168;
inline constexpr int SWAP = 169;
inline constexpr int SYSCMD = 170;
inline constexpr int SYSTEM = 171;
inline constexpr int TBACKCOLOR = 172;
inline constexpr int TFONTCHARSET = 173;
inline constexpr int TFONTCOLOR = 174;
inline constexpr int TFONTNAME = 175;
inline constexpr int TFONTSIZE = 176;
inline constexpr int TFONTSTYLE = 177;
inline constexpr int THEN = 178;
inline constexpr int TO = 179;
inline constexpr int TSCREEN = 180;
inline constexpr int TWINDOWSTATE = 181;
inline constexpr int TWPOSITION = 182;
inline constexpr int UNTIL = 183;
inline constexpr int USING = 184;
inline constexpr int VIEW = 185;
inline constexpr int WEND = 186;
inline constexpr int WHILE = 187;
inline constexpr int WINDOW = 188;
inline constexpr int WRITEALLBYTES = 189;
inline constexpr int WRITEALLLINES = 190;
inline constexpr int WRITEALLTEXT = 191;
} // namespace St

// Function slots (kind 2 items below 126).
namespace Fn {
inline constexpr int ABS = 1;
inline constexpr int ACOS = 2;
inline constexpr int AKCNVStr = 3;
inline constexpr int ASC = 4;
inline constexpr int ASCU = 5;
inline constexpr int ASCW = 6;
inline constexpr int ASIN = 7;
inline constexpr int ATN = 8;
inline constexpr int ATTRStr = 9;
inline constexpr int BINOM = 10;
inline constexpr int BINOMIAL = 11;
inline constexpr int CEIL = 12;
inline constexpr int CHR = 13;
inline constexpr int CHRStr = 14;
inline constexpr int CHRU = 15;
inline constexpr int CHRW = 16;
inline constexpr int COS = 17;
inline constexpr int COSH = 18;
inline constexpr int COT = 19;
inline constexpr int CREATEDIR = 20;
inline constexpr int CSC = 21;
inline constexpr int CSRLIN = 22;
inline constexpr int DATE = 23;
inline constexpr int DATEStr = 24;
inline constexpr int DAYOFWEEK = 25;
inline constexpr int DEG = 26;
inline constexpr int DELETEFILE = 27;
inline constexpr int DIRECTORYEXISTS = 28;
inline constexpr int DISKFREE = 29;
inline constexpr int DISKSIZE = 30;
inline constexpr int Eof = 31;
inline constexpr int EXP = 32;
inline constexpr int FACT = 33;
inline constexpr int FACTORIAL = 34;
inline constexpr int FILEEXISTS = 35;
inline constexpr int FILELEN = 36;
inline constexpr int FINDFIRSTFILE = 37;
inline constexpr int FINDNEXTFILE = 38;
inline constexpr int FIX = 39;
inline constexpr int FLOATTOSTR = 40;
inline constexpr int FLOATTOSTRBIN = 41;
inline constexpr int FLOATTOSTRHEX = 42;
inline constexpr int GCD = 43;
inline constexpr int GETCURRENTDIR = 44;
inline constexpr int GETDIMTYPE = 45;
inline constexpr int GETFILEDATETIME = 46;
inline constexpr int GETHOUR = 47;
inline constexpr int GETIMAGESIZEStr = 48;
inline constexpr int GETMINUTE = 49;
inline constexpr int GETMSECOND = 50;
inline constexpr int GETPROGRAMDIR = 51;
inline constexpr int GETRGBPIXEL = 52;
inline constexpr int GETSECOND = 53;
inline constexpr int HEXStr = 54;
inline constexpr int INKEYStr = 55;
inline constexpr int INPUTStr = 56;
inline constexpr int INPUTBOX = 57;
inline constexpr int INSTR = 58;
inline constexpr int INT = 59;
inline constexpr int ISLEAPYEAR = 60;
inline constexpr int ISSURROGATE = 61;
inline constexpr int KACNVStr = 62;
inline constexpr int KINSTR = 63;
inline constexpr int KLEFTStr = 64;
inline constexpr int KLEN = 65;
inline constexpr int KMIDStr = 66;
inline constexpr int KRIGHTStr = 67;
inline constexpr int LCASEStr = 68;
inline constexpr int LCM = 69;
inline constexpr int LEFTStr = 70;
inline constexpr int LEN = 71;
inline constexpr int LOC = 72;
inline constexpr int LOF = 73;
inline constexpr int LOG = 74;
inline constexpr int LOG10 = 75;
inline constexpr int LOG2 = 76;
inline constexpr int LTRIMStr = 77;
inline constexpr int MAX = 78;
inline constexpr int MIDStr = 79;
inline constexpr int MIN = 80;
inline constexpr int MSGBOX = 81;
inline constexpr int NORMALIZE = 82;
inline constexpr int PFACTOR = 83;
inline constexpr int PI = 84;
inline constexpr int PIStr = 85;
inline constexpr int POS = 86;
inline constexpr int PRIMEFACTOR = 87;
inline constexpr int RAD = 88;
inline constexpr int RANDG = 89;
inline constexpr int READALLBYTES = 90;
inline constexpr int READALLLINES = 91;
inline constexpr int READALLTEXT = 92;
inline constexpr int REMOVEDIR = 93;
inline constexpr int RENAMEFILE = 94;
inline constexpr int REPLACEStr = 95;
inline constexpr int RIGHTStr = 96;
inline constexpr int RND = 97;
inline constexpr int ROUND = 98;
inline constexpr int RTRIMStr = 99;
inline constexpr int SEC = 100;
inline constexpr int SEEK = 101;
inline constexpr int SELECTOPENFILE = 102;
inline constexpr int SELECTSAVEFILE = 103;
inline constexpr int SETCURRENTDIR = 104;
inline constexpr int SGN = 105;
inline constexpr int SHELL = 106;
inline constexpr int SIN = 107;
inline constexpr int SINH = 108;
inline constexpr int SPACEStr = 109;
inline constexpr int SPC = 110;
inline constexpr int SPLITStr = 111;
inline constexpr int SQR = 112;
inline constexpr int STRStr = 113;
inline constexpr int STRCONV = 114;
inline constexpr int STRINGStr = 115;
inline constexpr int TAB = 116;
inline constexpr int TAN = 117;
inline constexpr int TANH = 118;
inline constexpr int TIME = 119;
inline constexpr int TIMEStr = 120;
inline constexpr int TIMER = 121;
inline constexpr int TRIMStr = 122;
inline constexpr int UCASEStr = 123;
inline constexpr int VAL = 124;
inline constexpr int YEARTIMER = 125;
} // namespace Fn

// Reserved-word slots; function codes 126 + slot - 1 name them.
namespace Rw {
inline constexpr int AS = 1;
inline constexpr int BOOLEAN = 2;
inline constexpr int CALL = 3;
inline constexpr int CASE = 4;
inline constexpr int CLOSE = 5;
inline constexpr int CONST = 6;
inline constexpr int DATA = 7;
inline constexpr int DIM = 8;
inline constexpr int DO = 9;
inline constexpr int ELSE = 10;
inline constexpr int ELSEIF = 11;
inline constexpr int END = 12;
inline constexpr int EXIT = 13;
inline constexpr int EXPLICIT = 14;
inline constexpr int FOR = 15;
inline constexpr int FUNCTION = 16;
inline constexpr int GOSUB = 17;
inline constexpr int GOTO = 18;
inline constexpr int IF = 19;
inline constexpr int IS = 20;
inline constexpr int LET = 21;
inline constexpr int LOOP = 22;
inline constexpr int NEXT = 23;
inline constexpr int OPEN = 24;
inline constexpr int OPTION = 25;
inline constexpr int PUBLIC = 26;
inline constexpr int REAL = 27;
inline constexpr int REM = 28;
inline constexpr int RETURN = 29;
inline constexpr int SELECT = 30;
inline constexpr int STOP = 31;
inline constexpr int STRING = 32;
inline constexpr int SUB = 33;
inline constexpr int THEN = 34;
inline constexpr int TO = 35;
inline constexpr int UNTIL = 36;
inline constexpr int WEND = 37;
inline constexpr int WHILE = 38;
} // namespace Rw

// Combined slot numbering: the four tables stand one after another, so statement s is the combined
// slot s + CombinedStatementBase and function f the combined slot f + CombinedFunctionBase.
inline constexpr int CombinedStatementBase = OperatorCount;
inline constexpr int CombinedFunctionBase = OperatorCount + StatementCount;

// Function codes 126 and up that name reserved words: 126 + slot - 1.
inline constexpr int ReservedWordFunctionBase = 126;

template <std::size_t N>
constexpr bool IsStrictlySorted(const std::array<std::u16string_view, N>& table) {
    for (std::size_t i = 2; i < N; ++i)
        if (!(table[i - 1] < table[i])) return false;
    return true;
}
static_assert(IsStrictlySorted(StatementNames), "StatementNames must stay sorted for the binary search");
static_assert(IsStrictlySorted(FunctionNames), "FunctionNames must stay sorted for the binary search");
static_assert(IsStrictlySorted(ReservedWords), "ReservedWords must stay sorted for the binary search");
static_assert(StatementNames[St::CONT] == u"CONT" && StatementNames[St::SYSTEM] == u"SYSTEM");
static_assert(FunctionNames[Fn::SEEK] == u"SEEK ");

// The searches. Each returns the slot (1-based) or 0 when the word is not in the table.
// Operators: linear over slots 1 to 44, first match wins (so "?" is always 25).
int SearchOperator(std::u16string_view word);
// Statements, functions and reserved words: binary search with the midpoint rounded to the nearest
// integer (halves to even) and ordinal comparison of UTF-16 units. Words are compared as given: the
// tokenizer upper-cases before searching.
int SearchStatement(std::u16string_view word);
int SearchFunction(std::u16string_view word);
int SearchReservedWord(std::u16string_view word);
