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
// Chunks come from areas of 64, one allocation of the system each. Under Wine every such
// allocation can become a memory mapping of its own, and a process may hold no more than
// about 65,000 of them: with a chunk apiece, some 4 GB of short lines used them all up, and
// from then on the process could map nothing more, not even what ending a thread needs.
constexpr std::size_t kChunksPerArea = 64;
constexpr std::size_t kAreaSize = kChunkSize * kChunksPerArea;
constexpr std::size_t kGrain = 8;
constexpr std::size_t kLargestSlot = 512;
constexpr std::size_t kClasses = kLargestSlot / kGrain;
constexpr std::size_t kCountBytes = sizeof(std::uint32_t);

struct Chunk;
struct Area;

// The chunks of one size class that have a free slot, as a doubly linked list.
struct SizeClass {
    Chunk* withRoom = nullptr;
};

struct Chunk {
    Chunk* previous; // in its class's list of chunks with room, while it is in it
    Chunk* next;
    char* freeSlots;     // slots given back, linked through their first bytes
    Area* area;          // the area the chunk belongs to
    std::uint32_t used;  // slots handed out
    std::uint32_t fresh; // offset of the first slot never handed out
    std::uint32_t slotSize;
    bool listed;
};

// Kept in its first chunk, after that chunk's header; every chunk leaves room for it.
struct Area {
    Area* previous; // in the list of areas with a free chunk, while it is in it
    Area* next;
    Chunk* freeChunks;   // chunks given back, linked through their first bytes
    std::uint32_t used;  // chunks handed out
    std::uint32_t fresh; // the first chunk never handed out
    bool listed;
};

constexpr std::size_t kFirstSlot = (sizeof(Chunk) + sizeof(Area) + kGrain - 1) / kGrain * kGrain;

SpinLock storeLock;
SizeClass classes[kClasses];   // guarded by storeLock
Area* areasWithRoom = nullptr; // guarded by storeLock

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

void ListArea(Area& area) noexcept {
    area.previous = nullptr;
    area.next = areasWithRoom;
    if (area.next != nullptr) {
        area.next->previous = &area;
    }
    areasWithRoom = &area;
    area.listed = true;
}

void UnlistArea(Area& area) noexcept {
    if (area.previous != nullptr) {
        area.previous->next = area.next;
    } else {
        areasWithRoom = area.next;
    }
    if (area.next != nullptr) {
        area.next->previous = area.previous;
    }
    area.listed = false;
}

bool AreaHasRoom(const Area& area) noexcept {
    return area.freeChunks != nullptr || area.fresh < kChunksPerArea;
}

// An unused chunk, from an area with room or a new one; null when no area can be had.
// Under storeLock.
void* TakeChunk() noexcept {
    Area* area = areasWithRoom;
    if (area == nullptr) {
        void* memory = VirtualAlloc(nullptr, kAreaSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (memory == nullptr) {
            return nullptr;
        }
        area = new (static_cast<char*>(memory) + sizeof(Chunk))
            Area{nullptr, nullptr, nullptr, 0, 0, false};
        ListArea(*area);
    }
    void* chunk = area->freeChunks;
    if (chunk != nullptr) {
        std::memcpy(&area->freeChunks, chunk, sizeof(Chunk*));
    } else {
        chunk = reinterpret_cast<char*>(area) - sizeof(Chunk) + area->fresh * kChunkSize;
        ++area->fresh;
    }
    ++area->used;
    if (!AreaHasRoom(*area)) {
        UnlistArea(*area);
    }
    return new (chunk)
        Chunk{nullptr, nullptr, nullptr, area, 0, static_cast<std::uint32_t>(kFirstSlot), 0, false};
}

// Takes back a chunk whose slots are all free. An area whose chunks are all back goes to
// the system, unless it is the only one with room, so that the next chunk need not fetch
// a new one. Under storeLock.
void GiveChunk(Chunk& chunk) noexcept {
    Area& area = *chunk.area;
    --area.used;
    if (area.used == 0 &&
        (area.listed ? areasWithRoom != &area || area.next != nullptr : areasWithRoom != nullptr)) {
        if (area.listed) {
            UnlistArea(area);
        }
        char* memory = reinterpret_cast<char*>(&area) - sizeof(Chunk);
        STORE_UNPOISON(memory, kAreaSize);
        VirtualFree(memory, 0, MEM_RELEASE);
        return;
    }
    STORE_POISON(reinterpret_cast<char*>(&chunk) + kFirstSlot, kChunkSize - kFirstSlot);
    auto* link = reinterpret_cast<char*>(&chunk);
    std::memcpy(link, &area.freeChunks, sizeof(Chunk*));
    area.freeChunks = reinterpret_cast<Chunk*>(link);
    if (!area.listed) {
        ListArea(area);
    }
}

// A slot of the class's size, or null when no chunk can be had. Under storeLock.
char* TakeSlot(SizeClass& sizeClass, std::size_t slotSize) noexcept {
    Chunk* chunk = sizeClass.withRoom;
    if (chunk == nullptr) {
        void* memory = TakeChunk();
        if (memory == nullptr) {
            return nullptr;
        }
        chunk = static_cast<Chunk*>(memory);
        chunk->slotSize = static_cast<std::uint32_t>(slotSize);
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
    // An empty chunk goes back to its area, unless it is the only one of its class with
    // room, so that a string made and dropped over and over does not fetch a chunk each time.
    if (chunk.used == 0 && (chunk.listed ? sizeClass.withRoom != &chunk || chunk.next != nullptr
                                         : sizeClass.withRoom != nullptr)) {
        if (chunk.listed) {
            Unlist(sizeClass, chunk);
        }
        GiveChunk(chunk);
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
