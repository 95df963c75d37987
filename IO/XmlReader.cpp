#include "IO/XmlReader.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

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

// The reader reads the whole document while it is made and deletes the
// callback (closing the file) right after.
irr::io::IrrXMLReader* CreateXmlReader(const char* fileName) {
    return irr::io::createIrrXMLReader(new irr::io::IOFileReadCallBack(fileName), true);
}

irr::io::IrrXMLReader* CreateXmlReader(const std::string& fileName) { return CreateXmlReader(fileName.c_str()); }

irr::io::IrrXMLReader* CreateXmlReaderFromFile(IO::File* file) {
    return irr::io::createIrrXMLReader(new irr::io::IOFileReadCallBack(file), true);
}

irr::io::IrrXMLReader* CreateXmlReaderFromString(const std::string& text) {
    return irr::io::createIrrXMLReader(new irr::io::CMemoryMappedFileReadCallBack(text), true);
}

irr::io::IrrXMLReader* CreateXmlReaderFromBuffer(void* buffer, int size, bool ownsBuffer) {
    return irr::io::createIrrXMLReader(new irr::io::RawBufferReadCallBack(buffer, size, ownsBuffer), true);
}
