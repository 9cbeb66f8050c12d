// Parameter forms: a predefined dialog built from a template text whose first
// line is the title and each further line "label %W.M%FMT" (W the field
// width, M the maximum number of characters, FMT the printf format of the
// value). The form holds the typed values; real fields read typed text as
// single-precision numbers, as every typed number of the program is read.
#pragma once

#include <string>
#include <vector>

namespace ui {

struct ParamField {
    enum class Type { Real, Integer, String };
    std::string label;
    int width = 0;
    int maxChars = 0;
    std::string format; // e.g. "%10.3f"
    Type type = Type::Real;
    double real = 0;
    int integer = 0;
    std::string text;

    // The value as the field shows it, printed with its format.
    std::string display() const;
    // Reads typed text into the value; false when it is not a number.
    bool assign(const std::string& typed);
};

struct ParamForm {
    std::string title;
    std::vector<ParamField> fields;

    // Parses a template; false (and an empty form) when a field line has no
    // "%W.M%FMT" part.
    static bool parse(const std::string& tmpl, ParamForm& out);
};

} // namespace ui
