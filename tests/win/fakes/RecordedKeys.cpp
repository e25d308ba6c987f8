#include "tests/win/fakes/RecordedKeys.h"

#include "editor/KeyProcessing.h"

std::vector<RecordedKey> recordedKeys;
std::function<void(const RecordedKey&)> afterRecordedKey;

void ProcessEditorKey(std::int32_t& scanCode, DynString& keyChar, StringArray&, WindowHandle,
                      std::int32_t, std::int32_t) noexcept {
    recordedKeys.push_back({scanCode, std::string(keyChar.View())});
    if (afterRecordedKey)
        afterRecordedKey(recordedKeys.back());
}
