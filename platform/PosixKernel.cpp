// POSIX implementation of the kernel subset declared in PosixKernel.h.
#include "PosixKernel.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <sys/mman.h>
#include <mutex>
#include <pthread.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

thread_local DWORD lastError = 0;
thread_local UINT errorMode = 0;

DWORD MapErrno(int error) {
    switch (error) {
    case 0:
        return ERROR_SUCCESS;
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
        return ERROR_ACCESS_DENIED;
    case EROFS:
        return ERROR_WRITE_PROTECT;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case ENOSPC:
        return ERROR_DISK_FULL;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    case EIO:
        return ERROR_GEN_FAILURE;
    default:
        return ERROR_GEN_FAILURE;
    }
}

int FdOf(HANDLE handle) {
    return static_cast<int>(reinterpret_cast<std::intptr_t>(handle));
}

HANDLE HandleOf(int fd) {
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(fd));
}

// Windows refuses an open whose access conflicts with the share mode of a handle that is
// already open on the same file, or whose share mode excludes that handle's access.
struct OpenFileEntry {
    int fd;
    dev_t device;
    ino_t inode;
    DWORD access;
    DWORD shareMode;
};
std::mutex openFilesMutex;
std::vector<OpenFileEntry> openFiles;

bool SharingConflicts(const OpenFileEntry& open, DWORD access, DWORD shareMode) {
    const bool wantsRead = (access & GENERIC_READ) != 0;
    const bool wantsWrite = (access & GENERIC_WRITE) != 0;
    const bool hasRead = (open.access & GENERIC_READ) != 0;
    const bool hasWrite = (open.access & GENERIC_WRITE) != 0;
    if (wantsRead && !(open.shareMode & FILE_SHARE_READ)) {
        return true;
    }
    if (wantsWrite && !(open.shareMode & FILE_SHARE_WRITE)) {
        return true;
    }
    if (hasRead && !(shareMode & FILE_SHARE_READ)) {
        return true;
    }
    if (hasWrite && !(shareMode & FILE_SHARE_WRITE)) {
        return true;
    }
    return false;
}

// Code page 437 to code page 1252, bytes 0x80 to 0xFF, with the platform's best-fit
// replacements for the characters that code page 1252 lacks (box drawing and the like).
constexpr unsigned char oemToAnsi[128] = {
    199, 252, 233, 226, 228, 224, 229, 231, 234, 235, 232, 239, 238, 236, 196, 197, 201, 230, 198,
    244, 246, 242, 251, 249, 255, 214, 220, 162, 163, 165, 80,  131, 225, 237, 243, 250, 241, 209,
    170, 186, 191, 172, 172, 189, 188, 161, 171, 187, 166, 166, 166, 166, 166, 166, 166, 43,  43,
    166, 166, 43,  43,  43,  43,  43,  43,  45,  45,  43,  45,  43,  166, 166, 43,  43,  45,  45,
    166, 45,  43,  45,  45,  45,  45,  43,  43,  43,  43,  43,  43,  43,  43,  166, 95,  166, 166,
    175, 97,  223, 71,  112, 83,  115, 181, 116, 70,  84,  79,  100, 56,  102, 101, 110, 61,  177,
    61,  61,  40,  41,  247, 152, 176, 183, 183, 118, 110, 178, 166, 160,
};

std::atomic<long> allocationsLeft{-1};

// The blocks VirtualAlloc handed out: start and length. Made on first use and never
// destroyed, as strings made and dropped by other statics' constructors and destructors
// use it.
constexpr SIZE_T kAllocationGranularity = 65536;
struct VirtualBlocks {
    std::mutex lock;
    std::map<std::uintptr_t, SIZE_T> lengths;
    SIZE_T bytes = 0;
};
VirtualBlocks& Virtual() {
    static auto* const blocks = new VirtualBlocks;
    return *blocks;
}

// True when the allocation budget of the test support says this allocation fails.
bool AllocationRefused() {
    long left = allocationsLeft.load();
    while (left >= 0) {
        if (left == 0) {
            return true;
        }
        if (allocationsLeft.compare_exchange_weak(left, left - 1)) {
            return false;
        }
    }
    return false;
}

// Windows tells a missing folder (path not found) from a missing file in a folder.
bool ParentFolderExists(const char* name) {
    const char* slash = std::strrchr(name, '/');
    if (slash == nullptr || slash == name) {
        return true;
    }
    const std::string parent(name, slash);
    struct stat info {};
    return stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

struct GlobalHeader {
    SIZE_T size;
    SIZE_T padding;
};

} // namespace

HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES,
                   DWORD creation, DWORD, HANDLE) {
    if (name == nullptr || *name == '\0') {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    int flags = O_CLOEXEC;
    const bool read = (access & GENERIC_READ) != 0;
    const bool write = (access & GENERIC_WRITE) != 0;
    flags |= (read && write) ? O_RDWR : write ? O_WRONLY : O_RDONLY;
    switch (creation) {
    case CREATE_NEW:
        flags |= O_CREAT | O_EXCL;
        break;
    case CREATE_ALWAYS:
        flags |= O_CREAT | O_TRUNC;
        break;
    case OPEN_EXISTING:
        break;
    case OPEN_ALWAYS:
        flags |= O_CREAT;
        break;
    case TRUNCATE_EXISTING:
        flags |= O_TRUNC;
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    // Opening a folder as a file is refused on Windows with "access denied".
    struct stat info {};
    if (stat(name, &info) == 0 && S_ISDIR(info.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    std::lock_guard<std::mutex> guard(openFilesMutex);
    if (stat(name, &info) == 0) {
        for (const OpenFileEntry& open : openFiles) {
            if (open.device == info.st_dev && open.inode == info.st_ino &&
                SharingConflicts(open, access, shareMode)) {
                SetLastError(ERROR_SHARING_VIOLATION);
                return INVALID_HANDLE_VALUE;
            }
        }
    }
    const bool existed = stat(name, &info) == 0;
    const int fd = open(name, flags, 0644);
    if (fd < 0) {
        SetLastError(errno == ENOENT && !ParentFolderExists(name) ? ERROR_PATH_NOT_FOUND
                                                                  : MapErrno(errno));
        return INVALID_HANDLE_VALUE;
    }
    if (fstat(fd, &info) != 0) {
        const DWORD code = MapErrno(errno);
        close(fd);
        SetLastError(code);
        return INVALID_HANDLE_VALUE;
    }
    openFiles.push_back({fd, info.st_dev, info.st_ino, access, shareMode});
    // Like Windows, an open that finds the file already there succeeds but leaves a code.
    SetLastError((existed && (creation == OPEN_ALWAYS || creation == CREATE_ALWAYS)) ? 183 : 0);
    return HandleOf(fd);
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, void*) {
    if (read != nullptr) {
        *read = 0;
    }
    DWORD total = 0;
    auto* bytes = static_cast<char*>(buffer);
    while (total < toRead) {
        const ssize_t got = ::read(FdOf(file), bytes + total, toRead - total);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            SetLastError(MapErrno(errno));
            if (read != nullptr) {
                *read = total;
            }
            return FALSE;
        }
        if (got == 0) {
            break;
        }
        total += static_cast<DWORD>(got);
    }
    if (read != nullptr) {
        *read = total;
    }
    return TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD method) {
    std::int64_t offset = static_cast<std::uint32_t>(distance);
    if (distanceHigh != nullptr) {
        offset |= static_cast<std::int64_t>(*distanceHigh) << 32;
    } else {
        offset = distance;
    }
    const int whence = method == FILE_BEGIN     ? SEEK_SET
                       : method == FILE_CURRENT ? SEEK_CUR
                                                : SEEK_END;
    const off_t result = lseek(FdOf(file), static_cast<off_t>(offset), whence);
    if (result < 0) {
        SetLastError(errno == EINVAL ? 131 /* ERROR_NEGATIVE_SEEK */ : MapErrno(errno));
        return INVALID_SET_FILE_POINTER;
    }
    if (distanceHigh != nullptr) {
        *distanceHigh = static_cast<LONG>(static_cast<std::int64_t>(result) >> 32);
    }
    SetLastError(0);
    return static_cast<DWORD>(result & 0xFFFFFFFF);
}

BOOL SetEndOfFile(HANDLE file) {
    const off_t position = lseek(FdOf(file), 0, SEEK_CUR);
    if (position < 0 || ftruncate(FdOf(file), position) != 0) {
        SetLastError(MapErrno(errno));
        return FALSE;
    }
    return TRUE;
}

DWORD GetFileType(HANDLE file) {
    struct stat info {};
    if (fstat(FdOf(file), &info) != 0) {
        SetLastError(MapErrno(errno));
        return FILE_TYPE_UNKNOWN;
    }
    if (S_ISREG(info.st_mode)) {
        return FILE_TYPE_DISK;
    }
    if (S_ISCHR(info.st_mode)) {
        return FILE_TYPE_CHAR;
    }
    if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) {
        return FILE_TYPE_PIPE;
    }
    return FILE_TYPE_UNKNOWN;
}

BOOL CloseHandle(HANDLE object) {
    const int fd = FdOf(object);
    {
        std::lock_guard<std::mutex> guard(openFilesMutex);
        for (auto it = openFiles.begin(); it != openFiles.end(); ++it) {
            if (it->fd == fd) {
                openFiles.erase(it);
                break;
            }
        }
    }
    if (close(fd) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

DWORD GetLastError() {
    return lastError;
}

void SetLastError(DWORD code) {
    lastError = code;
}

UINT SetErrorMode(UINT mode) {
    const UINT previous = errorMode;
    errorMode = mode;
    return previous;
}

void Sleep(DWORD milliseconds) {
    timespec delay{static_cast<time_t>(milliseconds / 1000),
                   static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&delay, &delay) != 0 && errno == EINTR) {
    }
}

void GetLocalTime(LPSYSTEMTIME time) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    time->wYear = static_cast<WORD>(local.tm_year + 1900);
    time->wMonth = static_cast<WORD>(local.tm_mon + 1);
    time->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    time->wDay = static_cast<WORD>(local.tm_mday);
    time->wHour = static_cast<WORD>(local.tm_hour);
    time->wMinute = static_cast<WORD>(local.tm_min);
    time->wSecond = static_cast<WORD>(local.tm_sec);
    time->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
}

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
    std::vector<char> path(4096);
    if (getcwd(path.data(), path.size()) == nullptr) {
        SetLastError(MapErrno(errno));
        return 0;
    }
    const DWORD length = static_cast<DWORD>(std::strlen(path.data()));
    if (buffer == nullptr || size <= length) {
        return length + 1;
    }
    std::memcpy(buffer, path.data(), length + 1);
    return length;
}

BOOL OemToCharA(LPCSTR source, LPSTR destination) {
    if (source == nullptr || destination == nullptr) {
        return FALSE;
    }
    for (;; ++source, ++destination) {
        const auto byte = static_cast<unsigned char>(*source);
        *destination = static_cast<char>(byte < 0x80 ? byte : oemToAnsi[byte - 0x80]);
        if (byte == 0) {
            break;
        }
    }
    return TRUE;
}

BOOL OemToCharBuffA(LPCSTR source, LPSTR destination, DWORD length) {
    if (source == nullptr || destination == nullptr) {
        return FALSE;
    }
    for (DWORD i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(source[i]);
        destination[i] = static_cast<char>(byte < 0x80 ? byte : oemToAnsi[byte - 0x80]);
    }
    return TRUE;
}

BOOL GetCPInfo(UINT codePage, LPCPINFO info) {
    if (codePage != CP_OEMCP || info == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *info = CPINFO{1, {'?', 0}, {}};
    return TRUE;
}

BSTR SysAllocStringByteLen(LPCSTR bytes, UINT length) {
    // A 32-bit count, the bytes, and a two-byte terminator, like the platform allocator,
    // which refuses 2 GiB and more.
    if (length >= 0x80000000u || AllocationRefused()) {
        return nullptr;
    }
    auto* block = static_cast<char*>(std::malloc(sizeof(std::uint32_t) + length + 2));
    if (block == nullptr) {
        return nullptr;
    }
    const std::uint32_t count = length;
    std::memcpy(block, &count, sizeof count);
    char* text = block + sizeof count;
    if (bytes != nullptr) {
        std::memcpy(text, bytes, length);
    }
    text[length] = '\0';
    text[length + 1] = '\0';
    return reinterpret_cast<BSTR>(text);
}

void SysFreeString(BSTR text) {
    if (text != nullptr) {
        std::free(reinterpret_cast<char*>(text) - sizeof(std::uint32_t));
    }
}

UINT SysStringByteLen(BSTR text) {
    if (text == nullptr) {
        return 0;
    }
    std::uint32_t count = 0;
    std::memcpy(&count, reinterpret_cast<char*>(text) - sizeof count, sizeof count);
    return count;
}

bool PlatformRefusesAllocation() noexcept {
    return AllocationRefused();
}

LPVOID VirtualAlloc(LPVOID address, SIZE_T size, DWORD allocationType, DWORD) {
    if (address != nullptr || (allocationType & MEM_COMMIT) == 0 || size == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // Mapped with room to spare, then cut to the aligned part, so each block costs its size.
    const SIZE_T length =
        (size + kAllocationGranularity - 1) / kAllocationGranularity * kAllocationGranularity;
    void* mapped = mmap(nullptr, length + kAllocationGranularity, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned =
        (start + kAllocationGranularity - 1) / kAllocationGranularity * kAllocationGranularity;
    if (aligned > start) {
        munmap(mapped, aligned - start);
    }
    if (const std::uintptr_t end = start + length + kAllocationGranularity;
        end > aligned + length) {
        munmap(reinterpret_cast<void*>(aligned + length), end - aligned - length);
    }
    {
        VirtualBlocks& blocks = Virtual();
        const std::lock_guard<std::mutex> guard(blocks.lock);
        blocks.lengths[aligned] = length;
        blocks.bytes += length;
    }
    return reinterpret_cast<void*>(aligned);
}

BOOL VirtualFree(LPVOID address, SIZE_T size, DWORD freeType) {
    SIZE_T length = 0;
    {
        VirtualBlocks& blocks = Virtual();
        const std::lock_guard<std::mutex> guard(blocks.lock);
        const auto found = blocks.lengths.find(reinterpret_cast<std::uintptr_t>(address));
        if (found == blocks.lengths.end() || size != 0 || freeType != MEM_RELEASE) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        length = found->second;
        blocks.lengths.erase(found);
        blocks.bytes -= length;
    }
    munmap(address, length);
    return TRUE;
}

SIZE_T PosixVirtualBytesInUse() {
    VirtualBlocks& blocks = Virtual();
    const std::lock_guard<std::mutex> guard(blocks.lock);
    return blocks.bytes;
}

SIZE_T PosixVirtualBlocksInUse() {
    VirtualBlocks& blocks = Virtual();
    const std::lock_guard<std::mutex> guard(blocks.lock);
    return blocks.lengths.size();
}

void PosixFailAllocationsAfter(long count) {
    allocationsLeft.store(count < 0 ? -1 : count);
}

BOOL GlobalMemoryStatusEx(LPMEMORYSTATUSEX status) {
    if (status == nullptr || status->dwLength != sizeof(MEMORYSTATUSEX)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // "MemTotal:  24000000 kB" and "MemAvailable:  21000000 kB" among the lines.
    std::FILE* info = std::fopen("/proc/meminfo", "r");
    if (info == nullptr) {
        SetLastError(MapErrno(errno));
        return FALSE;
    }
    DWORDLONG total = 0;
    DWORDLONG available = 0;
    char line[256];
    while (std::fgets(line, sizeof line, info) != nullptr) {
        unsigned long long kib = 0;
        if (std::sscanf(line, "MemTotal: %llu kB", &kib) == 1) {
            total = kib * 1024;
        } else if (std::sscanf(line, "MemAvailable: %llu kB", &kib) == 1) {
            available = kib * 1024;
        }
    }
    std::fclose(info);
    *status = MEMORYSTATUSEX{sizeof(MEMORYSTATUSEX), 0, total, available, 0, 0, 0, 0, 0};
    if (total != 0) {
        status->dwMemoryLoad = static_cast<DWORD>((total - available) * 100 / total);
    }
    return TRUE;
}

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
    if (AllocationRefused()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto* header = static_cast<GlobalHeader*>(std::malloc(sizeof(GlobalHeader) + bytes));
    if (header == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    header->size = bytes;
    if (flags & GMEM_ZEROINIT) {
        std::memset(header + 1, 0, bytes);
    }
    return header + 1;
}

HGLOBAL GlobalReAlloc(HGLOBAL block, SIZE_T bytes, UINT flags) {
    if (block == nullptr) {
        return GlobalAlloc(flags, bytes);
    }
    if (AllocationRefused()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto* header = static_cast<GlobalHeader*>(block) - 1;
    const SIZE_T oldSize = header->size;
    auto* moved = static_cast<GlobalHeader*>(std::realloc(header, sizeof(GlobalHeader) + bytes));
    if (moved == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    moved->size = bytes;
    if ((flags & GMEM_ZEROINIT) && bytes > oldSize) {
        std::memset(reinterpret_cast<char*>(moved + 1) + oldSize, 0, bytes - oldSize);
    }
    return moved + 1;
}

HGLOBAL GlobalFree(HGLOBAL block) {
    if (block != nullptr) {
        std::free(static_cast<GlobalHeader*>(block) - 1);
    }
    return nullptr;
}

DWORD TlsAlloc() {
    pthread_key_t key{};
    if (pthread_key_create(&key, nullptr) != 0) {
        return TLS_OUT_OF_INDEXES;
    }
    return static_cast<DWORD>(key);
}

BOOL TlsFree(DWORD index) {
    return pthread_key_delete(static_cast<pthread_key_t>(index)) == 0;
}

LPVOID TlsGetValue(DWORD index) {
    return pthread_getspecific(static_cast<pthread_key_t>(index));
}

BOOL TlsSetValue(DWORD index, LPVOID value) {
    return pthread_setspecific(static_cast<pthread_key_t>(index), value) == 0;
}
