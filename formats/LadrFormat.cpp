// LADR interpretations: a token scanner over the whole text, a parser for
// one interpretation(...) term at a time, and the writers.

#include "LadrFormat.h"

#include <cctype>

#include "Settings.h"

namespace {

// ---------------------------------------------------------------- reading --

struct Token {
  enum class Kind { kWord, kNumber, kPunct, kEnd } Kind = Kind::kEnd;
  std::string Text;
  int Line = 0;
};

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$'; }

// Splits LADR text into words, numbers and single punctuation characters;
// "%" comments are dropped. Other characters come out as punctuation, which
// only matters inside a term, where they are faults.
std::vector<Token> Scan(std::string_view text) {
  std::vector<Token> tokens;
  int line = 1;
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\n') {
      ++line;
      ++i;
    } else if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
    } else if (c == '%') {
      while (i < text.size() && text[i] != '\n') ++i;
    } else if (IsWordChar(c)) {
      size_t end = i;
      bool digits = true;
      while (end < text.size() && IsWordChar(text[end])) {
        digits = digits && std::isdigit(static_cast<unsigned char>(text[end]));
        ++end;
      }
      tokens.push_back({digits ? Token::Kind::kNumber : Token::Kind::kWord, std::string(text.substr(i, end - i)), line});
      i = end;
    } else {
      tokens.push_back({Token::Kind::kPunct, std::string(1, c), line});
      ++i;
    }
  }
  tokens.push_back({Token::Kind::kEnd, "", line});
  return tokens;
}

class InterpretationParser {
 public:
  InterpretationParser(const std::vector<Token>& tokens, size_t start) : tokens_(tokens), at_(start) {}

  // Parses "interpretation ( n , [attributes] , [entries] ) ." from the
  // start token. On a fault: false, with the message.
  bool Parse(DomainModel& model, std::string& number, std::string& fault) {
    if (!Expect("interpretation") || !Expect("(")) return Fail(fault);
    if (!ReadNumber(model.Size)) return Fail(fault);
    if (!Expect(",") || !Expect("[")) return Fail(fault);
    if (!ReadAttributes(number)) return Fail(fault);
    if (!Expect(",") || !Expect("[")) return Fail(fault);
    if (Peek().Text != "]") {
      for (;;) {
        if (!ReadEntry(model)) return Fail(fault);
        if (Peek().Text == ",") {
          ++at_;
          continue;
        }
        break;
      }
    }
    if (!Expect("]") || !Expect(")") || !Expect(".")) return Fail(fault);
    return true;
  }

  size_t Position() const { return at_; }

 private:
  const Token& Peek() const { return tokens_[at_]; }

  bool Fail(std::string& fault) const {
    fault = error_;
    return false;
  }

  bool Unexpected(const std::string& wanted) {
    const Token& t = Peek();
    error_ = "line " + std::to_string(t.Line) + ": expected " + wanted + " but found " +
             (t.Kind == Token::Kind::kEnd ? std::string("the end of the file") : "\"" + t.Text + "\"");
    return false;
  }

  bool Expect(const std::string& text) {
    if (Peek().Text != text || Peek().Kind == Token::Kind::kEnd) return Unexpected("\"" + text + "\"");
    ++at_;
    return true;
  }

  bool ReadNumber(long long& value) {
    if (Peek().Kind != Token::Kind::kNumber) return Unexpected("a number");
    const std::string& digits = Peek().Text;
    value = digits.size() > 9 ? 999999999 : std::stoll(digits);
    ++at_;
    return true;
  }

  // [name = value, ...]: keeps "number", skips everything else up to the
  // closing bracket (values may be lists themselves).
  bool ReadAttributes(std::string& number) {
    int depth = 0;
    for (;;) {
      const Token& t = Peek();
      if (t.Kind == Token::Kind::kEnd) return Unexpected("\"]\"");
      if (depth == 0 && t.Text == "]") {
        ++at_;
        return true;
      }
      if (t.Text == "[" || t.Text == "(") ++depth;
      if (t.Text == "]" || t.Text == ")") --depth;
      if (depth == 0 && t.Text == "number" && at_ + 2 < tokens_.size() && tokens_[at_ + 1].Text == "=" &&
          tokens_[at_ + 2].Kind == Token::Kind::kNumber) {
        number = tokens_[at_ + 2].Text;
      }
      ++at_;
    }
  }

  // function(NAME(_,...), [v, ...]) or function(NAME, [v]); relation(...)
  // entries are read the same way and dropped.
  bool ReadEntry(DomainModel& model) {
    const std::string kind = Peek().Text;
    if (kind != "function" && kind != "relation") return Unexpected("function(...) or relation(...)");
    ++at_;
    if (!Expect("(")) return false;
    if (Peek().Kind != Token::Kind::kWord && Peek().Kind != Token::Kind::kNumber) return Unexpected("a name");
    DomainOperation op;
    op.Name = Peek().Text;
    ++at_;
    if (Peek().Text == "(") {
      ++at_;
      for (;;) {
        if (!Expect("_")) return false;
        ++op.Arity;
        if (Peek().Text == ",") {
          ++at_;
          continue;
        }
        break;
      }
      if (!Expect(")")) return false;
    }
    if (!Expect(",") || !Expect("[")) return false;
    if (Peek().Text != "]") {
      for (;;) {
        long long value = 0;
        if (!ReadNumber(value)) return false;
        op.Values.push_back(value);
        if (Peek().Text == ",") {
          ++at_;
          continue;
        }
        break;
      }
    }
    if (!Expect("]") || !Expect(")")) return false;
    if (kind == "function") model.Operations.push_back(std::move(op));
    return true;
  }

  const std::vector<Token>& tokens_;
  size_t at_;
  std::string error_;
};

// ---------------------------------------------------------------- writing --

// The values of a table in domain order, comma-separated.
std::string DomainValues(const std::vector<uint8_t>& table, int n, int arity) {
  std::vector<int> position_of_domain(n);
  for (int p = 0; p < n; ++p) position_of_domain[LadrDomainOfPosition(p, n)] = p;
  std::string out;
  const int cells = arity == 2 ? n * n : n;
  for (int i = 0; i < cells; ++i) {
    const int x = position_of_domain[arity == 2 ? i / n : i];
    const int position = arity == 2 ? x * n + position_of_domain[i % n] : x;
    if (i > 0) out += ',';
    out += std::to_string(LadrDomainOfPosition(table[position], n));
  }
  return out;
}

// The laws, one LADR formula each, over the names in use. "le(a,b)" in the
// patterns stands for the order test meet(a,b) = a.
struct Law {
  const char* Name;
  const char* Formula;
  const char* Variables;  // for the negated (forbidden) form
};

const Law kAxioms[] = {
    {"Associative Infimum", "M(M(x,y),z) = M(x,M(y,z))", "x y z"},
    {"Commutative Infimum", "M(x,y) = M(y,x)", "x y"},
    {"Neutral Infimum", "M(x,1) = x & M(1,x) = x", "x"},
    {"Idempotent Infimum", "M(x,x) = x", "x"},
    {"Associative Product", "P(P(x,y),z) = P(x,P(y,z))", "x y z"},
    {"Neutral Product", "P(x,1) = x & P(1,x) = x", "x"},
    {"Isotone Product", "M(y,z) = y -> M(P(y,x),P(z,x)) = P(y,x)", "x y z"},
    {"Reflexive FEQuality", "E(x,x) = 1", "x"},
    {"Congruence", "M(P(E(x,y),E(z,u)),E(E(x,z),E(y,u))) = P(E(x,y),E(z,u))", "x y z u"},
    {"Substitution", "M(P(E(M(x,y),z),E(u,x)),E(z,M(u,y))) = P(E(M(x,y),z),E(u,x))", "x y z u"},
    {"Monotone Implication", "M(E(M(M(x,y),z),x),E(M(x,y),x)) = E(M(M(x,y),z),x)", "x y z"},
    {"Boundedness", "M(P(x,y),E(x,y)) = P(x,y)", "x y"},
};

// Identities the representation holds whatever its lists say (the lookups
// fix these cells), beyond the twelve laws: without them a model finder
// would also find algebras that Velmora cannot hold.
const char* kBottom = "M(0,x) = 0";
const char* kProductZero = "P(0,x) = 0 & P(x,0) = 0";
const char* kFixedDeltaCells = "D(0) = 0 & D(1) = 1";
const char* kFixedJoinCells = "J(x,1) = 1 & J(1,x) = 1";

// A theory of this many elements needs more memory than a model finder
// allows by default; the file lifts the limit itself.
constexpr int kLargeDomain = 20;

const Law kGoodness = {"Goodness", "E(x,1) = x", "x"};
const Law kInvolutive = {"Involutive", "E(E(x,0),0) = x", "x"};
const Law kSemiseparated = {"Semiseparated", "E(x,1) = 1 -> x = 1", "x"};
const Law kSeparated = {"Separated", "E(x,y) = 1 -> x = y", "x y"};
const Law kResiduated = {"Residuated", "M(P(x,y),z) = P(x,y) <-> M(x,E(M(y,z),y)) = x", "x y z"};
const Law kCommutative = {"Commutative", "P(x,y) = P(y,x)", "x y"};
const Law kLinear = {"Linear", "M(x,y) = x | M(y,x) = y", "x y"};
const Law kLattice = {"Lattice", "M(P(E(J(x,y),z),E(u,x)),E(J(u,y),z)) = P(E(J(x,y),z),E(u,x))", "x y z u"};
const Law kPrelinear = {"Prelinear", "J(imp(x,y),imp(y,x)) = 1", "x y"};
const Law kSupProduct = {"Sup-product distributivity", "P(x,J(y,z)) = J(P(x,y),P(x,z))", "x y z"};
const Law kEqualityOverProd = {"Equality over ProdEquality", "M(E(x,y),E(P(x,z),P(y,z))) = E(x,y)", "x y z"};

// The implication as the program derives it, for Prelinear.
const char* kImplicationDefinition =
    "(x = 0 | y = 1 | M(x,y) = x) -> imp(x,y) = 1.\n"
    "(x != 0 & y != 1 & M(x,y) != x) -> imp(x,y) = E(M(x,y),x).\n";

const char* kDeltaLaws[] = {
    "M(D(x),x) = D(x)",
    "M(D(x),D(D(x))) = D(x)",
    "M(D(E(x,y)),E(D(E(x,1)),D(E(y,1)))) = D(E(x,y))",
    "D(M(x,y)) = M(D(x),D(y))",
};
const char* kDeltaJoinLaws[] = {
    "M(D(J(x,y)),J(D(x),D(y))) = D(J(x,y))",
    "J(D(x),E(D(x),0)) = 1",
};

// The pattern with M, P, E, D, J replaced by the names in use.
std::string Named(std::string_view pattern, const OperationNames& names) {
  std::string out;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    const bool call = i + 1 < pattern.size() && pattern[i + 1] == '(';
    if (call && c == 'M') out += names.Meet;
    else if (call && c == 'P') out += names.Prod;
    else if (call && c == 'E') out += names.Eq;
    else if (call && c == 'D') out += names.Delta;
    else if (call && c == 'J') out += names.Join;
    else out += c;
  }
  return out;
}

void AppendLaw(std::string& out, const Law& law, bool required, const OperationNames& names) {
  out += "% ";
  out += required ? law.Name : std::string("Non-") + law.Name;
  out += '\n';
  if (required) {
    out += Named(law.Formula, names) + ".\n";
  } else {
    std::string quantifiers;
    for (const char* v = law.Variables; *v != 0; ++v) {
      if (*v != ' ') quantifiers += std::string("all ") + *v + " ";
    }
    out += "-(" + quantifiers + "(" + Named(law.Formula, names) + ")).\n";
  }
}

void AppendWanted(std::string& out, const Law& law, bool want, bool want_not, const OperationNames& names) {
  if (want) AppendLaw(out, law, true, names);
  if (want_not) AppendLaw(out, law, false, names);
}

void AppendFacts(std::string& out, const std::string& name, const std::vector<uint8_t>& table, int n) {
  const bool binary = static_cast<int>(table.size()) == n * n;
  for (int x = 0; x < n; ++x) {
    const int dx = LadrDomainOfPosition(x, n);
    if (!binary) {
      out += name + "(" + std::to_string(dx) + ") = " + std::to_string(LadrDomainOfPosition(table[x], n)) + ".\n";
      continue;
    }
    for (int y = 0; y < n; ++y) {
      out += name + "(" + std::to_string(dx) + "," + std::to_string(LadrDomainOfPosition(y, n)) +
             ") = " + std::to_string(LadrDomainOfPosition(table[x * n + y], n)) + ".\n";
    }
  }
}

}  // namespace

int LadrDomainOfPosition(int position, int n) {
  if (position == 0) return 0;
  if (position == n - 1) return 1;
  return position + 1;
}

std::string LadrInterpretation(const ExchangeTables& tables, int number, const OperationNames& names) {
  const int n = tables.Size;
  std::string out = "interpretation( " + std::to_string(n) + ", [number = " + std::to_string(number) + "], [\n";
  const auto function = [&](const std::string& name, const std::vector<uint8_t>& table, int arity, bool last) {
    out += "    function(" + name + (arity == 2 ? "(_,_)" : "(_)") + ", [" + DomainValues(table, n, arity) + "])";
    out += last ? "]).\n" : ",\n";
  };
  function(names.Meet, tables.Meet, 2, false);
  function(names.Prod, tables.Prod, 2, false);
  function(names.Eq, tables.Eq, 2, !tables.HasDelta() && !tables.HasJoin());
  if (tables.HasDelta()) function(names.Delta, tables.Delta, 1, !tables.HasJoin());
  if (tables.HasJoin()) function(names.Join, tables.Join, 2, true);
  return out;
}

std::string LadrTheory(const ExchangeTables& tables, const OperationNames& names) {
  const SearchSettings& s = Settings;
  const int n = tables.Size;
  std::string out =
      "% An EQ-algebra of " + std::to_string(n) +
      " elements as a model finder's input: the axioms, the properties\n"
      "% required or forbidden, and every cell as a fact. 0 is the bottom, 1 the top,\n"
      "% 2, 3, ... the elements a, b, ...\n";
  out += "assign(domain_size, " + std::to_string(n) + ").\n";
  if (n >= kLargeDomain) out += "assign(max_megs, -1).  % no memory limit\n";
  out += "\nformulas(assumptions).\n";
  for (const Law& law : kAxioms) AppendLaw(out, law, true, names);
  out += "% 0 is the bottom\n" + Named(kBottom, names) + ".\n";
  out += "% Cells the representation fixes\n" + Named(kProductZero, names) + ".\n";
  if (tables.HasDelta()) out += Named(kFixedDeltaCells, names) + ".\n";
  if (tables.HasJoin()) out += Named(kFixedJoinCells, names) + ".\n";
  AppendWanted(out, kGoodness, s.WantGoodness, s.WantNonGoodness, names);
  AppendWanted(out, kInvolutive, s.WantInvolutive, s.WantNonInvolutive, names);
  AppendWanted(out, kSemiseparated, s.WantSemiSeparated, s.WantNonSemiSeparated, names);
  AppendWanted(out, kSeparated, s.WantSeparated, s.WantNonSeparated, names);
  AppendWanted(out, kResiduated, s.WantResiduated, s.WantNonResiduated, names);
  AppendWanted(out, kCommutative, s.WantCommutative, s.WantNonCommutative, names);
  AppendWanted(out, kLinear, s.WantLinear, s.WantNonLinear, names);
  if (tables.HasJoin()) {
    AppendWanted(out, kLattice, s.WantLattice, s.WantNonLattice, names);
    if (s.WantPrelinear || s.WantNonPrelinear) out += Named(kImplicationDefinition, names);
    AppendWanted(out, kPrelinear, s.WantPrelinear, s.WantNonPrelinear, names);
    AppendWanted(out, kSupProduct, s.WantSupProdDistributivity, false, names);
  }
  AppendWanted(out, kEqualityOverProd, s.WantEqualityOverEqProd, false, names);
  if (tables.HasDelta()) {
    out += "% Delta properties\n";
    for (const char* law : kDeltaLaws) out += Named(law, names) + ".\n";
    if (tables.HasJoin()) {
      for (const char* law : kDeltaJoinLaws) out += Named(law, names) + ".\n";
    }
  }
  out += "% The cells of the algebra\n";
  AppendFacts(out, names.Meet, tables.Meet, n);
  AppendFacts(out, names.Prod, tables.Prod, n);
  AppendFacts(out, names.Eq, tables.Eq, n);
  if (tables.HasDelta()) AppendFacts(out, names.Delta, tables.Delta, n);
  if (tables.HasJoin()) AppendFacts(out, names.Join, tables.Join, n);
  out += "end_of_list.\n";
  return out;
}

ImportResult ReadLadrModels(std::string_view text, const OperationNames& names) {
  ImportResult result;
  const std::vector<Token> tokens = Scan(text);
  size_t at = 0;
  while (at < tokens.size() && tokens[at].Kind != Token::Kind::kEnd) {
    if (tokens[at].Kind != Token::Kind::kWord || tokens[at].Text != "interpretation" || tokens[at + 1].Text != "(") {
      ++at;
      continue;
    }
    ImportedModel imported;
    const int line = tokens[at].Line;
    InterpretationParser parser(tokens, at);
    DomainModel model;
    std::string number;
    ExchangeTables tables;
    std::string fault;
    if (parser.Parse(model, number, fault)) {
      at = parser.Position();
      if (ConvertDomainModel(model, names, 0, 1, tables, fault)) {
        imported.Algebra = std::make_unique<TEQAlgebra>(AlgebraOfTables(tables));
        imported.HasDelta = tables.HasDelta();
        imported.HasJoin = tables.HasJoin();
      }
    } else {
      at += 2;  // go on with the next interpretation after the broken one
    }
    imported.Fault = fault;
    imported.Label = "model " + std::to_string(result.Models.size() + 1) + " (" +
                     (number.empty() ? std::string() : "number = " + number + ", ") + "line " +
                     std::to_string(line) + ")";
    result.Models.push_back(std::move(imported));
  }
  if (result.Models.empty()) result.FileFault = "it holds no interpretation(...) term";
  return result;
}
