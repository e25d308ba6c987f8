#include "runtime/FileTable.h"

#include "platform/Platform.h"
#include "runtime/ErrorNumber.h"
#include "runtime/SpinLock.h"

#include <atomic>
#include <new>

namespace {

SpinLock tableLock;
FileControlBlock* tableHead = nullptr; // guarded by tableLock

// The blocks of the low numbers, found without the lock or the walk, as every line read
// looks its number up. A block is put in its slot once it is whole and taken out before
// it is freed; only closing its own number frees it, which must not happen while another
// thread uses that number, so the pointer read stays good for as long as it is used.
constexpr FileNumber kSlottedNumbers = 64;
std::atomic<FileControlBlock*> slots[kSlottedNumbers];

std::atomic<FileControlBlock*>* SlotOf(FileNumber number) noexcept {
    return number >= 0 && number < kSlottedNumbers ? &slots[number] : nullptr;
}

} // namespace

void FileControlBlockRelease::operator()(FileControlBlock* block) const noexcept {
    block->~FileControlBlock();
    GlobalFree(block);
}

FileControlBlockPtr NewFileControlBlock(FileNumber number, std::uint32_t bufferSize,
                                        std::uint32_t capacity) noexcept {
    if (capacity < bufferSize) {
        capacity = bufferSize;
    }
    void* memory =
        GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, sizeof(FileControlBlock) + SIZE_T{capacity});
    if (memory == nullptr) {
        SetErrorNumber(Err::OutOfMemory);
        return nullptr;
    }
    FileControlBlockPtr block(new (memory) FileControlBlock{});
    block->number = number;
    block->bufferSize = bufferSize;
    block->capacity = capacity;
    block->position = -1;
    return block;
}

void FileTableLink(FileControlBlockPtr block) noexcept {
    SpinLockGuard guard(tableLock);
    block->next = tableHead;
    tableHead = block.release();
    if (auto* slot = SlotOf(tableHead->number)) {
        slot->store(tableHead, std::memory_order_release);
    }
}

FileControlBlock* FileTableFind(FileNumber number) noexcept {
    if (const auto* slot = SlotOf(number)) {
        return slot->load(std::memory_order_acquire);
    }
    SpinLockGuard guard(tableLock);
    for (FileControlBlock* block = tableHead; block != nullptr; block = block->next) {
        if (block->number == number) {
            return block;
        }
    }
    return nullptr;
}

FileControlBlockPtr FileTableUnlink(FileNumber number) noexcept {
    SpinLockGuard guard(tableLock);
    for (FileControlBlock** link = &tableHead; *link != nullptr; link = &(*link)->next) {
        if ((*link)->number == number) {
            FileControlBlock* block = *link;
            if (auto* slot = SlotOf(number)) {
                slot->store(nullptr, std::memory_order_relaxed);
            }
            *link = block->next;
            block->next = nullptr;
            return FileControlBlockPtr(block);
        }
    }
    return nullptr;
}
