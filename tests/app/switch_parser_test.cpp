#include "app/switch_parser.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

using Table = std::map<std::string, std::vector<std::string>>;

struct ParseCase {
    const char* name;
    std::vector<const char*> elements;  // after the program path
    Table expected;
};

// Reads the whole table back through the public queries.
Table Readback(const CSwitchParser& parser, const Table& expected)
{
    Table seen;
    for (const auto& [name, arguments] : expected) {
        if (!parser.HasSwitch(name))
            continue;
        auto& list = seen[name];
        for (int i = 0; i < static_cast<int>(arguments.size()) + 1; ++i) {
            const std::string value = parser.GetArgument(name, i, "\x01");
            if (value == "\x01")
                break;
            list.push_back(value);
        }
    }
    return seen;
}

class ParseTable : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseTable, BuildsTheSwitchTable)
{
    const ParseCase& c = GetParam();
    std::vector<const char*> argv{"prog"};
    argv.insert(argv.end(), c.elements.begin(), c.elements.end());
    CSwitchParser parser;
    EXPECT_EQ(parser.Parse(static_cast<int>(argv.size()), argv.data()), static_cast<int>(c.expected.size()));
    EXPECT_EQ(Readback(parser, c.expected), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ParseTable,
    ::testing::Values(
        ParseCase{"empty", {}, {}},
        ParseCase{"only_plain_arguments", {"x", "y"}, {}},
        ParseCase{"plain_before_first_switch_ignored", {"x", "-i"}, {{"-i", {}}}},
        ParseCase{"arguments_in_order", {"-f", "one", "two"}, {{"-f", {"one", "two"}}}},
        ParseCase{"switch_after_switch_consumes_nothing", {"-f", "-i"}, {{"-f", {}}, {"-i", {}}}},
        ParseCase{"repeated_switch_keeps_first_entry", {"-f", "one", "-f", "two", "three"}, {{"-f", {"one", "three"}}}},
        ParseCase{"empty_first_argument_dropped", {"-f", ""}, {{"-f", {}}}},
        ParseCase{"second_empty_argument_kept", {"-f", "", ""}, {{"-f", {""}}}},
        ParseCase{"negative_number_is_an_argument", {"-n", "-5"}, {{"-n", {"-5"}}}},
        ParseCase{"joined_letter_is_its_own_switch", {"-vB"}, {{"-vB", {}}}},
        ParseCase{"case_matters", {"-I", "-i"}, {{"-I", {}}, {"-i", {}}}},
        ParseCase{"slash_is_plain", {"/i", "-d", "/x"}, {{"-d", {"/x"}}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SwitchParser, RecognisesSwitches)
{
    EXPECT_FALSE(CSwitchParser::IsSwitch(nullptr));
    for (const char* plain : {"", "-", "-5", "-12", "/i", "i", "x-"})
        EXPECT_FALSE(CSwitchParser::IsSwitch(plain)) << plain;
    for (const char* sw : {"-i", "-x1", "--", "-vB", "-I"})
        EXPECT_TRUE(CSwitchParser::IsSwitch(sw)) << sw;
}

TEST(SwitchParser, UpperCaseIsAnotherSwitch)
{
    const char* argv[] = {"prog", "-I"};
    CSwitchParser parser;
    parser.Parse(2, argv);
    EXPECT_FALSE(parser.HasSwitch("-i"));
    EXPECT_TRUE(parser.HasSwitch("-I"));
}

TEST(SwitchParser, GetArgumentFallsBackToTheDefault)
{
    const char* argv[] = {"prog", "-f", "name", "-v"};
    CSwitchParser parser;
    parser.Parse(4, argv);
    EXPECT_EQ(parser.GetArgument("-f", 0, "d"), "name");
    EXPECT_EQ(parser.GetArgument("-f", 1, "d"), "d");    // beyond the list
    EXPECT_EQ(parser.GetArgument("-v", 0, "A"), "A");    // empty list
    EXPECT_EQ(parser.GetArgument("-x", 0, "d"), "d");    // absent
    EXPECT_EQ(parser.GetArgument("-x", 0, nullptr), "");  // no default
}

TEST(SwitchParser, ParseStartsAfresh)
{
    const char* first[] = {"prog", "-f", "one"};
    const char* second[] = {"prog", "two"};
    CSwitchParser parser;
    parser.Parse(3, first);
    EXPECT_EQ(parser.Parse(2, second), 0);
    EXPECT_FALSE(parser.HasSwitch("-f"));
}

}  // namespace
