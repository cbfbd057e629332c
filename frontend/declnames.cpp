// The declared names and the variable lookup: declarations entered into DcVarTable, and each name the
// scan reads resolved to a constant or a declared, local or new variable.
#include "frontend/declnames.h"

#include "core/errornumbers.h"
#include "core/raiseerror.h"
#include "core/sharedstate.h"
#include "core/tables.h"

#include <algorithm>
#include <initializer_list>

namespace {

constexpr int LocalPrefixDigits = 4;

bool OneOf(int value, std::initializer_list<int> set) {
    return std::find(set.begin(), set.end(), value) != set.end();
}

int EntryKind(int index) {
    return Tb.DcVarTable[static_cast<std::size_t>(index)].Kind & DcVarKind::Mask;
}

// ---- the AS clause ------------------------------------------------------------------------------------

char16_t UpperAt(int pos) {
    if (pos < 1 || pos > Rd.CompileTextLength || pos > Rd.CompileText.size()) return 0;
    const char16_t c = Rd.CompileText[pos - 1].unicode();
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - (u'a' - u'A')) : c;
}

bool IsBlankOrTab(char16_t c) {
    return c == u' ' || c == u'\t';
}

int SkipBlanksAndTabs(int pos) {
    while (IsBlankOrTab(UpperAt(pos)))
        ++pos;
    return pos;
}

bool WordAt(int pos, std::u16string_view word) {
    for (std::size_t i = 0; i < word.size(); ++i)
        if (UpperAt(pos + static_cast<int>(i)) != word[i]) return false;
    return true;
}

// Looks ahead from SourcePos (just after a name) for "[(...)] AS BOOLEAN|REAL|STRING" and gives the
// type (3, 1, 2) or 0 when there is no such clause. The reader stays where it is, except with
// stayAfterClause (CONST), where it moves past a clause found.
int ReadTypeClause(bool stayAfterClause) {
    int pos = Rd.SourcePos;
    const char16_t first = UpperAt(pos);
    if (!IsBlankOrTab(first) && first != u'(') return VarType::None;
    pos = SkipBlanksAndTabs(pos);
    if (UpperAt(pos) == u'(') {
        int depth = 0;
        for (;;) {
            const char16_t c = UpperAt(pos);
            if (c == 0 || c == u'\r') break;
            ++pos;
            if (c == u'(') {
                ++depth;
            } else if (c == u')' && --depth == 0) {
                break;
            }
        }
        pos = SkipBlanksAndTabs(pos);
    }
    if (!WordAt(pos, u"AS") || !IsBlankOrTab(UpperAt(pos + 2))) return VarType::None;
    pos = SkipBlanksAndTabs(pos + 2);

    struct TypeWord {
        std::u16string_view Word;
        int Type;
    };
    static constexpr TypeWord TypeWords[] = {
        {u"BOOLEAN", VarType::Boolean}, {u"REAL", VarType::Real}, {u"STRING", VarType::String}};
    for (const TypeWord& t : TypeWords) {
        if (!WordAt(pos, t.Word)) continue;
        const int after = pos + static_cast<int>(t.Word.size());
        const char16_t next = UpperAt(after);
        if (!OneOf(next, {u')', u',', u'=', u' ', u'\t', 0, u'\r'})) return VarType::None;
        if (stayAfterClause) Rd.SourcePos = after;
        return t.Type;
    }
    return VarType::None;
}

// The type of a name from its clause and its last character: "@" is a formula (no clause allowed),
// "$" a string (only AS STRING allowed). -1 after error 54097.
int NameType(const QString& name, int clause) {
    if (name.endsWith(u'@')) {
        if (clause != VarType::None) {
            RaiseError(Err::TypeSuffixConflict);
            return -1;
        }
        return VarType::Formula;
    }
    if (name.endsWith(u'$')) {
        if (clause != VarType::None && clause != VarType::String) {
            RaiseError(Err::TypeSuffixConflict);
            return -1;
        }
        return VarType::String;
    }
    return clause;
}

// ---- declaring --------------------------------------------------------------------------------------

// The entry kind a declaration in this context makes for a name of this type.
int DeclaredKind(int context, int type) {
    // Column by type: 0 or 1, 2, 3, 4.
    const int column = type <= VarType::Real ? 0 : type - 1;
    auto pick = [column](int a, int b, int c, int d) {
        const int kinds[] = {a, b, c, d};
        return kinds[column];
    };
    using namespace DcVarKind;
    switch (context) {
    case DeclCtx::PublicList:
        return pick(NumberPublicVariable, StringPublicVariable, BooleanPublicVariable, FormulaPublicVariable);
    case DeclCtx::SubName:
        if (column != 0) {
            // A SUB returns nothing: a typed name is refused, but its entry is kept as "Skip".
            RaiseError(Err::SubBadName);
            return Skip;
        }
        return Sub;
    case DeclCtx::SubParams:
    case DeclCtx::FunctionParams:
    case DeclCtx::LocalDecl:
        return pick(NumberLocalVariable, StringLocalVariable, BooleanLocalVariable, FormulaLocalVariable);
    case DeclCtx::FunctionName:
    case DeclCtx::DefName: return pick(NumberFunction, StringFunction, BooleanFunction, FormulaFunction);
    case DeclCtx::DimList: return pick(NumberVariable, StringVariable, BooleanVariable, FormulaVariable);
    case DeclCtx::Const:
    case DeclCtx::SubConst:
    case DeclCtx::FunctionConst:
        return pick(NumberConstant, StringConstant, BooleanConstant, FormulaConstant);
    case DeclCtx::PublicConst:
        return pick(NumberPublicConstant, StringPublicConstant, BooleanPublicConstant, Skip);
    default: return Skip;
    }
}

int TokenKindForType(int type) {
    switch (type) {
    case VarType::String: return CodeKind::StrVar;
    case VarType::Boolean: return CodeKind::BoolVar;
    case VarType::Formula: return CodeKind::FormulaVar;
    default: return CodeKind::NumVar;
    }
}

// Token kinds the scanners see for a name just declared (mode 0).
constexpr int FunctionNameToken = CodeKind::FunctionName; // 4
constexpr int SubNameToken = CodeKind::SubName;           // 5
constexpr int NumConstNameToken = 15;
constexpr int StrConstNameToken = 25;
constexpr int BoolConstNameToken = 35;
constexpr int FormulaConstNameToken = 72;

int TokenKindForEntry(int kind, int type) {
    using namespace DcVarKind;
    switch (kind) {
    case Sub: return SubNameToken;
    case NumberFunction:
    case StringFunction:
    case BooleanFunction:
    case FormulaFunction: return FunctionNameToken;
    case NumberVariable:
    case NumberPublicVariable:
    case NumberLocalVariable: return CodeKind::NumVar;
    case StringVariable:
    case StringPublicVariable:
    case StringLocalVariable: return CodeKind::StrVar;
    case BooleanVariable:
    case BooleanPublicVariable:
    case BooleanLocalVariable: return CodeKind::BoolVar;
    case FormulaVariable:
    case FormulaPublicVariable:
    case FormulaLocalVariable: return CodeKind::FormulaVar;
    case NumberConstant:
    case NumberPublicConstant: return NumConstNameToken;
    case StringConstant:
    case StringPublicConstant: return StrConstNameToken;
    case BooleanConstant:
    case BooleanPublicConstant: return BoolConstNameToken;
    case FormulaConstant: return FormulaConstNameToken;
    default: return TokenKindForType(type);
    }
}

// ---- resolving ----------------------------------------------------------------------------------------

// The variable type an entry of this kind stands for, or -1 when it is no variable.
int VariableTypeOfKind(int kind) {
    using namespace DcVarKind;
    if (OneOf(kind, {Sub, NumberFunction, NumberVariable, NumberPublicVariable, NumberLocalVariable}))
        return VarType::Real;
    if (OneOf(kind, {StringFunction, StringVariable, StringPublicVariable, StringLocalVariable}))
        return VarType::String;
    if (OneOf(kind, {BooleanFunction, BooleanVariable, BooleanPublicVariable, BooleanLocalVariable}))
        return VarType::Boolean;
    if (OneOf(kind, {FormulaFunction, FormulaVariable, FormulaPublicVariable, FormulaLocalVariable}))
        return VarType::Formula;
    return -1;
}

void FindOrCreate(const QString& name, int type, CodeItemType& token) {
    const int index = FindVariable(name, type);
    if (index != 0)
        token = MakeVarItem(index, type);
    else
        CreateVariable(name, type, token);
}

// Which constant kinds may stand where a declared entry is resolved.
enum class ConstScope { Any, Local, Global };

// The token of a declared entry: its variable (named varName) or its constant.
void ResolveEntry(int entry, const QString& varName, ConstScope scope, CodeItemType& token) {
    using namespace DcVarKind;
    const int kind = EntryKind(entry);
    const int type = VariableTypeOfKind(kind);
    if (type >= 0) {
        FindOrCreate(varName, type, token);
        return;
    }
    const bool localConst = OneOf(kind, {NumberConstant, StringConstant, BooleanConstant});
    const bool publicConst = OneOf(kind, {NumberPublicConstant, StringPublicConstant, BooleanPublicConstant});
    const bool allowed =
        (localConst && scope != ConstScope::Global) || (publicConst && scope != ConstScope::Local);
    if (!allowed) {
        RaiseError(Err::UnexpectedLexError);
        return;
    }
    const std::int32_t index = Tb.DcVarTable[static_cast<std::size_t>(entry)].Index;
    if (kind == NumberConstant || kind == NumberPublicConstant)
        token = CodeItemType{CodeKind::NumLiteral, index - 1, 0};
    else if (kind == StringConstant || kind == StringPublicConstant)
        token = CodeItemType{CodeKind::StrLiteral, index, 0};
    else
        token = CodeItemType{CodeKind::BoolConst, index, 0};
}

// An undeclared name: the existing variable, or a new one unless OPTION EXPLICIT asks for declarations.
void FindOrCreateUndeclared(const QString& name, int type, CodeItemType& token) {
    const int index = FindVariable(name, type);
    if (index != 0) {
        token = MakeVarItem(index, type);
        return;
    }
    if (Ps.OptionExplicit != 0) {
        RaiseError(Err::UndeclaredVariable);
        return;
    }
    CreateVariable(name, type, token);
}

template <typename Record> int FindByName(const std::vector<Record>& table, int count, const QString& name) {
    const int last = std::min(count, static_cast<int>(table.size()) - 1);
    for (int i = 1; i <= last; ++i)
        if (table[static_cast<std::size_t>(i)].Name == name) return i;
    return 0;
}

// Appends a record named name to table (count grows); the new index, or 0 when it cannot grow.
template <typename Record> int AppendRecord(std::vector<Record>& table, int& count, const QString& name) {
    const int at = count + 1;
    if (!GrowTable(table, static_cast<std::size_t>(at))) return 0;
    Record record{};
    record.Name = name;
    table[static_cast<std::size_t>(at)] = std::move(record);
    count = at;
    return at;
}

} // namespace

QString LocalPrefixFor(int counter) {
    return (QStringLiteral("0000") + QString::number(counter)).right(LocalPrefixDigits);
}

void AdvanceLocalNamePrefix() {
    ++Rd.DefCounter;
    Rd.LocalNamePrefix = LocalPrefixFor(Rd.DefCounter);
}

void RegisterDcVar(const QString& name, CodeItemType& token) {
    token = CodeItemType{};
    if (name.size() > MaxDeclaredNameLength) {
        RaiseError(Err::NameTooLong);
        return;
    }
    const int context = Rd.DeclContext;
    const bool prefixed = OneOf(context, {DeclCtx::SubParams, DeclCtx::FunctionParams, DeclCtx::LocalDecl,
                                          DeclCtx::DimList, DeclCtx::SubConst, DeclCtx::FunctionConst});
    const QString key = prefixed ? Rd.LocalNamePrefix + name : name;
    const bool readsClause =
        OneOf(context, {DeclCtx::PublicList, DeclCtx::SubName, DeclCtx::SubParams, DeclCtx::FunctionName,
                        DeclCtx::FunctionParams, DeclCtx::DimList, DeclCtx::Const, DeclCtx::SubConst,
                        DeclCtx::FunctionConst, DeclCtx::PublicConst});
    const bool isConst = context >= DeclCtx::Const && context <= DeclCtx::PublicConst;
    const int clause = readsClause ? ReadTypeClause(isConst) : VarType::None;
    const int type = NameType(name, clause);
    if (type < 0) return;

    const bool enters = readsClause || context == DeclCtx::DefName || context == DeclCtx::LocalDecl;
    if (!enters) {
        token.FirstCode = TokenKindForType(type);
        return;
    }
    if (Tb.NumofRegisteredDcVar >= DcVarCapacity) {
        RaiseError(Err::TooManyDeclaredNames);
        return;
    }
    if (FindDcVar(key) != 0) {
        RaiseError(Err::NameDeclaredTwice);
        return;
    }
    const int kind = DeclaredKind(context, type);
    const int at = ++Tb.NumofRegisteredDcVar;
    DcVarType& entry = Tb.DcVarTable[static_cast<std::size_t>(at)];
    entry.Name = key;
    entry.Kind = kind;
    entry.Index = 0;
    token.FirstCode = TokenKindForEntry(kind, type);
    token.SecondCode = at;
}

void LookUpVariable(const QString& name, CodeItemType& token) {
    token = CodeItemType{};
    const QString base = name.left(MaxDeclaredNameLength);
    const int context = Rd.DeclContext;
    const bool prefixed = context == DeclCtx::SubParams || context == DeclCtx::FunctionParams;
    const QString key = prefixed ? Rd.LocalNamePrefix + base : base;
    const bool readsClause =
        OneOf(context, {DeclCtx::PublicList, DeclCtx::SubName, DeclCtx::SubParams, DeclCtx::FunctionName,
                        DeclCtx::FunctionParams, DeclCtx::DimList});
    // The type follows the name as written, so that cutting a long name never loses its "$" or "@".
    const int type = NameType(name, readsClause ? ReadTypeClause(false) : VarType::None);
    if (type < 0) return;

    switch (context) {
    case DeclCtx::Main: {
        const int entry = FindDcVar(key);
        if (entry == 0)
            FindOrCreateUndeclared(key, type, token);
        else
            ResolveEntry(entry, key, ConstScope::Any, token);
        return;
    }
    case DeclCtx::PublicList:
    case DeclCtx::SubParams:
    case DeclCtx::FunctionParams:
    case DeclCtx::DimList: {
        if (FindVariable(key, type) != 0) {
            RaiseError(Err::VariableDeclaredTwice);
            return;
        }
        const int entry = FindDcVar(key);
        if (entry == 0) {
            RaiseError(Err::UnexpectedLexError);
            return;
        }
        CreateVariable(key, type, token);
        if (token.FirstCode != CodeKind::None)
            Tb.DcVarTable[static_cast<std::size_t>(entry)].Index = token.SecondCode;
        return;
    }
    case DeclCtx::SubName:
    case DeclCtx::FunctionName: FindOrCreate(key, type, token); return;
    case DeclCtx::SubBody:
    case DeclCtx::FunctionBody: {
        const QString local = Rd.LocalNamePrefix + base;
        int entry = FindDcVar(local);
        if (entry != 0) {
            ResolveEntry(entry, local, ConstScope::Local, token);
            return;
        }
        entry = FindGlobalDcVar(base);
        if (entry != 0) {
            ResolveEntry(entry, base, ConstScope::Global, token);
            return;
        }
        FindOrCreateUndeclared(local, type, token);
        return;
    }
    default: return; // no name is resolved here (a CONST being declared, for instance)
    }
}

int FindDcVar(const QString& name) {
    for (int i = 1; i <= Tb.NumofRegisteredDcVar && i <= DcVarCapacity; ++i)
        if (Tb.DcVarTable[static_cast<std::size_t>(i)].Name == name) return i;
    return 0;
}

int FindGlobalDcVar(const QString& name) {
    using namespace DcVarKind;
    for (int i = 1; i <= Tb.NumofRegisteredDcVar && i <= DcVarCapacity; ++i) {
        if (Tb.DcVarTable[static_cast<std::size_t>(i)].Name != name) continue;
        const int kind = EntryKind(i);
        if ((kind >= Sub && kind <= FormulaFunction) ||
            (kind >= NumberPublicVariable && kind <= FormulaPublicVariable) ||
            (kind >= NumberPublicConstant && kind <= BooleanPublicConstant))
            return i;
    }
    return 0;
}

bool DcVarExists(const QString& name) {
    return FindDcVar(name) != 0;
}

bool IsSubName(const QString& name) {
    const int entry = FindDcVar(name);
    return entry != 0 && EntryKind(entry) == DcVarKind::Sub;
}

int FindVariable(const QString& name, int type) {
    switch (type) {
    case VarType::String: return Tb.StrVarNames.Find(Tb.StrVarTable, Tb.NumofRegisteredStrVar, name);
    case VarType::Boolean: return Tb.BoolVarNames.Find(Tb.BoolVarTable, Tb.NumofRegisteredBoolVar, name);
    case VarType::Formula: return Tb.FormVarNames.Find(Tb.FormVarTable, Tb.NumofRegisteredFormVar, name);
    default: return Tb.NumVarNames.Find(Tb.NumVarTable, Tb.NumofRegisteredNumVar, name);
    }
}

void CreateVariable(const QString& name, int type, CodeItemType& token) {
    token = CodeItemType{};
    int index = 0;
    switch (type) {
    case VarType::String:
        index = AppendRecord(Tb.StrVarTable, Tb.NumofRegisteredStrVar, name);
        if (index != 0 && Rd.DeclContext == DeclCtx::FunctionName)
            Tb.StrVarTable[static_cast<std::size_t>(index)].Kind = StrVarKind::FunctionName;
        break;
    case VarType::Boolean: index = AppendRecord(Tb.BoolVarTable, Tb.NumofRegisteredBoolVar, name); break;
    case VarType::Formula: index = AppendRecord(Tb.FormVarTable, Tb.NumofRegisteredFormVar, name); break;
    default:
        index = AppendRecord(Tb.NumVarTable, Tb.NumofRegisteredNumVar, name);
        if (index != 0 && Rd.DeclContext == DeclCtx::SubName)
            Tb.NumVarTable[static_cast<std::size_t>(index)].Kind = NumVarKind::SubName;
        else if (index != 0 && Rd.DeclContext == DeclCtx::FunctionName)
            Tb.NumVarTable[static_cast<std::size_t>(index)].Kind = NumVarKind::FunctionName;
        break;
    }
    if (index != 0) token = MakeVarItem(index, type);
}

CodeItemType MakeVarItem(int index, int type) {
    return CodeItemType{TokenKindForType(type), index, 0};
}

void FindLocalVar(const QString& name, CodeItemType& token) {
    token = CodeItemType{};
    const QString cut = name.left(MaxLocalVarNameLength);
    if (name.endsWith(u'$')) {
        const int i = FindByName(Tb.LocalStrVarTable, Tb.NumofRegisteredLocalStrVar, cut);
        if (i != 0) token = CodeItemType{CodeKind::LocalStrVar, i, 0};
    } else {
        const int i = FindByName(Tb.LocalNumVarTable, Tb.NumofRegisteredLocalNumVar, cut);
        if (i != 0) token = CodeItemType{CodeKind::LocalNumVar, i, 0};
    }
}

void AddLocalVar(const QString& name, CodeItemType& token, int position) {
    FindLocalVar(name, token);
    if (token.FirstCode != CodeKind::None) {
        token = CodeItemType{};
        return;
    }
    const QString cut = name.left(MaxLocalVarNameLength);
    int index = 0;
    int kind = CodeKind::None;
    if (name.endsWith(u'$')) {
        index = AppendRecord(Tb.LocalStrVarTable, Tb.NumofRegisteredLocalStrVar, cut);
        kind = CodeKind::LocalStrVar;
    } else {
        index = AppendRecord(Tb.LocalNumVarTable, Tb.NumofRegisteredLocalNumVar, cut);
        kind = CodeKind::LocalNumVar;
    }
    if (index != 0) token = CodeItemType{kind, index, position};
}
