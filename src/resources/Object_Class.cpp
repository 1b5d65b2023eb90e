#include "resources/Object_Class.h"

#include <algorithm>

#include "resources/Resource_List.h"

namespace px {

namespace {

constexpr std::int32_t kActionVersion = 440;
constexpr std::int32_t kEventVersion = 400;
constexpr std::int32_t kObjectVersion = 430;

// Reads an argument count of at most 8; false for more.
bool ReadArgCount(CStream& s, std::size_t& n) {
  const std::int32_t v = StreamReadInt(s);
  n = v > 0 ? static_cast<std::size_t>(v) : 0;
  return v <= CAction::kMaxArgs;
}

}  // namespace

bool CAction::LoadFromStream(CStream& s) {
  *this = CAction{};
  if (StreamReadInt(s) != kActionVersion) return false;
  library_id = StreamReadInt(s);
  action_id = StreamReadInt(s);
  kind = static_cast<ActionKind>(StreamReadInt(s));
  may_be_relative = StreamReadBool(s);
  is_question = StreamReadBool(s);
  has_applies_to = StreamReadBool(s);
  exec_type = static_cast<ExecType>(StreamReadInt(s));
  function_name = StreamReadString(s);
  code = StreamReadString(s);
  arg_count = StreamReadInt(s);
  if (arg_count > kMaxArgs) return false;
  std::size_t n;
  if (!ReadArgCount(s, n)) return false;
  arg_kinds.resize(n);
  for (std::int32_t& k : arg_kinds) k = StreamReadInt(s);
  applies_to = StreamReadInt(s);
  relative = StreamReadBool(s);
  if (!ReadArgCount(s, n)) return false;
  arg_texts.resize(n);
  for (std::string& text : arg_texts) text = StreamReadString(s);
  is_not = StreamReadBool(s);
  return true;
}

void CAction::WriteToStream(CStream& s) const {
  StreamWriteInt(s, kActionVersion);
  StreamWriteInt(s, library_id);
  StreamWriteInt(s, action_id);
  StreamWriteInt(s, static_cast<std::int32_t>(kind));
  StreamWriteBool(s, may_be_relative);
  StreamWriteBool(s, is_question);
  StreamWriteBool(s, has_applies_to);
  StreamWriteInt(s, static_cast<std::int32_t>(exec_type));
  StreamWriteString(s, function_name);
  StreamWriteString(s, code);
  StreamWriteInt(s, arg_count);
  StreamWriteInt(s, static_cast<std::int32_t>(arg_kinds.size()));
  for (std::int32_t k : arg_kinds) StreamWriteInt(s, k);
  StreamWriteInt(s, applies_to);
  StreamWriteBool(s, relative);
  StreamWriteInt(s, static_cast<std::int32_t>(arg_texts.size()));
  for (const std::string& text : arg_texts) StreamWriteString(s, text);
  StreamWriteBool(s, is_not);
}

bool CEvent::LoadFromStream(CStream& s) {
  actions.clear();
  if (StreamReadInt(s) != kEventVersion) return false;
  // An action record is at least 16 ints long (all lists and strings empty).
  actions.resize(ReadCount(s, 16 * 4));
  for (CAction& action : actions)
    if (!action.LoadFromStream(s)) return false;
  return true;
}

void CEvent::WriteToStream(CStream& s) const {
  StreamWriteInt(s, kEventVersion);
  StreamWriteInt(s, static_cast<std::int32_t>(actions.size()));
  for (const CAction& action : actions) action.WriteToStream(s);
}

namespace {
auto FindNumber(const std::vector<RNumberedEvent>& list, int number) {
  return std::lower_bound(list.begin(), list.end(), number,
                          [](const RNumberedEvent& e, int n) { return e.number < n; });
}
}  // namespace

const CEvent* CObject::event(int kind, int number) const {
  if (kind < 0 || kind >= kEventKinds) return nullptr;
  const auto& list = events[kind];
  const auto it = FindNumber(list, number);
  return it != list.end() && it->number == number ? &it->event : nullptr;
}

CEvent& CObject::eventSlot(int kind, int number) {
  auto& list = events[kind];
  const auto at = list.begin() + (FindNumber(list, number) - list.cbegin());
  if (at != list.end() && at->number == number) return at->event;
  return list.insert(at, RNumberedEvent{number, {}})->event;
}

int CObject::eventTableLength(int kind) const {
  if (kind < 0 || kind >= kEventKinds || events[kind].empty()) return 0;
  return events[kind].back().number + 1;
}

bool CObject::LoadFromStream(CStream& s) {
  *this = CObject{};
  if (StreamReadInt(s) != kObjectVersion) return false;
  sprite_index = StreamReadInt(s);
  solid = StreamReadBool(s);
  visible = StreamReadBool(s);
  depth = StreamReadInt(s);
  persistent = StreamReadBool(s);
  parent = StreamReadInt(s);
  mask = StreamReadInt(s);
  const std::int32_t lastKind = StreamReadInt(s);
  if (lastKind >= kEventKinds) return false;
  for (int kind = 0; kind <= lastKind; ++kind) {
    auto& list = events[kind];
    for (std::int32_t number = StreamReadInt(s); number >= 0; number = StreamReadInt(s)) {
      list.push_back({number, {}});
      if (!list.back().event.LoadFromStream(s)) return false;
    }
    // Numbers are stored in ascending order. Should they not be, sort them
    // once (inserting each in place would take quadratic time on damaged
    // data); of events stored twice under one number the later one counts.
    const auto byNumber = [](const RNumberedEvent& a, const RNumberedEvent& b) {
      return a.number < b.number;
    };
    const auto notAscending = [](const RNumberedEvent& a, const RNumberedEvent& b) {
      return a.number >= b.number;
    };
    if (std::adjacent_find(list.begin(), list.end(), notAscending) == list.end()) continue;
    std::stable_sort(list.begin(), list.end(), byNumber);
    std::vector<RNumberedEvent> unique;
    for (RNumberedEvent& e : list) {
      if (!unique.empty() && unique.back().number == e.number)
        unique.back() = std::move(e);
      else
        unique.push_back(std::move(e));
    }
    list = std::move(unique);
  }
  return true;
}

void CObject::WriteToStream(CStream& s) const {
  StreamWriteInt(s, kObjectVersion);
  StreamWriteInt(s, sprite_index);
  StreamWriteBool(s, solid);
  StreamWriteBool(s, visible);
  StreamWriteInt(s, depth);
  StreamWriteBool(s, persistent);
  StreamWriteInt(s, parent);
  StreamWriteInt(s, mask);
  StreamWriteInt(s, kEventKinds - 1);
  for (const auto& list : events) {
    for (const RNumberedEvent& e : list) {
      StreamWriteInt(s, e.number);
      e.event.WriteToStream(s);
    }
    StreamWriteInt(s, -1);
  }
}

}  // namespace px
