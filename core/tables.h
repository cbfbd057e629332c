// The tables the compiled program refers to by index: numeric, string and boolean variables (scalars,
// arrays, labels and procedure names), array elements, literals, formulas, DATA positions, labels, the
// locals of procedures, the public transfer slots and the declared names. The front end fills them
// while compiling; the engine reads and writes their values while running.
#pragma once

#include "core/codeitem.h"
#include "core/errornumbers.h"
#include "core/raiseerror.h"
#include "core/sharedstate.h"
#include "platform/memoryadvice.h"
#include "platform/memorybudget.h"

#include <QHash>
#include <QString>

#include <algorithm>
#include <array>
#include <cstdint>
#include <exception>
#include <vector>

inline constexpr int MaxDimensions = 5;

namespace NumVarKind {
inline constexpr std::uint8_t Variable = 0;
inline constexpr std::uint8_t Label = 1;
inline constexpr std::uint8_t FunctionName = 2;
inline constexpr std::uint8_t SubName = 3;
inline constexpr std::uint8_t DefFunction = 4;
inline constexpr std::uint8_t ArrayParameter = 5;
inline constexpr std::uint8_t Array = 6;
} // namespace NumVarKind

namespace StrVarKind {
inline constexpr std::uint8_t Variable = 0;
inline constexpr std::uint8_t FunctionName = 1;
inline constexpr std::uint8_t DefFunction = 2;
inline constexpr std::uint8_t ArrayParameter = 3;
inline constexpr std::uint8_t Array = 4;
} // namespace StrVarKind

namespace BoolVarKind {
inline constexpr std::uint8_t Variable = 0;
inline constexpr std::uint8_t FunctionName = 1;
inline constexpr std::uint8_t UserFunction = 2; // treated as a user function by the run loop
inline constexpr std::uint8_t ArrayParameter = 3;
inline constexpr std::uint8_t Array = 4;
} // namespace BoolVarKind

struct NumVarType {
    QString Name;
    Extended Value = 0.0L;
    std::int32_t Base = 0; // arrays: first element in ANumVarTable; labels and procedures: code index
    std::uint8_t Kind = 0; // NumVarKind
    std::uint8_t DimCount = 0;
    std::array<std::int32_t, MaxDimensions + 1> Bounds{}; // 1-based: largest subscript per dimension
    std::uint8_t ArrayParam = 0;
};

struct StrVarType {
    QString Name;
    QString Value;
    std::int32_t Base = 0;
    std::uint8_t Kind = 0; // StrVarKind
    std::uint8_t DimCount = 0;
    std::array<std::int32_t, MaxDimensions + 1> Bounds{};
    std::uint8_t ArrayParam = 0;
};

struct BoolVarType {
    QString Name;
    std::uint8_t Value = 0; // 0 false, 1 true
    std::int32_t Base = 0;
    std::uint8_t Kind = 0; // BoolVarKind
    std::uint8_t DimCount = 0;
    std::array<std::int32_t, MaxDimensions + 1> Bounds{};
    std::uint8_t ArrayParam = 0;
};

inline constexpr int FormulaCodeSize = 100;
struct FormVarType {
    QString Name;
    std::array<CodeItemType, FormulaCodeSize + 1> Code{}; // 1-based: {41} postfix items {42}
    std::int32_t Kind = 0;
};

struct LabelType {
    std::int32_t Key = 0; // line number or label
    std::int32_t CodeIndex = 0;
    std::int32_t Extra = 0;
};

inline constexpr int DcVarCapacity = 1024;
struct DcVarType {
    QString Name;           // at most 30 characters; local names carry a prefix
    std::int32_t Kind = 0;  // DcVarKind
    std::int32_t Index = 0; // the table index bound to the name
};

inline constexpr int PublicSlotCount = 2;

// The records of a variable table by name, so that a program of many variables is not read through
// for every name it uses. The names of the records are hashed as lookups find them appended; the
// first record of a name is the one found, as a search from the start would find it.
struct NameIndex {
    QHash<QString, int> Index;
    int Indexed = 0; // records 1 to Indexed are in Index

    void Clear() {
        Index.clear();
        Indexed = 0;
    }
    // The index of the first of records 1 to `count` named `name`, or 0.
    template <typename Record> int Find(const std::vector<Record>& table, int count, const QString& name) {
        const int last = std::min(count, static_cast<int>(table.size()) - 1);
        if (last < Indexed) Clear(); // the table was emptied since
        for (; Indexed < last; ++Indexed) {
            const QString& key = table[static_cast<std::size_t>(Indexed) + 1].Name;
            if (!Index.contains(key)) Index.insert(key, Indexed + 1);
        }
        const auto found = Index.constFind(name);
        if (found == Index.constEnd()) return 0;
        const int at = found.value();
        if (table[static_cast<std::size_t>(at)].Name == name) return at;
        // A record renamed behind the index's back: read the table through once more.
        Clear();
        return Find(table, count, name);
    }
};

// The variable, literal, formula, label and name tables of the program, one process-wide instance Tb.
// The compiler fills them and the engine reads and writes their values.
struct VariableTables {
    // Numeric tables.
    std::vector<Extended> NumConTable;
    int NumofRegisteredNumCon = 0;
    std::vector<NumVarType> NumVarTable;
    int NumofRegisteredNumVar = 0;
    std::vector<Extended> ANumVarTable;
    int NumofRegisteredANumVar = 0;
    std::vector<FormVarType> FormVarTable;
    int NumofRegisteredFormVar = 0;
    std::vector<std::int32_t> DataPtrTable;
    int NumofRegisteredDataPtr = 0;
    std::vector<LabelType> LabelTable;
    int NumofRegisteredLabel = 0; // entries from 1
    std::vector<NumVarType> LocalNumVarTable;
    int NumofRegisteredLocalNumVar = 0;
    // String tables.
    std::vector<QString> StrConTable;
    int NumofRegisteredStrCon = 0;
    std::vector<StrVarType> StrVarTable;
    int NumofRegisteredStrVar = 0;
    std::vector<QString> AStrVarTable;
    int NumofRegisteredAStrVar = 0;
    std::vector<StrVarType> LocalStrVarTable;
    int NumofRegisteredLocalStrVar = 0;
    // Boolean tables.
    std::vector<BoolVarType> BoolVarTable;
    int NumofRegisteredBoolVar = 0;
    std::vector<std::int32_t> ABoolVarTable;
    int NumofRegisteredABoolVar = 0; // -1 true, 0 false
    // The variable tables by name.
    NameIndex NumVarNames, StrVarNames, BoolVarNames, FormVarNames;
    // Declared names, 1-based, fixed.
    std::array<DcVarType, DcVarCapacity + 1> DcVarTable{};
    int NumofRegisteredDcVar = 0;
    // Public transfer slots, 1-based (entry 1 carries INPUT, READ and SWAP values to their assignment).
    // Kept by the reset, as are the local tables (the scan resets those for each procedure): every
    // transfer writes entry 1 before its assignment reads it.
    std::array<NumVarType, PublicSlotCount + 1> PublicNumTable{};
    std::array<StrVarType, PublicSlotCount + 1> PublicStrTable{};
    std::array<BoolVarType, PublicSlotCount + 1> PublicBoolTable{};

    // The interpreter reset: every table but the local and transfer ones back to its start.
    void Reset();
};

extern VariableTables Tb;

// Fixed constant tables, 1-based (kind 7, 8 and 31 items name their slots).
inline constexpr int FixedConstSlots = 10;
extern const std::array<Extended, FixedConstSlots + 1> NumConstTable;
extern const std::array<QString, FixedConstSlots + 1> StrConstTable;
extern const std::array<std::uint8_t, 3> BoolConstTable;

void ResetNumTbl();
void ResetLocalNumTbl();
void ResetStrTbl();
void ResetLocalStrTbl();
void ResetBoolTbl();

// The value of a numeric-literal item (kind 11): NumConTable[SecondCode + 1]; 0 for any other kind
// and for an index outside the table.
Extended NumConValue(const CodeItemType& item);

// Makes `table` hold index `at`; false (and error 30101) when memory runs out or the program's memory
// budget has no room for the growth. The writers of the front end grow a table to the index they
// need through this. Appends reserve half as much again as they need, so that n of them copy the
// table O(log n) times, not n times; a jump past that (a DIM) reserves exactly what it asks for.
template <typename T> bool GrowTable(std::vector<T>& table, std::size_t at) {
    if (at < table.size()) return true;
    try {
        if (at + 1 > table.capacity()) {
            const std::size_t capacity = std::max(at + 1, table.capacity() + table.capacity() / 2);
            if (!MemoryBudget::AllowsElements(capacity, sizeof(T))) {
                RaiseError(Err::OutOfMemory);
                return false;
            }
            table.reserve(capacity);
            // A big table (a large DIM) gets its storage hinted to large pages before its new entries
            // are zeroed, which then faults in a few large pages instead of thousands.
            if (capacity * sizeof(T) >= LargePageAdviceMinimum)
                AdviseLargePages(table.data(), table.capacity() * sizeof(T));
        }
        table.resize(at + 1);
    } catch (const std::exception&) { // bad_alloc or length_error
        RaiseError(Err::OutOfMemory);
        return false;
    }
    return true;
}

// The element offset of (i_1, ..., i_d) in an array with the given bounds (first subscript fastest),
// or -1 when a subscript is outside 0..bound. Shared by every reader and writer of array elements.
long ArrayElementOffset(const std::int32_t* bounds1Based, int dimCount, const long* subscripts);
