#include "startup/command_line.h"

#include <gtest/gtest.h>

#include <limits>

namespace wm {
namespace {

TEST(CommandLine, ArgumentsJoinWithSingleBlanks) {
    EXPECT_EQ(command_line_text({}), QString());
    EXPECT_EQ(command_line_text({QStringLiteral("/p"), QStringLiteral("1234")}),
              QStringLiteral("/p 1234"));
    EXPECT_EQ(command_line_text({QStringLiteral("/c:99")}), QStringLiteral("/c:99"));
}

TEST(CommandLine, TheFirstTwoCharactersUpperCasedSelectTheMode) {
    EXPECT_EQ(switch_text(QString()), QStringLiteral("/C"));
    EXPECT_EQ(switch_text(QStringLiteral("/s")), QStringLiteral("/S"));
    EXPECT_EQ(switch_text(QStringLiteral("/Sxyz")), QStringLiteral("/S"));
    EXPECT_EQ(switch_text(QStringLiteral("s")), QStringLiteral("S"));

    EXPECT_EQ(mode_of_switch(switch_text(QString())), Mode::Configuration);
    EXPECT_EQ(mode_of_switch(switch_text(QStringLiteral("/c:1234"))), Mode::Configuration);
    EXPECT_EQ(mode_of_switch(switch_text(QStringLiteral("/s"))), Mode::Saver);
    EXPECT_EQ(mode_of_switch(switch_text(QStringLiteral("/Sxyz"))), Mode::Saver);
    EXPECT_EQ(mode_of_switch(switch_text(QStringLiteral("/p 1234"))), Mode::Preview);
    EXPECT_EQ(mode_of_switch(switch_text(QStringLiteral("/a 77"))), Mode::ChangePassword);
    EXPECT_EQ(mode_of_switch(switch_text(QStringLiteral("/m"))), Mode::PackBuilder);
    EXPECT_EQ(mode_of_switch(switch_text(QStringLiteral("-s"))), Mode::Unknown);
    EXPECT_EQ(mode_of_switch(switch_text(QStringLiteral("s"))), Mode::Unknown);
    EXPECT_EQ(mode_of_switch(switch_text(QStringLiteral(" /s"))), Mode::Unknown);
}

TEST(CommandLine, HostWindowIsTheNumberAfterTheSwitch) {
    struct Case {
        const char* line;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"/p 1234", 1234},
        {"/p:1234", 0},
        {"/p", 0},
        {"/P", 0},
        {"/p ", 0},
        {"/p 12 34", 1234},  // blanks are skipped anywhere
        {"/p\t\n 5\t6", 56},
        {"/p 12abc", 12},  // reading stops at the first other character
        {"/p 12-3", 12},
        {"/p -42", -42},
        {"/p +42", 42},
        {"/p 1.5", 2},  // half to even
        {"/p 2.5", 2},
        {"/p 2.51", 3},
        {"/p -0.5", 0},
        {"/p 1e3", 1000},
        {"/p 1D2", 100},
        {"/p 12e", 12},
        {"/p .", 0},
        {"/p -", 0},
        {"/p 2147483647", std::numeric_limits<std::int32_t>::max()},
        {"/p -2147483648", std::numeric_limits<std::int32_t>::min()},
        {"/p 2147483648", 0},  // beyond 32 bits
        {"/p 99999999999", 0},
        {"/p 1e400", 0},
        {"/p 0x1F", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parse_host_window(QString::fromLatin1(c.line)), c.expected) << c.line;
    }
}

}  // namespace
}  // namespace wm
