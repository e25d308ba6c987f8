#include "runtime/DynString.h"

#include "runtime/ErrorNumber.h"
#include "runtime/StringStore.h"

namespace {

// Storage of exactly length bytes (plus the terminator), holding the given bytes unless
// they are null; null with error 7.
void* AllocateBlock(const char* bytes, std::uint32_t length) noexcept {
    char* block = StringStoreAllocate(length);
    if (block == nullptr) {
        SetErrorNumber(Err::OutOfMemory);
    } else if (bytes != nullptr) {
        std::memcpy(block, bytes, length);
    }
    return block;
}

} // namespace

DynString::DynString(const char* bytes, std::uint32_t length) noexcept {
    if (length > 0) {
        text_ = AllocateBlock(bytes, length);
    }
}

DynString::DynString(const char* text) noexcept
    : DynString(text, text != nullptr ? static_cast<std::uint32_t>(std::strlen(text)) : 0) {}

DynString::DynString(std::string_view bytes) noexcept {
    if (bytes.size() > 0xFFFFFFFFu) {
        SetErrorNumber(Err::OutOfMemory);
        return;
    }
    if (!bytes.empty()) {
        text_ = AllocateBlock(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    }
}

DynString::DynString(const DynString& other) noexcept : DynString(other.Bytes(), other.Length()) {}

DynString& DynString::operator=(const DynString& other) noexcept {
    if (this == &other) {
        return *this;
    }
    const std::uint32_t length = other.Length();
    // A block of exactly the new length is reused.
    if (text_ != nullptr && length > 0 && Length() == length) {
        std::memmove(text_, other.Bytes(), length);
        return *this;
    }
    DynString copy(other);
    Swap(copy);
    return *this;
}

DynString DynString::OfLength(std::uint32_t length) noexcept {
    DynString result;
    if (length > 0) {
        result.text_ = AllocateBlock(nullptr, length);
    }
    return result;
}
