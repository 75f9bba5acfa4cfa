#include "options/clsOptionsXML.h"

#include <QFileInfo>

clsOptionsXML::clsOptionsXML(const QString &rootDirectory)
    : m_path(rootDirectory + QStringLiteral("options.xml"))
    , m_fileExists(QFileInfo(m_path).isFile()) {}

clsOptionsXML::~clsOptionsXML() = default;

bool clsOptionsXML::IsLoaded() const { return false; }
void clsOptionsXML::Load() {}
void clsOptionsXML::Save() {}
bool clsOptionsXML::ShowDeadBodies() const { return false; }
void clsOptionsXML::setShowDeadBodies(bool) {}
bool clsOptionsXML::ShowFrameRate() const { return false; }
void clsOptionsXML::setShowFrameRate(bool) {}
QString clsOptionsXML::PlayerName() const { return {}; }
void clsOptionsXML::setPlayerName(const QString &) {}
qint32 clsOptionsXML::RetColor() const { return 0; }
void clsOptionsXML::setRetColor(qint32) {}
qint32 clsOptionsXML::IFFRetColor() const { return 0; }
void clsOptionsXML::setIFFRetColor(qint32) {}
void clsOptionsXML::RemoveGRServer(const QString &) {}
