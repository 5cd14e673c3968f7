#include "app/switch_parser.h"

bool CSwitchParser::IsSwitch(const char* text)
{
    return text != nullptr && text[0] == '-' && text[1] != '\0' && !(text[1] >= '0' && text[1] <= '9');
}

int CSwitchParser::Parse(int argc, const char* const* argv)
{
    m_switches.clear();
    m_orphans.clear();
    m_current.clear();
    for (int i = 1; i < argc; ++i) {
        if (IsSwitch(argv[i])) {
            const std::string name = argv[i];
            std::vector<std::string> arguments;
            // The element after a switch is its first argument unless it is a
            // switch itself; an empty one is consumed all the same.
            if (i + 1 < argc && !IsSwitch(argv[i + 1])) {
                ++i;
                if (argv[i][0] != '\0')
                    arguments.emplace_back(argv[i]);
            }
            // A repeated switch keeps its first entry and loses its new first argument.
            if (!m_switches.try_emplace(name, arguments).second)
                m_orphans.insert(m_orphans.end(), arguments.begin(), arguments.end());
            m_current = name;
        } else {
            auto entry = m_switches.find(m_current);
            if (entry != m_switches.end())
                entry->second.emplace_back(argv[i]);
            else
                m_orphans.emplace_back(argv[i]);
        }
    }
    return static_cast<int>(m_switches.size());
}

bool CSwitchParser::HasSwitch(const std::string& name) const
{
    return m_switches.contains(name);
}

std::string CSwitchParser::GetArgument(const std::string& name, int index, const char* defaultValue) const
{
    const auto entry = m_switches.find(name);
    if (entry != m_switches.end() && index >= 0 && entry->second.size() > static_cast<std::size_t>(index))
        return entry->second[static_cast<std::size_t>(index)];
    return defaultValue != nullptr ? defaultValue : "";
}
