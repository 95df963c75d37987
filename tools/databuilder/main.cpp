#include "tools/databuilder/Builder.h"
#include "tools/databuilder/StampSource.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>

namespace databuilder {
namespace {

struct Entry {
    std::string name;
    int order;
    WriterFn fn;
};

std::vector<Entry>& Writers() {
    static std::vector<Entry> writers;
    return writers;
}

}  // namespace

Registration::Registration(const char* name, int order, WriterFn fn) { Writers().push_back({name, order, fn}); }

void Fail(const std::string& what, const std::string& why) {
    std::fprintf(stderr, "databuilder (%s): %s\n", what.c_str(), why.c_str());
    std::exit(1);
}

void Output::Write(const std::string& relPath, const std::vector<uint8_t>& bytes) const {
    namespace fs = std::filesystem;
    const fs::path path = fs::path(game_dir_) / relPath;
    {
        std::ifstream in(path, std::ios::binary);
        if (in) {
            std::vector<uint8_t> old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (old == bytes) return;
        }
    }
    fs::create_directories(path.parent_path());
    const fs::path tmp = path.string() + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "databuilder: cannot write %s\n", tmp.c_str());
            std::exit(1);
        }
    }
    fs::rename(tmp, path);
}

void Output::WriteText(const std::string& relPath, const std::string& text) const {
    Write(relPath, std::vector<uint8_t>(text.begin(), text.end()));
}

}  // namespace databuilder

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: databuilder <game folder> [--stamp-source FILE] [writer ...]\n");
        return 2;
    }
    // --stamp-source FILE: after writing, the data checksum as a source of the game.
    std::string stampSource;
    int first = 2;
    if (argc >= 4 && std::string(argv[2]) == "--stamp-source") {
        stampSource = argv[3];
        first = 4;
    }
    auto writers = databuilder::Writers();
    std::sort(writers.begin(), writers.end(),
              [](const auto& a, const auto& b) { return std::tie(a.order, a.name) < std::tie(b.order, b.name); });
    databuilder::Output out(argv[1]);
    // Writers named after the folder run alone (a test writes one family again).
    const std::vector<std::string> only(argv + first, argv + argc);
    for (const auto& w : writers)
        if (only.empty() || std::find(only.begin(), only.end(), w.name) != only.end()) w.fn(out);
    if (!stampSource.empty() && !databuilder::WriteStampSource(argv[1], stampSource)) return 1;
    return 0;
}
