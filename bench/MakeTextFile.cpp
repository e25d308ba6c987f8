// Writes a text file of about the given size for the loading benchmarks: CR LF lines of
// mixed lengths (empty, short, medium and long, about 77 bytes on average), words of
// ASCII letters with OEM accented letters and tabs here and there. The same size always
// gives the same file.
//
//   make_text_file PATH MEGABYTES
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

std::size_t LineLength(std::mt19937_64& random) {
    const auto pick = [&](std::size_t low, std::size_t high) {
        return std::uniform_int_distribution<std::size_t>(low, high)(random);
    };
    const std::size_t kind = pick(0, 99);
    if (kind < 10) {
        return 0;
    }
    if (kind < 50) {
        return pick(1, 40);
    }
    if (kind < 90) {
        return pick(41, 120);
    }
    return pick(121, 600);
}

void AppendLine(std::string& out, std::size_t length, std::mt19937_64& random) {
    static const char accented[] = "\x82\x85\x8a\x8d\x95\x97\x87\x84\x94\x81";
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> letter('a', 'z');
    std::uniform_int_distribution<int> wordLength(1, 11);
    int wordLeft = wordLength(random);
    for (std::size_t i = 0; i < length; ++i) {
        if (wordLeft-- == 0) {
            out += percent(random) < 3 ? '\t' : ' ';
            wordLeft = wordLength(random);
            continue;
        }
        const int roll = percent(random);
        out +=
            roll < 2 ? accented[roll * 5 + percent(random) % 5] : static_cast<char>(letter(random));
    }
    out += "\r\n";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_text_file PATH MEGABYTES\n");
        return 2;
    }
    const std::uint64_t target = std::strtoull(argv[2], nullptr, 10) * 1000 * 1000;
    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::mt19937_64 random(target);
    std::string chunk;
    std::uint64_t written = 0;
    std::uint64_t lines = 0;
    while (written < target) {
        chunk.clear();
        while (chunk.size() < (1u << 20) && written + chunk.size() < target) {
            AppendLine(chunk, LineLength(random), random);
            ++lines;
        }
        if (std::fwrite(chunk.data(), 1, chunk.size(), file) != chunk.size()) {
            std::perror(argv[1]);
            std::fclose(file);
            return 1;
        }
        written += chunk.size();
    }
    if (std::fclose(file) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    std::printf("%llu bytes, %llu lines\n", static_cast<unsigned long long>(written),
                static_cast<unsigned long long>(lines));
    return 0;
}
