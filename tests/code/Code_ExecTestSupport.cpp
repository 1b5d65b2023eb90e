#include "code/Code_ExecTestSupport.h"

#include <cstdio>

#include "run/Event_Main.h"
#include "run/Runner_Code.h"

namespace pxtest {

using namespace px;

namespace {

// The world the test functions act on: only one exists at a time.
ExecWorld* current = nullptr;

// log(args…): records its arguments; returns the argument count.
void Log(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t argc, RValue& result,
         const FunctionArgs& args) {
  std::string line;
  for (std::int32_t i = 0; i < argc; ++i) {
    if (i > 0) line += ' ';
    line += Show(args[static_cast<std::size_t>(i)]);
  }
  current->log.push_back(line);
  result.setReal(argc);
}

// id(): the id of self.
void Id(Runtime&, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue& result,
        const FunctionArgs&) {
  result.setReal(static_cast<CInstance*>(self)->id);
}

// destroy(): marks self destroyed.
void Destroy(Runtime&, CInstanceBase* self, CInstanceBase*, std::int32_t, RValue&,
             const FunctionArgs&) {
  static_cast<CInstance*>(self)->deleted = true;
}

// spawn(object): a new instance at the end of the room; returns its id.
void SpawnFn(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
             const FunctionArgs& args) {
  result.setReal(current->Spawn(RealToInt(args[0].real)).id);
}

}  // namespace

std::string Show(const RValue& v) {
  if (v.isString()) return "'" + v.str() + "'";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17g", v.real);
  return buf;
}

ExecWorld::ExecWorld() {
  current = this;
  RegisterFunction(rt, "log", Log, kAnyArgumentCount);
  RegisterFunction(rt, "id", Id, 0);
  RegisterFunction(rt, "destroy", Destroy, 0);
  RegisterFunction(rt, "spawn", SpawnFn, 1);
  self = &Spawn(0);
  other = &Spawn(1);
}

ExecWorld::~ExecWorld() {
  current = nullptr;
}

CInstance& ExecWorld::Spawn(std::int32_t object) {
  return CreateInstance(rt, object, 0, 0);
}

void ExecWorld::AddScript(const std::string& name, const std::string& text) {
  CScript script;
  script.code = text;
  rt.resources.scripts.add(name, script);
}

void ExecWorld::CompileScripts() {
  ASSERT_TRUE(px::CompileScripts(rt)) << rt.code.report.last;
}

Outcome ExecWorld::Run(std::string_view text, bool expression) {
  Outcome out;
  CCode code(text, expression);
  if (!code.Compile(rt)) {
    ADD_FAILURE() << "does not compile: " << text << "\n" << rt.code.error.message;
    return out;
  }
  out.ok = ExecuteCode(rt, self, other, code, out.result);
  if (!out.ok) out.error = rt.code.error.message;
  return out;
}

}  // namespace pxtest
