#include "gameopts/clsOptionsXML.h"

#include "common/QuorvelError.h"
#include "common/TextRules.h"
#include "gameopts/XmlTextEdit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <pugixml.hpp>

#include <algorithm>

clsOptionsXML::clsOptionsXML(const QString &rootDirectory)
    : m_path(rootDirectory + QStringLiteral("options.xml")) {
    const QFileInfo info(m_path);
    if (!info.isFile())
        return;
    // A read-only file could never be saved: give the owner write permission.
    const QFile::Permissions permissions = QFile::permissions(m_path);
    if (!(permissions & QFile::WriteOwner))
        QFile::setPermissions(m_path, permissions | QFile::WriteOwner);
    m_fileExists = true;
}

clsOptionsXML::~clsOptionsXML() = default;

bool clsOptionsXML::IsLoaded() const {
    return m_doc != nullptr;
}

void clsOptionsXML::Load() {
    m_doc.reset();
    m_text.clear();
    m_bom.clear();
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    auto decoded = XmlTextEdit::decode(file.readAll());
    if (!decoded)
        return;
    m_encoding = decoded->encoding;
    m_bom = std::move(decoded->bom);
    m_text = std::move(decoded->text);
    parse();
}

bool clsOptionsXML::parse() {
    auto doc = std::make_unique<pugi::xml_document>();
    const pugi::xml_parse_result result =
        doc->load_buffer(m_text.constData(), static_cast<size_t>(m_text.size()),
                         pugi::parse_default, pugi::encoding_utf8);
    if (!result) {
        m_doc.reset();
        return false;
    }
    m_doc = std::move(doc);
    return true;
}

void clsOptionsXML::Save() {
    if (!m_doc)
        return;
    const QByteArray bytes = m_bom + XmlTextEdit::encode(m_text, m_encoding);
    const auto fail = [this](const QString &reason) {
        throw QuorvelError(QDir::toNativeSeparators(m_path) + QStringLiteral(": ") + reason);
    };
    // Written beside the file and renamed over it, so the file is always whole, old or new.
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        fail(file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        fail(reason);
    }
    if (!file.commit())
        fail(file.errorString());
}

QString clsOptionsXML::GetElementText(const char *name) const {
    if (!m_doc)
        return {};
    const pugi::xml_node element = XmlTextEdit::firstElement(*m_doc, name);
    return element ? QString::fromUtf8(XmlTextEdit::stringValue(element)) : QString();
}

void clsOptionsXML::SetElementText(const char *name, const QString &text) {
    if (!m_doc)
        return;
    const pugi::xml_node element = XmlTextEdit::firstElement(*m_doc, name);
    // Writing the text the element already holds leaves the file's bytes exactly as they are
    // (character references, CDATA and all).
    if (element && QString::fromUtf8(XmlTextEdit::stringValue(element)) != text)
        applyEdit(XmlTextEdit::withContent(m_text, element,
                                           XmlTextEdit::escapeContent(text, m_encoding)));
}

void clsOptionsXML::applyEdit(const std::optional<QByteArray> &edited) {
    if (!edited || *edited == m_text)
        return;
    const QByteArray before = m_text;
    m_text = *edited;
    if (!parse()) {
        // Cannot happen with escaped content; keep the document that was there.
        m_text = before;
        parse();
    }
}

bool clsOptionsXML::ShowDeadBodies() const {
    return textToBool(GetElementText("ShowDeadBodies"));
}

void clsOptionsXML::setShowDeadBodies(bool in_bln) {
    SetElementText("ShowDeadBodies", in_bln ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
}

bool clsOptionsXML::ShowFrameRate() const {
    return textToBool(GetElementText("ShowFrameRate"));
}

void clsOptionsXML::setShowFrameRate(bool in_bln) {
    SetElementText("ShowFrameRate", in_bln ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
}

QString clsOptionsXML::PlayerName() const {
    return GetElementText("PlayerName");
}

void clsOptionsXML::setPlayerName(const QString &in_str) {
    SetElementText("PlayerName", in_str);
}

qint32 clsOptionsXML::readColor(const char *red, const char *green, const char *blue) const {
    const auto channel = [this](const char *name) {
        const auto value = numericValue(GetElementText(name));
        if (!value)
            return 0;
        // Out of range either way would spill into the neighbouring channels of the packed
        // value, so a channel is held to 0..255.
        return static_cast<int>(std::clamp(roundHalfEven(*value), 0.0, 255.0));
    };
    return packColor(channel(red), channel(green), channel(blue));
}

void clsOptionsXML::writeColor(qint32 color, const char *red, const char *green, const char *blue) {
    const Rgb rgb = splitColor(color);
    SetElementText(red, QString::number(rgb.red));
    SetElementText(green, QString::number(rgb.green));
    SetElementText(blue, QString::number(rgb.blue));
}

qint32 clsOptionsXML::RetColor() const {
    return readColor("ReticuleColorR", "ReticuleColorG", "ReticuleColorB");
}

void clsOptionsXML::setRetColor(qint32 in_lng) {
    writeColor(in_lng, "ReticuleColorR", "ReticuleColorG", "ReticuleColorB");
}

qint32 clsOptionsXML::IFFRetColor() const {
    return readColor("ReticuleIFFColorR", "ReticuleIFFColorG", "ReticuleIFFColorB");
}

void clsOptionsXML::setIFFRetColor(qint32 in_lng) {
    writeColor(in_lng, "ReticuleIFFColorR", "ReticuleIFFColorG", "ReticuleIFFColorB");
}

void clsOptionsXML::RemoveGRServer(const QString &in_strIP) {
    if (!m_doc)
        return;
    // The address is compared as text, never made part of a query; blanks around the game's
    // entry were left out when it was imported, so they do not count here either.
    const QByteArray address = in_strIP.trimmed().toUtf8();
    const pugi::xml_node found =
        XmlTextEdit::firstElement(*m_doc, "IPAddress", [&](const pugi::xml_node &node) {
            return XmlTextEdit::stringValue(node).trimmed() == address;
        });
    if (found)
        applyEdit(XmlTextEdit::withContent(m_text, found, {}));
}
