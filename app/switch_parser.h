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

    // Every switch with its arguments, and the plain arguments kept for none
    // (those before the first switch, the first one after a repeated switch).
    const std::map<std::string, std::vector<std::string>>& Switches() const { return m_switches; }
    const std::vector<std::string>& Orphans() const { return m_orphans; }

private:
    std::map<std::string, std::vector<std::string>> m_switches;
    std::vector<std::string> m_orphans;
    // The switch that plain arguments are appended to; "" (never a key) until
    // the first switch.
    std::string m_current;
};
