#include "options/clsOptionsXML.h"

#include <QFileInfo>

clsOptionsXML::clsOptionsXML(const QString &rootDirectory)
    : m_path(rootDirectory + QStringLiteral("options.xml"))
    , m_fileExists(QFileInfo(m_path).isFile()) {}

clsOptionsXML::~clsOptionsXML() = default;
