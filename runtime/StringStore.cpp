#include "runtime/StringStore.h"

#include "platform/Platform.h"
#include "runtime/SpinLock.h"

#include <cstddef>
#include <cstring>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define STORE_POISON(address, size) ASAN_POISON_MEMORY_REGION(address, size)
#define STORE_UNPOISON(address, size) ASAN_UNPOISON_MEMORY_REGION(address, size)
#else
#define STORE_POISON(address, size) ((void)(address), (void)(size))
#define STORE_UNPOISON(address, size) ((void)(address), (void)(size))
#endif

namespace {

constexpr std::size_t kChunkSize = 65536; // also the chunks' alignment
constexpr std::size_t kGrain = 8;
constexpr std::size_t kLargestSlot = 512;
constexpr std::size_t kClasses = kLargestSlot / kGrain;
constexpr std::size_t kCountBytes = sizeof(std::uint32_t);

struct Chunk;

// The chunks of one size class that have a free slot, as a doubly linked list.
struct SizeClass {
    Chunk* withRoom = nullptr;
};

struct Chunk {
    Chunk* previous; // in its class's list of chunks with room, while it is in it
    Chunk* next;
    char* freeSlots;     // slots given back, linked through their first bytes
    std::uint32_t used;  // slots handed out
    std::uint32_t fresh; // offset of the first slot never handed out
    std::uint32_t slotSize;
    bool listed;
};

constexpr std::size_t kFirstSlot = (sizeof(Chunk) + kGrain - 1) / kGrain * kGrain;

SpinLock storeLock;
SizeClass classes[kClasses]; // guarded by storeLock

std::size_t SlotSizeFor(std::uint32_t length) noexcept {
    return (kCountBytes + std::size_t{length} + 1 + kGrain - 1) / kGrain * kGrain;
}

Chunk* ChunkOf(char* slot) noexcept {
    return reinterpret_cast<Chunk*>(reinterpret_cast<std::uintptr_t>(slot) &
                                    ~std::uintptr_t{kChunkSize - 1});
}

void List(SizeClass& sizeClass, Chunk& chunk) noexcept {
    chunk.previous = nullptr;
    chunk.next = sizeClass.withRoom;
    if (chunk.next != nullptr) {
        chunk.next->previous = &chunk;
    }
    sizeClass.withRoom = &chunk;
    chunk.listed = true;
}

void Unlist(SizeClass& sizeClass, Chunk& chunk) noexcept {
    if (chunk.previous != nullptr) {
        chunk.previous->next = chunk.next;
    } else {
        sizeClass.withRoom = chunk.next;
    }
    if (chunk.next != nullptr) {
        chunk.next->previous = chunk.previous;
    }
    chunk.listed = false;
}

bool HasRoom(const Chunk& chunk) noexcept {
    return chunk.freeSlots != nullptr || chunk.fresh + chunk.slotSize <= kChunkSize;
}

// A slot of the class's size, or null when no chunk can be had. Under storeLock.
char* TakeSlot(SizeClass& sizeClass, std::size_t slotSize) noexcept {
    Chunk* chunk = sizeClass.withRoom;
    if (chunk == nullptr) {
        void* memory = VirtualAlloc(nullptr, kChunkSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (memory == nullptr) {
            return nullptr;
        }
        chunk = new (memory) Chunk{nullptr,
                                   nullptr,
                                   nullptr,
                                   0,
                                   static_cast<std::uint32_t>(kFirstSlot),
                                   static_cast<std::uint32_t>(slotSize),
                                   false};
        STORE_POISON(reinterpret_cast<char*>(chunk) + kFirstSlot, kChunkSize - kFirstSlot);
        List(sizeClass, *chunk);
    }
    char* slot = chunk->freeSlots;
    if (slot != nullptr) {
        STORE_UNPOISON(slot, sizeof(char*));
        std::memcpy(&chunk->freeSlots, slot, sizeof(char*));
    } else {
        slot = reinterpret_cast<char*>(chunk) + chunk->fresh;
        chunk->fresh += chunk->slotSize;
    }
    ++chunk->used;
    if (!HasRoom(*chunk)) {
        Unlist(sizeClass, *chunk);
    }
    return slot;
}

// Under storeLock.
void GiveSlot(char* slot) noexcept {
    Chunk& chunk = *ChunkOf(slot);
    SizeClass& sizeClass = classes[chunk.slotSize / kGrain - 1];
    --chunk.used;
    // An empty chunk goes back, unless it is the only one of its class with room, so that
    // a string made and dropped over and over does not fetch a chunk each time.
    if (chunk.used == 0 && (chunk.listed ? sizeClass.withRoom != &chunk || chunk.next != nullptr
                                         : sizeClass.withRoom != nullptr)) {
        if (chunk.listed) {
            Unlist(sizeClass, chunk);
        }
        STORE_UNPOISON(&chunk, kChunkSize);
        VirtualFree(&chunk, 0, MEM_RELEASE);
        return;
    }
    STORE_UNPOISON(slot, sizeof(char*));
    std::memcpy(slot, &chunk.freeSlots, sizeof(char*));
    STORE_POISON(slot + sizeof(char*), chunk.slotSize - sizeof(char*));
    chunk.freeSlots = slot;
    if (!chunk.listed) {
        List(sizeClass, chunk);
    }
}

} // namespace

char* StringStoreAllocate(std::uint32_t length) noexcept {
    const std::size_t slotSize = SlotSizeFor(length);
    if (slotSize > kLargestSlot) {
        return reinterpret_cast<char*>(SysAllocStringByteLen(nullptr, length));
    }
    if (PlatformRefusesAllocation()) {
        return nullptr;
    }
    char* slot = nullptr;
    {
        SpinLockGuard guard(storeLock);
        slot = TakeSlot(classes[slotSize / kGrain - 1], slotSize);
    }
    if (slot == nullptr) {
        return nullptr;
    }
    STORE_UNPOISON(slot, kCountBytes + std::size_t{length} + 1);
    std::memcpy(slot, &length, kCountBytes);
    char* bytes = slot + kCountBytes;
    bytes[length] = '\0';
    return bytes;
}

void StringStoreFree(char* bytes) noexcept {
    if (bytes == nullptr) {
        return;
    }
    std::uint32_t length;
    std::memcpy(&length, bytes - kCountBytes, kCountBytes);
    if (SlotSizeFor(length) > kLargestSlot) {
        SysFreeString(reinterpret_cast<BSTR>(bytes));
        return;
    }
    char* slot = bytes - kCountBytes;
    STORE_POISON(slot, SlotSizeFor(length));
    SpinLockGuard guard(storeLock);
    GiveSlot(slot);
}
