// RVariable and CVariableList: a list of variables, each a scalar value and
// array storage, with the stream record that saves a list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

#include "base/Support_Stream.h"
#include "code/Code_Value.h"

namespace px {

// Arrays: a[i] is flat index i, a[i,j] is i × kArrayDim + j, with i and j in
// 0 .. kArrayDim − 1. Flat index 0 is the scalar itself.
inline constexpr std::int32_t kArrayDim = 32000;
inline constexpr std::int32_t kMaxFlatIndex = kArrayDim * kArrayDim - 1;

constexpr std::int32_t FlatIndex(std::int32_t i, std::int32_t j) {
  return i * kArrayDim + j;
}

inline constexpr std::int32_t kVariableListMarker = 440;

struct RVariable {
  std::int32_t index = 0;
  // The scalar, which is also array element 0.
  RValue value;
  // Element flat index f > 0 is rows[f / kArrayDim][f % kArrayDim].
  std::vector<std::vector<RValue>> rows;

  // The stored element, or null when the array does not reach it.
  const RValue* element(std::int32_t flat) const {
    if (flat == 0) return &value;
    if (flat < 0) return nullptr;
    const auto row = static_cast<std::size_t>(flat / kArrayDim);
    const auto column = static_cast<std::size_t>(flat % kArrayDim);
    if (row >= rows.size() || column >= rows[row].size()) return nullptr;
    return &rows[row][column];
  }
  // Stores into an element, growing the rows with real 0 up to it. False
  // (nothing stored) for a flat index outside 0 .. kMaxFlatIndex.
  bool store(std::int32_t flat, const RValue& v) {
    if (flat > 0 && flat <= kMaxFlatIndex) {
      const auto row = static_cast<std::size_t>(flat / kArrayDim);
      const auto column = static_cast<std::size_t>(flat % kArrayDim);
      if (row < rows.size() && column < rows[row].size()) {
        rows[row][column] = v;
        return true;
      }
    }
    return storeGrowing(flat, v);
  }

  bool operator==(const RVariable&) const = default;

 private:
  bool storeGrowing(std::int32_t flat, const RValue& v);
};

// Variables in the order they were created, which is the order they are
// saved in. Lookup is by variable index; the newest entry wins should a
// stream have brought the same index twice. Copying copies every variable
// and array.
class CVariableList {
 public:
  std::size_t size() const { return vars_.size(); }
  bool empty() const { return vars_.empty(); }
  std::span<const RVariable> entries() const { return vars_; }

  // Null when the index is absent. Pointers stay valid until the next
  // variable is added or the list is cleared or read.
  RVariable* find(std::int32_t index);
  const RVariable* find(std::int32_t index) const;
  // find() for a caller that keeps where the index was found last time:
  // checks that position first, so repeated look-ups of one variable do not
  // search.
  RVariable* findHinted(std::int32_t index, std::uint32_t& hint) {
    if (hint < vars_.size() && vars_[hint].index == index && !duplicates_) return &vars_[hint];
    RVariable* v = find(index);
    if (v) hint = static_cast<std::uint32_t>(v - vars_.data());
    return v;
  }
  // The stored value, or null when the variable or element is absent.
  const RValue* lookup(std::int32_t index, std::int32_t flat) const {
    const RVariable* v = find(index);
    return v ? v->element(flat) : nullptr;
  }
  bool get(std::int32_t index, std::int32_t flat, RValue& out) const;
  // Creates the variable (real 0, no array) when absent, then stores. False
  // only for a flat index outside 0 .. kMaxFlatIndex; the list is unchanged then.
  bool set(std::int32_t index, std::int32_t flat, const RValue& value);
  // The variable, created holding real 0 when absent.
  RVariable& ensure(std::int32_t index);
  void clear();

  // The variable-list record: marker 440, count, then per variable its
  // index, value record, rows and their elements.
  void write(CStream& s) const;
  // Clears the list, then reads a record. A marker other than 440 leaves the
  // list empty and reads nothing more. Throws StreamError when the record is
  // cut short; the list is empty then.
  void read(CStream& s);

  bool operator==(const CVariableList& o) const { return vars_ == o.vars_; }

 private:
  // Lists up to this size are searched linearly; larger ones keep a map.
  static constexpr std::size_t kLinearLimit = 8;
  RVariable& append(std::int32_t index);
  void rebuildMap();

  std::vector<RVariable> vars_;
  std::unordered_map<std::int32_t, std::uint32_t> byIndex_;
  // Whether a stream brought an index twice (the newest entry wins, so a
  // remembered position may not be the one to use).
  bool duplicates_ = false;
};

// The value record: kind, real and string, all three whatever the kind.
void StreamWriteValue(CStream& s, const RValue& v);
// A kind other than 1 reads as a real.
RValue StreamReadValue(CStream& s);

}  // namespace px
