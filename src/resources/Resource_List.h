// ResourceList: the numbered slots of one resource kind. A slot holds an
// item or nothing (a deleted resource); a resource's number is its index and
// never changes, so the numbering in the game data is the numbering at run
// time. Items live behind their own allocation so that references to them
// stay valid while the list grows.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/Support_Stream.h"

namespace px {

inline constexpr const char* kUndefinedName = "<undefined>";

template <class T>
class ResourceList {
 public:
  ResourceList() = default;
  ResourceList(const ResourceList& other) { *this = other; }
  ResourceList(ResourceList&&) noexcept = default;
  ResourceList& operator=(ResourceList&&) noexcept = default;
  ResourceList& operator=(const ResourceList& other) {
    if (this == &other) return *this;
    names_ = other.names_;
    items_.clear();
    items_.reserve(other.items_.size());
    for (const auto& item : other.items_)
      items_.push_back(item ? std::make_unique<T>(*item) : nullptr);
    return *this;
  }

  int count() const { return static_cast<int>(items_.size()); }
  bool exists(int i) const { return get(i) != nullptr; }
  T* get(int i) { return InRange(i) ? items_[i].get() : nullptr; }
  const T* get(int i) const { return InRange(i) ? items_[i].get() : nullptr; }
  const std::string& name(int i) const {
    static const std::string undefined = kUndefinedName;
    return exists(i) ? names_[i] : undefined;
  }
  // The lowest number whose item exists and whose name matches exactly; -1.
  int find(std::string_view name) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
      if (items_[i] && names_[i] == name) return static_cast<int>(i);
    return -1;
  }

  void clear() {
    items_.clear();
    names_.clear();
  }
  // Grows or shrinks to n slots; new slots are empty.
  void resize(int n) {
    const std::size_t size = n > 0 ? static_cast<std::size_t>(n) : 0;
    items_.resize(size);
    names_.resize(size);
  }
  // Puts an item into slot i (which must be in range) and returns it.
  T& set(int i, std::string name, T item) {
    names_[i] = std::move(name);
    items_[i] = std::make_unique<T>(std::move(item));
    return *items_[i];
  }
  void rename(int i, std::string name) {
    if (exists(i)) names_[i] = std::move(name);
  }
  // Empties slot i; its number is not reused.
  void remove(int i) {
    if (!InRange(i)) return;
    items_[i].reset();
    names_[i].clear();
  }
  // Appends a slot and returns its number.
  int add(std::string name, T item) {
    resize(count() + 1);
    set(count() - 1, std::move(name), std::move(item));
    return count() - 1;
  }
  // Appends an empty slot (a deleted resource).
  void addEmpty() { resize(count() + 1); }

  bool operator==(const ResourceList& other) const {
    if (items_.size() != other.items_.size()) return false;
    for (std::size_t i = 0; i < items_.size(); ++i) {
      const T* a = items_[i].get();
      const T* b = other.items_[i].get();
      if ((a == nullptr) != (b == nullptr)) return false;
      if (a && (names_[i] != other.names_[i] || !(*a == *b))) return false;
    }
    return true;
  }

 private:
  bool InRange(int i) const { return i >= 0 && static_cast<std::size_t>(i) < items_.size(); }

  std::vector<std::unique_ptr<T>> items_;
  std::vector<std::string> names_;
};

// Reads a stored count of items that each take at least minBytes of the
// stream: a negative count is 0, and a count that the rest of the stream
// cannot hold is a short read, refused before anything is allocated for it.
inline std::size_t ReadCount(CStream& s, std::size_t minBytes) {
  const std::int32_t n = StreamReadInt(s);
  if (n <= 0) return 0;
  const std::size_t count = static_cast<std::size_t>(n);
  if (minBytes > 0 && count > s.remaining() / minBytes) throw StreamError("Stream read error");
  return count;
}

inline constexpr std::int32_t kResourceChunkVersion = 800;

// The chunk layout shared by the resource kinds: int 800, int count, then
// per slot one compressed block holding bool exists and, when true, the name
// and the kind's record. Loading empties the list first; the first record
// that fails to load fails the chunk, keeping the slots read so far.
// T reads its record with bool LoadFromStream(CStream&) and writes it with
// WriteToStream(CStream&). With kNameInRecord (triggers) the slot holds no
// name of its own: the list takes the record's `name`.
template <class T, bool kNameInRecord = false>
bool ReadResourceChunk(CStream& s, ResourceList<T>& list) {
  list.clear();
  if (StreamReadInt(s) != kResourceChunkVersion) return false;
  const std::size_t count = ReadCount(s, 4);
  list.resize(static_cast<int>(count));
  // The slots' blocks are inflated a batch at a time (in parallel where that
  // pays) and then read in order, so every failure surfaces at its own slot
  // as if the slots were inflated one by one.
  constexpr std::size_t kBatchBlocks = 64;
  constexpr std::size_t kBatchBytes = std::size_t{16} << 20;
  for (std::size_t i = 0; i < count;) {
    CompressedBlocks batch =
        TakeCompressedBlocks(s, std::min(kBatchBlocks, count - i), kBatchBytes);
    std::vector<InflatedBlock> inflated = InflateAll(batch.blocks);
    for (InflatedBlock& block : inflated) {
      CStream& slot = block.get();
      const int index = static_cast<int>(i++);
      if (!StreamReadBool(slot)) continue;
      std::string name = kNameInRecord ? std::string() : StreamReadString(slot);
      T& item = list.set(index, std::move(name), T{});
      if (!item.LoadFromStream(slot)) return false;
      if constexpr (kNameInRecord) list.rename(index, item.name);
    }
    if (batch.shortRead) StreamReadCompressedBlock(s);  // raises the stream error
  }
  return true;
}

template <class T, bool kNameInRecord = false>
void WriteResourceChunk(CStream& s, const ResourceList<T>& list) {
  StreamWriteInt(s, kResourceChunkVersion);
  StreamWriteInt(s, list.count());
  for (int i = 0; i < list.count(); ++i) {
    CStream slot;
    const T* item = list.get(i);
    StreamWriteBool(slot, item != nullptr);
    if (item) {
      if (!kNameInRecord) StreamWriteString(slot, list.name(i));
      item->WriteToStream(slot);
    }
    StreamWriteCompressedBlock(s, slot.bytes());
  }
}

}  // namespace px
