// The theory a model finder receives: every law is evaluated here, straight
// from its LADR text, on the algebra's own operations (a small evaluator of
// the formula language over the lookups), and must hold exactly when the
// program's check of the same name finds no failing case.

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sstream>

#include "formats/ExchangeTables.h"
#include "formats/LadrFormat.h"
#include "model/Settings.h"
#include "TestAlgebras.h"

namespace {

// ------------------------------------------------------------ evaluator --

struct Node {
  std::string Kind;  // "term", "=", "!=", "-", "&", "|", "->", "<->", "all"
  std::string Name;  // function, variable or numeral; the bound variable of "all"
  std::vector<std::unique_ptr<Node>> Args;
};

class FormulaParser {
 public:
  explicit FormulaParser(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
      const char c = text[i];
      if (std::isspace(static_cast<unsigned char>(c))) {
        ++i;
      } else if (std::isalnum(static_cast<unsigned char>(c)) || c == '_') {
        size_t end = i;
        while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_')) ++end;
        tokens_.push_back(text.substr(i, end - i));
        i = end;
      } else {
        for (const char* symbol : {"<->", "->", "!=", "(", ")", ",", "=", "&", "|", "-", "."}) {
          if (text.compare(i, std::strlen(symbol), symbol) == 0) {
            tokens_.push_back(symbol);
            i += std::strlen(symbol);
            break;
          }
        }
      }
    }
  }

  std::unique_ptr<Node> Clause() {
    auto formula = Formula();
    Expect(".");
    EXPECT_EQ(at_, tokens_.size()) << "trailing tokens";
    return formula;
  }

 private:
  const std::string& Peek() const {
    static const std::string end;
    return at_ < tokens_.size() ? tokens_[at_] : end;
  }
  void Expect(const std::string& token) {
    EXPECT_EQ(Peek(), token);
    ++at_;
  }
  std::unique_ptr<Node> Binary(const std::string& kind, std::unique_ptr<Node> left, std::unique_ptr<Node> right) {
    auto node = std::make_unique<Node>();
    node->Kind = kind;
    node->Args.push_back(std::move(left));
    node->Args.push_back(std::move(right));
    return node;
  }
  std::unique_ptr<Node> Formula() {
    auto left = Implication();
    if (Peek() == "<->") {
      ++at_;
      return Binary("<->", std::move(left), Implication());
    }
    return left;
  }
  std::unique_ptr<Node> Implication() {
    auto left = Or();
    if (Peek() == "->") {
      ++at_;
      return Binary("->", std::move(left), Implication());
    }
    return left;
  }
  std::unique_ptr<Node> Or() {
    auto left = And();
    while (Peek() == "|") {
      ++at_;
      left = Binary("|", std::move(left), And());
    }
    return left;
  }
  std::unique_ptr<Node> And() {
    auto left = Unary();
    while (Peek() == "&") {
      ++at_;
      left = Binary("&", std::move(left), Unary());
    }
    return left;
  }
  std::unique_ptr<Node> Unary() {
    auto node = std::make_unique<Node>();
    if (Peek() == "-") {
      ++at_;
      node->Kind = "-";
      node->Args.push_back(Unary());
      return node;
    }
    if (Peek() == "all") {
      ++at_;
      node->Kind = "all";
      node->Name = tokens_[at_++];
      node->Args.push_back(Unary());
      return node;
    }
    if (Peek() == "(") {
      ++at_;
      auto inner = Formula();
      Expect(")");
      return inner;
    }
    auto left = Term();
    node->Kind = Peek();
    EXPECT_TRUE(node->Kind == "=" || node->Kind == "!=") << node->Kind;
    ++at_;
    node->Args.push_back(std::move(left));
    node->Args.push_back(Term());
    return node;
  }
  std::unique_ptr<Node> Term() {
    auto node = std::make_unique<Node>();
    node->Kind = "term";
    node->Name = tokens_[at_++];
    if (Peek() == "(") {
      ++at_;
      for (;;) {
        node->Args.push_back(Term());
        if (Peek() != ",") break;
        ++at_;
      }
      Expect(")");
    }
    return node;
  }

  std::vector<std::string> tokens_;
  size_t at_ = 0;
};

bool IsVariable(const std::string& name) { return name.size() == 1 && name[0] >= 'u' && name[0] <= 'z'; }

void Variables(const Node& node, std::set<std::string>& free, std::set<std::string>& bound) {
  if (node.Kind == "all") bound.insert(node.Name);
  if (node.Kind == "term" && IsVariable(node.Name)) free.insert(node.Name);
  for (const auto& arg : node.Args) Variables(*arg, free, bound);
}

// Interprets the operations through the algebra's lookups; domain numbers
// as the theories use them: 0 the bottom, 1 the top, 2.. the letters.
class Interpretation {
 public:
  explicit Interpretation(const TEQAlgebra& a) : a_(a), n_(a.Size) {}
  int Size() const { return n_; }

  bool Holds(const Node& formula) {
    std::set<std::string> free, bound;
    Variables(formula, free, bound);
    std::vector<std::string> vars;
    for (const auto& v : free) {
      if (!bound.count(v)) vars.push_back(v);
    }
    return ForAll(formula, vars, 0);
  }

 private:
  char Char(int d) const { return d == 0 ? '0' : d == 1 ? '1' : static_cast<char>('a' + d - 2); }
  int Domain(char c) const { return c == '0' ? 0 : c == '1' ? 1 : c - 'a' + 2; }

  bool ForAll(const Node& formula, const std::vector<std::string>& vars, size_t k) {
    if (k == vars.size()) return Eval(formula);
    for (int d = 0; d < n_; ++d) {
      env_[vars[k]] = d;
      if (!ForAll(formula, vars, k + 1)) return false;
    }
    return true;
  }

  int Value(const Node& t) {
    if (t.Args.empty()) {
      if (IsVariable(t.Name)) return env_.at(t.Name);
      return std::stoi(t.Name);
    }
    const char x = Char(Value(*t.Args[0]));
    if (t.Args.size() == 1) {
      EXPECT_EQ(t.Name, "d");
      return Domain(a_.Delta(x));
    }
    const char y = Char(Value(*t.Args[1]));
    if (t.Name == "meet") return Domain(a_.Infimum(x, y));
    if (t.Name == "prod") return Domain(a_.Product(x, y));
    if (t.Name == "eq") return Domain(a_.Equality(x, y));
    if (t.Name == "join") return Domain(a_.Maximum(x, y));
    if (t.Name == "imp") return Domain(a_.Implication(x, y));
    ADD_FAILURE() << "unknown function " << t.Name;
    return 0;
  }

  bool Eval(const Node& f) {
    if (f.Kind == "=") return Value(*f.Args[0]) == Value(*f.Args[1]);
    if (f.Kind == "!=") return Value(*f.Args[0]) != Value(*f.Args[1]);
    if (f.Kind == "-") return !Eval(*f.Args[0]);
    if (f.Kind == "&") return Eval(*f.Args[0]) && Eval(*f.Args[1]);
    if (f.Kind == "|") return Eval(*f.Args[0]) || Eval(*f.Args[1]);
    if (f.Kind == "->") return !Eval(*f.Args[0]) || Eval(*f.Args[1]);
    if (f.Kind == "<->") return Eval(*f.Args[0]) == Eval(*f.Args[1]);
    if (f.Kind == "all") {
      const auto saved = env_.find(f.Name) != env_.end() ? env_[f.Name] : -1;
      bool all = true;
      for (int d = 0; d < n_ && all; ++d) {
        env_[f.Name] = d;
        all = Eval(*f.Args[0]);
      }
      env_[f.Name] = saved;
      return all;
    }
    ADD_FAILURE() << "unknown formula kind " << f.Kind;
    return false;
  }

  const TEQAlgebra& a_;
  int n_;
  std::map<std::string, int> env_;
};

// ------------------------------------------------------------------ test --

// The assumptions grouped by the comment line before them.
std::map<std::string, std::vector<std::string>> Blocks(const std::string& theory, std::string& domain_line) {
  std::map<std::string, std::vector<std::string>> blocks;
  std::istringstream lines(theory);
  std::string line, current;
  bool inside = false;
  while (std::getline(lines, line)) {
    if (line.rfind("assign(domain_size", 0) == 0) domain_line = line;
    if (line == "formulas(assumptions).") inside = true;
    else if (line == "end_of_list.") inside = false;
    else if (inside && line.rfind("% ", 0) == 0) current = line.substr(2);
    else if (inside && !line.empty()) blocks[current].push_back(line);
  }
  return blocks;
}

int SlotNamed(const std::string& name) {
  for (int slot = 0; slot < kPropertyCount; ++slot) {
    if (kPropertyNames[slot] == name) return slot;
  }
  return -1;
}

void ExpectLawsMatchChecks(TEQAlgebra algebra, bool forbid, const std::string& what) {
  ExchangeTables tables;
  std::string fault;
  ASSERT_TRUE(TablesOfAlgebra(algebra, Settings.DeltaEnabled, Settings.MaximumEnabled, tables, fault)) << fault;
  const std::string theory = LadrTheory(tables);
  std::string domain_line;
  const auto blocks = Blocks(theory, domain_line);
  EXPECT_EQ(domain_line, "assign(domain_size, " + std::to_string(algebra.Size) + ").");
  Interpretation model(algebra);
  int laws = 0;
  for (const auto& [name, clauses] : blocks) {
    bool holds = true;
    for (const std::string& clause : clauses) holds = model.Holds(*FormulaParser(clause).Clause()) && holds;
    if (name == "Cells the representation fixes") {
      EXPECT_TRUE(holds) << what << ": the lookups hold these whatever the lists say";
      continue;
    }
    if (name == "0 is the bottom") {
      bool bottom = true;
      for (int p = 0; p < algebra.Size; ++p) bottom = bottom && algebra.Infimum('0', algebra.ElementList[p]) == '0';
      EXPECT_EQ(holds, bottom) << what;
      continue;
    }
    if (name == "The cells of the algebra") {
      EXPECT_TRUE(holds) << what;
      const size_t cells = 3 * algebra.Size * algebra.Size + (Settings.DeltaEnabled ? algebra.Size : 0) +
                           (Settings.MaximumEnabled ? algebra.Size * algebra.Size : 0);
      EXPECT_EQ(clauses.size(), cells);
      continue;
    }
    const bool negated = name.rfind("Non-", 0) == 0;
    const int slot = SlotNamed(negated ? name.substr(4) : name);
    ASSERT_GE(slot, 0) << name;
    int32_t passed = 0, total = 0;
    (algebra.*CheckOfSlot(slot))(passed, total);
    EXPECT_EQ(holds, negated ? passed < total : passed == total) << what << ": " << name;
    EXPECT_EQ(negated, forbid && slot > kBoundednessSlot && slot != kDeltaPropertiesSlot) << name;
    ++laws;
  }
  // Twelve axioms, eight properties (eleven with the maximum), the delta laws.
  EXPECT_EQ(laws, 12 + (Settings.MaximumEnabled ? (forbid ? 10 : 11) : 8) - (forbid ? 1 : 0) +
                      (Settings.DeltaEnabled ? 1 : 0))
      << what;
}

// The theory stands without the cells: what the representation fixes is
// stated, and a domain of 28 lifts the model finder's memory limit.
TEST(LadrTheory, StatesTheFixedCellsAndLiftsTheMemoryLimitForLargeDomains) {
  SearchSettings s;
  s.DeltaEnabled = true;
  s.MaximumEnabled = true;
  s.UpdateGeneCount();
  ScopedSettings scoped(s);
  for (const int n : {3, 28}) {
    TEQAlgebra chain = test_algebras::GoedelChain(n);
    chain.RecomputeMaximum();
    ExchangeTables tables;
    std::string fault;
    ASSERT_TRUE(TablesOfAlgebra(chain, true, true, tables, fault)) << fault;
    const std::string theory = LadrTheory(tables);
    EXPECT_NE(theory.find("% 0 is the bottom\nmeet(0,x) = 0.\n"), std::string::npos);
    EXPECT_NE(theory.find("prod(0,x) = 0 & prod(x,0) = 0.\nd(0) = 0 & d(1) = 1.\njoin(x,1) = 1 & join(1,x) = 1.\n"),
              std::string::npos);
    EXPECT_EQ(theory.find("assign(max_megs, -1)") != std::string::npos, n == 28);
  }
}

TEST(LadrTheory, EveryLawHoldsExactlyWhenItsCheckFindsNoFault) {
  std::mt19937 rng(77);
  for (const bool forbid : {false, true}) {
    for (const bool with_max : {false, true}) {
      SearchSettings s;
      s.DeltaEnabled = true;
      s.MaximumEnabled = with_max;
      s.UpdateGeneCount();
      bool* flags[][2] = {{&s.WantGoodness, &s.WantNonGoodness},     {&s.WantInvolutive, &s.WantNonInvolutive},
                          {&s.WantSemiSeparated, &s.WantNonSemiSeparated}, {&s.WantSeparated, &s.WantNonSeparated},
                          {&s.WantResiduated, &s.WantNonResiduated}, {&s.WantCommutative, &s.WantNonCommutative},
                          {&s.WantLinear, &s.WantNonLinear},         {&s.WantLattice, &s.WantNonLattice},
                          {&s.WantPrelinear, &s.WantNonPrelinear}};
      for (auto& pair : flags) *pair[forbid ? 1 : 0] = true;
      s.WantSupProdDistributivity = s.WantEqualityOverEqProd = !forbid;
      ScopedSettings scoped(s);
      for (int n : {2, 3, 4, 5}) {
        for (TEQAlgebra a : {test_algebras::GoedelChain(n), test_algebras::LukasiewiczChain(n)}) {
          if (with_max) a.RecomputeMaximum();
          ExpectLawsMatchChecks(a, forbid, "chain of " + std::to_string(n));
          for (int k = 0; k < 6; ++k) {
            TEQAlgebra perturbed = a;
            test_algebras::Perturb(perturbed, 1 + k % 3, rng);
            if (with_max) perturbed.RecomputeMaximum();
            ExpectLawsMatchChecks(perturbed, forbid, "perturbed chain of " + std::to_string(n));
          }
        }
        ExpectLawsMatchChecks(test_algebras::RandomStandard(n, rng), forbid, "random of " + std::to_string(n));
      }
    }
  }
}

}  // namespace
