#pragma once
// One row of a CSV file as RFC 4180 writes it.

#include <string>
#include <vector>

// The fields joined by commas and ended by CR LF; a field holding a comma,
// a double quote, CR or LF is put in double quotes, its quotes doubled.
std::string CsvRow(const std::vector<std::string>& fields);
