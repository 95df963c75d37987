#pragma once
// XML is read through irrXML's pull parser, always through one of these
// factories and read callbacks. A callback that knows the name of the file
// it reads records the file's checksum in ContentChecksums as it reads.
#include <irrlicht/irrXML.h>

#include <cstdio>
#include <string>

namespace IO {
class File;
}

namespace irr {
namespace io {
// Our own names; irrXML's library carries a callback class of one of these
// names, so ours live in a namespace of their own for the linker.
inline namespace dm {

// Reads through IO::File (so an archive entry is found before a folder
// file).
class IOFileReadCallBack : public IFileReadCallBack {
public:
    // By name: opens it and records its checksum when read.
    explicit IOFileReadCallBack(const char* fileName);
    // By handle (taken over): no name, no checksum.
    explicit IOFileReadCallBack(IO::File* file);
    ~IOFileReadCallBack() override;
    int read(void* buffer, int sizeToRead) override;
    long getSize() const override;

private:
    IO::File* file_;
    long size_;
    std::string file_name_;
};

// Reads a C stream; by name it keeps the name and records the checksum.
class CFileReadCallBack : public IFileReadCallBack {
public:
    explicit CFileReadCallBack(const char* fileName);
    explicit CFileReadCallBack(FILE* file);
    ~CFileReadCallBack() override;
    int read(void* buffer, int sizeToRead) override;
    long getSize() const override;

private:
    FILE* file_;
    long size_;
    bool close_;
    std::string file_name_;
};

// Reads a copy of a text.
class CMemoryMappedFileReadCallBack : public IFileReadCallBack {
public:
    explicit CMemoryMappedFileReadCallBack(const std::string& text);
    int read(void* buffer, int sizeToRead) override;
    long getSize() const override;

private:
    std::string text_;
};

// Reads a caller's buffer, freeing it (free) at the end when it owns it.
class RawBufferReadCallBack : public IFileReadCallBack {
public:
    RawBufferReadCallBack(void* buffer, int size, bool ownsBuffer);
    ~RawBufferReadCallBack() override;
    int read(void* buffer, int sizeToRead) override;
    long getSize() const override;

private:
    bool owns_buffer_;
    int size_;
    unsigned char* buffer_;
};

}  // namespace dm
}  // namespace io
}  // namespace irr

// Each returns a new 8-bit reader that the caller deletes. A missing or
// empty file gives a reader whose first read reports the end. A document that
// is not well formed XML is refused as a whole: null, after one line on the
// standard error naming the file and the line of the fault.
irr::io::IrrXMLReader* CreateXmlReader(const char* fileName);
irr::io::IrrXMLReader* CreateXmlReader(const std::string& fileName);
// Takes the handle over; records no checksum.
irr::io::IrrXMLReader* CreateXmlReaderFromFile(IO::File* file);
irr::io::IrrXMLReader* CreateXmlReaderFromString(const std::string& text);
irr::io::IrrXMLReader* CreateXmlReaderFromBuffer(void* buffer, int size, bool ownsBuffer);
