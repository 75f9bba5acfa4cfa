#include "platform/WindowsProgram.h"

#include <gtest/gtest.h>

#ifndef Q_OS_WIN
TEST(WindowsProgram, ProgramFilesLieInTheGamesWinePrefix) {
    using platform::programFilesDirectory;
    EXPECT_EQ(programFilesDirectory(QStringLiteral("/home/p/.wine/drive_c/Games/Ghost Recon/")),
              QStringLiteral("/home/p/.wine/drive_c/Program Files"));
    // The first drive_c is the prefix's; one further down is an ordinary directory.
    EXPECT_EQ(programFilesDirectory(QStringLiteral("/p/drive_c/backup/drive_c/GR/")),
              QStringLiteral("/p/drive_c/Program Files"));
    EXPECT_EQ(programFilesDirectory(QStringLiteral("/opt/games/drive_c")), QString());
    EXPECT_EQ(programFilesDirectory(QStringLiteral("/opt/games/GR/")), QString());
}
#endif
