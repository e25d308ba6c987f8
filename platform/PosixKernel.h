// POSIX stand-in for the Windows kernel calls used by the runtime.
//
// Only what the runtime needs is declared here, with the Windows names, types and
// constants, and with Windows last-error codes mapped from errno. Included through
// Platform.h only.
#pragma once

#include <cstddef>
#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using BOOL = int;
using CHAR = char;
using HANDLE = void*;
using HGLOBAL = void*;
using LPSTR = char*;
using LPCSTR = const char*;
using LPVOID = void*;
using LPCVOID = const void*;
using PLONG = LONG*;
using LPDWORD = DWORD*;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using SIZE_T = std::size_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using BSTR = wchar_t*;
using OLECHAR = wchar_t;

// Window handles exist natively only as opaque values that the editor passes on to its
// display services; the native build links recording fakes of those services.
struct HWND__;
using HWND = HWND__*;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)))
constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFFu;
constexpr DWORD TLS_OUT_OF_INDEXES = 0xFFFFFFFFu;

constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;
constexpr DWORD FILE_SHARE_READ = 1;
constexpr DWORD FILE_SHARE_WRITE = 2;
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD TRUNCATE_EXISTING = 5;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD FILE_BEGIN = 0;
constexpr DWORD FILE_CURRENT = 1;
constexpr DWORD FILE_END = 2;
constexpr DWORD FILE_TYPE_UNKNOWN = 0;
constexpr DWORD FILE_TYPE_DISK = 1;
constexpr DWORD FILE_TYPE_CHAR = 2;
constexpr DWORD FILE_TYPE_PIPE = 3;

constexpr UINT SEM_FAILCRITICALERRORS = 0x0001;
constexpr UINT SEM_NOOPENFILEERRORBOX = 0x8000;

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;

constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_TOO_MANY_OPEN_FILES = 4;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_WRITE_PROTECT = 19;
constexpr DWORD ERROR_NOT_READY = 21;
constexpr DWORD ERROR_SHARING_VIOLATION = 32;
constexpr DWORD ERROR_LOCK_VIOLATION = 33;
constexpr DWORD ERROR_HANDLE_EOF = 38;
constexpr DWORD ERROR_HANDLE_DISK_FULL = 39;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_BROKEN_PIPE = 109;
constexpr DWORD ERROR_DISK_FULL = 112;
constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;
constexpr DWORD ERROR_DIRECTORY = 267;
constexpr DWORD ERROR_GEN_FAILURE = 31;

constexpr UINT WM_CLOSE = 0x0010;

struct SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
};
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};
using LPSYSTEMTIME = SYSTEMTIME*;

// Files. Handles are file descriptors; share modes are enforced among the handles of
// this process (what the runtime's own locking relies on), creation modes as on Windows.
HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                   DWORD creation, DWORD attributes, HANDLE templateFile);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, void* overlapped);
DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD method);
BOOL SetEndOfFile(HANDLE file);
DWORD GetFileType(HANDLE file);
BOOL CloseHandle(HANDLE object);

// Last error and error mode.
DWORD GetLastError();
void SetLastError(DWORD code);
UINT SetErrorMode(UINT mode);

// Time, folders and text.
void Sleep(DWORD milliseconds);
void GetLocalTime(LPSYSTEMTIME time);
DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer);
BOOL OemToCharA(LPCSTR source, LPSTR destination);
BOOL OemToCharBuffA(LPCSTR source, LPSTR destination, DWORD length);

// Code pages: the stand-in's OEM code page is the single-byte code page 437.
constexpr UINT CP_OEMCP = 1;
constexpr UINT MAX_LEADBYTES = 12;
constexpr UINT MAX_DEFAULTCHAR = 2;
struct CPINFO {
    UINT MaxCharSize;
    BYTE DefaultChar[MAX_DEFAULTCHAR];
    BYTE LeadByte[MAX_LEADBYTES];
};
using LPCPINFO = CPINFO*;
BOOL GetCPInfo(UINT codePage, LPCPINFO info);

// The byte-string allocator: a 32-bit byte count before the bytes, two NULs after them.
BSTR SysAllocStringByteLen(LPCSTR bytes, UINT length);
void SysFreeString(BSTR text);
UINT SysStringByteLen(BSTR text);

// Test support: after `count` more successful byte-string or memory-block allocations,
// every further one fails, as when memory runs out; a negative count switches this off.
void PosixFailAllocationsAfter(long count);
// Whether the budget above refuses one more allocation (counting it when it does not);
// for storage carved out of larger blocks, so that each of its pieces counts as one.
bool PlatformRefusesAllocation() noexcept;

// Address space: committed read-write memory, aligned to 64 KiB like the platform's.
constexpr DWORD MEM_COMMIT = 0x1000;
constexpr DWORD MEM_RESERVE = 0x2000;
constexpr DWORD MEM_RELEASE = 0x8000;
constexpr DWORD PAGE_READWRITE = 0x04;
LPVOID VirtualAlloc(LPVOID address, SIZE_T size, DWORD allocationType, DWORD protect);
BOOL VirtualFree(LPVOID address, SIZE_T size, DWORD freeType);
// Measurement support: the bytes VirtualAlloc holds now, which the heap's figures omit,
// and in how many blocks.
SIZE_T PosixVirtualBytesInUse();
SIZE_T PosixVirtualBlocksInUse();

// The state of the machine's memory; the stand-in fills in the physical memory only,
// from what the kernel counts as available without swapping.
using DWORDLONG = std::uint64_t;
struct MEMORYSTATUSEX {
    DWORD dwLength;
    DWORD dwMemoryLoad;
    DWORDLONG ullTotalPhys;
    DWORDLONG ullAvailPhys;
    DWORDLONG ullTotalPageFile;
    DWORDLONG ullAvailPageFile;
    DWORDLONG ullTotalVirtual;
    DWORDLONG ullAvailVirtual;
    DWORDLONG ullAvailExtendedVirtual;
};
using LPMEMORYSTATUSEX = MEMORYSTATUSEX*;
BOOL GlobalMemoryStatusEx(LPMEMORYSTATUSEX status);

// Memory blocks.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
HGLOBAL GlobalReAlloc(HGLOBAL block, SIZE_T bytes, UINT flags);
HGLOBAL GlobalFree(HGLOBAL block);

// Thread-local storage slots.
DWORD TlsAlloc();
BOOL TlsFree(DWORD index);
LPVOID TlsGetValue(DWORD index);
BOOL TlsSetValue(DWORD index, LPVOID value);

// The editor's one window call. Natively it exists only as a declaration: the test
// build links a recording fake of it.
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
