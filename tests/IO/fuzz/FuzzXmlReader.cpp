// Any bytes as an XML document: the check refuses what the parser cannot read, and
// the parser walks every node and attribute of what it is given.
#include <cstdlib>
#include <cstring>
#include <memory>

#include "IO/XmlReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    // A copy of the exact size, so that a read past it is seen.
    void* copy = std::malloc(size > 0 ? size : 1);
    if (size > 0) std::memcpy(copy, data, size);
    std::unique_ptr<irr::io::IrrXMLReader> reader(CreateXmlReaderFromBuffer(copy, static_cast<int>(size), true));
    if (!reader) return 0;
    size_t seen = 0;
    while (reader->read()) {
        seen += std::strlen(reader->getNodeName()) + std::strlen(reader->getNodeData());
        for (int i = 0; i < reader->getAttributeCount(); ++i) {
            seen += std::strlen(reader->getAttributeName(i)) +
                    std::strlen(reader->getAttributeValueSafe(reader->getAttributeName(i)));
            (void)reader->getAttributeValueAsFloat(i);
            (void)reader->getAttributeValueAsInt(i);
        }
        (void)reader->isEmptyElement();
    }
    return seen == 0 ? 0 : 0;
}
