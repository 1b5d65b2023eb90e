// libFuzzer target over the readers of the data-structure texts. The first
// input byte picks the kind (its low three bits, modulo 6) and what the
// rest is:
//   bit 3 clear: the bytes the text stands for, which the target turns into
//                hexadecimal text, so mutations reach the field readers;
//   bit 3 set:   the text itself, hexadecimal or not.
// Beyond crashes it checks that a rejected text leaves the container as it
// was, that what a read produced writes a text that reads back to the same
// text, and that the container's own functions cope with what was read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "run/Runtime.h"

namespace {

constexpr const char* kKinds[] = {"stack", "queue", "list", "map", "priority", "grid"};

class Caller {
 public:
  Caller() : platform_(px::CreateHeadlessPlatform(out_)), rt_(*platform_) {}

  px::Runtime& rt() { return rt_; }

  px::RValue operator()(const std::string& name, std::initializer_list<px::RValue> args = {}) {
    const std::int32_t index = rt_.code.functions.Find(name);
    if (index < 0) std::abort();
    const px::BuiltinFunctionEntry& entry = rt_.code.functions[static_cast<std::size_t>(index)];
    px::FunctionArgs a{};
    std::size_t i = 0;
    for (const px::RValue& v : args) a[i++] = v;
    px::RValue result;
    entry.handler(rt_, nullptr, nullptr, static_cast<std::int32_t>(args.size()), result, a);
    return result;
  }
  std::string fn(const std::string& kind, const char* what) { return "ds_" + kind + "_" + what; }
  px::RValue create(const std::string& kind) {
    if (kind == "grid") return (*this)("ds_grid_create", {R(0), R(0)});
    return (*this)(fn(kind, "create"));
  }
  std::string write(const std::string& kind, const px::RValue& id) {
    return (*this)(fn(kind, "write"), {id}).str();
  }
  // Whether the read was reported.
  bool read(const std::string& kind, const px::RValue& id, const std::string& text) {
    rt_.code.report.occurred = false;
    (*this)(fn(kind, "read"), {id, px::RValue::FromString(text)});
    return rt_.code.report.occurred;
  }
  static px::RValue R(double v) { return px::RValue::FromReal(v); }

 private:
  std::ostringstream out_;
  std::unique_ptr<px::Platform> platform_;
  px::Runtime rt_;
};

void Check(bool ok) {
  if (!ok) std::abort();
}

// A round of the kind's own functions over what was read.
void Exercise(Caller& call, const std::string& kind, const px::RValue& id) {
  using R = px::RValue;
  const auto R0 = Caller::R;
  if (kind == "stack") {
    const double n = call("ds_stack_size", {id}).real;
    for (double i = 0; i < n; ++i) call("ds_stack_pop", {id});
    Check(call("ds_stack_empty", {id}).real == 1);
  } else if (kind == "queue") {
    call("ds_queue_tail", {id});
    const double n = call("ds_queue_size", {id}).real;
    for (double i = 0; i < n; ++i) {
      call("ds_queue_dequeue", {id});
      if (i < 40) call("ds_queue_enqueue", {id, R0(i)});
    }
  } else if (kind == "list") {
    const R first = call("ds_list_find_value", {id, R0(0)});
    call("ds_list_sort", {id, R0(1)});
    call("ds_list_sort", {id, R0(0)});
    call("ds_list_find_index", {id, first});
    call("ds_list_shuffle", {id});
    call("ds_list_insert", {id, R0(1), first});
    call("ds_list_delete", {id, R0(0)});
  } else if (kind == "map") {
    const double n = call("ds_map_size", {id}).real;
    R key = call("ds_map_find_first", {id});
    for (double i = 0; i < n; ++i) {
      call("ds_map_find_previous", {id, key});
      key = call("ds_map_find_next", {id, key});
    }
    for (double i = 0; i < n; ++i) {
      const R k = call("ds_map_find_last", {id});
      const double before = call("ds_map_size", {id}).real;
      const bool exists = call("ds_map_exists", {id, k}).real == 1;
      call("ds_map_delete", {id, k});
      Check(call("ds_map_size", {id}).real == before - (exists ? 1 : 0));
    }
  } else if (kind == "priority") {
    const double n = call("ds_priority_size", {id}).real;
    call("ds_priority_find_max", {id});
    for (double i = 0; i < n; ++i) call("ds_priority_delete_min", {id});
    Check(call("ds_priority_empty", {id}).real == 1);
  } else {
    const double w = call("ds_grid_width", {id}).real;
    const double h = call("ds_grid_height", {id}).real;
    call("ds_grid_get_mean", {id, R0(-1), R0(-1), R0(w), R0(h)});
    call("ds_grid_value_exists", {id, R0(0), R0(0), R0(w), R0(h), R0(0)});
    call("ds_grid_add_grid_region", {id, id, R0(0), R0(0), R0(w), R0(h), R0(1), R0(1)});
    call("ds_grid_set_grid_region", {id, id, R0(0), R0(0), R0(w), R0(h), R0(-1), R0(-1)});
    call("ds_grid_add_disk", {id, R0(w / 2), R0(h / 2), R0(w / 3), R::FromString("s")});
    call("ds_grid_get_disk_max", {id, R0(w / 2), R0(h / 2), R0(h / 3)});
    call("ds_grid_shuffle", {id});
    call("ds_grid_resize", {id, R0(h), R0(w)});
  }
}

}  // namespace

int FuzzDataStructures(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static Caller call;
  const std::string kind = kKinds[(data[0] & 7) % 6];
  std::string text;
  if (data[0] & 8) {
    text.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
  } else {
    text = px::StreamToHex(px::CStream(std::vector<std::uint8_t>(data + 1, data + size)));
  }
  call.rt().random.seed = 1;

  const px::RValue first = call.create(kind);
  const std::string empty = call.write(kind, first);
  if (call.read(kind, first, text)) {
    Check(call.write(kind, first) == empty);
  } else {
    const std::string written = call.write(kind, first);
    const px::RValue second = call.create(kind);
    Check(!call.read(kind, second, written));
    Check(call.write(kind, second) == written);
    call(call.fn(kind, "destroy"), {second});
  }
  Exercise(call, kind, first);
  call(call.fn(kind, "destroy"), {first});
  return 0;
}

// The seeds: texts written by the functions themselves, of each kind, as
// the bytes they stand for and, for some, as text.
int WriteDataStructureSeeds(const std::filesystem::path& dir) {
  Caller call;
  const auto R = Caller::R;
  const auto S = [](const char* s) { return px::RValue::FromString(s); };
  int written = 0;
  auto save = [&](std::size_t kind, const std::string& hex, bool asText) {
    std::string bytes(1, static_cast<char>(kind | (asText ? 8 : 0)));
    if (asText) {
      bytes += hex;
    } else {
      px::CStream s;
      px::HexToStream(s, hex);
      bytes.append(reinterpret_cast<const char*>(s.data()), s.size());
    }
    std::ofstream(dir / (std::string(kKinds[kind]) + "-" + std::to_string(written++) +
                         (asText ? ".txt" : ".bin")),
                  std::ios::binary)
        << bytes;
  };
  for (std::size_t k = 0; k < 6; ++k) {
    const std::string kind = kKinds[k];
    save(k, call.write(kind, call.create(kind)), true);
  }
  const px::RValue stack = call("ds_stack_create");
  for (const px::RValue& v : {R(1), S("two"), R(-3.5), S("")}) call("ds_stack_push", {stack, v});
  save(0, call.write("stack", stack), false);

  const px::RValue queue = call("ds_queue_create");
  for (int i = 0; i < 20; ++i) call("ds_queue_enqueue", {queue, i % 3 ? R(i) : S("q")});
  for (int i = 0; i < 5; ++i) call("ds_queue_dequeue", {queue});
  save(1, call.write("queue", queue), false);

  const px::RValue list = call("ds_list_create");
  for (int i = 0; i < 12; ++i) call("ds_list_add", {list, i % 4 ? R(i * 0.25) : S("item")});
  save(2, call.write("list", list), false);
  save(2, call.write("list", list), true);

  const px::RValue map = call("ds_map_create");
  for (int i = 0; i < 12; ++i) call("ds_map_add", {map, i % 3 ? R(i % 5) : S("key"), R(i)});
  save(3, call.write("map", map), false);

  const px::RValue priority = call("ds_priority_create");
  for (int i = 0; i < 9; ++i) call("ds_priority_add", {priority, S("value"), R(i % 4)});
  save(4, call.write("priority", priority), false);

  const px::RValue grid = call("ds_grid_create", {R(4), R(3)});
  call("ds_grid_set_disk", {grid, R(1), R(1), R(1), S("g")});
  call("ds_grid_set", {grid, R(3), R(2), R(7)});
  save(5, call.write("grid", grid), false);
  save(5, call.write("grid", grid), true);
  return 0;
}

#ifndef PXRUN_NO_FUZZ_MAIN
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FuzzDataStructures(data, size);
}
#endif
