#include "runtime/FileTable.h"

#include "platform/Platform.h"
#include "runtime/ErrorNumber.h"
#include "runtime/SpinLock.h"

#include <new>

namespace {

SpinLock tableLock;
FileControlBlock* tableHead = nullptr;

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
}

FileControlBlock* FileTableFind(FileNumber number) noexcept {
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
            *link = block->next;
            block->next = nullptr;
            return FileControlBlockPtr(block);
        }
    }
    return nullptr;
}
