#pragma once
// The reading rules every game-data reader shares, over one file: element starts and
// ends by name, attributes by name or position, numbers as decimal text truncated to
// int32, required texts, ";" lists. Whatever has to be skipped or replaced on the way is
// noted in the caller's list.
#include <cstdint>
#include <string>
#include <vector>

#include "IO/XmlReader.h"

class DictionaryXml {
public:
    // Opens the file; one that cannot be opened raises the assertion "Could not open
    // file for reading" and is noted.
    DictionaryXml(const std::string& path, std::vector<std::string>& notes);
    ~DictionaryXml();
    DictionaryXml(const DictionaryXml&) = delete;
    DictionaryXml& operator=(const DictionaryXml&) = delete;

    bool IsOpen() const { return reader_ != nullptr; }

    // Advances to the next element start or end; false at the end of the document.
    bool Next();
    bool AtStart() const { return start_; }
    bool IsStart(const char* element) const;
    bool IsEnd(const char* element) const;
    const char* Element() const { return element_; }
    // Element starts read so far.
    int ElementCount() const { return elements_; }

    // Required texts: a missing one is noted and gives the empty text (and false).
    bool Text(const char* attribute, std::string& out);
    bool Text(int index, std::string& out);
    // Optional texts: empty when missing.
    std::string OptionalText(const char* attribute) const;
    std::string OptionalText(int index) const;
    // Numbers: 0 when missing; text that is not a decimal number reads as its leading
    // number (0 when it has none), values beyond int32 are held at its ends; both noted.
    int32_t Int(const char* attribute);
    int32_t Int(int index);
    float Float(int index);

    // Adds "<file>: <text>" to the notes.
    void Note(const std::string& text);
    const std::string& Path() const { return path_; }

private:
    double Number(const char* text, const std::string& where);
    int32_t ToInt(double value, const std::string& where);
    std::string Where(const char* attribute) const;
    std::string Where(int index) const;

    irr::io::IrrXMLReader* reader_ = nullptr;
    std::vector<std::string>& notes_;
    std::string path_;
    const char* element_ = "";
    bool start_ = false;
    int elements_ = 0;
};

// Items of a ";" list: "a;;b" gives a, "", b; a trailing ";" adds no empty item; the
// empty text gives no item.
std::vector<std::string> SplitList(const std::string& text);

// Tracks the record element of a file, so that a record left open at the end of the
// document can be reported.
class RecordTracker {
public:
    explicit RecordTracker(const char* element) : element_(element) {}
    void Opened() {
        open_ = true;
        ++records_;
    }
    void Closed() { open_ = false; }
    // Notes a record whose end element never came (it is not inserted), and a file
    // without any record (empty, or not XML at all).
    void Finish(DictionaryXml& xml) const;

private:
    const char* element_;
    bool open_ = false;
    int records_ = 0;
};
