// CCode: one unit of game code, a program or an expression, held as
// scrambled text and compiled once into a syntax tree.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "code/Code_Token.h"
#include "code/Code_Value.h"

namespace px {

struct ScriptCore;
struct ExecTree;

enum class CodeMode : std::int32_t {
  Program = 1,
  Expression = 2,
  // An expression that compiled to a constant: run without walking a tree.
  Constant = 3,
};

class CCode {
 public:
  CCode(std::string_view text, bool expression);
  CCode(CCode&&) noexcept;
  CCode& operator=(CCode&&) noexcept;
  ~CCode();

  // Compiles the text: tokens, name resolution, the tree, the post-pass.
  // False after a compile error, whose message is the one recorded in
  // rt.code.error. Compiling a compiled unit fails.
  bool Compile(ScriptCore& rt);
  // The unscrambled text.
  std::string SourceText() const;

  bool compiled() const { return compiled_; }
  CodeMode mode() const { return mode_; }
  // The tree of a compiled program or expression.
  const RToken& root() const { return root_; }
  // The value of a CodeMode::Constant unit.
  const RValue& constant() const { return constant_; }
  // The executable form of a compiled program or expression.
  const ExecTree* exec() const { return exec_.get(); }

 private:
  std::string scrambled_;
  bool compiled_ = false;
  CodeMode mode_;
  RToken root_;
  RValue constant_;
  std::unique_ptr<ExecTree> exec_;
};

// What the compiler phases share: the run they resolve names in and the
// unit errors are reported for.
struct CompileContext {
  ScriptCore& rt;
  const CCode& code;
  // Records a compile error at a text position; always false.
  bool Fail(std::int32_t position, std::string_view message) const;
};

// Compile errors of the nesting guard: deeper code than this is refused so
// that neither the compiler nor the executor can exhaust the stack.
inline constexpr std::int32_t kMaxNesting = 1000;
inline constexpr const char* kTooDeeplyNested = "Code is nested too deeply.";

}  // namespace px
