// Loads arbitrary bytes as the preferences file and as the game's options file (whose server
// list is imported), saves what was read, and checks that reading the saved file back and
// saving it again gives the same bytes. Nothing is ever sent: the query pool's sender is
// replaced by one that only pretends to send.
#include "app/clsGRQuorvel.h"
#include "common/Prompter.h"
#include "options/clsOptions.h"
#include "platform/ProcessLauncher.h"
#include "servers/clsGlobalGRControls.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// Every failure is given up on at once, so no input can keep the loader asking.
class CancellingPrompter : public Prompter {
public:
    Answer ask(const QString &, const QString &, Buttons buttons, Icon) override {
        return buttons == Buttons::RetryCancel ? Answer::Cancel : Answer::No;
    }
};

class NoLauncher : public platform::ProcessLauncher {
public:
    void start(const platform::LaunchRequest &) override {}
};

QTemporaryDir *s_dir = nullptr;

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(bytes);
}

QByteArray readFile(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// Loads the file at the game directory's preferences path and saves it back; the saved bytes.
QByteArray loadAndSave() {
    CancellingPrompter prompter;
    NoLauncher launcher;
    StartupEnvironment env;
    env.gameDirectory = s_dir->path();
    clsGRQuorvel root(env, prompter, launcher);
    root.createObjects();
    root.GRServerControls()->setSender([](const QByteArray &, const QHostAddress &, quint16) {
        return clsGlobalGRControls::SendOutcome{};
    });
    const QString path = root.PreferencesFileName();
    root.Options()->Load(path);
    root.Options()->Save(path);
    return readFile(path);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    static QCoreApplication app(*argc, *argv);
    s_dir = new QTemporaryDir;
    return s_dir->isValid() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size) {
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    writeFile(s_dir->filePath(QStringLiteral("GRQuorvelOptions.xml")), input);
    writeFile(s_dir->filePath(QStringLiteral("options.xml")), input);
    const QByteArray once = loadAndSave();
    const QByteArray twice = loadAndSave();
    if (once != twice) {
        std::fprintf(stderr, "saved preferences change when read back:\n%s\n----\n%s\n",
                     once.constData(), twice.constData());
        std::abort();
    }
    return 0;
}
