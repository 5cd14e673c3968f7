#pragma once

#include <string>

// A file name as console lines show it: control characters (bytes 1 to 31 and
// 127) as a backslash and three octal digits, so that a name cannot move the
// cursor, clear the screen or break a line; every other byte, '%' and
// non-ASCII bytes included, unchanged.
std::string ShownName(const std::string& name);

// The shown name between single quotes, as a note quotes what the user typed.
std::string QuotedName(const std::string& name);
