// Any bytes as a language file (".lan"): entries are read up to the first fault.
#include <memory>

#include "Core/Language.h"
#include "IO/File.h"
#include "tests/support/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzzinput::WriteInput(data, size);
    if (path.empty()) return 0;
    std::unique_ptr<IO::File> file(IO::File::OpenRead(path));
    if (!file) return 0;
    LanguageTable table;
    ReadLanguageEntries(*file, table);
    return 0;
}
