// LADR interpretations: a token scanner over the text, a parser for one
// interpretation(...) term at a time (each token read once, so the time is
// linear in the file), and the writers.

#include "formats/LadrFormat.h"

#include <array>
#include <cctype>
#include <cstdint>

#include "formats/ImportMessages.h"
#include "model/MessagePump.h"
#include "model/Settings.h"

namespace {

// ---------------------------------------------------------------- reading --

struct Token {
  enum class Kind { kWord, kNumber, kPunct, kEnd } Kind = Kind::kEnd;
  std::string_view Text;  // a view into the file's text
  int Line = 0;
};

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$'; }

// Splits LADR text into words, numbers and single punctuation characters on
// demand, with a lookahead of a few tokens; "%" comments are dropped. Other
// characters come out as punctuation, which only matters inside a term,
// where they are faults. Nothing is kept of the tokens already passed, so a
// file of millions of tokens costs no more than one.
class Lexer {
 public:
  static constexpr size_t kLookahead = 3;
  static constexpr uint64_t kTokensPerPump = 4096;

  explicit Lexer(std::string_view text) : text_(text) {}

  const Token& Peek(size_t ahead = 0) {
    while (count_ <= ahead) {
      buffer_[(first_ + count_) % kLookahead] = Scan();
      ++count_;
    }
    return buffer_[(first_ + ahead) % kLookahead];
  }
  void Skip() {
    Peek();
    first_ = (first_ + 1) % kLookahead;
    --count_;
    // A window reading a large file stays responsive.
    if ((++skipped_ & (kTokensPerPump - 1)) == 0) PumpMessages();
  }

 private:
  Token Scan() {
    while (at_ < text_.size()) {
      const char c = text_[at_];
      if (c == '\n') {
        ++line_;
        ++at_;
      } else if (std::isspace(static_cast<unsigned char>(c))) {
        ++at_;
      } else if (c == '%') {
        const size_t end = text_.find('\n', at_);
        at_ = end == std::string_view::npos ? text_.size() : end;
      } else if (IsWordChar(c)) {
        size_t end = at_;
        bool digits = true;
        while (end < text_.size() && IsWordChar(text_[end])) {
          digits = digits && std::isdigit(static_cast<unsigned char>(text_[end]));
          ++end;
        }
        const Token token{digits ? Token::Kind::kNumber : Token::Kind::kWord, text_.substr(at_, end - at_), line_};
        at_ = end;
        return token;
      } else {
        const Token token{Token::Kind::kPunct, text_.substr(at_, 1), line_};
        ++at_;
        return token;
      }
    }
    return {Token::Kind::kEnd, {}, line_};
  }

  std::string_view text_;
  size_t at_ = 0;
  int line_ = 1;
  std::array<Token, kLookahead> buffer_;
  size_t first_ = 0;
  size_t count_ = 0;
  uint64_t skipped_ = 0;
};

// No operation of an algebra of at most kMaxElements elements holds more
// values than this; a longer list is refused as soon as it is seen.
constexpr size_t kMaxValues = static_cast<size_t>(kMaxElements) * kMaxElements;

bool StartsTerm(Lexer& lexer) {
  return lexer.Peek().Kind == Token::Kind::kWord && lexer.Peek().Text == "interpretation" &&
         lexer.Peek(1).Text == "(";
}

class InterpretationParser {
 public:
  InterpretationParser(Lexer& lexer, const OperationNames& names) : lexer_(lexer), names_(names) {}

  // Parses "interpretation ( n , [attributes] , [entries] ) ." from the
  // start token. On a fault: false, with the message; the offending token
  // is left unread, so the caller goes on from there and no token is read
  // twice.
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
          lexer_.Skip();
          continue;
        }
        break;
      }
    }
    if (!Expect("]") || !Expect(")") || !Expect(".")) return Fail(fault);
    return true;
  }

 private:
  const Token& Peek() { return lexer_.Peek(); }

  bool Fail(std::string& fault) const {
    fault = error_;
    return false;
  }

  bool Unexpected(const std::string& wanted) {
    const Token& t = Peek();
    error_ = "line " + std::to_string(t.Line) + ": expected " + wanted + " but found " +
             (t.Kind == Token::Kind::kEnd ? std::string("the end of the file") : Quoted(t.Text));
    return false;
  }

  bool Expect(std::string_view text) {
    if (Peek().Text != text || Peek().Kind == Token::Kind::kEnd) return Unexpected(Quoted(text));
    lexer_.Skip();
    return true;
  }

  bool ReadNumber(long long& value) {
    if (Peek().Kind != Token::Kind::kNumber) return Unexpected("a number");
    const std::string_view digits = Peek().Text;
    value = digits.size() > 9 ? 999999999 : std::stoll(std::string(digits));
    lexer_.Skip();
    return true;
  }

  // [name = value, ...]: keeps "number", skips everything else up to the
  // closing bracket (values may be lists themselves). The start of another
  // term ends a list left open.
  bool ReadAttributes(std::string& number) {
    int depth = 0;
    for (;;) {
      const Token& t = Peek();
      if (t.Kind == Token::Kind::kEnd || StartsTerm(lexer_)) return Unexpected("\"]\"");
      if (depth == 0 && t.Text == "]") {
        lexer_.Skip();
        return true;
      }
      if (t.Text == "[" || t.Text == "(") ++depth;
      if (t.Text == "]" || t.Text == ")") --depth;
      if (depth == 0 && t.Text == "number" && lexer_.Peek(1).Text == "=" &&
          lexer_.Peek(2).Kind == Token::Kind::kNumber) {
        number = Shortened(lexer_.Peek(2).Text);
      }
      lexer_.Skip();
    }
  }

  // function(NAME(_,...), [v, ...]) or function(NAME, [v]); relation(...)
  // entries and operations of other names are read the same way and
  // dropped, their values unkept.
  bool ReadEntry(DomainModel& model) {
    const std::string_view kind = Peek().Text;
    if (kind != "function" && kind != "relation") return Unexpected("function(...) or relation(...)");
    const bool keep_kind = kind == "function";
    lexer_.Skip();
    if (!Expect("(")) return false;
    if (Peek().Kind != Token::Kind::kWord && Peek().Kind != Token::Kind::kNumber) return Unexpected("a name");
    DomainOperation op;
    const bool keep = keep_kind && IsOperationName(names_, Peek().Text);
    if (keep) op.Name = std::string(Peek().Text);
    const int line = Peek().Line;
    lexer_.Skip();
    if (Peek().Text == "(") {
      lexer_.Skip();
      for (;;) {
        if (!Expect("_")) return false;
        ++op.Arity;
        if (Peek().Text == ",") {
          lexer_.Skip();
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
        if (keep) {
          if (op.Values.size() == kMaxValues) {
            error_ = "line " + std::to_string(line) + ": " + op.Name + " has more than " +
                     std::to_string(kMaxValues) + " values";
            return false;
          }
          op.Values.push_back(value);
        }
        if (Peek().Text == ",") {
          lexer_.Skip();
          continue;
        }
        break;
      }
    }
    if (!Expect("]") || !Expect(")")) return false;
    if (keep) model.Operations.push_back(std::move(op));
    return true;
  }

  Lexer& lexer_;
  const OperationNames& names_;
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

std::string ReadLadrModels(std::string_view text, const OperationNames& names, const ModelSink& take) {
  Lexer lexer(text);
  int64_t count = 0;
  while (lexer.Peek().Kind != Token::Kind::kEnd) {
    if (!StartsTerm(lexer)) {
      lexer.Skip();
      continue;
    }
    ImportedModel imported;
    const int line = lexer.Peek().Line;
    InterpretationParser parser(lexer, names);
    DomainModel model;
    std::string number;
    ExchangeTables tables;
    std::string fault;
    // A broken term ends where it broke; the reading goes on from there.
    if (parser.Parse(model, number, fault) && ConvertDomainModel(model, names, 0, 1, tables, fault)) {
      imported.Algebra = std::make_unique<TEQAlgebra>(AlgebraOfTables(tables));
      imported.HasDelta = tables.HasDelta();
      imported.HasJoin = tables.HasJoin();
    }
    imported.Fault = fault;
    imported.Label = "model " + std::to_string(++count) + " (" +
                     (number.empty() ? std::string() : "number = " + number + ", ") + "line " +
                     std::to_string(line) + ")";
    take(imported);
  }
  return count == 0 ? "it holds no interpretation(...) term" : std::string();
}

ImportResult ReadLadrModels(std::string_view text, const OperationNames& names) {
  ImportResult result;
  result.FileFault =
      ReadLadrModels(text, names, [&result](ImportedModel& model) { result.Models.push_back(std::move(model)); });
  return result;
}
