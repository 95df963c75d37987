// The order of the source folders (DM_SOURCE_FOLDERS in the top-level
// CMakeLists.txt): every source, header and test file includes only its own
// folder and folders below it, and every folder's library lists only libraries
// of folders below it, so the libraries form no cycle.
//
// A file's folder is the first part of its path; a test file's is the folder
// under tests/ that it tests. The shared test helpers (tests/support) take the
// folder of the test that includes them. The sample-data side (tools/catalogue,
// tools/databuilder) includes no game folder and serves only tests, tools and
// benchmarks. The effect-file writer (tools/prt) stands on the particle library
// and is judged as part of it, so the particle tests write their effects with
// it, and so does the data builder: the one game folder it includes is the
// particle library, whose blocks the sample effects are made of. The data side
// also compresses its textures through the block codec wrapper (platform/dxt),
// the one place every use of the codec library goes through. Benchmarks sit
// above everything.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kRoot = DM_TEST_SOURCE_DIR;
const char kSampleData[] = "sample data";
const char kSupport[] = "support";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Relative(const fs::path& path) { return path.lexically_relative(kRoot).generic_string(); }

// The folders of DM_SOURCE_FOLDERS, lowest first.
std::vector<std::string> SourceOrder() {
    const std::string cmake = ReadFile(kRoot / "CMakeLists.txt");
    std::smatch match;
    if (!std::regex_search(cmake, match, std::regex(R"(set\(DM_SOURCE_FOLDERS([^)]*)\))"))) return {};
    std::istringstream words(match[1].str());
    std::vector<std::string> order;
    for (std::string word; words >> word;) order.push_back(word);
    return order;
}

struct Include {
    int line;
    std::string text;  // as written between the quotes
};

std::vector<Include> QuotedIncludes(const fs::path& file) {
    static const std::regex kInclude(R"re(^\s*#\s*include\s*"([^"]+)")re");
    std::vector<Include> includes;
    std::istringstream lines(ReadFile(file));
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        std::smatch match;
        if (std::regex_search(line, match, kInclude)) includes.push_back({number, match[1].str()});
    }
    return includes;
}

bool IsSourceFile(const fs::path& path) {
    static const std::set<std::string> kExtensions = {".h", ".hpp", ".cpp", ".c", ".inc"};
    return kExtensions.count(path.extension().string()) != 0;
}

class Layers {
public:
    explicit Layers(std::vector<std::string> order) : order_(std::move(order)) {
        for (size_t i = 0; i < order_.size(); ++i) rank_[order_[i]] = static_cast<int>(i);
    }

    const std::vector<std::string>& Order() const { return order_; }
    bool IsFolder(const std::string& name) const { return rank_.count(name) != 0; }
    int Rank(const std::string& folder) const { return rank_.at(folder); }

    // The folder a file belongs to for the order: a source folder, kSupport,
    // kSampleData, "bench", or empty for a file outside every layer.
    std::string FolderOf(const std::string& relative) const {
        const std::vector<std::string> parts = Split(relative);
        if (parts.size() < 2) return std::string();
        if (parts[0] == "tests") {
            if (parts.size() < 3) return std::string();
            if (parts[1] == "support") return kSupport;
            return IsFolder(parts[1]) ? parts[1] : std::string();
        }
        if (parts[0] == "tools" && parts.size() > 2 && (parts[1] == "catalogue" || parts[1] == "databuilder"))
            return kSampleData;
        if (parts[0] == "tools" && parts.size() > 2 && parts[1] == "prt") return "particles";
        if (parts[0] == "bench") return "bench";
        return IsFolder(parts[0]) ? parts[0] : std::string();
    }

private:
    static std::vector<std::string> Split(const std::string& path) {
        std::vector<std::string> parts;
        std::istringstream in(path);
        for (std::string part; std::getline(in, part, '/');) parts.push_back(part);
        return parts;
    }

    std::vector<std::string> order_;
    std::map<std::string, int> rank_;
};

// The file a quoted include names, searched as the compiler does: beside the
// including file, then from the repository root, then from tests/.
fs::path Resolve(const fs::path& from, const std::string& include) {
    for (const fs::path& base : {from.parent_path(), kRoot, kRoot / "tests"}) {
        const fs::path candidate = (base / include).lexically_normal();
        if (fs::is_regular_file(candidate)) return candidate;
    }
    return fs::path();
}

class IncludeChecker {
public:
    explicit IncludeChecker(const Layers& layers) : layers_(layers) {}

    // Checks the file's includes against the folder it is judged by; the
    // shared test helpers it includes are checked against the same folder.
    void Check(const fs::path& file, const std::string& folder, std::set<fs::path>& visited) {
        const std::string relative = Relative(file);
        for (const Include& include : QuotedIncludes(file)) {
            const fs::path target = Resolve(file, include.text);
            if (target.empty()) continue;  // a system or generated header
            const std::string targetFolder = layers_.FolderOf(Relative(target));
            if (targetFolder.empty()) continue;
            if (targetFolder == kSupport) {
                if (visited.insert(target).second) Check(target, folder, visited);
                continue;
            }
            if (!Allowed(relative, folder, Relative(target), targetFolder)) {
                std::ostringstream failure;
                failure << relative << ":" << include.line << ": \"" << include.text << "\": " << folder
                        << " may not include " << targetFolder;
                failures_.push_back(failure.str());
            }
        }
    }

    const std::vector<std::string>& Failures() const { return failures_; }

private:
    bool Allowed(const std::string& relative, const std::string& folder, const std::string& targetFile,
                 const std::string& target) const {
        if (folder == "bench") return true;
        if (target == kSampleData) {
            return folder == kSampleData || relative.rfind("tests/", 0) == 0 || relative.rfind("tools/", 0) == 0;
        }
        if (target == "bench") return false;
        if (folder == kSampleData)  // the data side stands apart from the game, but for the effects
            return (target == "particles" && relative.rfind("tools/databuilder/", 0) == 0) ||
                   targetFile.rfind("platform/dxt/", 0) == 0;
        return layers_.Rank(target) <= layers_.Rank(folder);
    }

    const Layers& layers_;
    std::vector<std::string> failures_;
};

std::vector<fs::path> FilesUnder(const fs::path& folder) {
    std::vector<fs::path> files;
    if (!fs::is_directory(folder)) return files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file() && IsSourceFile(entry.path())) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

class LayeringTest : public ::testing::Test {
protected:
    Layers layers{SourceOrder()};
};

TEST_F(LayeringTest, TheOrderNamesEveryFolderOnce) {
    const std::vector<std::string>& order = layers.Order();
    ASSERT_FALSE(order.empty()) << "no DM_SOURCE_FOLDERS in CMakeLists.txt";
    EXPECT_EQ(std::set<std::string>(order.begin(), order.end()).size(), order.size());
    // every folder with a library of its own stands in the order
    for (const fs::directory_entry& entry : fs::directory_iterator(kRoot)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_directory() && fs::exists(entry.path() / "CMakeLists.txt") && name != "tests" && name != "bench" &&
            name != "cmake") {
            EXPECT_TRUE(layers.IsFolder(name)) << name << "/ has a CMakeLists.txt but no place in the order";
        }
    }
}

TEST_F(LayeringTest, NoFileIncludesAFolderAboveItsOwn) {
    IncludeChecker checker(layers);
    size_t checked = 0;
    std::vector<fs::path> roots;
    for (const std::string& folder : layers.Order()) roots.push_back(kRoot / folder);
    roots.push_back(kRoot / "tests");
    roots.push_back(kRoot / "bench");
    for (const fs::path& root : roots) {
        for (const fs::path& file : FilesUnder(root)) {
            const std::string folder = layers.FolderOf(Relative(file));
            // helpers are judged by the tests that include them
            if (folder.empty() || folder == kSupport) continue;
            std::set<fs::path> visited;
            checker.Check(file, folder, visited);
            ++checked;
        }
    }
    EXPECT_GT(checked, 100u) << "the walk found almost no files";
    EXPECT_TRUE(checker.Failures().empty()) << Joined(checker.Failures());
}

TEST_F(LayeringTest, EveryLibraryListsOnlyFoldersBelowIt) {
    static const std::regex kLibrary(R"(\bdm_([A-Za-z]+)\b)");
    std::vector<std::string> failures;
    size_t listed = 0;
    // A folder's own CMakeLists.txt, and the extra libraries of its tests.
    auto check = [&](const fs::path& file, const std::string& folder, bool mayListItself) {
        const std::string text = ReadFile(file);
        for (std::sregex_iterator it(text.begin(), text.end(), kLibrary), end; it != end; ++it) {
            const std::string library = (*it)[1].str();
            if (!layers.IsFolder(library)) continue;  // dm_library, dm_test, dm_catalogue ...
            ++listed;
            const bool ok = library == folder ? mayListItself : layers.Rank(library) < layers.Rank(folder);
            if (!ok) failures.push_back(Relative(file) + ": " + folder + " lists dm_" + library);
        }
    };
    for (const std::string& folder : layers.Order()) {
        if (!fs::is_directory(kRoot / folder)) continue;
        // dm_library(<folder> ...) and the folder's own programs name its library
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(kRoot / folder)) {
            const std::string name = entry.path().filename().string();
            if (name == "CMakeLists.txt" || entry.path().extension() == ".cmake") check(entry.path(), folder, true);
        }
        const fs::path testDeps = kRoot / "tests" / folder / "deps.cmake";
        if (fs::exists(testDeps)) check(testDeps, folder, true);
    }
    EXPECT_GT(listed, 10u) << "the libraries' lists were not found";
    EXPECT_TRUE(failures.empty()) << Joined(failures);
}

}  // namespace
