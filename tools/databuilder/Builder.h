#pragma once
// The sample-data builder: every asset family registers one writer.
// Writers must be deterministic: the same bytes on every run.
#include <cstdint>
#include <string>
#include <vector>

namespace databuilder {

class Output {
public:
    explicit Output(std::string gameDir) : game_dir_(std::move(gameDir)) {}
    // relPath is relative to the game's working folder ("config.xml",
    // "../Data/Defaults/default.dds"). A file whose bytes are unchanged is not
    // rewritten, so its time stamp stays and nothing downstream rebuilds.
    void Write(const std::string& relPath, const std::vector<uint8_t>& bytes) const;
    void WriteText(const std::string& relPath, const std::string& text) const;
    const std::string& GameDir() const { return game_dir_; }

private:
    std::string game_dir_;
};

using WriterFn = void (*)(const Output&);

// A writer that cannot make its files stops the whole build with one line:
// "databuilder (what): why".
[[noreturn]] void Fail(const std::string& what, const std::string& why);

// Writers run in ascending order, then by name.
struct Registration {
    Registration(const char* name, int order, WriterFn fn);
};

}  // namespace databuilder

#define DATABUILDER_CONCAT2(a, b) a##b
#define DATABUILDER_CONCAT(a, b) DATABUILDER_CONCAT2(a, b)
// DATABUILDER_WRITER(name, order) { ... body using `out` ... }
#define DATABUILDER_WRITER(name, order)                                                    \
    static void DATABUILDER_CONCAT(databuilder_writer_, name)(const databuilder::Output&); \
    static databuilder::Registration DATABUILDER_CONCAT(databuilder_reg_, name)(           \
        #name, order, &DATABUILDER_CONCAT(databuilder_writer_, name));                     \
    static void DATABUILDER_CONCAT(databuilder_writer_, name)(const databuilder::Output& out)
