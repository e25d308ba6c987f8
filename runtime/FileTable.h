// The table of open numbered files: one control block per open FileNumber, in a list
// with the most recently opened first, guarded by a spin lock; the low numbers are also
// found without it. The block is one memory block: the header below followed by the
// file's read buffer.
#pragma once

#include "runtime/TextFile.h"

#include <cstdint>
#include <memory>

struct FileControlBlock {
    FileControlBlock* next;
    FileNumber number;
    void* handle;              // the system's file handle
    bool isDisk;               // a disk file, read through the buffer; others byte by byte
    bool rereads;              // others may write: every byte re-reads the buffer at its offset
    bool ownsHandle;           // false for a handle the caller opened: FileClose leaves it open
    bool readsAhead;           // opened here, nobody else writes: large reads, no re-seek
    std::int64_t bufferOffset; // file offset of the buffer's first byte
    std::int64_t position;     // where the handle stands, or -1 when not known
    std::uint32_t index;       // next unread byte of the buffer
    std::uint32_t valid;       // bytes of the buffer that hold file data
    std::uint32_t bufferSize;  // the size asked for at open
    std::uint32_t capacity;    // bytes of the buffer, at least bufferSize

    char* Buffer() noexcept { return reinterpret_cast<char*>(this + 1); }
};

struct FileControlBlockRelease {
    void operator()(FileControlBlock* block) const noexcept;
};
using FileControlBlockPtr = std::unique_ptr<FileControlBlock, FileControlBlockRelease>;

// A zero-filled block with a buffer of capacity bytes (at least bufferSize); null with
// error 7 when memory cannot be had.
FileControlBlockPtr NewFileControlBlock(FileNumber number, std::uint32_t bufferSize,
                                        std::uint32_t capacity) noexcept;

// Puts the block at the head of the table.
void FileTableLink(FileControlBlockPtr block) noexcept;
// The open file with this number, or null. Takes no lock for the low numbers, so that a
// read of each line costs no lock.
FileControlBlock* FileTableFind(FileNumber number) noexcept;
// Takes the block of this number out of the table; null when the number is not open.
FileControlBlockPtr FileTableUnlink(FileNumber number) noexcept;
