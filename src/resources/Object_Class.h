// CObject: an object resource with its properties and its events; CEvent:
// one event's action list; CAction: one action as stored.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Support_Stream.h"
#include "resources/Event_Kind.h"

namespace px {

enum class ActionKind : std::int32_t {
  Normal = 0,
  BeginBlock = 1,
  EndBlock = 2,
  Else = 3,
  Exit = 4,
  Repeat = 5,
  Variable = 6,
  Code = 7,
};

enum class ExecType : std::int32_t { Nothing = 0, Function = 1, Code = 2 };

struct RPreparedAction;

class CAction {
 public:
  static constexpr int kMaxArgs = 8;

  int library_id = 0;
  int action_id = 0;
  ActionKind kind = ActionKind::Normal;
  bool may_be_relative = false;
  bool is_question = false;
  bool has_applies_to = false;
  ExecType exec_type = ExecType::Nothing;
  std::string function_name;
  int function_index = -1;  // in the function registry, once looked up
  std::string code;
  int arg_count = 0;
  std::vector<std::int32_t> arg_kinds;  // at most 8
  int applies_to = -1;                  // -1 self, -2 other, else an object
  bool relative = false;
  std::vector<std::string> arg_texts;  // at most 8, as typed
  bool is_not = false;
  // The compiled form, once prepared for running.
  struct Prepared {
    std::shared_ptr<const RPreparedAction> form;
    const RPreparedAction* get() const { return form.get(); }
    const RPreparedAction* operator->() const { return form.get(); }
    explicit operator bool() const { return form != nullptr; }
  } prepared;

  // A wrong version, or more than 8 arguments, argument kinds or argument
  // texts, gives false.
  bool LoadFromStream(CStream& s);
  void WriteToStream(CStream& s) const;
  // Records compare by what is stored: the looked-up function index and the
  // prepared form are not part of the record.
  bool operator==(const CAction& o) const {
    return library_id == o.library_id && action_id == o.action_id && kind == o.kind &&
           may_be_relative == o.may_be_relative && is_question == o.is_question &&
           has_applies_to == o.has_applies_to && exec_type == o.exec_type &&
           function_name == o.function_name && code == o.code && arg_count == o.arg_count &&
           arg_kinds == o.arg_kinds && applies_to == o.applies_to && relative == o.relative &&
           arg_texts == o.arg_texts && is_not == o.is_not;
  }
};

class CEvent {
 public:
  std::vector<CAction> actions;

  // int 400, int n, n actions; a wrong version gives false.
  bool LoadFromStream(CStream& s);
  void WriteToStream(CStream& s) const;
  // An event without actions counts as absent when events are looked up.
  bool empty() const { return actions.empty(); }
  bool operator==(const CEvent&) const = default;
};

// One stored event of an object: its number within its kind.
struct RNumberedEvent {
  std::int32_t number = 0;
  CEvent event;
  bool operator==(const RNumberedEvent&) const = default;
};

class CObject {
 public:
  static constexpr int kEventKinds = kEventKindCount;

  int sprite_index = -1;
  bool solid = false;
  bool visible = true;
  int depth = 0;
  bool persistent = false;
  int parent = -1;
  int mask = -1;
  // Per event kind, the stored events in ascending number order. Numbers
  // are sparse (collision events are numbered by object), so only stored
  // events take room; every number without one has an empty event.
  std::array<std::vector<RNumberedEvent>, kEventKinds> events;

  // The event of a kind and number; nullptr when none is stored.
  const CEvent* event(int kind, int number) const;
  // The event of a kind and number, stored empty first when it is missing.
  CEvent& eventSlot(int kind, int number);
  // One more than the highest event number stored for the kind (0 for none):
  // the length of the kind's event table, empty events included.
  int eventTableLength(int kind) const;

  // A wrong version of the object or of one of its events or actions, or a
  // last event kind above 11, gives false.
  bool LoadFromStream(CStream& s);
  void WriteToStream(CStream& s) const;
  bool operator==(const CObject&) const = default;
};

}  // namespace px
