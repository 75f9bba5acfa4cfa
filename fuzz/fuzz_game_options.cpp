// Loads arbitrary bytes as the game's options.xml, reads and writes every value, and checks
// that an edited file still loads.
#include "common/QuorvelError.h"
#include "gameopts/clsOptionsXML.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

void readAll(const clsOptionsXML &xml) {
    (void)xml.PlayerName();
    (void)xml.RetColor();
    (void)xml.IFFRetColor();
    try {
        (void)xml.ShowDeadBodies();
    } catch (const QuorvelError &) {
    }
    try {
        (void)xml.ShowFrameRate();
    } catch (const QuorvelError &) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static QTemporaryDir dir;
    const QString root = dir.path() + QStringLiteral("/");
    {
        QFile file(root + QStringLiteral("options.xml"));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }
    clsOptionsXML xml(root);
    xml.Load();
    readAll(xml);
    const bool loaded = xml.IsLoaded();
    xml.setPlayerName(QStringLiteral("R\u00E9n\u00E9 \u20AC<&>\r\n"));
    xml.setRetColor(1169151);
    xml.setIFFRetColor(-1);
    xml.setShowDeadBodies(true);
    xml.setShowFrameRate(false);
    xml.RemoveGRServer(QStringLiteral("10.0.0.1"));
    xml.RemoveGRServer(QString());
    readAll(xml);
    try {
        xml.Save();
    } catch (const QuorvelError &) {
        return 0;
    }
    // An edit never breaks the file: what loaded before loads after.
    xml.Load();
    if (loaded && !xml.IsLoaded())
        std::abort();
    readAll(xml);
    return 0;
}
