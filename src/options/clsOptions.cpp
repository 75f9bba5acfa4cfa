#include "options/clsOptions.h"

#include "common/Prompter.h"
#include "common/QuorvelError.h"
#include "common/TextRules.h"
#include "root/AppRoot.h"
#include "servers/basUtilities.h"
#include "servers/clsGRServers.h"
#include "servers/clsGlobalGRControls.h"
#include "voice/clsRWServers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <pugixml.hpp>

#include <cstring>

namespace {

QString corruptTitle() {
    return QCoreApplication::translate("clsOptions", "An Error has occured.");
}

QString corruptText(const QString &description) {
    return description + QStringLiteral("\r\n\r\n") +
           QCoreApplication::translate("clsOptions",
                                       "Your preferences file may be corrupt and you may need to "
                                       "delete it. GRQuorvelOptions.xml");
}

// The order in which the file holds its elements, and their text in a fresh document.
struct DefaultElement {
    const char *name;
    const char *text; // nullptr: no text at all
};
constexpr DefaultElement defaultElements[] = {
    {"Version", "1.01"},    {"LastStatsDirectory", ""}, {"UserName", ""},
    {"UserEmail", ""},      {"RecordStats", "True"},    {"PingOnStart", "True"},
    {"ShowTips", "True"},   {"LastTip", "-1"},          {"RogerWilcoEXE", nullptr},
    {"GRServers", nullptr}, {"PlayerNames", nullptr},   {"RWServers", nullptr},
};

QByteArray utf8(const QString &text) {
    return text.toUtf8();
}

// The first element of this name anywhere in the document, in document order.
pugi::xml_node firstElement(const pugi::xml_node &root, const char *name) {
    return root.find_node([name](const pugi::xml_node &node) {
        return node.type() == pugi::node_element && std::strcmp(node.name(), name) == 0;
    });
}

// The text of a node and everything below it, as a DOM's text property gives it. Walked without
// recursion: a file may nest elements arbitrarily deep.
QString innerText(const pugi::xml_node &node) {
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)
        return QString::fromUtf8(node.value());
    QByteArray text;
    pugi::xml_node at = node.first_child();
    while (at) {
        if (at.type() == pugi::node_pcdata || at.type() == pugi::node_cdata)
            text += at.value();
        if (at.first_child()) {
            at = at.first_child();
            continue;
        }
        while (at != node && !at.next_sibling())
            at = at.parent();
        if (at == node)
            break;
        at = at.next_sibling();
    }
    return QString::fromUtf8(text);
}

void setText(pugi::xml_node element, const QString &text) {
    while (element.first_child())
        element.remove_child(element.first_child());
    if (!text.isEmpty())
        element.append_child(pugi::node_pcdata).set_value(utf8(text).constData());
}

// An attribute's text; an entry without the attribute reads as empty text.
std::optional<QString> attributeValue(const pugi::xml_node &node, const char *name) {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute)
        return std::nullopt;
    return QString::fromUtf8(attribute.value());
}

std::unique_ptr<pugi::xml_document> createDefaultDocument() {
    auto doc = std::make_unique<pugi::xml_document>();
    pugi::xml_node root = doc->append_child("options");
    for (const DefaultElement &e : defaultElements) {
        pugi::xml_node element = root.append_child(e.name);
        if (e.text && *e.text)
            element.append_child(pugi::node_pcdata).set_value(e.text);
    }
    return doc;
}

// Whether the parser takes these bytes as UTF-8: anything but a byte-order mark, a 16/32-bit
// layout or a declaration of Latin-1 (which the parser converts itself).
bool readAsUtf8(const QByteArray &bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") ||
        bytes.startsWith("\xFE\xFF") || (bytes.size() >= 2 && (bytes[0] == 0 || bytes[1] == 0)))
        return false;
    if (!bytes.startsWith("<?xml"))
        return true;
    const QByteArray declaration = bytes.left(bytes.indexOf("?>")).toLower();
    const qsizetype at = declaration.indexOf("encoding");
    return at < 0 ||
           (declaration.indexOf("iso-8859-1", at) < 0 && declaration.indexOf("latin1", at) < 0);
}

// Loads a file into a new document; a missing, unreadable or malformed file gives an empty
// one. Line ends are kept as they stand, so a value holding a carriage return reads back as it
// was saved. A file that should be UTF-8 but is not was written in the Windows code page: it is
// read as such, so no character of it turns into a replacement character.
std::unique_ptr<pugi::xml_document>
loadDocument(const QString &path, unsigned options = pugi::parse_default & ~pugi::parse_eol) {
    auto doc = std::make_unique<pugi::xml_document>();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return doc;
    QByteArray bytes = file.readAll();
    pugi::xml_encoding encoding = pugi::encoding_auto;
    if (readAsUtf8(bytes) && !QByteArrayView(bytes).isValidUtf8()) {
        bytes = fromWindows1252(bytes).toUtf8();
        encoding = pugi::encoding_utf8;
    }
    if (!doc->load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()), options, encoding))
        doc->reset();
    return doc;
}

QString defaultRogerWilcoPath() {
    const QString path = QStringLiteral("C:\\Program Files\\Roger Wilco\\Roger.exe");
    return QFileInfo(path).isFile() ? path : QString();
}

const char *boolWord(bool value) {
    return value ? "True" : "False";
}

struct StringWriter : pugi::xml_writer {
    QByteArray bytes;
    void write(const void *data, size_t size) override {
        bytes.append(static_cast<const char *>(data), static_cast<qsizetype>(size));
    }
};

} // namespace

clsOptions::clsOptions() = default;
clsOptions::~clsOptions() = default;

void clsOptions::AddPlayerName(const QString &in_strName) {
    if (m_playerNames.add(in_strName, in_strName).added)
        m_changed();
}

void clsOptions::RemovePlayerName(const QString &in_strName) {
    if (m_playerNames.remove(in_strName))
        m_changed();
}

bool clsOptions::IsRogerWilcoSetup() const {
    return !m_rogerWilcoExe.isEmpty() && QFileInfo(m_rogerWilcoExe).isFile();
}

Prompter &clsOptions::prompter() const {
    return m_parent->prompter();
}

void clsOptions::Load(const QString &in_strPath) {
    Q_ASSERT(m_parent);
    if (!m_parent)
        return;
    Prompter &p = prompter();
    const bool opened = runWithRetry(p, titles::error, [&] {
        m_document =
            QFileInfo(in_strPath).isFile() ? loadDocument(in_strPath) : createDefaultDocument();
    });
    if (!opened)
        return;
    const pugi::xml_document &doc = *m_document;
    const auto element = [&doc](const char *name) { return firstElement(doc, name); };

    // Each value has its own reader: a failure in one leaves that value at its default and the
    // others are still read.
    runWithRetry(p, titles::error, [&] {
        if (const pugi::xml_node e = element("LastStatsDirectory"))
            m_statsPath = innerText(e);
        if (m_statsPath.isEmpty() || !QFileInfo::exists(m_statsPath))
            m_statsPath = m_parent->RootDirectory() + QStringLiteral("Stats");
    });

    const auto readBool = [&](const char *name, bool &member) {
        member = true;
        runWithRetry(
            p, corruptTitle(),
            [&] {
                const pugi::xml_node e = element(name);
                if (!e)
                    return;
                const QString text = innerText(e);
                if (!text.isEmpty())
                    member = textToBool(text);
            },
            corruptText);
    };
    const auto readText = [&](const char *name, QString &member) {
        member.clear();
        runWithRetry(
            p, corruptTitle(),
            [&] {
                if (const pugi::xml_node e = element(name))
                    member = innerText(e);
            },
            corruptText);
    };

    readBool("RecordStats", m_recordStats);
    readText("RogerWilcoEXE", m_rogerWilcoExe);
    if (m_rogerWilcoExe.isEmpty())
        m_rogerWilcoExe = defaultRogerWilcoPath();
    readBool("PingOnStart", m_pingOnStartup);
    readBool("ShowTips", m_showTips);

    m_lastTip = -1;
    runWithRetry(p, titles::error, [&] {
        const pugi::xml_node e = element("LastTip");
        if (!e)
            return;
        const QString text = innerText(e);
        if (!numericValue(text))
            return;
        const std::optional<qint32> value = numericToLong(text);
        if (!value)
            throw QuorvelError(QCoreApplication::translate("QuorvelError", "Overflow"),
                               QuorvelError::Overflow);
        m_lastTip = *value;
    });

    readText("UserName", m_userName);
    readText("UserEmail", m_userEmail);

    readGRServers();
    LoadGameGRServers();
    readRWServers();
    readPlayerNames();
}

// Every child of GRServers is one server; the children's names do not matter. A failing entry
// is asked about on its own, and giving up on it keeps the entries after it, since whatever is
// not loaded now would be missing from the file written at shutdown.
void clsOptions::readGRServers() {
    const pugi::xml_node list = firstElement(*m_document, "GRServers");
    clsGRServers *servers = m_parent->GRServers();
    clsGlobalGRControls *pool = m_parent->GRServerControls();
    if (!list || !servers || !pool)
        return;
    for (pugi::xml_node child = list.first_child(); child; child = child.next_sibling()) {
        runWithRetry(prompter(), titles::error, [&] {
            const std::optional<int> slot = pool->fnNextTimerAndWinsock();
            if (!slot)
                return;
            // Host names are kept as the player typed them.
            const std::optional<QString> ip = attributeValue(child, "IP");
            if (!ip || !IsServerAddress(*ip))
                return;
            clsGRServer *server =
                servers->AddServer(*ip, attributeValue(child, "Name").value_or(QString()),
                                   attributeValue(child, "Password").value_or(QString()), *slot);
            if (!server)
                return;
            // A ping that does not fit is left alone, like a missing one.
            if (const std::optional<QString> ping = attributeValue(child, "Ping")) {
                if (const std::optional<qint32> value = numericToLong(*ping))
                    server->setPing(*value);
            }
            server->setLoadedFromGame(false);
            server->setPingStale(true);
        });
    }
}

void clsOptions::readRWServers() {
    const pugi::xml_node list = firstElement(*m_document, "RWServers");
    clsRWServers *channels = m_parent->RWServers();
    if (!list || !channels)
        return;
    for (pugi::xml_node child = list.first_child(); child; child = child.next_sibling()) {
        runWithRetry(prompter(), titles::error, [&] {
            const std::optional<QString> ip = attributeValue(child, "IP");
            if (!ip)
                return;
            channels->AddServer(*ip, attributeValue(child, "Name").value_or(QString()),
                                attributeValue(child, "Password").value_or(QString()));
        });
    }
}

void clsOptions::readPlayerNames() {
    const pugi::xml_node list = firstElement(*m_document, "PlayerNames");
    if (!list)
        return;
    for (pugi::xml_node child = list.first_child(); child; child = child.next_sibling()) {
        runWithRetry(prompter(), titles::error, [&] {
            // An entry without a name has nothing to offer the player.
            const QString name = attributeValue(child, "Name").value_or(QString());
            if (!name.isEmpty())
                AddPlayerName(name);
        });
    }
}

void clsOptions::LoadGameGRServers() {
    if (!m_parent || !m_parent->GRServers() || !m_parent->GRServerControls())
        return;
    Prompter &p = prompter();
    clsGRServers &servers = *m_parent->GRServers();
    clsGlobalGRControls &pool = *m_parent->GRServerControls();

    std::unique_ptr<pugi::xml_document> game;
    pugi::xpath_node_set entries;
    const bool opened = runWithRetry(p, titles::error, [&] {
        game = loadDocument(m_parent->RootDirectory() + QStringLiteral("options.xml"),
                            pugi::parse_default);
        entries = game->select_nodes("//Multiplayer/IPAddress");
    });
    if (!opened)
        return;
    for (const pugi::xpath_node &entry : entries) {
        const bool done = runWithRetry(p, titles::error, [&] {
            const QString ip = innerText(entry.node());
            // Entries blanked by a removal stay in the game's list as empty slots.
            if (ip.isEmpty())
                return;
            const std::optional<int> slot = pool.fnNextTimerAndWinsock();
            if (!slot || !IsValidIP(ip))
                return;
            if (clsGRServer *server = servers.AddServer(ip, QString(), QString(), *slot)) {
                server->Refresh();
                server->setLoadedFromGame(true);
            }
        });
        if (!done)
            return;
    }
}

void clsOptions::Save(const QString &in_strPath) {
    writeFile(in_strPath, serialise());
}

QByteArray clsOptions::serialise() {
    m_document = createDefaultDocument();
    const pugi::xml_document &doc = *m_document;
    const auto set = [&doc](const char *name, const QString &text) {
        setText(firstElement(doc, name), text);
    };
    const auto appendServer = [](pugi::xml_node &list, const auto &server) {
        pugi::xml_node e = list.append_child("Server");
        e.append_attribute("IP").set_value(utf8(server.IP()).constData());
        e.append_attribute("Name").set_value(utf8(server.Name()).constData());
        e.append_attribute("Password").set_value(utf8(server.Password()).constData());
        return e;
    };
    set("UserName", m_userName);
    set("UserEmail", m_userEmail);
    set("LastStatsDirectory", m_statsPath);
    set("RogerWilcoEXE", m_rogerWilcoExe);
    set("RecordStats", QString::fromLatin1(boolWord(m_recordStats)));
    set("PingOnStart", QString::fromLatin1(boolWord(m_pingOnStartup)));
    set("ShowTips", QString::fromLatin1(boolWord(m_showTips)));
    set("LastTip", QString::number(m_lastTip));

    if (m_parent && m_parent->GRServers()) {
        pugi::xml_node list = firstElement(doc, "GRServers");
        for (const clsGRServer &server : *m_parent->GRServers())
            appendServer(list, server)
                .append_attribute("Ping")
                .set_value(QByteArray::number(server.Ping()).constData());
    }
    {
        pugi::xml_node list = firstElement(doc, "PlayerNames");
        for (const QString &name : m_playerNames)
            list.append_child("PlayerName")
                .append_attribute("Name")
                .set_value(utf8(name).constData());
    }
    if (m_parent && m_parent->RWServers()) {
        pugi::xml_node list = firstElement(doc, "RWServers");
        for (const clsRWServer &channel : *m_parent->RWServers())
            appendServer(list, channel);
    }

    StringWriter writer;
    doc.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return writer.bytes;
}

void clsOptions::writeFile(const QString &in_strPath, const QByteArray &bytes) {
    // Written beside the target and renamed over it: the file on disk is always the old one
    // or the new one, whole.
    // A new file is the player's alone: it holds the servers' passwords. An existing one keeps
    // the mode the player gave it.
    const bool isNew = !QFileInfo::exists(in_strPath);
    QSaveFile file(in_strPath);
    const auto fail = [&](const QString &reason) {
        throw QuorvelError(
            QCoreApplication::translate("clsOptions", "Could not write the preferences file %1: %2")
                .arg(QDir::toNativeSeparators(in_strPath), reason));
    };
    if (!file.open(QIODevice::WriteOnly))
        fail(file.errorString());
    if (isNew) // a file system without modes (a FAT stick) still gets the file
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.write(bytes) != bytes.size())
        fail(file.errorString());
    if (!file.commit())
        fail(file.errorString());
}
