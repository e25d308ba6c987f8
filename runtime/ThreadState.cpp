#include "runtime/ThreadState.h"

#include "runtime/SpinLock.h"
#include "platform/Platform.h"

#include <cstdlib>
#include <cstring>

namespace {

SpinLock stateLock;
DWORD stateSlot = TLS_OUT_OF_INDEXES;
ThreadState* mainState = nullptr; // the record whose dialog font new threads copy
ThreadState* allStates = nullptr; // every record made, newest first

// Makes a zero-filled record for the calling thread and links it in; caller holds the lock.
ThreadState* NewState() {
    auto* state = static_cast<ThreadState*>(std::calloc(1, sizeof(ThreadState)));
    if (state == nullptr) {
        return nullptr;
    }
    if (mainState != nullptr) {
        std::memcpy(state->dialogFontFace, mainState->dialogFontFace, sizeof state->dialogFontFace);
        state->dialogFontPoints = mainState->dialogFontPoints;
    } else {
        static_assert(sizeof kDefaultDialogFace <= sizeof state->dialogFontFace);
        std::memcpy(state->dialogFontFace, kDefaultDialogFace, sizeof kDefaultDialogFace);
        state->dialogFontPoints = kDefaultDialogPoints;
        mainState = state;
    }
    if (!TlsSetValue(stateSlot, state)) {
        if (mainState == state) {
            mainState = nullptr;
        }
        std::free(state);
        return nullptr;
    }
    state->nextState = allStates;
    allStates = state;
    return state;
}

} // namespace

bool ThreadStateStartup() noexcept {
    SpinLockGuard guard(stateLock);
    if (stateSlot == TLS_OUT_OF_INDEXES) {
        stateSlot = TlsAlloc();
        if (stateSlot == TLS_OUT_OF_INDEXES) {
            return false;
        }
    }
    if (TlsGetValue(stateSlot) != nullptr) {
        return true;
    }
    return NewState() != nullptr;
}

void ThreadStateShutdown() noexcept {
    SpinLockGuard guard(stateLock);
    while (allStates != nullptr) {
        ThreadState* next = allStates->nextState;
        std::free(allStates);
        allStates = next;
    }
    mainState = nullptr;
    if (stateSlot != TLS_OUT_OF_INDEXES) {
        TlsFree(stateSlot);
        stateSlot = TLS_OUT_OF_INDEXES;
    }
}

ThreadState* CurrentThreadState() noexcept {
    DWORD slot = stateSlot;
    if (slot != TLS_OUT_OF_INDEXES) {
        if (auto* state = static_cast<ThreadState*>(TlsGetValue(slot))) {
            return state;
        }
    }
    // First use on this thread (or before start-up, as in the native tests).
    SpinLockGuard guard(stateLock);
    if (stateSlot == TLS_OUT_OF_INDEXES) {
        stateSlot = TlsAlloc();
        if (stateSlot == TLS_OUT_OF_INDEXES) {
            return nullptr;
        }
    }
    if (auto* state = static_cast<ThreadState*>(TlsGetValue(stateSlot))) {
        return state;
    }
    return NewState();
}
