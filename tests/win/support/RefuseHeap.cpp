#include "tests/win/support/RefuseHeap.h"

#include <cstdlib>
#include <new>

namespace {

thread_local bool refused = false;

} // namespace

RefuseHeap::RefuseHeap() {
    refused = true;
}

RefuseHeap::~RefuseHeap() {
    refused = false;
}

// Replaces the library's operator new in the programs that use RefuseHeap (this file is
// linked only then). The library's other forms, nothrow and array ones, call this one, and
// its operator delete frees what malloc gave.
void* operator new(std::size_t size) {
    if (!refused) {
        if (void* block = std::malloc(size != 0 ? size : 1)) {
            return block;
        }
    }
    throw std::bad_alloc();
}
