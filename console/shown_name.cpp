#include "console/shown_name.h"

std::string ShownName(const std::string& name)
{
    std::string shown;
    shown.reserve(name.size());
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7f) {
            shown += c;
            continue;
        }
        shown += '\\';
        shown += static_cast<char>('0' + (byte >> 6));
        shown += static_cast<char>('0' + ((byte >> 3) & 7));
        shown += static_cast<char>('0' + (byte & 7));
    }
    return shown;
}

std::string QuotedName(const std::string& name)
{
    return '\'' + ShownName(name) + '\'';
}
