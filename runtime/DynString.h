// DynString: the one string type of the system, a counted byte string with value semantics.
//
// Any byte value may occur, NUL included; the length is a 32-bit count. The bytes live in
// the string store (StringStore.h), which keeps the count in front of them and a NUL after
// them, so the text can be handed to the operating system as it is. The
// empty string holds no block at all, so a zero-filled DynString is a valid empty string
// (string arrays rely on this).
#pragma once

#include "runtime/Precondition.h"
#include "runtime/StringStore.h"

#include <cstdint>
#include <cstring>
#include <string_view>

class DynString {
  public:
    DynString() noexcept = default;
    // Copies length bytes; on allocation failure the result is empty and error 7 is set.
    DynString(const char* bytes, std::uint32_t length) noexcept;
    // Copies a NUL-terminated text (the terminator is not part of the string).
    DynString(const char* text) noexcept; // NOLINT(google-explicit-constructor)
    explicit DynString(std::string_view bytes) noexcept;

    DynString(const DynString& other) noexcept;
    DynString(DynString&& other) noexcept : text_(other.text_) { other.text_ = nullptr; }
    DynString& operator=(const DynString& other) noexcept;
    // Moves and releases are inline: a load moves every line into its element once.
    DynString& operator=(DynString&& other) noexcept {
        if (this != &other) {
            Release();
            text_ = other.text_;
            other.text_ = nullptr;
        }
        return *this;
    }
    ~DynString() { Release(); }

    // A string of length bytes whose content the caller fills in through MutableBytes();
    // empty with error 7 when the block cannot be had.
    static DynString OfLength(std::uint32_t length) noexcept;

    std::uint32_t Length() const noexcept {
        if (text_ == nullptr) {
            return 0;
        }
        std::uint32_t length;
        std::memcpy(&length, reinterpret_cast<const char*>(text_) - sizeof length, sizeof length);
        return length;
    }
    bool IsEmpty() const noexcept { return text_ == nullptr || Length() == 0; }
    // The bytes, followed by a NUL; never null.
    const char* Bytes() const noexcept {
        return text_ != nullptr ? reinterpret_cast<const char*>(text_) : "";
    }
    // The bytes for in-place changes that keep the length; null for the empty string.
    char* MutableBytes() noexcept { return reinterpret_cast<char*>(text_); }
    std::string_view View() const noexcept { return {Bytes(), Length()}; }
    // The byte at a 1-based position, which must lie within the string.
    unsigned char ByteAt(std::uint32_t position) const noexcept {
        Precondition(position >= 1 && position <= Length(), "DynString position within the string");
        return static_cast<unsigned char>(Bytes()[position - 1]);
    }

    friend bool operator==(const DynString& a, const DynString& b) noexcept {
        return a.View() == b.View();
    }

    void Swap(DynString& other) noexcept {
        void* text = text_;
        text_ = other.text_;
        other.text_ = text;
    }

  private:
    void Release() noexcept {
        if (text_ != nullptr) {
            StringStoreFree(static_cast<char*>(text_));
            text_ = nullptr;
        }
    }

    void* text_ = nullptr; // bytes in the string store, or null for ""
};

static_assert(sizeof(DynString) == sizeof(void*), "string arrays move strings as bare references");

// Whether a string made from others (a copy, a join, a block of a given length) came out
// whole. Making one fails only for want of memory, and then gives "" with error 7; only
// the length tells that from a string that was meant to be short.
inline bool MadeWhole(const DynString& made, std::uint64_t expectedLength) noexcept {
    return made.Length() == expectedLength;
}
