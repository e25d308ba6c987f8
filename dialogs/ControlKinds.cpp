#include "dialogs/ControlKinds.h"

#include <iterator>

namespace {

struct Registered {
    std::int32_t kind;
    ControlKindOperations operations;
};

// A handful of kinds at most, registered on the user-interface thread at start.
Registered registered[4] = {};
std::size_t registeredCount = 0;

} // namespace

void RegisterControlKind(std::int32_t kind, const ControlKindOperations& operations) noexcept {
    for (std::size_t i = 0; i < registeredCount; ++i) {
        if (registered[i].kind == kind) {
            registered[i].operations = operations;
            return;
        }
    }
    if (registeredCount < std::size(registered)) {
        registered[registeredCount++] = {kind, operations};
    }
}

const ControlKindOperations* FindControlKindOperations(std::int32_t kind) noexcept {
    for (std::size_t i = 0; i < registeredCount; ++i) {
        if (registered[i].kind == kind) {
            return &registered[i].operations;
        }
    }
    return nullptr;
}
