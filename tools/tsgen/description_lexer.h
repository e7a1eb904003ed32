#pragma once
// Splits one line of a description into its keyword and key=value fields.
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
    std::string written;  // as written between the quotes: UTF-8 with escapes
};

struct DescriptionLine {
    int number = 0;
    std::string keyword;  // empty for a blank or comment-only line
    std::vector<Field> fields;
};

// `keyword key=value key="quoted value" # comment`. Values are kept as written;
// the parser turns them into bytes (EncodeText) once it knows their table.
DescriptionLine SplitLine(std::string_view text, int number);

}  // namespace tsgen
