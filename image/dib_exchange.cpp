// Handing whole images over as packed DIB blocks: adopting a block and giving out its handle.
//
// Who frees a block is decided by OwnsHandle alone: an image that owns its block frees it
// when cleared or destroyed, one that does not only unlocks it.
#include <limits>

#include "image/dibunit.h"
#include "platform/errors.h"

// A block that cannot be adopted is handled as if adopted and cleared at once: freed when the
// image owns what it is given, left alone otherwise.
void TDIB::AssignHandle(TMemoryHandle handle) {
  // Re-assigning the image's own block re-reads its header; it must not be freed on the way.
  const bool owns = OwnsHandle;
  if (handle == handle_) OwnsHandle = false;
  Clear();
  OwnsHandle = owns;
  if (handle == 0) return;
  const std::size_t size = ::BlockSize(handle);
  if (size > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    TBlockOwner refused(owns ? handle : 0);
    throw EError(kInvalidBitmap);
  }
  AdoptBlock(handle, static_cast<std::int32_t>(size));
}

TMemoryHandle TDIB::GetHandle() const {
  if (handle_ != 0) return handle_;
  return block_ != nullptr ? BlockHandleOf(block_) : 0;
}
