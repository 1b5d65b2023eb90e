#include "code/Code_Main.h"

#include <array>
#include <vector>

#include "code/Code_Error.h"
#include "code/Code_ExecTree.h"
#include "code/Code_Phase1.h"
#include "code/Code_Phase2.h"
#include "code/Code_Phase3.h"
#include "code/Code_Phase4.h"
#include "code/Script_Core.h"

namespace px {

namespace {

// Source texts are held passed through a byte permutation, so that game code
// does not sit in memory as plain text. The permutation comes from a fixed
// seed by swapping neighbouring entries.
struct SourceTables {
  std::array<char, 256> forward{};
  std::array<char, 256> inverse{};

  SourceTables() {
    std::array<std::uint8_t, 256> p{};
    for (int i = 0; i < 256; ++i) p[i] = static_cast<std::uint8_t>(i);
    std::uint32_t state = 8461;
    for (int n = 0; n < 10000; ++n) {
      state = state * 1103515245u + 12345u;
      const std::uint32_t i = (state >> 16) % 255;
      std::swap(p[i], p[i + 1]);
    }
    for (int i = 0; i < 256; ++i) {
      forward[i] = static_cast<char>(p[i]);
      inverse[p[i]] = static_cast<char>(i);
    }
  }
};

const SourceTables& Tables() {
  static const SourceTables tables;
  return tables;
}

std::string Translate(std::string_view text, const std::array<char, 256>& table) {
  std::string out(text.size(), '\0');
  for (std::size_t i = 0; i < text.size(); ++i) out[i] = table[static_cast<std::uint8_t>(text[i])];
  return out;
}

// Lets the lexer look ahead without testing for the end; an unterminated
// string or comment runs into them.
constexpr std::string_view kLookAheadPadding = "   ";

}  // namespace

CCode::CCode(std::string_view text, bool expression)
    : scrambled_(Translate(text, Tables().forward)),
      mode_(expression ? CodeMode::Expression : CodeMode::Program) {}

CCode::CCode(CCode&&) noexcept = default;
CCode& CCode::operator=(CCode&&) noexcept = default;
CCode::~CCode() = default;

std::string CCode::SourceText() const {
  return Translate(scrambled_, Tables().inverse);
}

bool CompileContext::Fail(std::int32_t position, std::string_view message) const {
  CodeError(rt, code, position, message);
  return false;
}

bool CCode::Compile(ScriptCore& rt) {
  rt.code.error.pending = false;
  const CompileContext ctx{rt, *this};
  if (compiled_) return ctx.Fail(0, "Internal Error: Recompiling compiled code.");

  const std::string text = SourceText() + std::string(kLookAheadPadding);
  std::vector<RToken1> tokens;
  std::vector<RToken2> resolved;
  RToken root;
  if (!LexCode(ctx, text, tokens) || !ResolveTokens(ctx, tokens, resolved) ||
      !ParseCode(ctx, resolved, mode_ == CodeMode::Program, root) || !PostProcess(ctx, root)) {
    return false;
  }
  if (mode_ == CodeMode::Expression && root.kind == TokenKind::Constant) {
    mode_ = CodeMode::Constant;
    constant_ = root.value;
  } else {
    exec_ = BuildExecTree(rt, root, mode_ == CodeMode::Program);
  }
  root_ = std::move(root);
  compiled_ = true;
  return true;
}

}  // namespace px
