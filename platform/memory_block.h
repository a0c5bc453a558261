// Relocatable memory blocks: the one container in which whole images live and change hands.
//
// A block is known by a handle, a plain value that can be passed from one owner, and one
// thread, to another without copying the bytes. While a block is unlocked its bytes may move
// (resizing); locking pins it and yields its address. Locks are counted per block. The
// bookkeeping is thread-safe; the bytes themselves belong to whoever holds the handle.
#pragma once

#include <cstddef>
#include <cstdint>

using TMemoryHandle = std::uint64_t;  // 0 is never a valid handle

// Allocates a movable block of size bytes, zero-filled. Throws EOSError when memory runs out.
TMemoryHandle BlockAlloc(std::size_t size);
// Pins the block and returns its address; every lock needs one BlockUnlock.
void* BlockLock(TMemoryHandle handle);
// Releases one lock; the block may move again once no lock is left.
void BlockUnlock(TMemoryHandle handle);
// Resizes an unlocked block, keeping its content and zero-filling what grows.
void BlockReAlloc(TMemoryHandle handle, std::size_t size);
// The size of the block in bytes.
std::size_t BlockSize(TMemoryHandle handle);
// The number of outstanding locks.
int BlockLockCount(TMemoryHandle handle);
// Frees the block, whatever locks are outstanding; the handle is dead afterwards.
void BlockFree(TMemoryHandle handle);
// The handle of the block whose locked address is address, or 0 when there is none.
TMemoryHandle BlockHandleOf(const void* address);
// Whether handle names a live block.
bool BlockIsValid(TMemoryHandle handle);

// Holds one lock on a block for the length of a scope.
class TBlockLock {
 public:
  explicit TBlockLock(TMemoryHandle handle)
      : handle_(handle), address_(static_cast<std::uint8_t*>(BlockLock(handle))) {}
  ~TBlockLock() { BlockUnlock(handle_); }
  TBlockLock(const TBlockLock&) = delete;
  TBlockLock& operator=(const TBlockLock&) = delete;
  std::uint8_t* Address() const { return address_; }

 private:
  TMemoryHandle handle_;
  std::uint8_t* address_;
};

// Owns a block for the length of a scope: frees it unless Release() handed it on.
class TBlockOwner {
 public:
  explicit TBlockOwner(TMemoryHandle handle = 0) : handle_(handle) {}
  ~TBlockOwner();
  TBlockOwner(const TBlockOwner&) = delete;
  TBlockOwner& operator=(const TBlockOwner&) = delete;
  TMemoryHandle Get() const { return handle_; }
  TMemoryHandle Release();

 private:
  TMemoryHandle handle_;
};
