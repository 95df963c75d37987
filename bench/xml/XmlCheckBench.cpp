// Reading every XML file of the sample data, with the factory's well-formedness
// check and without it; the ratio of the two is the check's cost.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "IO/XmlReader.h"

namespace {

const std::vector<std::string>& SampleXml() {
    static const std::vector<std::string> texts = [] {
        std::vector<std::string> found;
        for (const auto& item : std::filesystem::recursive_directory_iterator(DM_BENCH_GAME_DIR)) {
            if (!item.is_regular_file() || item.path().extension() != ".xml") continue;
            std::ifstream in(item.path(), std::ios::binary);
            found.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        return found;
    }();
    return texts;
}

size_t ReadAll(irr::io::IrrXMLReader* reader) {
    size_t nodes = 0;
    while (reader->read()) nodes += 1 + static_cast<size_t>(reader->getAttributeCount());
    return nodes;
}

void Read(benchmark::State& state, bool checked) {
    const std::vector<std::string>& texts = SampleXml();
    size_t bytes = 0;
    for (const std::string& text : texts) bytes += text.size();
    if (texts.empty()) state.SkipWithError("no sample XML: build the sample data first");
    for (auto _ : state) {
        for (const std::string& text : texts) {
            std::unique_ptr<irr::io::IrrXMLReader> reader(
                checked ? CreateXmlReaderFromString(text)
                        : irr::io::createIrrXMLReader(new irr::io::CMemoryMappedFileReadCallBack(text), true));
            benchmark::DoNotOptimize(ReadAll(reader.get()));
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["files"] = static_cast<double>(texts.size());
}

void BM_SampleXmlUnchecked(benchmark::State& state) { Read(state, false); }
void BM_SampleXmlChecked(benchmark::State& state) { Read(state, true); }

}  // namespace

BENCHMARK(BM_SampleXmlUnchecked)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SampleXmlChecked)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
