#pragma once

#include <map>
#include <string>
#include <vector>

// Maps each switch of a command line to the arguments that followed it.
// It knows no particular switch.
class CSwitchParser {
public:
    // At least two characters, a leading '-' and no digit second.
    static bool IsSwitch(const char* text);

    // Fills the table from argv[1..argc-1]; returns the number of switches.
    int Parse(int argc, const char* const* argv);
    bool HasSwitch(const std::string& name) const;
    // The index-th argument of the switch, else the default (or "" for null).
    std::string GetArgument(const std::string& name, int index, const char* defaultValue) const;

private:
    std::map<std::string, std::vector<std::string>> m_switches;
    // The switch that plain arguments are appended to; "" (never a key) until
    // the first switch.
    std::string m_current;
};
