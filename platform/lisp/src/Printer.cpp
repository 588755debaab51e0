// prin1 / princ forms of values, as the host's command line shows them. Lists are
// printed with an explicit stack, so any nesting depth prints.
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "Objects.h"
#include "Printer.h"

namespace tabrik::lisp {

using namespace detail;

// Reals: "%.6g", the exponent with a sign and at least three digits (the host's C
// library prints e+009), and ".0" added to a mantissa without a decimal point.
std::string formatReal(double d) {
  if (std::isnan(d)) return std::signbit(d) ? "-1.#IND" : "1.#QNAN";
  if (std::isinf(d)) return d < 0 ? "-1.#INF" : "1.#INF";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.6g", d);
  std::string text(buffer);
  std::string mantissa = text;
  std::string exponent;
  if (auto e = text.find('e'); e != std::string::npos) {
    mantissa = text.substr(0, e);
    char sign = text[e + 1];
    std::string digits = text.substr(e + 2);
    while (digits.size() < 3) digits.insert(digits.begin(), '0');
    exponent = std::string("e") + sign + digits;
  }
  if (mantissa.find('.') == std::string::npos) mantissa += ".0";
  return mantissa + exponent;
}

namespace {

void appendEscaped(std::string& out, const std::string& text) {
  out += '"';
  for (unsigned char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case 27:
        out += "\\e";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 32 || c == 127) {
          char octal[8];
          std::snprintf(octal, sizeof octal, "\\%03o", c);
          out += octal;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  out += '"';
}

void appendAddress(std::string& out, const char* kind, const void* address,
                   const std::string& name) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "#<%s @%08" PRIxPTR " ", kind,
                reinterpret_cast<std::uintptr_t>(address) & 0xffffffffu);
  out += buffer;
  out += name;
  out += '>';
}

void appendAtom(std::string& out, const Value& v, bool escape) {
  char buffer[64];
  switch (v.type()) {
    case Type::Nil:
      out += "nil";
      return;
    case Type::Int:
      out += std::to_string(v.asInt());
      return;
    case Type::Real:
      out += formatReal(v.asReal());
      return;
    case Type::Str:
      if (escape)
        appendEscaped(out, v.asString());
      else
        out += v.asString();
      return;
    case Type::Sym:
      out += v.symbolName();
      return;
    case Type::Ename:
      std::snprintf(buffer, sizeof buffer, "<Entity name: %lx>",
                    static_cast<unsigned long>(v.adsName().word[0]));
      out += buffer;
      return;
    case Type::Pickset:
      std::snprintf(buffer, sizeof buffer, "<Selection set: %lx>",
                    static_cast<unsigned long>(v.adsName().word[0]));
      out += buffer;
      return;
    case Type::File:
      out += "#<file ";
      appendEscaped(out, v.fileName());
      out += '>';
      return;
    case Type::Subr:
      appendAddress(out, "SUBR", v.object(), v.symbolName());
      return;
    case Type::Usubr: {
      const Value& name = asUsubr(v)->name;
      appendAddress(out, "USUBR", v.object(),
                    name.isNil() ? std::string("-lambda-") : name.symbolName());
      return;
    }
    case Type::Exrxsubr:
      appendAddress(out, "EXRXSUBR", v.object(), v.symbolName());
      return;
    case Type::CatchAllError:
      out += "#<%catch-all-apply-error%>";
      return;
    case Type::List:
      break;
  }
}

}  // namespace

void appendPrinted(std::string& out, const Value& value, bool escape) {
  // Each frame is an open list; cell is the rest still to print.
  struct Frame {
    const Value* cell;
    bool first;
  };
  std::vector<Frame> stack;
  auto start = [&](const Value& v) {
    if (v.isCons()) {
      out += '(';
      stack.push_back({&v, true});
    } else {
      appendAtom(out, v, escape);
    }
  };
  start(value);
  while (!stack.empty()) {
    Frame& frame = stack.back();
    const Value* cell = frame.cell;
    if (cell->isNil()) {
      out += ')';
      stack.pop_back();
      continue;
    }
    if (!cell->isCons()) {
      out += " . ";
      appendAtom(out, *cell, escape);
      out += ')';
      stack.pop_back();
      continue;
    }
    if (!frame.first) out += ' ';
    frame.first = false;
    frame.cell = &cell->cdr();
    start(cell->car());  // may push: frame is not used after this
  }
}

std::string Value::toPrin1String() const {
  std::string out;
  appendPrinted(out, *this, /*escape=*/true);
  return out;
}

std::string Value::toPrincString() const {
  std::string out;
  appendPrinted(out, *this, /*escape=*/false);
  return out;
}

}  // namespace tabrik::lisp
