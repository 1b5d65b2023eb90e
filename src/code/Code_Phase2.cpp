#include "code/Code_Phase2.h"

#include <string>
#include <unordered_map>

#include "code/Code_Constant.h"
#include "code/Code_Function.h"
#include "code/Script_Core.h"
#include "code/Variable_Main.h"

namespace px {

namespace {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c - 'A' + 10;
}

// A name resolved once per compilation: the same name resolves the same way
// throughout one unit, so repeated names skip the look-ups.
struct Resolution {
  TokenKind kind;
  std::int32_t index;
  RValue value;
};

class Resolver {
 public:
  explicit Resolver(const CompileContext& ctx) : ctx_(ctx) {}

  bool Function(const RToken1& t, RToken2& out) {
    auto it = functions_.find(t.text);
    if (it == functions_.end()) {
      const std::int32_t index = FindFunction(ctx_.rt, t.text);
      if (index < 0) {
        return ctx_.Fail(t.position, "Unknown function or script: " + std::string(t.text));
      }
      it = functions_.emplace(t.text, index).first;
    }
    out.kind = TokenKind::Function;
    out.index = it->second;
    return true;
  }

  void Name(const RToken1& t, RToken2& out) {
    auto it = names_.find(t.text);
    if (it == names_.end()) it = names_.emplace(t.text, Lookup(t.text)).first;
    out.kind = it->second.kind;
    out.index = it->second.index;
    out.value = it->second.value;
  }

 private:
  Resolution Lookup(std::string_view name) {
    Resolution r{TokenKind::Constant, 0, {}};
    if (!FindConstant(ctx_.rt, name, r.value)) {
      r.kind = TokenKind::Variable;
      r.index = VariableIndexOf(ctx_.rt.vars, name);
    }
    return r;
  }

  const CompileContext& ctx_;
  std::unordered_map<std::string_view, std::int32_t> functions_;
  std::unordered_map<std::string_view, Resolution> names_;
};

}  // namespace

double NumberValue(std::string_view digits) {
  double v = 0.0;
  double f = 1.0;
  bool hex = false;
  bool fraction = false;
  for (const char c : digits) {
    if (c == '$') {
      hex = true;
    } else if (c == '.') {
      fraction = true;
    } else if (hex) {
      v = v * 16 + HexDigitValue(c);
    } else if (!fraction) {
      v = v * 10 + (c - '0');
    } else {
      f = f / 10;
      v = v + (c - '0') * f;
    }
  }
  return v;
}

bool ResolveTokens(const CompileContext& ctx, const std::vector<RToken1>& tokens,
                   std::vector<RToken2>& resolved) {
  resolved.clear();
  resolved.reserve(tokens.size());
  Resolver resolver(ctx);
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const RToken1& t = tokens[i];
    RToken2 out;
    out.kind = t.kind;
    out.position = t.position;
    switch (t.kind) {
      case TokenKind::Identifier:
        // The end token closes the list, so a name always has a successor.
        if (i + 1 < tokens.size() && tokens[i + 1].kind == TokenKind::OpenParen) {
          if (!resolver.Function(t, out)) return false;
        } else {
          resolver.Name(t, out);
        }
        break;
      case TokenKind::Number:
        out.kind = TokenKind::Constant;
        out.value.setReal(NumberValue(t.text));
        break;
      case TokenKind::String:
        out.kind = TokenKind::Constant;
        out.value.setString(std::string(t.text));
        break;
      default:
        break;
    }
    resolved.push_back(std::move(out));
  }
  return true;
}

}  // namespace px
