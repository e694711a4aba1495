// The class key of an algebra: its operations in play, read off the dense
// tables with the lookups' own rules, canonically labelled.

#include "classes/AlgebraClass.h"


#include "classes/CanonicalLabelling.h"
#include "model/LookupTables.h"
#include "model/Settings.h"

namespace {

// The key's first byte, so keys of other layouts can never be equal to these.
constexpr char kKeyVersion = 1;

// An element list as Init makes it up to renaming the inner elements: n
// distinct characters, '0' first, '1' last, no character 0. Only then are
// the inner elements anonymous and free to be permuted; in any other list
// every element stays itself and the key records the list.
bool ElementsArePermutable(const TEQAlgebra& algebra, int n) {
  if (algebra.ElementList[0] != '0' || algebra.ElementList[n - 1] != '1') return false;
  std::array<bool, 256> seen{};
  for (int p = 0; p < n; ++p) {
    const auto c = static_cast<uint8_t>(algebra.ElementList[p]);
    if (c == 0 || seen[c]) return false;
    if (p > 0 && p < n - 1 && (c == '0' || c == '1')) return false;
    seen[c] = true;
  }
  return true;
}

}  // namespace

std::string FormatBigCount(BigCount value) {
  if (value == 0) return "0";
  std::string digits;
  while (value != 0) {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(value % 10)));
    value /= 10;
  }
  return digits;
}

BigCount InnerPermutations(int n) {
  BigCount count = 1;
  for (int k = 2; k <= n - 2; ++k) count *= static_cast<BigCount>(k);
  return count;
}

// The structure has one point per list position; a cell whose value is a
// list character maps to the first position holding it, any other value
// (character 0, a foreign character) stays an outside value of its own.
AlgebraClass ClassifyAlgebra(const TEQAlgebra& algebra) {
  LookupTables& tables = ScratchTables();
  tables.Build(algebra);
  const int n = tables.ElementCount();
  const bool delta = Settings.DeltaEnabled;
  const bool permutable = n >= 2 && ElementsArePermutable(algebra, n);

  std::array<int16_t, 256> position_of{};
  position_of.fill(-1);
  for (int p = n - 1; p >= 0; --p) position_of[static_cast<uint8_t>(algebra.ElementList[p])] = static_cast<int16_t>(p);
  const auto code = [&](uint8_t index) {
    const auto c = static_cast<uint8_t>(tables.CharOf(index));
    return position_of[c] >= 0 ? static_cast<uint16_t>(position_of[c]) : static_cast<uint16_t>(kOutsideValue + c);
  };

  OperationStructure structure;
  structure.Points = n;
  for (int p = 0; p < n; ++p) structure.Movable[p] = permutable && p > 0 && p < n - 1;
  structure.BinaryCount = 3;
  for (int x = 0; x < n; ++x) {
    const uint8_t ex = tables.Element(x);
    for (int y = 0; y < n; ++y) {
      const uint8_t ey = tables.Element(y);
      structure.Binary[0][x * kMaxPoints + y] = code(tables.Inf(ex, ey));
      structure.Binary[1][x * kMaxPoints + y] = code(tables.Prod(ex, ey));
      structure.Binary[2][x * kMaxPoints + y] = code(tables.Eq(ex, ey));
    }
    structure.Unary[x] = code(tables.Del(ex));
  }
  structure.HasUnary = delta;

  const CanonicalForm form = n > 0 ? CanonicalLabelling(structure) : CanonicalForm{};
  AlgebraClass result;
  result.Key += kKeyVersion;
  result.Key += static_cast<char>(n);
  result.Key += delta ? 'd' : '-';
  if (!permutable) {
    result.Key += 'L';
    result.Key.append(algebra.ElementList.data(), static_cast<size_t>(n));
  }
  result.Key += form.Tables;
  result.Automorphisms = form.Automorphisms;
  result.Id = ClassIdOfKey(result.Key);
  return result;
}

// FNV-1a over the key; the top 48 bits as 12 hex digits.
std::string ClassIdOfKey(std::string_view key) {
  uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char c : key) {
    hash ^= static_cast<uint8_t>(c);
    hash *= 0x100000001b3ULL;
  }
  static constexpr char kHex[] = "0123456789abcdef";
  std::string id(12, '0');
  for (int i = 0; i < 12; ++i) id[i] = kHex[(hash >> (60 - 4 * i)) & 0xf];
  return id;
}
