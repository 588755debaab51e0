// Selection filters (the table is in EntityFilter.h): wildcard patterns, relational
// tests, logical groups and extended-data tests over an entity's data.
#include "aced/bridge/EntityFilter.h"

#include <cmath>
#include <cwctype>
#include <vector>

#include "acutads.h"
#include "acdb/acut/ResbufChain.h"
#include "acdb/acut/ResbufKinds.h"
#include "aced/bridge/EntityData.h"
#include "dbmain.h"
#include "tabrik/DrawingFiling.h"

namespace tabrik::acad {

namespace {

wchar_t folded(wchar_t c) { return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c))); }

// One character against the pattern element at p; `next` is set past the element.
// False for a malformed class (no closing bracket), which matches nothing.
bool elementMatches(wchar_t c, std::wstring_view pattern, size_t p, size_t& next) {
  wchar_t e = pattern[p];
  next = p + 1;
  switch (e) {
    case L'?':
      return true;
    case L'#':
      return std::iswdigit(static_cast<wint_t>(c)) != 0;
    case L'@':
      return std::iswalpha(static_cast<wint_t>(c)) != 0;
    case L'.':
      return std::iswalnum(static_cast<wint_t>(c)) == 0;
    case L'`':
      if (p + 1 < pattern.size()) {
        next = p + 2;
        return folded(c) == folded(pattern[p + 1]);
      }
      return folded(c) == L'`';
    case L'[': {
      size_t q = p + 1;
      bool negate = q < pattern.size() && pattern[q] == L'~';
      if (negate) ++q;
      bool found = false;
      size_t first = q;
      for (; q < pattern.size() && (pattern[q] != L']' || q == first); ++q) {
        wchar_t low = pattern[q];
        wchar_t high = low;
        if (q + 2 < pattern.size() && pattern[q + 1] == L'-' && pattern[q + 2] != L']') {
          high = pattern[q + 2];
          q += 2;
        }
        if (folded(c) >= folded(low) && folded(c) <= folded(high)) found = true;
      }
      if (q >= pattern.size()) return false;
      next = q + 1;
      return found != negate;
    }
    default:
      return folded(c) == folded(e);
  }
}

// One alternative, with the usual backtracking over the last "*" only (linear in
// practice, never exponential).
bool alternativeMatches(std::wstring_view text, std::wstring_view pattern) {
  size_t t = 0, p = 0;
  size_t starP = std::wstring_view::npos, starT = 0;
  while (t < text.size()) {
    size_t next = 0;
    if (p < pattern.size() && pattern[p] == L'*') {
      starP = ++p;
      starT = t;
      continue;
    }
    if (p < pattern.size() && elementMatches(text[t], pattern, p, next)) {
      p = next;
      ++t;
      continue;
    }
    if (starP == std::wstring_view::npos) return false;
    p = starP;
    t = ++starT;
  }
  while (p < pattern.size() && pattern[p] == L'*') ++p;
  return p == pattern.size();
}

// A value a filter test compares: text, number, point or name.
struct Operand {
  enum Kind { kText, kNumber, kPoint, kName, kNone } kind = kNone;
  std::wstring text;
  double number = 0;
  double point[3] = {0, 0, 0};
  std::intptr_t name = 0;
};

Operand operandOf(const resbuf& rb) {
  Operand o;
  switch (resbufKind(rb.restype == RTDXF0 ? 0 : rb.restype)) {
    case ResbufKind::kString:
      o.kind = Operand::kText;
      o.text = rb.resval.rstring ? rb.resval.rstring : L"";
      break;
    case ResbufKind::kReal:
      o.kind = Operand::kNumber, o.number = rb.resval.rreal;
      break;
    case ResbufKind::kShort:
      o.kind = Operand::kNumber, o.number = rb.resval.rint;
      break;
    case ResbufKind::kLong:
      o.kind = Operand::kNumber, o.number = rb.resval.rlong;
      break;
    case ResbufKind::kInt64:
      o.kind = Operand::kNumber, o.number = static_cast<double>(rb.resval.mnInt64);
      break;
    case ResbufKind::kPoint:
      o.kind = Operand::kPoint;
      for (int i = 0; i < 3; ++i) o.point[i] = rb.resval.rpoint[i];
      break;
    case ResbufKind::kName:
      o.kind = Operand::kName, o.name = rb.resval.rlname[0];
      break;
    default:
      break;
  }
  return o;
}

// What an entity's list leaves out because it holds the default.
bool defaultOperand(int code, Operand& o) {
  switch (code) {
    case 62:
      o.kind = Operand::kNumber, o.number = 256;
      return true;
    case 6:
      o.kind = Operand::kText, o.text = L"ByLayer";
      return true;
    case 39:
    case 60:
    case 67:
      o.kind = Operand::kNumber, o.number = 0;
      return true;
    case 48:
      o.kind = Operand::kNumber, o.number = 1;
      return true;
    case 210:
      o.kind = Operand::kPoint;
      o.point[0] = o.point[1] = 0;
      o.point[2] = 1;
      return true;
    default:
      return false;
  }
}

bool numbersCompare(double value, double wanted, std::wstring_view op) {
  bool equal = std::fabs(value - wanted) <= 1e-12 * std::max(1.0, std::fabs(wanted));
  if (op == L"*") return true;
  if (op == L"=" || op.empty()) return equal;
  if (op == L"!=" || op == L"/=" || op == L"<>") return !equal;
  if (op == L"<") return value < wanted && !equal;
  if (op == L"<=") return value < wanted || equal;
  if (op == L">") return value > wanted && !equal;
  if (op == L">=") return value > wanted || equal;
  auto bits = static_cast<long long>(value);
  auto mask = static_cast<long long>(wanted);
  if (op == L"&") return (bits & mask) != 0;
  if (op == L"&=") return (bits & mask) == mask;
  return false;
}

std::vector<std::wstring_view> splitOperators(std::wstring_view op) {
  std::vector<std::wstring_view> parts;
  size_t start = 0;
  while (true) {
    size_t comma = op.find(L',', start);
    std::wstring_view part = op.substr(
        start, comma == std::wstring_view::npos ? std::wstring_view::npos : comma - start);
    while (!part.empty() && part.front() == L' ') part.remove_prefix(1);
    while (!part.empty() && part.back() == L' ') part.remove_suffix(1);
    parts.push_back(part);
    if (comma == std::wstring_view::npos) return parts;
    start = comma + 1;
  }
}

bool isKnownOperator(std::wstring_view op) {
  for (std::wstring_view part : splitOperators(op)) {
    static constexpr std::wstring_view kOperators[] = {L"*",  L"=", L"!=", L"/=", L"<>", L"<",
                                                       L"<=", L">", L">=", L"&",  L"&="};
    bool known = false;
    for (std::wstring_view k : kOperators) known = known || part == k;
    if (!known) return false;
  }
  return true;
}

bool operandsCompare(const Operand& value, const Operand& wanted, std::wstring_view op) {
  if (op == L"*") return true;
  switch (wanted.kind) {
    case Operand::kText: {
      if (value.kind != Operand::kText) return false;
      bool matches = wildcardMatch(value.text, wanted.text);
      if (op == L"!=" || op == L"/=" || op == L"<>") return !matches;
      return op.empty() || op == L"=" ? matches : false;
    }
    case Operand::kNumber:
      return value.kind == Operand::kNumber && numbersCompare(value.number, wanted.number, op);
    case Operand::kPoint: {
      if (value.kind != Operand::kPoint) return false;
      std::vector<std::wstring_view> ops = splitOperators(op);
      for (int i = 0; i < 3; ++i) {
        std::wstring_view axis =
            ops.size() == 1 ? ops[0] : (static_cast<size_t>(i) < ops.size() ? ops[i] : L"*");
        if (!numbersCompare(value.point[i], wanted.point[i], axis)) return false;
      }
      return true;
    }
    case Operand::kName: {
      bool same = value.kind == Operand::kName && value.name == wanted.name;
      return op == L"!=" || op == L"/=" || op == L"<>" ? !same : same;
    }
    default:
      return false;
  }
}

std::wstring textOf(const resbuf* rb) {
  return rb != nullptr && resbufKind(rb->restype) == ResbufKind::kString && rb->resval.rstring
             ? rb->resval.rstring
             : L"";
}

bool isOperatorGroup(const resbuf* rb) { return rb != nullptr && rb->restype == -4; }

// Evaluates a filter over one entity's data. Each test reads from the cursor;
// `valid` turns false on a malformed filter.
class FilterEvaluator {
 public:
  FilterEvaluator(const resbuf* data, const resbuf* xdata) : m_data(data), m_xdata(xdata) {}

  // The tests up to the end of the filter (all must hold), or up to `close`.
  bool sequence(const resbuf*& rb, std::wstring_view close, const std::wstring& combine) {
    std::vector<bool> results;
    while (true) {
      if (rb == nullptr) {
        if (!close.empty()) m_valid = false;
        break;
      }
      if (isOperatorGroup(rb) && !close.empty() && equalsIgnoringCase(textOf(rb), close)) {
        rb = rb->rbnext;
        break;
      }
      results.push_back(test(rb));
      if (!m_valid) return false;
    }
    return combined(results, combine);
  }

  bool valid() const { return m_valid; }

 private:
  static bool equalsIgnoringCase(const std::wstring& a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
      if (folded(a[i]) != folded(b[i])) return false;
    return true;
  }

  bool combined(const std::vector<bool>& results, const std::wstring& combine) {
    if (combine == L"OR") {
      for (bool r : results)
        if (r) return true;
      return false;
    }
    if (combine == L"XOR") {
      if (results.size() != 2) m_valid = false;
      return results.size() == 2 && results[0] != results[1];
    }
    if (combine == L"NOT") {
      if (results.size() != 1) m_valid = false;
      return results.size() == 1 && !results[0];
    }
    for (bool r : results)
      if (!r) return false;
    return true;
  }

  // One test starting at rb; rb moves past it.
  bool test(const resbuf*& rb) {
    if (isOperatorGroup(rb)) {
      std::wstring op = textOf(rb);
      rb = rb->rbnext;
      std::wstring group = op.size() > 1 && op[0] == L'<' ? op.substr(1) : std::wstring();
      for (wchar_t& c : group) c = folded(c);
      if (group == L"AND" || group == L"OR" || group == L"XOR" || group == L"NOT")
        return sequence(rb, group + L">", group);
      if (!isKnownOperator(op) || rb == nullptr || isOperatorGroup(rb) || rb->restype == -3) {
        m_valid = false;
        return false;
      }
      return groupTest(rb, op);
    }
    if (rb->restype == -3) {
      rb = rb->rbnext;
      bool all = true;
      for (; rb != nullptr && rb->restype == 1001; rb = rb->rbnext)
        all = hasApplication(textOf(rb)) && all;
      return all;
    }
    return groupTest(rb, L"");
  }

  bool groupTest(const resbuf*& rb, std::wstring_view op) {
    int code = rb->restype == RTDXF0 ? 0 : rb->restype;
    Operand wanted = operandOf(*rb);
    rb = rb->rbnext;
    if (wanted.kind == Operand::kNone) {
      m_valid = false;
      return false;
    }
    bool present = false;
    for (const resbuf* g = m_data; g != nullptr && g->restype != -3; g = g->rbnext) {
      if (g->restype != code) continue;
      present = true;
      if (operandsCompare(operandOf(*g), wanted, op)) return true;
    }
    Operand fallback;
    return !present && defaultOperand(code, fallback) && operandsCompare(fallback, wanted, op);
  }

  bool hasApplication(const std::wstring& pattern) const {
    for (const resbuf* rb = m_xdata; rb != nullptr; rb = rb->rbnext) {
      if (rb->restype == 1001 && wildcardMatch(textOf(rb), pattern)) return true;
    }
    return false;
  }

  const resbuf* m_data;
  const resbuf* m_xdata;
  bool m_valid = true;
};

}  // namespace

bool wildcardMatch(std::wstring_view text, std::wstring_view pattern) {
  size_t start = 0;
  while (start <= pattern.size()) {
    // A comma inside a class or after "`" does not separate alternatives.
    size_t end = start;
    bool inClass = false;
    for (; end < pattern.size(); ++end) {
      wchar_t c = pattern[end];
      if (c == L'`') {
        ++end;
        continue;
      }
      if (c == L'[') inClass = true;
      if (c == L']') inClass = false;
      if (c == L',' && !inClass) break;
    }
    std::wstring_view one = pattern.substr(start, std::min(end, pattern.size()) - start);
    bool negate = !one.empty() && one[0] == L'~';
    if (negate) one.remove_prefix(1);
    if (alternativeMatches(text, one) != negate) return true;
    if (end >= pattern.size()) break;
    start = end + 1;
  }
  return false;
}

bool filterIsWellFormed(const resbuf* filter, std::string& reason) {
  FilterEvaluator probe(nullptr, nullptr);
  const resbuf* rb = filter;
  probe.sequence(rb, L"", L"AND");
  if (probe.valid()) return true;
  reason = "bad SSGET list";
  return false;
}

bool entityPassesFilter(AcDbObjectId id, const resbuf* filter) {
  if (filter == nullptr) return true;
  // Read whatever the entity's open state: a command may hold it open for write.
  const AcDbObject* object = peekObject(id);
  if (object == nullptr || object->isErased()) return false;
  resbuf everyApplication{};
  everyApplication.restype = RTSTR;
  ACHAR star[] = L"*";
  everyApplication.resval.rstring = star;
  ResbufPtr data(entityDataOf(object, &everyApplication));
  FilterEvaluator evaluator(data.get(), extendedDataOf(data.get()));
  const resbuf* rb = filter;
  bool passes = evaluator.sequence(rb, L"", L"AND");
  return passes && evaluator.valid();
}

}  // namespace tabrik::acad
