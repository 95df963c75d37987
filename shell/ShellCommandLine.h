#pragma once
// The shell's command line: the text (option file text, a blank, then the
// program's command line), split into (name, value) pairs and applied to the
// option set.
#include <string>
#include <vector>

class ShellBase;

// A value is null when the token had no '='.
struct ShellOptionPair {
    const char* name;
    const char* value;
};

class ShellCommandLine {
public:
    void Set(const char* text);
    // The given text, one blank, then the old text (just the text when empty).
    void Prepend(const char* text);
    // Reads the file as one line (line ends become blanks) and prepends it.
    bool LoadFile(const char* path);
    // Joins the strings with single blanks.
    void SetFromArguments(int count, const char* const* strings);

    void Parse();
    void Apply(ShellBase& shell) const;

    // Null until a text was set.
    const char* GetText() const { return has_text_ ? text_.c_str() : nullptr; }
    int GetPairCount() const { return static_cast<int>(pairs_.size()); }
    const ShellOptionPair* GetPairs() const { return pairs_.data(); }

    void Release();

private:
    std::string text_;
    bool has_text_ = false;
    std::vector<char> tokens_;
    std::vector<ShellOptionPair> pairs_;
};
