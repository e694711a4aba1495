// UACalc files through the XML tree: <algebra><basicAlgebra> with
// <algName>, <cardinality> and <operations><op><opSymbol><opName>, <arity>
// and <opTable><intArray><row>.

#include "formats/UacalcFormat.h"

#include <cctype>
#include <cstdint>

#include "formats/ImportMessages.h"
#include "model/MessagePump.h"
#include "formats/XmlTree.h"

namespace {

// The length of the well-formed UTF-8 sequence at text[at], or 0.
size_t Utf8Length(std::string_view text, size_t at) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[at + k]); };
  const unsigned char lead = byte(0);
  size_t length = 0;
  uint32_t code = 0;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2, code = lead & 0x1F;
  else if (lead >= 0xE0 && lead <= 0xEF) length = 3, code = lead & 0x0F;
  else if (lead >= 0xF0 && lead <= 0xF4) length = 4, code = lead & 0x07;
  else return 0;
  if (at + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    if ((byte(k) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(k) & 0x3F);
  }
  // Overlong forms, surrogates and code points beyond Unicode are no UTF-8.
  static constexpr uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kLeast[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return 0;
  return length;
}

// Text for XML character data or attribute values. The program's texts are
// 8-bit: UTF-8 passes as it is, any other byte is taken as the Latin-1
// character of its number and written as a character reference, so the file
// is well-formed whatever the bytes.
std::string Escaped(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (size_t i = 0; i < text.size();) {
    const char c = text[i];
    const size_t length = Utf8Length(text, i);
    if (length > 1) {
      out.append(text.substr(i, length));
      i += length;
      continue;
    }
    ++i;
    if (length == 0) {
      const auto byte = static_cast<unsigned char>(c);
      out += "&#x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
      out += ';';
      continue;
    }
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      default:
        // Control characters other than tab are not allowed in XML 1.0.
        out += (static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F ? ' ' : c;
    }
  }
  return out;
}

std::string Trimmed(std::string_view text) {
  size_t start = 0, end = text.size();
  while (start < end && std::isspace(static_cast<unsigned char>(text[start]))) ++start;
  while (end > start && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return std::string(text.substr(start, end - start));
}

// A decimal integer of a field; false when the text is not one.
bool ParseInteger(std::string_view text, long long& value) {
  const std::string trimmed = Trimmed(text);
  if (trimmed.empty() || trimmed.size() > 12) return false;
  size_t i = trimmed[0] == '-' ? 1 : 0;
  if (i == trimmed.size()) return false;
  for (size_t k = i; k < trimmed.size(); ++k) {
    if (!std::isdigit(static_cast<unsigned char>(trimmed[k]))) return false;
  }
  value = std::stoll(trimmed);
  return true;
}

void AppendOperation(std::string& out, const std::string& name, const std::vector<uint8_t>& table, int n,
                     int arity) {
  out += "      <op>\n        <opSymbol>\n          <opName>" + Escaped(name) + "</opName>\n";
  out += "          <arity>" + std::to_string(arity) + "</arity>\n        </opSymbol>\n";
  out += "        <opTable>\n          <intArray>\n";
  const int rows = arity == 2 ? n : 1;
  const int width = n;
  for (int r = 0; r < rows; ++r) {
    out += arity == 2 ? "            <row r=\"[" + std::to_string(r) + "]\">" : std::string("            <row>");
    for (int c = 0; c < width; ++c) {
      if (c > 0) out += ',';
      out += std::to_string(table[r * width + c]);
    }
    out += "</row>\n";
  }
  out += "          </intArray>\n        </opTable>\n      </op>\n";
}

// The operations of one basicAlgebra; false with the fault.
bool ReadBasicAlgebra(const XmlElement& algebra, DomainModel& model, std::string& name, std::string& fault) {
  if (const XmlElement* alg_name = algebra.Child("algName")) name = ModelName(alg_name->Text);
  const XmlElement* cardinality = algebra.Child("cardinality");
  if (cardinality == nullptr) {
    fault = "it has no <cardinality>";
    return false;
  }
  if (!ParseInteger(cardinality->Text, model.Size)) {
    fault = "its cardinality " + Quoted(Trimmed(cardinality->Text)) + " is not a number";
    return false;
  }
  if (model.Size < 2 || model.Size > kMaxElements) {
    fault = "its size " + std::to_string(model.Size) + " is outside 2.." + std::to_string(kMaxElements);
    return false;
  }
  const XmlElement* operations = algebra.Child("operations");
  if (operations == nullptr) {
    fault = "it has no <operations>";
    return false;
  }
  const long long n = model.Size;
  for (const auto& op : operations->Children) {
    if (op->Name != "op") continue;
    const XmlElement* symbol = op->Child("opSymbol");
    const XmlElement* op_name = symbol ? symbol->Child("opName") : nullptr;
    const XmlElement* arity = symbol ? symbol->Child("arity") : nullptr;
    const XmlElement* table = op->Child("opTable");
    const XmlElement* array = table ? table->Child("intArray") : nullptr;
    if (op_name == nullptr || arity == nullptr || array == nullptr) {
      fault = "the <op> of line " + std::to_string(op->Line) + " lacks <opName>, <arity> or <opTable><intArray>";
      return false;
    }
    DomainOperation read;
    read.Name = Trimmed(op_name->Text);
    const std::string shown_name = Shortened(read.Name);
    long long arity_value = 0;
    if (!ParseInteger(arity->Text, arity_value) || arity_value < 0 || arity_value > 2) {
      continue;  // operations of other arities are not the program's
    }
    read.Arity = static_cast<int>(arity_value);
    // Rows in order of their r="[i]" attribute when given, else in file order.
    std::vector<std::vector<long long>> rows;
    for (const auto& row : array->Children) {
      if (row->Name != "row") continue;
      size_t index = rows.size();
      for (const auto& [key, value] : row->Attributes) {
        long long r = 0;
        if (key == "r" && value.size() > 2 && value.front() == '[' && value.back() == ']' &&
            ParseInteger(std::string_view(value).substr(1, value.size() - 2), r)) {
          if (r < 0 || r >= n) {
            fault = shown_name + ": row " + Shortened(value) + " is outside the domain";
            return false;
          }
          index = static_cast<size_t>(r);
        }
      }
      if (index >= static_cast<size_t>(n)) {
        fault = shown_name + " has more than " + std::to_string(n) + " rows";
        return false;
      }
      if (index >= rows.size()) rows.resize(index + 1);
      std::vector<long long>& values = rows[index];
      values.clear();
      std::string_view text = row->Text;
      while (!text.empty()) {
        const size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        long long value = 0;
        if (!ParseInteger(item, value)) {
          fault = shown_name + ": " + Quoted(Trimmed(item)) + " in the row of line " + std::to_string(row->Line) +
                  " is not a number";
          return false;
        }
        if (static_cast<long long>(values.size()) == n) {
          fault = shown_name + ": the row of line " + std::to_string(row->Line) + " has more than " +
                  std::to_string(n) + " values";
          return false;
        }
        values.push_back(value);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
      }
    }
    if (read.Arity == 2) {
      if (static_cast<long long>(rows.size()) != n) {
        fault = shown_name + " has " + std::to_string(rows.size()) + " rows, not " + std::to_string(n);
        return false;
      }
      for (size_t r = 0; r < rows.size(); ++r) {
        if (static_cast<long long>(rows[r].size()) != n) {
          fault = shown_name + ": row [" + std::to_string(r) + "] has " + std::to_string(rows[r].size()) +
                  " values, not " + std::to_string(n);
          return false;
        }
      }
    }
    for (const auto& row : rows) read.Values.insert(read.Values.end(), row.begin(), row.end());
    model.Operations.push_back(std::move(read));
  }
  return true;
}

void CollectBasicAlgebras(const XmlElement& element, std::vector<const XmlElement*>& found) {
  if (element.Name == "basicAlgebra") {
    found.push_back(&element);
    return;
  }
  for (const auto& child : element.Children) CollectBasicAlgebras(*child, found);
}

}  // namespace

std::string UacalcAlgebra(const ExchangeTables& tables, const std::string& name, const OperationNames& names) {
  const int n = tables.Size;
  std::string out = "<?xml version=\"1.0\"?>\n<algebra>\n  <basicAlgebra>\n";
  out += "    <algName>" + Escaped(name.empty() ? "eqalgebra" : name) + "</algName>\n";
  out += "    <desc>EQ-algebra from Velmora; elements in list order: 0 is \"0\" (bottom), 1 .. " +
         std::to_string(n - 2) + " are \"a\" .., " + std::to_string(n - 1) + " is \"1\" (top)</desc>\n";
  out += "    <cardinality>" + std::to_string(n) + "</cardinality>\n    <operations>\n";
  AppendOperation(out, names.Meet, tables.Meet, n, 2);
  AppendOperation(out, names.Prod, tables.Prod, n, 2);
  AppendOperation(out, names.Eq, tables.Eq, n, 2);
  if (tables.HasDelta()) AppendOperation(out, names.Delta, tables.Delta, n, 1);
  if (tables.HasJoin()) AppendOperation(out, names.Join, tables.Join, n, 2);
  out += "    </operations>\n  </basicAlgebra>\n</algebra>\n";
  return out;
}

std::string ReadUacalcModels(std::string_view text, const OperationNames& names, const ModelSink& take) {
  // Each algebra is converted as soon as its element closes and only its
  // tables are kept (a few hundred bytes, not its XML tree); the models go
  // out once the whole document has proved well-formed.
  struct Read {
    std::string label, fault, name;
    ExchangeTables tables;
  };
  std::vector<Read> read;
  const auto convert = [&](const XmlElement& algebra) {
    Read one;
    DomainModel model;
    if (ReadBasicAlgebra(algebra, model, one.name, one.fault)) {
      ConvertDomainModel(model, names, 0, static_cast<int>(model.Size) - 1, one.tables, one.fault);
    }
    one.label = "algebra " + std::to_string(read.size() + 1) + " (" +
                (one.name.empty() ? std::string() : Quoted(one.name) + ", ") + "line " +
                std::to_string(algebra.Line) + ")";
    read.push_back(std::move(one));
  };
  std::string fault;
  const std::unique_ptr<XmlElement> root =
      ParseXml(text, fault, "basicAlgebra", [&](std::unique_ptr<XmlElement> algebra) { convert(*algebra); });
  if (!root) return "it is not well-formed XML: " + fault;
  std::vector<const XmlElement*> in_root;  // a document whose root is the basicAlgebra
  CollectBasicAlgebras(*root, in_root);
  for (const XmlElement* algebra : in_root) convert(*algebra);
  if (read.empty()) return "it holds no <basicAlgebra>";
  for (Read& one : read) {
    ImportedModel imported;
    if (one.fault.empty()) {
      imported.Algebra = std::make_unique<TEQAlgebra>(AlgebraOfTables(one.tables));
      imported.Algebra->Description = one.name;
      imported.HasDelta = one.tables.HasDelta();
      imported.HasJoin = one.tables.HasJoin();
    }
    imported.Fault = std::move(one.fault);
    imported.Label = std::move(one.label);
    take(imported);
    one = Read();  // what is handed on is freed
    PumpMessages();
  }
  return {};
}

ImportResult ReadUacalcModels(std::string_view text, const OperationNames& names) {
  ImportResult result;
  result.FileFault =
      ReadUacalcModels(text, names, [&result](ImportedModel& model) { result.Models.push_back(std::move(model)); });
  return result;
}
