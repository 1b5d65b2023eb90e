// Native shared libraries: loading one, finding its exported functions, and
// calling them with the two kinds of value game code passes (8-byte reals and
// pointers to zero-terminated bytes) and a result of either kind. A call is
// laid out once from the kinds of its arguments and result; each call then
// only fills in the values.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace px {

// A loaded library, closed with the object.
class NativeLibrary {
 public:
  // Opens a library: a name holding a '/' is opened as that file, a bare
  // name through the system loader's search. Null when it does not load;
  // `error` then holds the loader's reason.
  static std::unique_ptr<NativeLibrary> Open(const std::string& pathOrName, std::string* error);

  ~NativeLibrary();
  NativeLibrary(const NativeLibrary&) = delete;
  NativeLibrary& operator=(const NativeLibrary&) = delete;

  // The address of an exported function (exact name), or null.
  void* Find(const std::string& name) const;

 private:
  explicit NativeLibrary(void* handle) : handle_(handle) {}
  void* handle_;
};

enum class NativeKind : std::uint8_t { Real, String };

// One argument of a call; only the field of the argument's kind is read.
struct NativeArgument {
  double real = 0.0;
  const char* text = nullptr;
};

// What a function gave back; only the field of the result kind is set.
struct NativeResult {
  double real = 0.0;
  const char* text = nullptr;
};

// The layout of a call with given argument and result kinds in the
// platform's C calling convention (which is also what a callee-pops
// declaration means on this platform).
class NativeCall {
 public:
  static constexpr std::size_t kMaxArguments = 16;

  // Invalid for more than kMaxArguments arguments.
  NativeCall(std::span<const NativeKind> arguments, NativeKind result);
  ~NativeCall();
  NativeCall(NativeCall&&) noexcept;
  NativeCall& operator=(NativeCall&&) noexcept;

  bool valid() const { return layout_ != nullptr; }
  std::size_t argumentCount() const;

  // Calls `entry` with exactly argumentCount() arguments. Allocates nothing.
  NativeResult Invoke(void* entry, std::span<const NativeArgument> arguments) const;

 private:
  struct Layout;
  std::unique_ptr<Layout> layout_;
};

}  // namespace px
