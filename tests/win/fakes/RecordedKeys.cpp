#include "tests/win/fakes/RecordedKeys.h"

#include "dialogs/KeyboardHook.h"

std::vector<RecordedKey> recordedKeys;
std::function<void(const RecordedKey&)> afterRecordedKey;

namespace {

void RecordKey(std::int32_t& scanCode, DynString& keyChar) noexcept {
    recordedKeys.push_back({scanCode, std::string(keyChar.View())});
    if (afterRecordedKey) {
        afterRecordedKey(recordedKeys.back());
    }
}

} // namespace

void StartRecordingKeys() {
    recordedKeys.clear();
    SetKeyTarget(RecordKey);
}
