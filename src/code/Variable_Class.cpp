#include "code/Variable_Class.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

namespace px {

bool RVariable::storeGrowing(std::int32_t flat, const RValue& v) {
  if (flat == 0) {
    value = v;
    return true;
  }
  if (flat < 0 || flat > kMaxFlatIndex) return false;
  const auto row = static_cast<std::size_t>(flat / kArrayDim);
  const auto column = static_cast<std::size_t>(flat % kArrayDim);
  if (rows.size() <= row) rows.resize(row + 1);
  std::vector<RValue>& cells = rows[row];
  if (column < cells.size()) {
    cells[column] = v;
  } else if (column == cells.size()) {
    cells.push_back(v);  // filling an array in order
  } else {
    cells.resize(column + 1);
    cells[column] = v;
  }
  return true;
}

RVariable* CVariableList::find(std::int32_t index) {
  return const_cast<RVariable*>(std::as_const(*this).find(index));
}

const RVariable* CVariableList::find(std::int32_t index) const {
  if (vars_.size() <= kLinearLimit) {
    for (auto it = vars_.rbegin(); it != vars_.rend(); ++it) {
      if (it->index == index) return &*it;
    }
    return nullptr;
  }
  const auto it = byIndex_.find(index);
  return it == byIndex_.end() ? nullptr : &vars_[it->second];
}

bool CVariableList::get(std::int32_t index, std::int32_t flat, RValue& out) const {
  const RValue* v = lookup(index, flat);
  if (!v) return false;
  out = *v;
  return true;
}

bool CVariableList::set(std::int32_t index, std::int32_t flat, const RValue& value) {
  if (flat < 0 || flat > kMaxFlatIndex) return false;
  RVariable* v = find(index);
  return (v ? *v : append(index)).store(flat, value);
}

RVariable& CVariableList::ensure(std::int32_t index) {
  RVariable* v = find(index);
  return v ? *v : append(index);
}

void CVariableList::clear() {
  vars_.clear();
  byIndex_.clear();
  duplicates_ = false;
}

RVariable& CVariableList::append(std::int32_t index) {
  vars_.push_back(RVariable{index, {}, {}});
  if (vars_.size() == kLinearLimit + 1) {
    rebuildMap();
  } else if (vars_.size() > kLinearLimit) {
    byIndex_[index] = static_cast<std::uint32_t>(vars_.size() - 1);
  }
  return vars_.back();
}

// Later entries overwrite earlier ones, so the newest of a repeated index wins.
void CVariableList::rebuildMap() {
  byIndex_.clear();
  if (vars_.size() <= kLinearLimit) return;
  for (std::size_t i = 0; i < vars_.size(); ++i) {
    byIndex_[vars_[i].index] = static_cast<std::uint32_t>(i);
  }
}

void StreamWriteValue(CStream& s, const RValue& v) {
  StreamWriteInt(s, static_cast<std::int32_t>(v.kind()));
  StreamWriteReal(s, v.real);
  StreamWriteString(s, v.str());
}

RValue StreamReadValue(CStream& s) {
  RValue v;
  const std::int32_t kind = StreamReadInt(s);
  v.setKind(kind == 1 ? ValueKind::String : ValueKind::Real);
  v.real = StreamReadReal(s);
  v.setText(StreamReadString(s));
  return v;
}

void CVariableList::write(CStream& s) const {
  StreamWriteInt(s, kVariableListMarker);
  StreamWriteInt(s, static_cast<std::int32_t>(vars_.size()));
  for (const RVariable& v : vars_) {
    StreamWriteInt(s, v.index);
    StreamWriteValue(s, v.value);
    StreamWriteInt(s, static_cast<std::int32_t>(v.rows.size()));
    for (const auto& row : v.rows) {
      StreamWriteInt(s, static_cast<std::int32_t>(row.size()));
      for (const RValue& e : row) StreamWriteValue(s, e);
    }
  }
}

namespace {

// Room for at most `count` items of at least `minBytes` each that the rest
// of the stream can hold, so a corrupt count cannot reserve a huge block.
std::size_t PlausibleCount(const CStream& s, std::int32_t count, std::size_t minBytes) {
  if (count <= 0) return 0;
  return std::min(static_cast<std::size_t>(count), s.remaining() / minBytes);
}

constexpr std::size_t kValueBytes = 4 + 8 + 4;
constexpr std::size_t kVariableBytes = 4 + kValueBytes + 4;

std::vector<RValue> ReadRow(CStream& s) {
  const std::int32_t length = StreamReadInt(s);
  std::vector<RValue> row;
  row.reserve(PlausibleCount(s, length, kValueBytes));
  for (std::int32_t i = 0; i < length; ++i) row.push_back(StreamReadValue(s));
  return row;
}

}  // namespace

void CVariableList::read(CStream& s) {
  clear();
  if (StreamReadInt(s) != kVariableListMarker) return;
  const std::int32_t count = StreamReadInt(s);
  std::vector<RVariable> vars;
  vars.reserve(PlausibleCount(s, count, kVariableBytes));
  for (std::int32_t i = 0; i < count; ++i) {
    RVariable v;
    v.index = StreamReadInt(s);
    v.value = StreamReadValue(s);
    const std::int32_t rowCount = StreamReadInt(s);
    v.rows.reserve(PlausibleCount(s, rowCount, 4));
    for (std::int32_t r = 0; r < rowCount; ++r) v.rows.push_back(ReadRow(s));
    vars.push_back(std::move(v));
  }
  vars_ = std::move(vars);
  rebuildMap();
  std::unordered_set<std::int32_t> seen;
  for (const RVariable& v : vars_) {
    if (!seen.insert(v.index).second) duplicates_ = true;
  }
}

}  // namespace px
