#include "Classes/Dictionary/GameDictionary/DictionaryXml.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>

#include "Core/Assert.h"
#include "IO/File.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

struct ParsedNumber {
    double value = 0.0;
    bool found = false;     // the text starts with a number
    bool complete = false;  // and holds nothing else but blanks
};

// Decimal text: blanks, an optional sign, digits with an optional fraction, an optional
// exponent. Hexadecimal, "inf" and "nan" are not numbers here.
ParsedNumber ParseDecimal(const char* text) {
    ParsedNumber result;
    const char* p = text;
    while (IsBlank(*p)) ++p;

    std::string normal;  // the form from_chars takes: no '+', no blanks
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        if (negative) normal += '-';
        ++p;
    }
    bool anyDigit = false;
    long integerDigits = 0;  // without leading zeros: decides overflow against underflow
    for (; IsDigit(*p); ++p) {
        anyDigit = true;
        if (*p != '0' || integerDigits > 0) ++integerDigits;
        normal += *p;
    }
    if (*p == '.') {
        normal += *p++;
        for (; IsDigit(*p); ++p) {
            anyDigit = true;
            normal += *p;
        }
    }
    if (!anyDigit) return result;

    long exponent = 0;
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        bool negativeExponent = false;
        if (*q == '+' || *q == '-') negativeExponent = *q++ == '-';
        if (IsDigit(*q)) {
            normal += negativeExponent ? "e-" : "e";
            for (; IsDigit(*q); ++q) {
                normal += *q;
                if (exponent < 100000) exponent = exponent * 10 + (*q - '0');
            }
            if (negativeExponent) exponent = -exponent;
            p = q;
        }
    }
    while (IsBlank(*p)) ++p;
    result.found = true;
    result.complete = *p == '\0';

    const std::from_chars_result parsed = std::from_chars(normal.data(), normal.data() + normal.size(), result.value);
    if (parsed.ec == std::errc::result_out_of_range) {
        const bool overflow = integerDigits + exponent > 0;
        result.value = overflow ? std::numeric_limits<double>::infinity() : 0.0;
        if (negative) result.value = -result.value;
    } else if (parsed.ec != std::errc()) {
        result.value = 0.0;
    }
    return result;
}

}  // namespace

DictionaryXml::DictionaryXml(const std::string& path, std::vector<std::string>& notes) : notes_(notes), path_(path) {
    // The reader factory gives a reader even for a missing file; ask the file layer first.
    const bool opened = IO::FileExists(path);
    DM_ASSERT(opened, "Could not open file for reading");
    if (!opened) {
        Note("could not be opened");
        return;
    }
    reader_ = CreateXmlReader(path);
    if (!reader_) Note("could not be read");
}

DictionaryXml::~DictionaryXml() { delete reader_; }

bool DictionaryXml::Next() {
    if (!reader_) return false;
    while (reader_->read()) {
        const irr::io::EXML_NODE type = reader_->getNodeType();
        if (type != irr::io::EXN_ELEMENT && type != irr::io::EXN_ELEMENT_END) continue;
        const char* name = reader_->getNodeName();
        element_ = name ? name : "";
        start_ = type == irr::io::EXN_ELEMENT;
        if (start_) ++elements_;
        return true;
    }
    element_ = "";
    return false;
}

bool DictionaryXml::IsStart(const char* element) const { return start_ && std::strcmp(element_, element) == 0; }

bool DictionaryXml::IsEnd(const char* element) const { return !start_ && std::strcmp(element_, element) == 0; }

std::string DictionaryXml::Where(const char* attribute) const {
    return std::string("<") + element_ + "> attribute \"" + attribute + "\"";
}

std::string DictionaryXml::Where(int index) const {
    return std::string("<") + element_ + "> attribute " + std::to_string(index);
}

bool DictionaryXml::Text(const char* attribute, std::string& out) {
    const char* value = reader_ ? reader_->getAttributeValue(attribute) : nullptr;
    out = value ? value : "";
    if (!value) Note(Where(attribute) + " is missing");
    return value != nullptr;
}

bool DictionaryXml::Text(int index, std::string& out) {
    const char* value = reader_ ? reader_->getAttributeValue(index) : nullptr;
    out = value ? value : "";
    if (!value) Note(Where(index) + " is missing");
    return value != nullptr;
}

std::string DictionaryXml::OptionalText(const char* attribute) const {
    const char* value = reader_ ? reader_->getAttributeValue(attribute) : nullptr;
    return value ? value : "";
}

std::string DictionaryXml::OptionalText(int index) const {
    const char* value = reader_ ? reader_->getAttributeValue(index) : nullptr;
    return value ? value : "";
}

double DictionaryXml::Number(const char* text, const std::string& where) {
    if (!text) return 0.0;
    const ParsedNumber number = ParseDecimal(text);
    if (!number.found) Note(where + " \"" + text + "\" is not a number; read as 0");
    else if (!number.complete) Note(where + " \"" + text + "\" is not a plain number; read as its leading number");
    return number.value;
}

int32_t DictionaryXml::ToInt(double value, const std::string& where) {
    if (value >= 2147483648.0) {
        Note(where + " is beyond the int32 range; held at its end");
        return std::numeric_limits<int32_t>::max();
    }
    if (value <= -2147483649.0) {
        Note(where + " is beyond the int32 range; held at its end");
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(value);  // truncates toward zero
}

int32_t DictionaryXml::Int(const char* attribute) {
    const char* text = reader_ ? reader_->getAttributeValue(attribute) : nullptr;
    if (!text) return 0;
    const std::string where = Where(attribute);
    return ToInt(Number(text, where), where);
}

int32_t DictionaryXml::Int(int index) {
    const char* text = reader_ ? reader_->getAttributeValue(index) : nullptr;
    if (!text) return 0;
    const std::string where = Where(index);
    return ToInt(Number(text, where), where);
}

float DictionaryXml::Float(int index) {
    const char* text = reader_ ? reader_->getAttributeValue(index) : nullptr;
    if (!text) return 0.0f;
    const std::string where = Where(index);
    const double value = Number(text, where);
    if (std::fabs(value) > FLT_MAX) {
        Note(where + " is beyond the float range; held at its end");
        return value > 0 ? FLT_MAX : -FLT_MAX;
    }
    return static_cast<float>(value);
}

void DictionaryXml::Note(const std::string& text) { notes_.push_back(path_ + ": " + text); }

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items;
    std::string::size_type begin = 0;
    for (;;) {
        const std::string::size_type end = text.find(';', begin);
        if (end == std::string::npos) break;
        items.push_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
    if (begin < text.size()) items.push_back(text.substr(begin));
    return items;
}

void RecordTracker::Finish(DictionaryXml& xml) const {
    if (!xml.IsOpen()) return;
    if (open_) xml.Note(std::string("the last <") + element_ + "> record never ends; not inserted");
    if (records_ == 0) xml.Note(std::string("holds no <") + element_ + "> record");
}
