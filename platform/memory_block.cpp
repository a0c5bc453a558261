// Relocatable memory blocks over the C heap, with a thread-safe table of handles.
#include "platform/memory_block.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "platform/errors.h"

namespace {

struct TBlockEntry {
  unsigned char* data;
  std::size_t size;
  int locks;
};

class TBlockTable {
 public:
  std::mutex mutex;
  std::unordered_map<TMemoryHandle, TBlockEntry> blocks;
  std::unordered_map<const void*, TMemoryHandle> byAddress;
  TMemoryHandle nextHandle = 1;  // handles are never reused

  TBlockEntry& Find(TMemoryHandle handle) {
    auto found = blocks.find(handle);
    if (found == blocks.end()) throw EOSError(EINVAL, "Invalid memory block handle");
    return found->second;
  }
};

TBlockTable& Table() {
  static TBlockTable table;
  return table;
}

// malloc(0) may give no address; a block always has one.
std::size_t StorageSize(std::size_t size) {
  return size == 0 ? 1 : size;
}

}  // namespace

TMemoryHandle BlockAlloc(std::size_t size) {
  auto* data = static_cast<unsigned char*>(std::calloc(StorageSize(size), 1));
  if (data == nullptr) throw EOSError(ENOMEM);
  TBlockTable& table = Table();
  std::lock_guard guard(table.mutex);
  TMemoryHandle handle = table.nextHandle++;
  table.blocks.emplace(handle, TBlockEntry{data, size, 0});
  table.byAddress.emplace(data, handle);
  return handle;
}

void* BlockLock(TMemoryHandle handle) {
  TBlockTable& table = Table();
  std::lock_guard guard(table.mutex);
  TBlockEntry& entry = table.Find(handle);
  ++entry.locks;
  return entry.data;
}

void BlockUnlock(TMemoryHandle handle) {
  TBlockTable& table = Table();
  std::lock_guard guard(table.mutex);
  TBlockEntry& entry = table.Find(handle);
  if (entry.locks > 0) --entry.locks;
}

void BlockReAlloc(TMemoryHandle handle, std::size_t size) {
  TBlockTable& table = Table();
  std::lock_guard guard(table.mutex);
  TBlockEntry& entry = table.Find(handle);
  if (entry.locks > 0) throw EOSError(EBUSY, "Memory block is locked");
  auto* data = static_cast<unsigned char*>(std::realloc(entry.data, StorageSize(size)));
  if (data == nullptr) throw EOSError(ENOMEM);
  if (size > entry.size) std::memset(data + entry.size, 0, size - entry.size);
  table.byAddress.erase(entry.data);
  table.byAddress.emplace(data, handle);
  entry.data = data;
  entry.size = size;
}

std::size_t BlockSize(TMemoryHandle handle) {
  TBlockTable& table = Table();
  std::lock_guard guard(table.mutex);
  return table.Find(handle).size;
}

int BlockLockCount(TMemoryHandle handle) {
  TBlockTable& table = Table();
  std::lock_guard guard(table.mutex);
  return table.Find(handle).locks;
}

void BlockFree(TMemoryHandle handle) {
  TBlockTable& table = Table();
  std::lock_guard guard(table.mutex);
  TBlockEntry& entry = table.Find(handle);
  table.byAddress.erase(entry.data);
  std::free(entry.data);
  table.blocks.erase(handle);
}

TMemoryHandle BlockHandleOf(const void* address) {
  TBlockTable& table = Table();
  std::lock_guard guard(table.mutex);
  auto found = table.byAddress.find(address);
  if (found == table.byAddress.end()) return 0;
  return table.blocks.at(found->second).locks > 0 ? found->second : 0;
}

bool BlockIsValid(TMemoryHandle handle) {
  TBlockTable& table = Table();
  std::lock_guard guard(table.mutex);
  return table.blocks.count(handle) != 0;
}

TBlockOwner::~TBlockOwner() {
  if (handle_ != 0) BlockFree(handle_);
}

TMemoryHandle TBlockOwner::Release() {
  TMemoryHandle handle = handle_;
  handle_ = 0;
  return handle;
}
