#include "platform/WindowsProgram.h"
#include "servers/GameCommandLine.h"
#include "support/Scoped.h"

#include <gtest/gtest.h>

TEST(GameCommandLine, WindowsTextIsBuiltExactly) {
    const QString root = QStringLiteral("C:\\Games\\Ghost Recon\\");
    const struct {
        const char *password;
        const char *line;
    } cases[] = {
        {"", R"("C:\Games\Ghost Recon\GhostRecon.exe" -client 192.168.0.10)"},
        {"se cret",
         R"("C:\Games\Ghost Recon\GhostRecon.exe" -client 192.168.0.10 -password "se cret")"},
        {"a\"b", R"("C:\Games\Ghost Recon\GhostRecon.exe" -client 192.168.0.10 -password "a"b")"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(GameCommandLine::windowsText(root, QStringLiteral("192.168.0.10"),
                                               QString::fromUtf8(c.password)),
                  QString::fromUtf8(c.line));
}

#ifndef Q_OS_WIN
TEST(GameCommandLine, WineGetsSeparateArgumentsAndThePrefix) {
    const QString root = QStringLiteral("/home/p/.wine/drive_c/Games/GR/");
    const auto request = [&] {
        const ScopedEnv runner("GRQUORVEL_WINE", "/opt/runner");
        return GameCommandLine::request(root, QStringLiteral("10.0.0.1"), QStringLiteral("a \"b"));
    }();
    // The arguments themselves are checked with a real child process in the servers tab tests.
    EXPECT_EQ(request.program, QStringLiteral("/opt/runner"));
    EXPECT_EQ(request.extraEnvironment.value(QStringLiteral("WINEPREFIX")),
              QStringLiteral("/home/p/.wine"));
    EXPECT_EQ(platform::winePrefixFor(QStringLiteral("/opt/games/GR/")), QString());
}
#endif
