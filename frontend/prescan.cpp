// The pre-scan: every declared name entered before the statement scan, the text of each INCLUDE file
// inserted after its statement, and OPTION EXPLICIT taken.
#include "frontend/prescan.h"

#include "core/encodedetect.h"
#include "core/errornumbers.h"
#include "core/raiseerror.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/vocabulary.h"
#include "frontend/compilestop.h"
#include "frontend/declnames.h"
#include "frontend/tokenizer.h"
#include "platform/memorybudget.h"
#include "platform/textencoding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <new>
#include <vector>

namespace {

// The compile text never grows past this through INCLUDE files (in characters). It keeps positions
// well inside int and stops a huge or runaway file before it exhausts memory.
constexpr int MaxCompileTextLength = 64 * 1024 * 1024;
// A file's characters are never more than its bytes, but UTF-32 needs four bytes for one.
constexpr qint64 MaxIncludeFileBytes = static_cast<qint64>(MaxCompileTextLength) * 4;

constexpr QStringView LineBreak = u"\r\n";
constexpr int MarkerWordOffset = 11; // SourcePos after ":IncludeOff" when the marker starts at ":"

// One included text in the compile text (1-based positions).
struct InsertedText {
    int Start = 0; // its first character: the position just after the INCLUDE file name
    int Length = 0;
    int MarkerStart = 0; // the ":" that opens its end marker line
};
std::vector<InsertedText> Inserted;

bool IsStatement(const CodeItemType& item, int slot) {
    return item.FirstCode == CodeKind::Statement && item.SecondCode == slot;
}

bool IsOperator(const CodeItemType& item, int slot) {
    return item.FirstCode == CodeKind::Operator && item.SecondCode == slot;
}

const InsertedText* InsertedTextAt(int pos) {
    for (const InsertedText& text : Inserted)
        if (pos >= text.Start && pos < text.Start + text.Length) return &text;
    return nullptr;
}

// A compile-text position as a position in the program text the user wrote.
int ProgramPosition(int pos) {
    int offset = 0;
    for (const InsertedText& text : Inserted) {
        if (pos < text.Start) break;
        if (pos < text.Start + text.Length) return text.Start - offset;
        offset += text.Length;
    }
    return pos - offset;
}

// ---- skipping -------------------------------------------------------------------------------------

void SkipToLineEnd() {
    CodeItemType item;
    while (Rd.SourcePos <= Rd.CompileTextLength) {
        ScanRawChar(item);
        if (IsOperator(item, Op::LineEnd)) return;
    }
}

void SkipBraceBlock() {
    CodeItemType item;
    while (Rd.SourcePos <= Rd.CompileTextLength) {
        ScanRawChar(item);
        if (IsOperator(item, Op::CloseBrace)) return;
    }
}

// Reads tokens (context 0) until the statement ends; a comment mark is left for the main loop.
void SkipStatementRest() {
    Rd.DeclContext = DeclCtx::Main;
    do {
        GetToken(Rd.ScanToken, TokenMode::Declare);
    } while (Fe.ErrorNumber == 0 && !IsStmtEnd(Rd.ScanToken));
}

// ---- SUB, FUNCTION and DEF headers -------------------------------------------------------------------

bool IsTypeWord(const CodeItemType& item) {
    return IsStatement(item, St::AS) || IsStatement(item, St::BOOLEAN) || IsStatement(item, St::REAL) ||
           IsStatement(item, St::STRING);
}

// The parameter list after "(": every name is entered as a local of the header. False when the
// statement ended inside the list.
bool ReadParameterList(std::uint8_t paramContext) {
    int depth = 1;
    for (;;) {
        Rd.DeclContext = paramContext;
        GetToken(Rd.ScanToken, TokenMode::Declare);
        if (Fe.ErrorNumber != 0) return false;
        const CodeItemType& token = Rd.ScanToken;
        if (IsStmtEnd(token)) return false;
        if (IsOperator(token, Op::OpenBracket)) {
            ++depth;
        } else if (IsOperator(token, Op::CloseBracket)) {
            if (--depth == 0) return true;
        } else if (token.FirstCode == CodeKind::Statement && !IsTypeWord(token)) {
            RaiseError(Err::StatementSyntax);
            return false;
        }
    }
}

void ReadHeader(int keyword) {
    if (IsStatement(Rd.ScanPrevToken, St::END)) { // END SUB, END FUNCTION
        Rd.DeclContext = DeclCtx::Main;
        Rd.LocalNamePrefix.clear();
        return;
    }
    const bool isSub = keyword == St::SUB;
    const bool isFunction = keyword == St::FUNCTION;
    Rd.DeclContext = isSub ? DeclCtx::SubName : isFunction ? DeclCtx::FunctionName : DeclCtx::DefName;
    AdvanceLocalNamePrefix();

    GetToken(Rd.ScanToken, TokenMode::Declare);
    if (Fe.ErrorNumber == 0) {
        const int wanted = isSub ? CodeKind::SubName : CodeKind::FunctionName;
        if (Rd.ScanToken.FirstCode != wanted) RaiseError(Err::BadDeclaredName);
    }
    if (Fe.ErrorNumber == 0) {
        // What follows the name is read in the main context, so that a stray word after it is never
        // declared as another SUB or FUNCTION.
        Rd.DeclContext = DeclCtx::Main;
        bool statementOpen = true;
        if (isSub || isFunction) {
            GetToken(Rd.ScanToken, TokenMode::Declare);
            if (Fe.ErrorNumber == 0) {
                if (IsOperator(Rd.ScanToken, Op::OpenBracket))
                    statementOpen = ReadParameterList(isSub ? DeclCtx::SubParams : DeclCtx::FunctionParams);
                else
                    statementOpen = !IsStmtEnd(Rd.ScanToken);
            }
        }
        if (Fe.ErrorNumber == 0 && statementOpen) SkipStatementRest();
    }
    if (Fe.ErrorNumber != 0) {
        Fe.ErrorNameIndex = keyword;
        return;
    }
    if (isSub) {
        Rd.DeclContext = DeclCtx::SubBody;
    } else if (isFunction) {
        Rd.DeclContext = DeclCtx::FunctionBody;
    } else {
        // A DEF function is one statement long; its parameters are entered by the statement scan.
        Rd.DeclContext = DeclCtx::Main;
        Rd.LocalNamePrefix.clear();
    }
}

// ---- DIM and PUBLIC ----------------------------------------------------------------------------------

// Array bounds after "(": numbers and numeric names separated by commas, up to ")".
void ReadBounds(std::uint8_t outerContext) {
    for (;;) {
        Rd.DeclContext = outerContext;
        GetToken(Rd.ScanToken, TokenMode::Declare);
        if (Fe.ErrorNumber != 0) return;
        const CodeItemType& token = Rd.ScanToken;
        if (IsOperator(token, Op::CloseBracket)) return;
        if (IsOperator(token, Op::Comma) || token.FirstCode == CodeKind::NumLiteral ||
            token.FirstCode == CodeKind::NumVar)
            continue;
        RaiseError(Err::StatementSyntax);
        return;
    }
}

void ReadDeclarationList(int keyword) {
    const std::uint8_t outer = Rd.DeclContext;
    std::uint8_t context = DeclCtx::Main;
    if (keyword == St::PUBLIC) {
        if (outer == DeclCtx::Main) context = DeclCtx::PublicList;
    } else if (outer == DeclCtx::Main) {
        context = DeclCtx::DimList;
    } else if (outer == DeclCtx::SubBody) {
        context = DeclCtx::SubParams;
    } else if (outer == DeclCtx::FunctionBody) {
        context = DeclCtx::FunctionParams;
    }
    if (context == DeclCtx::Main) {
        RaiseError(Err::StatementSyntax, keyword);
        return;
    }
    for (bool first = true;; first = false) {
        Rd.DeclContext = context;
        GetToken(Rd.ScanToken, TokenMode::Declare);
        if (Fe.ErrorNumber != 0) break;
        const CodeItemType& token = Rd.ScanToken;
        if (first && keyword == St::PUBLIC && IsStatement(token, St::CONST)) {
            // PUBLIC CONST: the constants are declared by the statement scan, in text order.
            SkipToLineEnd();
            break;
        }
        if (IsStmtEnd(token)) break;
        switch (token.FirstCode) {
        case CodeKind::NumVar:
        case CodeKind::StrVar:
        case CodeKind::BoolVar:
        case CodeKind::FormulaVar: break; // declared by the tokenizer
        case CodeKind::Statement:
            if (!IsTypeWord(token)) RaiseError(Err::BadDeclaredName);
            break;
        case CodeKind::Function: RaiseError(Err::BadDeclaredName); break;
        case CodeKind::Operator:
            if (IsOperator(token, Op::OpenBracket))
                ReadBounds(outer);
            else if (!IsOperator(token, Op::Comma))
                RaiseError(Err::StatementSyntax);
            break;
        default: RaiseError(Err::StatementSyntax); break;
        }
        if (Fe.ErrorNumber != 0) break;
    }
    Rd.DeclContext = outer;
    if (Fe.ErrorNumber != 0) Fe.ErrorNameIndex = keyword;
}

// ---- INCLUDE -------------------------------------------------------------------------------------------

// The file's text in the system's character set, unless a byte-order mark names its encoding. False
// when it cannot be read; error 106 when it is too large to include.
bool ReadIncludeFile(const QString& path, QString& text) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    if (file.size() > MaxIncludeFileBytes) {
        RaiseError(Err::CompileTextTooLarge);
        return false;
    }
    // Its bytes and their text (at most one UTF-16 unit a byte) are in memory together.
    if (!MemoryBudget::AllowsElements(static_cast<std::size_t>(file.size()), 1 + sizeof(char16_t))) {
        RaiseError(Err::OutOfMemory);
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return false;
    text = DecodeFileBytes(bytes, *NewSystemEncoding(), true);
    return true;
}

// CR LF, each line of the file followed by CR LF (CR LF, LF and a lone CR all end a line), then the
// end marker line.
QString InsertionText(const QString& fileText) {
    QString out;
    out.reserve(fileText.size() + fileText.size() / 8 + 32);
    out += LineBreak;
    qsizetype lineStart = 0;
    const qsizetype n = fileText.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = fileText[i];
        if (c != u'\r' && c != u'\n') continue;
        out += QStringView(fileText).mid(lineStart, i - lineStart);
        out += LineBreak;
        if (c == u'\r' && i + 1 < n && fileText[i + 1] == u'\n') ++i;
        lineStart = i + 1;
    }
    if (lineStart < n) {
        out += QStringView(fileText).mid(lineStart);
        out += LineBreak;
    }
    out += QStringView(IncludeEndMarker);
    out += LineBreak;
    return out;
}

void InsertInclude() {
    // Included text may not include again: a file including itself would never end.
    if (InsertedTextAt(Rd.SourcePos) != nullptr) {
        RaiseError(Err::NestedInclude);
        return;
    }
    GetToken(Rd.ScanToken, TokenMode::Declare);
    if (Fe.ErrorNumber != 0) return;
    if (Rd.ScanToken.FirstCode != CodeKind::StrLiteral) {
        RaiseError(Err::IncludeNoString);
        return;
    }
    const QString path = IncludeFilePath(Tb.StrConTable[1]);
    QString fileText;
    if (!QFileInfo(path).isFile() || !ReadIncludeFile(path, fileText)) {
        RaiseError(Err::IncludeFileNotFound);
        return;
    }
    const QString insertion = InsertionText(fileText);
    if (insertion.size() > MaxCompileTextLength - Rd.CompileTextLength) {
        RaiseError(Err::CompileTextTooLarge);
        return;
    }
    const int at = std::clamp(Rd.SourcePos, 1, static_cast<int>(Rd.CompileText.size()) + 1);
    const int length = static_cast<int>(insertion.size());
    Rd.CompileText.insert(at - 1, insertion);
    Rd.CompileTextLength += length;
    Rd.IncludeOffset += length;
    Inserted.push_back(InsertedText{at, length,
                                    at + length - static_cast<int>(LineBreak.size()) -
                                        static_cast<int>(QStringView(IncludeEndMarker).size())});
}

// The marker word may only stand where this pre-scan put it; one written inside an included file
// would end the included text early.
void CheckIncludeOff() {
    const InsertedText* text = InsertedTextAt(Rd.SourcePos);
    if (text != nullptr && Rd.SourcePos != text->MarkerStart + MarkerWordOffset)
        RaiseError(Err::IncludeOffInProgram);
}

// ---- OPTION ----------------------------------------------------------------------------------------------

void ReadOption() {
    if (Ps.ProgramStart != 1) {
        RaiseError(Err::OptionNotFirst);
        return;
    }
    CodeItemType next;
    GetToken(next, TokenMode::Declare);
    if (Fe.ErrorNumber != 0) return;
    if (!IsStatement(next, St::EXPLICIT)) {
        Rd.SourcePos = Rd.SourceLinePos; // OPTION ANGLE and the like: the main loop reads the word
        return;
    }
    Rd.ScanToken = next;
    GetToken(next, TokenMode::Declare);
    if (Fe.ErrorNumber != 0) return;
    if (IsStatement(next, St::OFF)) {
        Rd.ScanToken = next;
        return;
    }
    Ps.OptionExplicit = 1;
    if (IsStatement(next, St::ON))
        Rd.ScanToken = next;
    else
        Rd.SourcePos = Rd.SourceLinePos;
}

// ---- the main loop ---------------------------------------------------------------------------------------

void DispatchStatement(int keyword) {
    switch (keyword) {
    case St::DEF:
    case St::FUNCTION:
    case St::SUB: ReadHeader(keyword); break;
    case St::DIM:
    case St::PUBLIC: ReadDeclarationList(keyword); break;
    case St::ENDFUNCTION:
    case St::ENDSUB:
        Rd.DeclContext = DeclCtx::Main;
        Rd.LocalNamePrefix.clear();
        break;
    case St::EXIT:
        GetToken(Rd.ScanToken, TokenMode::Declare);
        if (Fe.ErrorNumber == 0 && !IsStatement(Rd.ScanToken, St::DO) &&
            !IsStatement(Rd.ScanToken, St::FOR) && !IsStatement(Rd.ScanToken, St::FUNCTION) &&
            !IsStatement(Rd.ScanToken, St::SUB))
            RaiseError(Err::ExitSyntax);
        break;
    case St::INCLUDE: InsertInclude(); break;
    case St::INCLUDEOFF: CheckIncludeOff(); break;
    case St::OPTION: ReadOption(); break;
    case St::REM: SkipToLineEnd(); break;
    default: break;
    }
    if (keyword != St::REM) Ps.ProgramStart = 0;
}

} // namespace

QString IncludeFilePath(const QString& name) {
    QString path = name;
    path.replace(u'\\', u'/');
    if (QDir::isRelativePath(path) && !Fe.ProgramFolder.isEmpty())
        path = QDir(Fe.ProgramFolder).filePath(path);
    return path;
}

void PreScan() {
    // Nothing of an earlier pass that stopped at an error may leak into this one.
    ResetReaderState();
    ResetSourcePos();
    Inserted.clear();

    int stopCountdown = CompileStopInterval;
    try {
        GetToken(Rd.ScanToken, TokenMode::Declare);
        while (Fe.ErrorNumber == 0 && Rd.SourcePos <= Rd.CompileTextLength &&
               !CompileStopRequested(stopCountdown)) {
            if (Rd.ScanToken.FirstCode == CodeKind::Statement) {
                DispatchStatement(Rd.ScanToken.SecondCode);
            } else if (IsOperator(Rd.ScanToken, Op::OpenBrace)) {
                SkipBraceBlock();
            } else if (IsOperator(Rd.ScanToken, Op::Apostrophe)) {
                SkipToLineEnd();
            }
            if (Fe.ErrorNumber != 0) break;
            GetToken(Rd.ScanToken, TokenMode::Declare);
        }
    } catch (const std::bad_alloc&) { // an included text that does not fit in memory
        RaiseError(Err::OutOfMemory);
    }
    if (Fe.ErrorNumber != 0) Rd.SourcePos = ProgramPosition(Rd.SourcePos);
}
