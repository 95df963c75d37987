#include "IO/XmlReader.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <cstdio>

#include <expat.h>

#include "IO/ContentChecksums.h"
#include "IO/File.h"
#include "platform/win32/FileSystem.h"

namespace irr {
namespace io {
inline namespace dm {
namespace {

// The parser allocates the whole document at once; a file too large for an
// int count is not read.
long Readable(long size) { return size >= 0 && size <= INT_MAX - 4 ? size : -1; }

// What the callback delivers is the document: bytes it could not deliver
// (a file that shrank) read as zeros, which end the text there.
int Deliver(void* buffer, int sizeToRead, size_t got) {
    if (got < static_cast<size_t>(sizeToRead))
        std::memset(static_cast<char*>(buffer) + got, 0, static_cast<size_t>(sizeToRead) - got);
    return static_cast<int>(got);
}

// The checksum covers the text up to its first zero byte plus one zero.
void Record(const std::string& fileName, const void* buffer, size_t got) {
    if (fileName.empty()) return;
    const char* bytes = static_cast<const char*>(buffer);
    std::string text(bytes, strnlen(bytes, got));
    ContentChecksums::Store(fileName, text.c_str());
}

}  // namespace

IOFileReadCallBack::IOFileReadCallBack(const char* fileName)
    : file_(fileName != nullptr ? IO::File::OpenRead(fileName) : nullptr),
      size_(file_ != nullptr ? Readable(file_->GetSize()) : 0),
      file_name_(fileName != nullptr ? fileName : "") {}

IOFileReadCallBack::IOFileReadCallBack(IO::File* file)
    : file_(file), size_(file_ != nullptr ? Readable(file_->GetSize()) : 0) {}

IOFileReadCallBack::~IOFileReadCallBack() { delete file_; }

int IOFileReadCallBack::read(void* buffer, int sizeToRead) {
    if (file_ == nullptr || buffer == nullptr || sizeToRead < 0) return 0;
    size_t got = file_->Read(buffer, static_cast<size_t>(sizeToRead));
    Record(file_name_, buffer, got);
    return Deliver(buffer, sizeToRead, got);
}

long IOFileReadCallBack::getSize() const { return size_; }

CFileReadCallBack::CFileReadCallBack(const char* fileName)
    : file_(fileName != nullptr ? platform::OpenFile(fileName, "rb") : nullptr),
      size_(0),
      close_(true),
      file_name_(fileName != nullptr ? fileName : "") {
    if (file_ != nullptr && std::fseek(file_, 0, SEEK_END) == 0) {
        size_ = Readable(std::ftell(file_));
        std::fseek(file_, 0, SEEK_SET);
    }
}

CFileReadCallBack::CFileReadCallBack(FILE* file) : file_(file), size_(0), close_(false) {
    if (file_ != nullptr && std::fseek(file_, 0, SEEK_END) == 0) {
        size_ = Readable(std::ftell(file_));
        std::fseek(file_, 0, SEEK_SET);
    }
}

CFileReadCallBack::~CFileReadCallBack() {
    if (close_ && file_ != nullptr) std::fclose(file_);
}

int CFileReadCallBack::read(void* buffer, int sizeToRead) {
    if (file_ == nullptr || buffer == nullptr || sizeToRead < 0) return 0;
    size_t got = std::fread(buffer, 1, static_cast<size_t>(sizeToRead), file_);
    Record(file_name_, buffer, got);
    return Deliver(buffer, sizeToRead, got);
}

long CFileReadCallBack::getSize() const { return size_; }

CMemoryMappedFileReadCallBack::CMemoryMappedFileReadCallBack(const std::string& text) : text_(text) {}

int CMemoryMappedFileReadCallBack::read(void* buffer, int sizeToRead) {
    // Never more than asked for, whatever the text holds.
    if (buffer == nullptr || sizeToRead <= 0) return 0;
    size_t n = std::min(text_.size(), static_cast<size_t>(sizeToRead));
    std::memcpy(buffer, text_.data(), n);
    return static_cast<int>(n);
}

long CMemoryMappedFileReadCallBack::getSize() const { return Readable(static_cast<long>(text_.size())); }

RawBufferReadCallBack::RawBufferReadCallBack(void* buffer, int size, bool ownsBuffer)
    : owns_buffer_(ownsBuffer),
      size_(buffer != nullptr && size > 0 ? size : 0),
      buffer_(static_cast<unsigned char*>(buffer)) {}

RawBufferReadCallBack::~RawBufferReadCallBack() {
    if (owns_buffer_ && buffer_ != nullptr) std::free(buffer_);
}

int RawBufferReadCallBack::read(void* buffer, int sizeToRead) {
    if (buffer == nullptr || sizeToRead <= 0 || buffer_ == nullptr) return 0;
    int n = std::min(sizeToRead, size_);
    std::memcpy(buffer, buffer_, static_cast<size_t>(n));
    return n;
}

long RawBufferReadCallBack::getSize() const { return Readable(size_); }

}  // namespace dm
}  // namespace io
}  // namespace irr

namespace {

// irrXML reads past the end of some malformed texts (an attribute without
// "=", an unclosed comment, "<!x>", "< "), so it is only given documents that
// expat finds well formed and that irrXML reads as expat does. The text is
// taken byte for byte (irrXML reads it so) up to its first zero byte, after a
// UTF-8 byte-order mark. As irrXML does, several elements may stand side by
// side at the top: expat checks the body inside an element of its own.
// Refused although well formed, as irrXML would misread them:
// - a document type declaration (no game file has one): irrXML reads the
//   markup inside it as elements;
// - a comment whose "<" and ">" do not pair up: irrXML ends a comment where
//   its brackets balance, and reads on past the end of the text when they
//   never do;
// - a processing instruction holding ">": irrXML ends it there.
struct XmlCheck {
    bool wellFormed = true;
    unsigned long line = 0;
    std::string error;
};

struct CheckState {
    XML_Parser parser;
    const char* refusal;
};

void Refuse(void* data, const char* why) {
    CheckState* state = static_cast<CheckState*>(data);
    if (state->refusal == nullptr) state->refusal = why;
    XML_StopParser(state->parser, XML_FALSE);
}

void XMLCALL RefuseDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    Refuse(data, "a document type declaration");
}

void XMLCALL CheckComment(void* data, const XML_Char* text) {
    long open = 0;
    for (const XML_Char* c = text; *c != 0; ++c) {
        if (*c == '<') ++open;
        else if (*c == '>' && --open < 0) break;
    }
    if (open != 0) Refuse(data, "a comment whose '<' and '>' do not pair up");
}

void XMLCALL CheckInstruction(void* data, const XML_Char*, const XML_Char* text) {
    if (std::strchr(text, '>') != nullptr) Refuse(data, "a processing instruction holding '>'");
}

// The length irrXML will read: up to the first zero byte.
size_t DocumentLength(const char* text, size_t size) { return strnlen(text, size); }

XmlCheck CheckWellFormed(const char* text, size_t size) {
    XmlCheck check;
    // irrXML would convert such a text, and its check would be another text's.
    if (size >= 2 && ((text[0] == '\xFF' && text[1] == '\xFE') || (text[0] == '\xFE' && text[1] == '\xFF'))) {
        check = {false, 1, "a 16- or 32-bit byte-order mark (only 8-bit text is read)"};
        return check;
    }
    if (size >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) {
        text += 3;
        size -= 3;
    }
    XML_Parser parser = XML_ParserCreate("ISO-8859-1");
    if (parser == nullptr) {
        check = {false, 0, "out of memory"};
        return check;
    }
    CheckState state = {parser, nullptr};
    XML_SetUserData(parser, &state);
    XML_SetStartDoctypeDeclHandler(parser, &RefuseDoctype);
    XML_SetCommentHandler(parser, &CheckComment);
    XML_SetProcessingInstructionHandler(parser, &CheckInstruction);
    // The XML declaration must open the document: it goes before the wrapper.
    size_t declaration = 0;
    if (size >= 5 && std::memcmp(text, "<?xml", 5) == 0) {
        const size_t end = std::string_view(text, size).find("?>");
        declaration = end != std::string_view::npos ? end + 2 : size;
    }
    static const char kOpen[] = "<dunmarch-document>";
    static const char kClose[] = "</dunmarch-document>";
    XML_Status status = XML_Parse(parser, text, static_cast<int>(declaration), XML_FALSE);
    if (status == XML_STATUS_OK) status = XML_Parse(parser, kOpen, sizeof(kOpen) - 1, XML_FALSE);
    if (status == XML_STATUS_OK)
        status = XML_Parse(parser, text + declaration, static_cast<int>(size - declaration), XML_FALSE);
    if (status == XML_STATUS_OK) status = XML_Parse(parser, kClose, sizeof(kClose) - 1, XML_TRUE);
    if (status != XML_STATUS_OK) {
        check.wellFormed = false;
        check.line = static_cast<unsigned long>(XML_GetCurrentLineNumber(parser));
        const XML_Error code = XML_GetErrorCode(parser);
        check.error = code == XML_ERROR_ABORTED && state.refusal != nullptr ? state.refusal : XML_ErrorString(code);
    }
    XML_ParserFree(parser);
    return check;
}

// Checks the first size bytes of the buffer and reads them; null, with one
// line on stderr naming the document and the line, for a malformed one.
irr::io::IrrXMLReader* CreateFromBuffer(void* buffer, int size, bool ownsBuffer, const std::string& name) {
    const char* text = static_cast<const char*>(buffer);
    const size_t length = buffer != nullptr && size > 0 ? DocumentLength(text, static_cast<size_t>(size)) : 0;
    if (length > 0) {
        const XmlCheck check = CheckWellFormed(text, length);
        if (!check.wellFormed) {
            std::fprintf(stderr, "%s: line %lu: %s; the document is not read\n", name.c_str(), check.line,
                         check.error.c_str());
            if (ownsBuffer) std::free(buffer);
            return nullptr;
        }
    }
    return irr::io::createIrrXMLReader(new irr::io::RawBufferReadCallBack(buffer, static_cast<int>(length), ownsBuffer),
                                       true);
}

// Reads the whole document from the callback (deleting it) and checks it.
irr::io::IrrXMLReader* CreateCheckedReader(irr::io::IFileReadCallBack* source, const std::string& name) {
    const long size = source->getSize();
    if (size <= 0) return irr::io::createIrrXMLReader(source, true);  // missing or empty: nothing to read
    char* text = static_cast<char*>(std::malloc(static_cast<size_t>(size)));
    if (text == nullptr) {
        delete source;
        std::fprintf(stderr, "%s: too large to read\n", name.c_str());
        return nullptr;
    }
    const int got = source->read(text, static_cast<int>(size));
    delete source;
    return CreateFromBuffer(text, got > 0 ? got : 0, true, name);
}

}  // namespace

irr::io::IrrXMLReader* CreateXmlReader(const char* fileName) {
    return CreateCheckedReader(new irr::io::IOFileReadCallBack(fileName), fileName != nullptr ? fileName : "");
}

irr::io::IrrXMLReader* CreateXmlReader(const std::string& fileName) { return CreateXmlReader(fileName.c_str()); }

irr::io::IrrXMLReader* CreateXmlReaderFromFile(IO::File* file) {
    return CreateCheckedReader(new irr::io::IOFileReadCallBack(file), "XML file");
}

irr::io::IrrXMLReader* CreateXmlReaderFromString(const std::string& text) {
    return CreateCheckedReader(new irr::io::CMemoryMappedFileReadCallBack(text), "XML text");
}

irr::io::IrrXMLReader* CreateXmlReaderFromBuffer(void* buffer, int size, bool ownsBuffer) {
    return CreateFromBuffer(buffer, size, ownsBuffer, "XML text");
}
