#include "framework/csv_writer.h"

namespace framework {

void WriteCsvField(std::string_view text, std::ostream& out) {
    const bool formula =
        !text.empty() && std::string_view("=+-@\t\r'").find(text[0]) != std::string_view::npos;
    const bool quoted = text.find_first_of(";\"\r\n") != std::string_view::npos;
    if (quoted) out << '"';
    if (formula) out << '\'';
    for (char c : text) {
        if (c == '"') out << '"';
        out << c;
    }
    if (quoted) out << '"';
}

void WriteCsvRecord(const std::vector<std::string>& fields, std::ostream& out) {
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out << ';';
        WriteCsvField(fields[i], out);
    }
    out << "\r\n";
}

}  // namespace framework
