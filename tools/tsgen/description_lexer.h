#pragma once
// Splits one line of a description into its keyword and key=value fields, and
// turns written texts into broadcast bytes.
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tsgen {

// A fault in a description; the message already names the line.
class DescriptionError : public std::runtime_error {
public:
    DescriptionError(int line, const std::string& message);
    int line() const { return line_; }

private:
    int line_;
};

struct Field {
    std::string key;
    std::string value;  // bytes, escapes and UTF-8 already decoded
};

struct DescriptionLine {
    int number = 0;
    std::string keyword;  // empty for a blank or comment-only line
    std::vector<Field> fields;
};

// `keyword key=value key="quoted value" # comment`. Values go through DecodeText.
DescriptionLine SplitLine(std::string_view text, int number);

// Written text to bytes: UTF-8 letters up to U+00FF become their single
// ISO-8859-1 byte (é is 0xE9), \xNN gives any byte, \\ and \" themselves.
// Other characters, malformed UTF-8 and unknown escapes are errors.
std::string DecodeText(std::string_view text, int line);

}  // namespace tsgen
