#include "platform/Platform_Library.h"

#include <dlfcn.h>
#include <ffi.h>

#include <array>
#include <cstring>

namespace px {

std::unique_ptr<NativeLibrary> NativeLibrary::Open(const std::string& pathOrName,
                                                   std::string* error) {
  // RTLD_LOCAL keeps one library's symbols from standing in for another's.
  void* handle = ::dlopen(pathOrName.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    if (error) {
      const char* why = ::dlerror();
      *error = why ? why : "cannot be loaded";
    }
    return nullptr;
  }
  return std::unique_ptr<NativeLibrary>(new NativeLibrary(handle));
}

NativeLibrary::~NativeLibrary() {
  ::dlclose(handle_);
}

void* NativeLibrary::Find(const std::string& name) const {
  return ::dlsym(handle_, name.c_str());
}

struct NativeCall::Layout {
  ffi_cif cif{};
  std::array<ffi_type*, kMaxArguments> types{};
  std::array<NativeKind, kMaxArguments> kinds{};
  std::size_t count = 0;
  NativeKind result = NativeKind::Real;
};

namespace {

ffi_type* TypeOf(NativeKind kind) {
  return kind == NativeKind::String ? &ffi_type_pointer : &ffi_type_double;
}

}  // namespace

NativeCall::NativeCall(std::span<const NativeKind> arguments, NativeKind result) {
  if (arguments.size() > kMaxArguments) return;
  auto layout = std::make_unique<Layout>();
  layout->count = arguments.size();
  layout->result = result;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    layout->kinds[i] = arguments[i];
    layout->types[i] = TypeOf(arguments[i]);
  }
  if (ffi_prep_cif(&layout->cif, FFI_DEFAULT_ABI, static_cast<unsigned>(layout->count),
                   TypeOf(result), layout->types.data()) != FFI_OK) {
    return;
  }
  layout_ = std::move(layout);
}

NativeCall::~NativeCall() = default;
NativeCall::NativeCall(NativeCall&&) noexcept = default;
NativeCall& NativeCall::operator=(NativeCall&&) noexcept = default;

std::size_t NativeCall::argumentCount() const {
  return layout_ ? layout_->count : 0;
}

NativeResult NativeCall::Invoke(void* entry, std::span<const NativeArgument> arguments) const {
  NativeResult out;
  if (!layout_ || !entry || arguments.size() != layout_->count) return out;
  // libffi reads each argument through a pointer to where its value lies.
  std::array<void*, kMaxArguments> values{};
  for (std::size_t i = 0; i < layout_->count; ++i) {
    const NativeArgument& a = arguments[i];
    if (layout_->kinds[i] == NativeKind::String)
      values[i] = const_cast<const char**>(&a.text);
    else
      values[i] = const_cast<double*>(&a.real);
  }
  const auto function = reinterpret_cast<void (*)()>(entry);
  if (layout_->result == NativeKind::String) {
    ffi_arg pointer = 0;
    ffi_call(&layout_->cif, function, &pointer, values.data());
    out.text = reinterpret_cast<const char*>(pointer);
  } else {
    ffi_call(&layout_->cif, function, &out.real, values.data());
  }
  return out;
}

}  // namespace px
