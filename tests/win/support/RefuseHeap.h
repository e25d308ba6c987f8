// Makes every C++ heap request of the calling thread fail for one scope, as when memory
// runs out: operator new throws std::bad_alloc and its nothrow forms give null. Other
// threads and the platform's own allocators are not affected.
#pragma once

class RefuseHeap {
  public:
    RefuseHeap();
    ~RefuseHeap();
    RefuseHeap(const RefuseHeap&) = delete;
    RefuseHeap& operator=(const RefuseHeap&) = delete;
};
