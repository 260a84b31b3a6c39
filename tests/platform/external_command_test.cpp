#include "platform/external_command.h"

#include <gtest/gtest.h>

namespace wm {
namespace {

TEST(ExternalCommand, OutputOnlyFromCommandsThatSucceed) {
    EXPECT_EQ(run_command(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("echo hi")}),
              QByteArray("hi\n"));
    EXPECT_EQ(
        run_command(QStringLiteral("sh"),
                    {QStringLiteral("-c"), QStringLiteral("echo partial; echo oops >&2; exit 3")}),
        std::nullopt);
    EXPECT_EQ(
        run_command(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("kill -9 $$")}),
        std::nullopt);
    EXPECT_EQ(run_command(QStringLiteral("/nonexistent/wintermere-no-such-tool"), {}),
              std::nullopt);
}

TEST(ExternalCommand, AnInstalledRunnerTakesOverUntilRemoved) {
    QStringList seen;
    const CommandRunner previous =
        set_command_runner([&seen](const QString& program, const QStringList& arguments) {
            seen << program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '));
            return std::optional<QByteArray>(QByteArray("faked"));
        });
    EXPECT_FALSE(previous);
    EXPECT_EQ(run_command(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("exit 1")}),
              QByteArray("faked"));
    EXPECT_EQ(seen, QStringList{QStringLiteral("sh -c exit 1")});

    const CommandRunner fake = set_command_runner(previous);
    EXPECT_TRUE(fake);
    EXPECT_EQ(run_command(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("exit 1")}),
              std::nullopt);
}

}  // namespace
}  // namespace wm
