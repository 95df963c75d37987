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

TEST(XmlReaderTest, MalformedDocumentsAreRefusedNamingTheLine) {
    TempFolder tmp;
    struct Case {
        const char* what;
        std::string text;
        int line;
    } cases[] = {
        {"attribute without =", "<a b>", 1},
        {"the same inside a document", "<doc>\n<x/>\n<a b></a>\n</doc>", 3},
        {"unclosed comment", "<!-- x", 1},
        {"bang markup", "<!x>", 1},
        {"lone <", "< ", 1},
        {"cut inside an element", "<a><b x=\"1\"", 1},
        {"unterminated attribute", "<a x=\"never closed", 1},
        {"stray bytes", std::string("<a>\x01<<</a>", 10), 1},
        {"cut off at a zero byte", std::string("<a><b/>\0<c/></a>", 15), 1},
        {"an end without a start", "<a/>\n</a>", 2},
        {"document type", "<!DOCTYPE a [<!ENTITY e \"< b\">]>\n<a/>", 1},
        {"UTF-16", std::string("\xff\xfe<\0a\0/\0>\0", 10), 1},
        // Well formed, yet irrXML would misread them.
        {"comment with a lone <", "<a>\n<!-- 1 < 2 -->\n</a>", 2},
        {"comment with a lone >", "<a><!-- > <b c> --></a>", 1},
        {"instruction holding >", "<a><?pi x > <b c ?></a>", 1},
    };
    for (const Case& c : cases) {
        tmp.Write("case.xml", c.text);
        testing::internal::CaptureStderr();
        Reader file(CreateXmlReader(tmp / "case.xml"));
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(nullptr, file) << c.what;
        EXPECT_NE(std::string::npos, said.find("case.xml: line " + std::to_string(c.line) + ": ")) << c.what << said;

        testing::internal::CaptureStderr();
        Reader text(CreateXmlReaderFromString(c.text));
        EXPECT_EQ(nullptr, text) << c.what;
        EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("XML text: line ")) << c.what;

        char* given = static_cast<char*>(std::malloc(c.text.size()));
        std::memcpy(given, c.text.data(), c.text.size());
        testing::internal::CaptureStderr();
        EXPECT_EQ(nullptr, CreateXmlReaderFromBuffer(given, static_cast<int>(c.text.size()), true)) << c.what;
        testing::internal::GetCapturedStderr();  // the given buffer is freed (the leak check would see it)
    }
    // What was read is still recorded, up to the zero byte.
    tmp.Write("nul.xml", std::string("<a><b/>\0<c/></a>", 15));
    testing::internal::CaptureStderr();
    Reader nul(CreateXmlReader(tmp / "nul.xml"));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(ComputeChecksum64("<a><b/>", -1), ContentChecksums::Find("nul.xml"));
}

TEST(XmlReaderTest, WellFormedDocumentsOfEveryShapeAreRead) {
    struct Case {
        const char* what;
        std::string text;
        std::string elements;
    } cases[] = {
        {"declaration, comment, CDATA",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- c -->\n<a><![CDATA[<x>]]><b/></a>", "a;b;"},
        {"UTF-8 byte-order mark", "\xEF\xBB\xBF<a><b/></a>", "a;b;"},
        {"bytes beyond ASCII", "<a t=\"caf\xc3\xa9 \xe9\"><b/></a>", "a;b;"},
        {"spaces around =", "<a x = \"1\"><b/></a>", "a;b;"},
        {"huge attribute", "<r><a v=\"" + std::string(4 << 20, 'v') + "\"/><b/></r>", "r;a;b;"},
        {"after a zero byte", std::string("<a><b/></a>\0<c", 14), "a;b;"},
        {"comment with paired brackets", "<a><!-- <b x=\"1\"/> --><c/></a>", "a;c;"},
        {"elements side by side", "<?xml version=\"1.0\"?>\n<a/>\n<b/>text", "a;b;"},
    };
    for (const Case& c : cases) {
        Reader reader(CreateXmlReaderFromString(c.text));
        ASSERT_NE(nullptr, reader) << c.what;
        EXPECT_EQ(c.elements, Elements(reader.get())) << c.what;
    }
}
