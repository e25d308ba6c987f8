// A recorder of what the keyboard hook delivers, for the test programs that watch the
// hook: set as its key target, it records every key event instead of editing.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

struct RecordedKey {
    std::int32_t scanCode;
    std::string keyChar;

    friend bool operator==(const RecordedKey&, const RecordedKey&) = default;
};

inline void PrintTo(const RecordedKey& key, std::ostream* out) {
    *out << '{' << key.scanCode << ", [";
    for (unsigned char byte : key.keyChar) {
        *out << static_cast<int>(byte);
    }
    *out << "]}";
}

extern std::vector<RecordedKey> recordedKeys;
// Called after each recorded key, when set.
extern std::function<void(const RecordedKey&)> afterRecordedKey;

// Makes the recorder the hook's key target, with nothing recorded yet.
void StartRecordingKeys();
