#include "IO/XmlReader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "../platform/TempFolder.h"
#include "IO/ContentChecksums.h"
#include "IO/File.h"

namespace {
using Reader = std::unique_ptr<irr::io::IrrXMLReader>;

// The element names in document order.
std::string Elements(irr::io::IrrXMLReader* reader) {
    std::string names;
    while (reader->read())
        if (reader->getNodeType() == irr::io::EXN_ELEMENT) names += std::string(reader->getNodeName()) + ";";
    return names;
}
}  // namespace

TEST(XmlReaderTest, FileReadByNameLeavesItsChecksum) {
    TempFolder tmp;
    const std::string text = "<config><resource-pc root=\"res-pc\"/></config>\n";
    tmp.Write("Data/Config.XML", text);

    Reader reader(CreateXmlReader(tmp / "data\\config.xml"));
    ASSERT_NE(nullptr, reader);
    ASSERT_TRUE(reader->read());
    EXPECT_STREQ("config", reader->getNodeName());
    ASSERT_TRUE(reader->read());
    EXPECT_STREQ("resource-pc", reader->getNodeName());
    EXPECT_STREQ("res-pc", reader->getAttributeValue("root"));
    EXPECT_EQ(ComputeChecksum64(text.c_str(), -1), ContentChecksums::Find("config.xml"));
}

TEST(XmlReaderTest, MissingAndEmptyFiles) {
    TempFolder tmp;
    Reader missing(CreateXmlReader(tmp / "nothere.xml"));
    ASSERT_NE(nullptr, missing);
    EXPECT_FALSE(missing->read());
    EXPECT_EQ(0u, ContentChecksums::Find("nothere.xml"));

    tmp.Write("blank.xml", "");
    Reader empty(CreateXmlReader(tmp / "blank.xml"));
    ASSERT_NE(nullptr, empty);
    EXPECT_FALSE(empty->read());
    EXPECT_EQ(~0ull, ContentChecksums::Find("blank.xml"));

    Reader folder(CreateXmlReader(tmp.Path()));  // a folder is no file
    EXPECT_FALSE(folder->read());

    Reader text(CreateXmlReaderFromString(""));
    ASSERT_NE(nullptr, text);
    EXPECT_FALSE(text->read());
}

TEST(XmlReaderTest, AttributesByNameAndPosition) {
    Reader reader(CreateXmlReaderFromString("<unit hp=\"12.7\" armor=\"-3.9\" name=\"archer\"/>"));
    ASSERT_TRUE(reader->read());
    EXPECT_EQ(12, reader->getAttributeValueAsInt("hp"));
    EXPECT_EQ(-3, reader->getAttributeValueAsInt("armor"));
    EXPECT_EQ(0, reader->getAttributeValueAsInt("missing"));
    EXPECT_EQ(nullptr, reader->getAttributeValue("missing"));
    EXPECT_STREQ("", reader->getAttributeValueSafe("missing"));
    EXPECT_EQ(3u, reader->getAttributeCount());
    EXPECT_STREQ("archer", reader->getAttributeValue(2));
    EXPECT_EQ(nullptr, reader->getAttributeValue(3));
    EXPECT_EQ(-3, reader->getAttributeValueAsInt(1));
    EXPECT_FLOAT_EQ(12.7f, reader->getAttributeValueAsFloat(0));
    EXPECT_TRUE(reader->isEmptyElement());
}

TEST(XmlReaderTest, BufferReaderFreesOnlyWhatItOwns) {
    const char xml[] = "<a><b/></a>";
    char* kept = static_cast<char*>(std::malloc(sizeof(xml)));
    std::memcpy(kept, xml, sizeof(xml));
    {
        Reader reader(CreateXmlReaderFromBuffer(kept, static_cast<int>(std::strlen(xml)), false));
        EXPECT_EQ("a;b;", Elements(reader.get()));
    }
    EXPECT_STREQ(xml, kept);  // still ours
    std::free(kept);

    char* given = static_cast<char*>(std::malloc(sizeof(xml)));
    std::memcpy(given, xml, sizeof(xml));
    Reader reader(CreateXmlReaderFromBuffer(given, static_cast<int>(std::strlen(xml)), true));
    EXPECT_EQ("a;b;", Elements(reader.get()));  // freed by the reader (the leak check would see it)
}

TEST(XmlReaderTest, ReaderFromAHandleRecordsNothing) {
    TempFolder tmp;
    tmp.Write("handle-only.xml", "<x/>");
    Reader reader(CreateXmlReaderFromFile(IO::File::OpenRead(tmp / "handle-only.xml")));
    EXPECT_EQ("x;", Elements(reader.get()));
    EXPECT_EQ(0u, ContentChecksums::Find("handle-only.xml"));
}

TEST(XmlReaderTest, DamagedDocumentsStopWithWhatTheyHave) {
    TempFolder tmp;
    std::string withNul = std::string("<a><b/>", 7) + '\0' + "<c/></a>";
    tmp.Write("nul.xml", withNul);
    Reader nul(CreateXmlReader(tmp / "nul.xml"));
    EXPECT_EQ("a;b;", Elements(nul.get()));
    EXPECT_EQ(ComputeChecksum64("<a><b/>", -1), ContentChecksums::Find("nul.xml"));

    struct Case {
        const char* what;
        std::string text;
        std::string elements;
    } cases[] = {
        {"unterminated element", "<a><b x=\"1\"", "a;"},
        {"unterminated attribute", "<a x=\"never closed", ""},
        {"huge attribute", "<a v=\"" + std::string(4 << 20, 'v') + "\"/><b/>", "a;b;"},
        {"stray bytes", std::string("<a>\xff\xfe\x01<<</a>", 13), "a;"},
    };
    for (const Case& c : cases) {
        tmp.Write("case.xml", c.text);
        Reader reader(CreateXmlReader(tmp / "case.xml"));
        ASSERT_NE(nullptr, reader) << c.what;
        std::string seen = Elements(reader.get());
        EXPECT_EQ(0u, seen.rfind(c.elements, 0)) << c.what << ": " << seen;
    }
}
