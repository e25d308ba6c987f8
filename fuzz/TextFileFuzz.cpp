// Random bytes as a text file, read as the editor reads it: the line count equals the
// number of lines that read without error, no line holds a CR, nothing after the first
// Ctrl-Z arrives, and one read more fails with 62. The first byte picks the read buffer's
// size (the editor's 128 or any of 1 to 128); the second may put the bytes just before the
// end of the line counter's first 64 KiB block, where line ends are split across two blocks.
#include "fuzz/FuzzCheck.h"
#include "runtime/ErrorNumber.h"
#include "runtime/TextFile.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// The line rules stated plainly (with the library's searches, which cost the fuzzer no
// coverage work on the long filler).
std::vector<std::string> Split(std::string bytes) {
    bytes = bytes.substr(0, bytes.find('\x1A'));
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t cr = bytes.find('\r', at);
        if (cr == std::string::npos) {
            lines.push_back(bytes.substr(at));
            break;
        }
        lines.push_back(bytes.substr(at, cr - at));
        at = cr + 1;
        if (at < bytes.size() && bytes[at] == '\n') {
            ++at;
        }
    }
    return lines;
}

std::string FilePath() {
    const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(folder) + "/text-file-fuzz-" + std::to_string(getpid()) + ".txt";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const bool nearBlockEnd = data[1] % 16 == 0;
    // A large read buffer where the bytes follow 64 KiB of filler, so the run stays quick
    // while its refills, too, fall at varying places near the block's end.
    const std::int32_t bufferSize = nearBlockEnd            ? 60000 + data[0]
                                    : (data[0] & 0x80) != 0 ? 128
                                                            : 1 + (data[0] & 0x7F);
    std::string bytes;
    if (nearBlockEnd) {
        bytes.assign(65536 - 1 - (data[1] >> 4), 'x');
    }
    bytes.append(reinterpret_cast<const char*>(data) + 2, size - 2);

    static const std::string path = FilePath();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    Check(file != nullptr, "the file can be written");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);

    ClearErrorNumber();
    FileOpen(DynString(path.c_str()), 1, kFileEditorInput, bufferSize, 1);
    Check(GetErrorNumber() == Err::None, "the file opens");
    const std::uint64_t count = FileLineCount(1).count;
    const std::vector<std::string> expected = Split(bytes);
    Check(count == expected.size(), "the count is the number of lines");
    for (std::uint64_t i = 0; i < count; ++i) {
        const DynString line = FileReadLine(1);
        Check(GetErrorNumber() == Err::None, "every counted line reads");
        Check(line.View().find('\r') == std::string_view::npos, "no line holds a CR");
        Check(line.View().find('\x1A') == std::string_view::npos, "nothing after a Ctrl-Z");
        Check(line.View() == expected[i], "the lines are the file's");
    }
    Check(FileReadLine(1).IsEmpty() && GetErrorNumber() == Err::InputPastEnd,
          "a read past the last line fails with 62");
    FileClose(1);
    return 0;
}
