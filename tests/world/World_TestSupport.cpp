#include "world/World_TestSupport.h"

#include "code/Code_Exec.h"
#include "code/Code_ExecTestSupport.h"
#include "code/Code_Main.h"
#include "code/Script_Main.h"
#include "run/Action_Class.h"
#include "run/Run_Error.h"
#include "run/Run_Main.h"
#include "run/Run_Trigger.h"
#include "run/Runner_Code.h"
#include "run/Runtime.h"

namespace pxtest {

using namespace px;

namespace {

WorldRun* current = nullptr;

void Log(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t argc, RValue& result,
         const FunctionArgs& args) {
  std::string line;
  for (std::int32_t i = 0; i < argc; ++i) {
    if (i > 0) line += ' ';
    const RValue& v = args[static_cast<std::size_t>(i)];
    line += v.isString() ? v.str() : Show(v);
  }
  current->log.push_back(line);
  result.setReal(argc);
}

}  // namespace

CAction CodeAction(std::string code) {
  CAction a;
  a.kind = ActionKind::Code;
  a.exec_type = ExecType::Code;
  a.arg_count = 1;
  a.arg_kinds = {1};
  a.arg_texts = {std::move(code)};
  return a;
}

CAction QuestionAction(std::string code, bool isNot) {
  CAction a = CodeAction(std::move(code));
  a.is_question = true;
  a.is_not = isNot;
  return a;
}

CAction ControlAction(ActionKind kind, std::string count) {
  CAction a;
  a.kind = kind;
  if (kind == ActionKind::Repeat) {
    a.arg_count = 1;
    a.arg_kinds = {0};
    a.arg_texts = {std::move(count)};
  }
  return a;
}

CAction FunctionAction(std::string function, std::vector<std::string> args) {
  CAction a;
  a.exec_type = ExecType::Function;
  a.function_name = std::move(function);
  a.arg_count = static_cast<int>(args.size());
  a.arg_kinds.assign(args.size(), 0);
  a.arg_texts = std::move(args);
  return a;
}

WorldRun::WorldRun() {
  current = this;
  RegisterFunction(rt, "log", Log, kAnyArgumentCount);
}

WorldRun::~WorldRun() {
  current = nullptr;
}

std::int32_t WorldRun::AddObject(const std::string& name, std::int32_t parent) {
  CObject obj;
  obj.parent = parent;
  return rt.resources.objects.add(name, obj);
}

void WorldRun::On(std::int32_t object, EventKind kind, std::int32_t number,
                  std::vector<CAction> actions) {
  this->object(object).eventSlot(static_cast<int>(kind), number).actions = std::move(actions);
}

std::int32_t WorldRun::AddSprite(const std::string& name,
                                 std::initializer_list<std::string_view> rows, int xoffset,
                                 int yoffset) {
  CSprite s;
  const int width = static_cast<int>(rows.begin()->size());
  const int height = static_cast<int>(rows.size());
  s.xoffset = xoffset;
  s.yoffset = yoffset;
  s.images.emplace_back(width, height);
  TMask mask;
  mask.width = width;
  mask.height = height;
  mask.bits.assign(static_cast<std::size_t>(width * height), 0);
  mask.left = width;
  mask.top = height;
  mask.right = -1;
  mask.bottom = -1;
  int y = 0;
  for (std::string_view row : rows) {
    for (int x = 0; x < width; ++x) {
      if (row[static_cast<std::size_t>(x)] != '#') continue;
      mask.bits[static_cast<std::size_t>(y * width + x)] = 1;
      mask.left = std::min(mask.left, x);
      mask.right = std::max(mask.right, x);
      mask.top = std::min(mask.top, y);
      mask.bottom = std::max(mask.bottom, y);
    }
    ++y;
  }
  s.masks.push_back(mask);
  s.ComputeBoundingBox();
  return rt.resources.sprites.add(name, s);
}

void WorldRun::AddScript(const std::string& name, const std::string& text) {
  CScript script;
  script.code = text;
  rt.resources.scripts.add(name, script);
}

bool WorldRun::Start() {
  if (!PrepareTriggers(rt) || !CompileScripts(rt)) return false;
  for (int o = 0; o < rt.resources.objects.count(); ++o) {
    if (CObject* obj = rt.resources.objects.get(o)) {
      for (auto& kind : obj->events)
        for (RNumberedEvent& stored : kind) LocateActionFunctions(rt, stored.event);
    }
  }
  if (!PrepareTimeLineActions(rt) || !PrepareObjectActions(rt)) return false;
  StartWorld(rt);
  return true;
}

CInstance& WorldRun::Create(std::int32_t object, double x, double y) {
  CInstance* inst = CreateInstanceWithEvent(rt, object, x, y);
  EXPECT_NE(inst, nullptr);
  return *inst;
}

RValue WorldRun::Run(CInstance& self, std::string_view text) {
  CCode code(text, false);
  RValue result;
  if (!code.Compile(rt)) {
    ADD_FAILURE() << "does not compile: " << text << "\n" << rt.code.error.message;
    return result;
  }
  RunCode(rt, &self, &self, code, result);
  return result;
}

std::string WorldRun::Play(std::int64_t steps) {
  rt.maxSteps = steps;
  EXPECT_TRUE(Start());
  RunGame(rt);
  return TakeLog();
}

std::string WorldRun::TakeLog() {
  std::string joined;
  for (const std::string& line : log) joined += (joined.empty() ? "" : "|") + line;
  log.clear();
  return joined;
}

void WorldRun::UseDevice(int width, int height) {
  px::Display& d = rt.display;
  d.SetRegionSize(width, height, true);
  px::GameWindow* window = d.window();
  if (!window || !d.device.Create(*window, width, height, false, "test"))
    ADD_FAILURE() << "no device";
  d.device.BeginFrame();
}

std::uint32_t WorldRun::Pixel(int x, int y) {
  const auto image = rt.display.device.ReadBackBuffer(x, y, 1, 1);
  return image ? image->GetPixel(0, 0) : 0xDEADBEEF;
}

}  // namespace pxtest
