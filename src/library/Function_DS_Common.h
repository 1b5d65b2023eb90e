// What the data-structure functions share: the handle look-up with its
// error report, argument conversions, and the functions every kind has in
// the same form (destroy, copy, write, read).
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>
#include <type_traits>

#include "code/Code_Error.h"
#include "library/Function_List.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"

namespace px::ds {

inline constexpr std::string_view kNoSuchStructure = "Data structure with index does not exist.";
inline constexpr std::string_view kTextNotHex =
    "Data structure text holds characters other than hexadecimal digits.";
inline constexpr std::string_view kTextDamaged = "Data structure text is truncated or damaged.";

// The data-structure functions look at neither instance nor argument count
// (every one takes a fixed count).
using Handler = void (*)(Runtime& rt, RValue& result, const FunctionArgs& args);

template <Handler F>
void Adapt(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
           const FunctionArgs& args) {
  F(rt, result, args);
}

// The handle table of a container kind.
template <class T>
CDSTable<T>& TableOf(DataStructures& ds) {
  if constexpr (std::is_same_v<T, CDS_Stack>) {
    return ds.stacks;
  } else if constexpr (std::is_same_v<T, CDS_Queue>) {
    return ds.queues;
  } else if constexpr (std::is_same_v<T, CDS_List>) {
    return ds.lists;
  } else if constexpr (std::is_same_v<T, CDS_Map>) {
    return ds.maps;
  } else if constexpr (std::is_same_v<T, CDS_Priority>) {
    return ds.priorities;
  } else {
    static_assert(std::is_same_v<T, CDS_Grid>);
    return ds.grids;
  }
}

// A real argument used as an integer (a handle, position, coordinate or
// size), rounded with halves to even. Beyond the 64-bit range it saturates
// instead of wrapping, and NaN becomes the lowest value, so neither can
// land on a real handle or position such as 0.
inline std::int64_t Int(const RValue& v) {
  constexpr double kLimit = 9223372036854775807.0;
  if (std::isnan(v.real) || v.real <= -kLimit) return std::numeric_limits<std::int64_t>::min();
  if (v.real >= kLimit) return std::numeric_limits<std::int64_t>::max();
  return RealToInt64(v.real);
}
inline bool Truth(const RValue& v) {
  return v.real >= 0.5;
}
inline void SetReal(RValue& result, double v) {
  result.setReal(v);
}
inline void SetCount(RValue& result, std::size_t n) {
  result.setReal(static_cast<double>(n));
}
// The found element, or the real 0 the result already holds.
inline void SetFound(RValue& result, const RValue* v) {
  if (v) result = *v;
}

// The container a handle argument names; null, after the report, when it
// names none.
template <class T>
T* Find(Runtime& rt, const RValue& handle) {
  T* c = TableOf<T>(rt.ds).find(Int(handle));
  if (!c) RuntimeError(rt, kNoSuchStructure);
  return c;
}

template <class T>
void Destroy(Runtime& rt, RValue&, const FunctionArgs& a) {
  if (!TableOf<T>(rt.ds).destroy(Int(a[0]))) RuntimeError(rt, kNoSuchStructure);
}

template <class T>
void Copy(Runtime& rt, RValue&, const FunctionArgs& a) {
  T* to = Find<T>(rt, a[0]);
  if (!to) return;
  const T* from = Find<T>(rt, a[1]);
  if (from && from != to) *to = *from;
}

template <class T>
void Write(Runtime& rt, RValue& result, const FunctionArgs& a) {
  const T* c = Find<T>(rt, a[0]);
  if (!c) return;
  CStream s;
  c->write(s);
  result.setString(StreamToHex(s));
}

// A text that is not hexadecimal, or whose content is cut short or does
// not hold together, is reported and leaves the container as it was; so
// does, without a report, a text written by another kind.
template <class T>
void Read(Runtime& rt, RValue&, const FunctionArgs& a) {
  T* c = Find<T>(rt, a[0]);
  if (!c) return;
  CStream s;
  try {
    HexToStream(s, a[1].str());
  } catch (const ConversionError&) {
    RuntimeError(rt, kTextNotHex);
    return;
  }
  try {
    if constexpr (std::is_same_v<T, CDS_Map>) {
      c->read(s, rt.ds.order);
    } else {
      c->read(s);
    }
  } catch (const StreamError&) {
    RuntimeError(rt, kTextDamaged);
  }
}

}  // namespace px::ds
