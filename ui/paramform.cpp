// Template parsing and value formatting of parameter forms.
#include "ui/paramform.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace ui {

namespace {

// Reads the field part "%W.M%FMT" starting at `pos` (which holds '%').
bool parseField(const std::string& line, std::size_t pos, ParamField& f) {
    std::size_t i = pos + 1;
    auto number = [&](int& out) {
        std::size_t start = i;
        while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i]))) ++i;
        if (i == start) return false;
        out = std::atoi(line.substr(start, i - start).c_str());
        return true;
    };
    if (!number(f.width)) return false;
    if (i >= line.size() || line[i] != '.') return false;
    ++i;
    if (!number(f.maxChars)) return false;
    if (i >= line.size() || line[i] != '%') return false;
    f.format = line.substr(i);
    char conv = f.format.empty() ? 0 : f.format.back();
    switch (conv) {
    case 'f':
    case 'e':
    case 'g':
    case 'E':
    case 'G':
        f.type = ParamField::Type::Real;
        break;
    case 'd':
    case 'i':
        f.type = ParamField::Type::Integer;
        break;
    case 's':
        f.type = ParamField::Type::String;
        break;
    default:
        return false;
    }
    return true;
}

} // namespace

bool ParamForm::parse(const std::string& tmpl, ParamForm& out) {
    out = ParamForm{};
    std::size_t start = 0;
    bool first = true;
    while (start < tmpl.size()) {
        std::size_t end = tmpl.find('\n', start);
        if (end == std::string::npos) end = tmpl.size();
        std::string line = tmpl.substr(start, end - start);
        start = end + 1;
        if (first) {
            out.title = line;
            first = false;
            continue;
        }
        if (line.empty()) continue;
        std::size_t pos = line.find('%');
        ParamField f;
        if (pos == std::string::npos || !parseField(line, pos, f)) {
            out = ParamForm{};
            return false;
        }
        f.label = line.substr(0, pos);
        out.fields.push_back(std::move(f));
    }
    return !first;
}

std::string ParamField::display() const {
    char buf[256];
    switch (type) {
    case Type::Real:
        std::snprintf(buf, sizeof buf, format.c_str(), real);
        break;
    case Type::Integer:
        std::snprintf(buf, sizeof buf, format.c_str(), integer);
        break;
    case Type::String:
        std::snprintf(buf, sizeof buf, format.c_str(), text.c_str());
        break;
    }
    return buf;
}

bool ParamField::assign(const std::string& typed) {
    std::string t = maxChars > 0 && static_cast<int>(typed.size()) > maxChars
                        ? typed.substr(0, maxChars)
                        : typed;
    if (type == Type::String) {
        text = t;
        return true;
    }
    const char* s = t.c_str();
    char* end = nullptr;
    if (type == Type::Real) {
        float v = std::strtof(s, &end);
        if (end == s) return false;
        real = v;
    } else {
        long v = std::strtol(s, &end, 10);
        if (end == s) return false;
        integer = static_cast<int>(v);
    }
    return true;
}

} // namespace ui
