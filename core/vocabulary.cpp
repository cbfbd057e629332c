// The searches of the vocabulary: one binary search, the same for the operator, statement, function
// and reserved-word tables.
#include "core/vocabulary.h"

namespace {

// Binary search over a sorted 1-based table. The midpoint is rounded to the nearest integer with
// halves going to the even neighbour; the comparison is ordinal over UTF-16 units.
template <std::size_t N>
int BinarySearch(const std::array<std::u16string_view, N>& table, std::u16string_view word) {
    int lo = 1;
    int hi = static_cast<int>(N) - 1;
    while (lo <= hi) {
        const int sum = lo + hi;
        int mid = sum / 2;
        if (sum % 2 != 0 && mid % 2 != 0) ++mid; // x.5 rounds to the even neighbour
        const std::u16string_view slot = table[static_cast<std::size_t>(mid)];
        if (slot == word) return mid;
        if (slot > word)
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    return 0;
}

} // namespace

int SearchOperator(std::u16string_view word) {
    if (word.empty()) return 0; // the empty slots never match a word
    for (int slot = 1; slot <= OperatorCount; ++slot)
        if (OperatorNames[static_cast<std::size_t>(slot)] == word) return slot;
    return 0;
}

int SearchStatement(std::u16string_view word) {
    const int slot = BinarySearch(StatementNames, word);
    return slot == 0 ? 0 : StatementCodeOfSlot(slot);
}
int SearchFunction(std::u16string_view word) {
    const int slot = BinarySearch(FunctionNames, word);
    return slot == 0 ? 0 : FunctionCodeOfSlot(slot);
}
int SearchReservedWord(std::u16string_view word) {
    return BinarySearch(ReservedWords, word);
}
