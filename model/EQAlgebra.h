#pragma once
// TEQAlgebra: one candidate finite EQ-algebra, the chromosome of the search.
//
// The operations are held as gene lists of table entries. The lookups
// (Infimum, Product, ...) read them with first-match semantics and enforce the
// fixed identities for the characters '0' and '1' whatever the lists hold, so
// any content (a hand-edited EQA file included) has one definite meaning. The
// checks, the fitness and the canonical text work on dense tables built from
// the same rules (LookupTables.h) and give exactly what the lookups define.
//
// The implementation is split by concern: representation (EQAlgebra.cpp),
// random construction (EQAlgebraRandom.cpp), property checks
// (EQAlgebraChecks.cpp), fitness (EQAlgebraFitness.cpp) and text forms
// (EQAlgebraText.cpp, EQAlgebraFile.cpp).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kMaxElements = 28;
inline constexpr int kMaxGeneEntries = kMaxElements * kMaxElements;  // 784: n*n for n = 28
inline constexpr int kPropertyCount = 26;
// The largest EQA file read. The largest standard file (28 elements, delta
// and maximum) is about 16.5 kB plus its description line; anything near
// this bound is no algebra, and reading it would only cost memory.
inline constexpr uint64_t kMaxEqaFileBytes = 1024 * 1024;

// Gene numbers, as the crossover addresses the lists.
inline constexpr int kInfimumGene = 1;
inline constexpr int kProductGene = 2;
inline constexpr int kFEqualityGene = 3;
inline constexpr int kDeltaGene = 4;
inline constexpr int kMaximumGene = 5;

struct PairEntry {
  char X = 0;
  char Y = 0;
  char Value = 0;  // the cell X op Y
};

struct SingleEntry {
  char X = 0;
  char Value = 0;  // the cell op(X)
};

struct PairGene {
  int32_t Count = 0;
  std::array<PairEntry, kMaxGeneEntries> Entries{};  // entry k (1-based) at Entries[k - 1]
};

struct SingleGene {
  int32_t Count = 0;
  std::array<SingleEntry, kMaxGeneEntries> Entries{};  // entry k (1-based) at Entries[k - 1]
};

struct PropertyResult {
  int32_t Passed = 0;  // cases on which the law holds (colourfulness: elements attained)
  int32_t Total = 0;   // cases evaluated (colourfulness: the required number)
};

// Result slots of PropertyResults / PropertyNames.
enum PropertySlot : int {
  kAssociativeInfimumSlot = 0,
  kCommutativeInfimumSlot = 1,
  kNeutralInfimumSlot = 2,
  kIdempotentInfimumSlot = 3,
  kAssociativeProductSlot = 4,
  kNeutralProductSlot = 5,
  kIsotoneProductSlot = 6,
  kReflexiveFEqualitySlot = 7,
  kCongruenceSlot = 8,
  kSubstitutionSlot = 9,
  kMonotoneImplicationSlot = 10,
  kBoundednessSlot = 11,
  kColourfulnessSlot = 12,
  kGoodnessSlot = 13,
  kInvolutiveSlot = 14,
  kSemiseparatedSlot = 15,
  kSeparatedSlot = 16,
  kResiduatedSlot = 17,
  kCommutativeSlot = 18,
  kLinearSlot = 19,
  kLatticeSlot = 20,
  kPrelinearSlot = 21,
  kSupProductDistributivitySlot = 22,
  kEqualityOverProdEqualitySlot = 23,
  kDeltaPropertiesSlot = 24,
  kColourfulnessProductSlot = 25,
};

// The stored property names, slot by slot.
extern const std::array<std::string_view, kPropertyCount> kPropertyNames;

class LookupTables;

class TEQAlgebra {
 public:
  // An algebra of Settings.ElementCount elements with counted but empty entries.
  TEQAlgebra();
  virtual ~TEQAlgebra() = default;
  TEQAlgebra(const TEQAlgebra&) = default;
  TEQAlgebra& operator=(const TEQAlgebra&) = default;

  int32_t Size = 0;
  std::array<char, kMaxElements> ElementList{};  // list position p (1-based) at [p - 1]
  PairGene InfimumGene;    // pairs x before y in list order: n(n-1)/2 entries
  PairGene ProductGene;    // all ordered pairs: n*n entries
  PairGene FEqualityGene;  // as InfimumGene
  SingleGene DeltaGene;    // one entry per element (0 while neither delta nor maximum is in play)
  PairGene MaximumGene;    // as ProductGene
  std::string Description;
  std::string FileName;
  double Fitness = 0.0;
  std::string CanonicalText;
  std::array<PropertyResult, kPropertyCount> PropertyResults{};
  std::array<std::string_view, kPropertyCount> PropertyNames = kPropertyNames;

  // Sets Size, the five standard counts and ElementList; entries untouched.
  // Does nothing for n < 2 or n > 28.
  void Init(int32_t n);

  // --- Lookups: first matching entry wins; identities enforced. ---------------
  char Infimum(char x, char y) const;   // x ^ y, symmetric entry match
  char Product(char x, char y) const;   // x * y, ordered entry match
  char Equality(char x, char y) const;  // x ~ y, symmetric entry match
  char Delta(char x) const;             // d(x)
  char Maximum(char x, char y) const;   // x m y, symmetric entry match
  bool LessOrEqual(char x, char y) const { return Infimum(x, y) == x; }
  char Implication(char x, char y) const;
  // The join of x and y read off the order, scanning the first n list elements.
  char Join(int32_t n, char x, char y) const;
  // Every MaximumGene value := Join(Size, x, y) of its own pair.
  void RecomputeMaximum();

  // --- Copies (an absent source leaves this algebra unchanged). ---------------
  void CopyHeaderFrom(const TEQAlgebra* source);
  // Header, whole lists (delta / maximum only while in play) and Fitness.
  void CopyFrom(const TEQAlgebra* source);
  // Header from source, then entries 1..Trunc(count * share) of one gene.
  void CopyGenePrefixFrom(const TEQAlgebra* source, int gene, double share);

  // --- Random construction (EQAlgebraRandom.cpp). ----------------------------
  // DrawRandom, then Fitness := Evaluate.
  void BuildRandom(int32_t n);
  // Every random draw of BuildRandom, in its order, without the evaluation.
  void DrawRandom(int32_t n);

  // --- Property checks (EQAlgebraChecks.cpp). --------------------------------
  // Each writes (passed, total) into its slot and returns total - passed
  // (colourfulness: the number of elements not attained).
  int32_t CheckAssociativeInfimum(int32_t& passed, int32_t& total);
  int32_t CheckCommutativeInfimum(int32_t& passed, int32_t& total);
  int32_t CheckNeutralInfimum(int32_t& passed, int32_t& total);
  int32_t CheckIdempotentInfimum(int32_t& passed, int32_t& total);
  int32_t CheckAssociativeProduct(int32_t& passed, int32_t& total);
  int32_t CheckNeutralProduct(int32_t& passed, int32_t& total);
  int32_t CheckIsotoneProduct(int32_t& passed, int32_t& total);
  int32_t CheckReflexiveFEquality(int32_t& passed, int32_t& total);
  int32_t CheckCongruence(int32_t& passed, int32_t& total);
  int32_t CheckSubstitution(int32_t& passed, int32_t& total);
  int32_t CheckMonotoneImplication(int32_t& passed, int32_t& total);
  int32_t CheckBoundedness(int32_t& passed, int32_t& total);
  int32_t CheckColourfulness(int32_t& passed, int32_t& total);
  int32_t CheckGoodness(int32_t& passed, int32_t& total);
  int32_t CheckInvolutive(int32_t& passed, int32_t& total);
  int32_t CheckSemiseparated(int32_t& passed, int32_t& total);
  int32_t CheckSeparated(int32_t& passed, int32_t& total);
  int32_t CheckResiduated(int32_t& passed, int32_t& total);
  int32_t CheckCommutative(int32_t& passed, int32_t& total);
  int32_t CheckLinear(int32_t& passed, int32_t& total);
  int32_t CheckLattice(int32_t& passed, int32_t& total);  // nothing while maximum is off
  int32_t CheckPrelinear(int32_t& passed, int32_t& total);
  int32_t CheckSupProductDistributivity(int32_t& passed, int32_t& total);  // nothing while maximum is off
  int32_t CheckEqualityOverProdEquality(int32_t& passed, int32_t& total);
  int32_t CheckDeltaProperties(int32_t& passed, int32_t& total);
  int32_t CheckColourfulnessProduct(int32_t& passed, int32_t& total);

  // --- Fitness (EQAlgebraFitness.cpp). ---------------------------------------
  double ComputeFitness();  // runs the checks, stores and returns Fitness
  double Evaluate();        // RecomputeMaximum while maximum is in play, then ComputeFitness
  void UpdateFitness();     // Fitness := Evaluate; CanonicalText too while RemoveEqualMembers

  // --- Text forms (EQAlgebraText.cpp, EQAlgebraFile.cpp). --------------------
  // Builds the canonical text, stores it in CanonicalText and returns it.
  const std::string& BuildCanonicalText();
  // The table dump (derived tables while ShowDerived), lines ending in CR LF.
  std::string DumpTables() const;
  // The text WriteEQA writes, with the sections the current settings ask for.
  // A line break in the Description is written as a blank: the description
  // is the file's first line and nothing more.
  std::string EQAText() const;
  // Writes the EQA file named by FileName through a temporary beside it, so
  // the name holds either the whole text or what it held before. False when
  // it could not be written, with the system's reason when `reason` is given.
  // A symbolic link under the name is replaced, not followed, unless the
  // user named the file (follow_link).
  bool WriteEQA(std::string* reason = nullptr, bool follow_link = false) const;
  // Reads the EQA file named by FileName (a regular file of at most
  // kMaxEqaFileBytes). On any fault, a read error included, returns false,
  // leaves the algebra exactly as it was and, when error is given, stores a
  // message naming the file and what is wrong.
  bool ReadEQA(std::string* error = nullptr);
  // ReadEQA on text already in memory; `file_name` only names it in messages.
  bool ReadEQAText(std::string_view text, const std::string& file_name, std::string* error = nullptr);

  // The gene list of a gene number (nullptr for another number or the delta gene).
  PairGene* PairGeneByNumber(int gene);
  const PairGene* PairGeneByNumber(int gene) const;
};

// A property check as a member pointer, and the check that fills each slot.
using PropertyCheck = int32_t (TEQAlgebra::*)(int32_t& passed, int32_t& total);
PropertyCheck CheckOfSlot(int slot);
// The slots whose checks the display and the reports run, in their order: the
// maximum and delta ones only while their operation is in play.
std::vector<int> DisplayedSlots();
// Runs the displayed checks on an algebra and gives their counts as a JSON
// object: {"NAME": [PASSED, TOTAL], ...}.
std::string DisplayedCountsJson(TEQAlgebra& algebra);

// Ranking order: 1 when b is fitter than a, -1 when a is fitter, else 0.
int32_t CompareFitness(const TEQAlgebra& a, const TEQAlgebra& b);

// The element name of a list position (0-based) in an algebra of n elements
// in the standard layout: "0", "a", ..., "1".
char ElementName(int position, int n);
