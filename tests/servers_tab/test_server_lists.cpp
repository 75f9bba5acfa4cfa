#include "servers/GRQueryProtocol.h"
#include "servers/ServerListFile.h"
#include "servers_tab/ServerListModel.h"
#include "support/ScriptedCommonDialog.h"
#include "support/Widgets.h"
#include "support/WindowApp.h"
#include "voice/clsRWServers.h"
#include "voice_tab/ctlRWServers.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QNetworkDatagram>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QUdpSocket>

#include <gtest/gtest.h>

namespace {

// The program's window with its file choosers scripted; keys go to whatever has the focus.
struct ListsApp : WindowApp {
    explicit ListsApp(ScriptedCommonDialog *choosers = new ScriptedCommonDialog)
        : WindowApp({.timing = {.queryWindowMs = 200, .listTickMs = 60000, .pingTimeoutMs = 200},
                     .commonDialog = choosers,
                     .active = true})
        , dialog(*choosers) {}
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const {
        QWidget *focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, static_cast<Qt::Key>(key), modifiers);
    }
    void focus(QWidget *widget) const {
        widget->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(widget->hasFocus());
    }
    QAction *action(const char *name) const { return named<QAction>(*main, name); }
    QTableView *list() const { return tab->listView(); }
    void selectServer(const QString &key) const {
        const int row = tab->listModel()->rowOfKey(key);
        ASSERT_GE(row, 0) << key.toStdString();
        focus(list());
        list()->setCurrentIndex(tab->sortModel()->mapFromSource(tab->listModel()->index(row, 0)));
    }
    std::vector<ServerListEntry> servers() const {
        std::vector<ServerListEntry> all;
        for (const clsGRServer &r : *root->GRServers())
            all.push_back({r.IP(), r.Name(), r.Password()});
        return all;
    }
    QString file(const QString &name, const QByteArray &bytes) const {
        const QString path = files.filePath(name);
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return path;
    }

    // The names of the controls Tab reaches from `start`, until it comes round to it again.
    QStringList tabWalk(QWidget *start) const {
        focus(start);
        QStringList seen;
        for (int i = 0; i < 60; ++i) {
            key(Qt::Key_Tab);
            QWidget *now = QApplication::focusWidget();
            if (now == start)
                break;
            seen << now->objectName();
        }
        return seen;
    }

    ScriptedCommonDialog &dialog;
    QTemporaryDir files;
};

// Whether `seen` holds the `expected` names in their order, among others.
bool inOrder(const QStringList &seen, std::initializer_list<const char *> expected) {
    qsizetype at = 0;
    for (const char *name : expected)
        if ((at = seen.indexOf(QString::fromLatin1(name), at)) < 0)
            return false;
    return true;
}

std::vector<ServerListEntry> thousandServers() {
    std::vector<ServerListEntry> entries;
    for (int i = 0; i < 1000; ++i)
        entries.push_back({QStringLiteral("127.83.%1.%2").arg(i / 200).arg(i % 200 + 1),
                           i % 3 ? QStringLiteral("Ünit %1 # \"Ghosts\" ").arg(i) : QString(),
                           i % 2 ? QString() : QStringLiteral("pw %1 #x").arg(i)});
    return entries;
}

TEST(ServerLists, AThousandServersImportedAndExportedThroughTheMenuKeys) {
    ListsApp app;
    const std::vector<ServerListEntry> entries = thousandServers();
    app.dialog.file = app.file(QStringLiteral("in.txt"), ServerListFile::write(entries, true));
    app.focus(app.list());

    app.prompter.expect(QStringLiteral("Import Servers"), Answer::Ok,
                        QStringLiteral("in.txt: 1000 added, 0 already in the list, 0 unreadable."));
    app.key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(app.servers(), entries);
    EXPECT_EQ(app.tab->listModel()->rowCount(), 1000);

    // Again: every one is there already.
    app.prompter.expect(QStringLiteral("Import Servers"), Answer::Ok,
                        QStringLiteral("0 added, 1000 already in the list"));
    app.key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(app.root->GRServers()->Count(), 1000);

    // Out with passwords when the player says so, without them otherwise.
    for (const bool withPasswords : {true, false}) {
        app.dialog.saveFile = app.files.filePath(QStringLiteral("out%1.txt").arg(withPasswords));
        app.prompter.expect(QStringLiteral("Export Servers"),
                            withPasswords ? Answer::Yes : Answer::No, QStringLiteral("passwords"));
        app.key(Qt::Key_S, Qt::ControlModifier);
        QString error;
        const auto read = ServerListFile::readFile(app.dialog.saveFile, error);
        ASSERT_TRUE(read) << error.toStdString();
        std::vector<ServerListEntry> expected = entries;
        for (ServerListEntry &e : expected)
            e.password = withPasswords ? e.password : QString();
        EXPECT_TRUE(read->entries == expected);
    }
    // A cancelled chooser writes and asks nothing.
    app.dialog.saveFile.clear();
    app.key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(app.dialog.saveRequests.size(), 3u);
}

TEST(ServerLists, BadFilesAddNothingAndSaySoAndADroppedFileIsImported) {
    ListsApp app;
    app.add(QStringLiteral("127.83.9.1"), QStringLiteral("Kept"));
    app.tab->RefreshList();
    const QString big = app.files.filePath(QStringLiteral("big.txt"));
    {
        QFile out(big);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        ASSERT_TRUE(out.resize(ServerListFile::maxFileBytes + 10));
    }
    const struct {
        QString path;
        QString message;
        int added;
    } cases[] = {
        {app.file(QStringLiteral("long.txt"), "127.83.9.2\n" + QByteArray(1 << 20, 'x') +
                                                  "\n127.83.9.1\tOther name\n\xff\xfe\n"),
         QStringLiteral("1 added, 1 already in the list, 2 unreadable."), 1},
        {big, QStringLiteral("too large"), 0},
        {app.files.filePath(QStringLiteral("missing.txt")), QStringLiteral("does not exist"), 0},
        {app.files.path(), QStringLiteral("This is not a file."), 0},
    };
    int expected = 1;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        app.dialog.file = c.path;
        app.prompter.expect(QStringLiteral("Import Servers"), Answer::Ok, c.message);
        app.action("mnuFileImport")->trigger();
        expected += c.added;
        EXPECT_EQ(app.root->GRServers()->Count(), expected);
    }
    // The server already listed kept its name.
    EXPECT_EQ(app.root->GRServers()->Item(QStringLiteral("127.83.9.1"))->Name(),
              QStringLiteral("Kept"));
    EXPECT_NE(app.root->GRServers()->Item(QStringLiteral("127.83.9.2")), nullptr);

    // A file dropped on the list, the way the window system hands it over.
    const QString dropped =
        app.file(QStringLiteral("drop.json"), R"([{"address": "127.83.9.3", "name": "Dropped"}])");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(dropped)});
    QWidget *viewport = app.list()->viewport();
    const QPointF at = viewport->rect().center();
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    EXPECT_TRUE(drop.isAccepted());
    app.prompter.expect(QStringLiteral("Import Servers"), Answer::Ok,
                        QStringLiteral("drop.json: 1 added"));
    QTRY_VERIFY(app.root->GRServers()->Item(QStringLiteral("127.83.9.3")));
    EXPECT_EQ(app.root->GRServers()->Item(QStringLiteral("127.83.9.3"))->Name(),
              QStringLiteral("Dropped"));
}

TEST(ServerLists, CopyCutPasteAndUndoRemoveOnTheServersListWithKeys) {
    ListsApp app;
    app.add(QStringLiteral("127.83.1.1"), QStringLiteral("Alpha"), QStringLiteral("a-pw"));
    app.add(QStringLiteral("127.83.1.2"), QStringLiteral("Bravo"), QStringLiteral("b-pw"));
    app.tab->RefreshList();
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    app.focus(app.list());
    app.list()->clearSelection();
    EXPECT_FALSE(app.action("mnuEditCopy")->isEnabled());
    EXPECT_FALSE(app.action("mnuEditUndo")->isEnabled());

    app.selectServer(QStringLiteral("127.83.1.1"));
    EXPECT_TRUE(app.action("mnuEditCopy")->isEnabled());
    app.key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), QStringLiteral("127.83.1.1\tAlpha"));

    // Cut: copied and gone; Delete removes the other one.
    app.key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(app.root->GRServers()->Item(QStringLiteral("127.83.1.1")), nullptr);
    app.selectServer(QStringLiteral("127.83.1.2"));
    app.key(Qt::Key_Delete);
    EXPECT_EQ(app.root->GRServers()->Count(), 0);
    EXPECT_EQ(app.tab->listModel()->rowCount(), 0);

    // Undo brings them back, the last removed first, with name and password.
    EXPECT_TRUE(app.action("mnuEditUndo")->isEnabled());
    app.key(Qt::Key_Z, Qt::ControlModifier);
    app.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(
        app.servers(),
        std::vector<ServerListEntry>(
            {{QStringLiteral("127.83.1.2"), QStringLiteral("Bravo"), QStringLiteral("b-pw")},
             {QStringLiteral("127.83.1.1"), QStringLiteral("Alpha"), QStringLiteral("a-pw")}}));
    EXPECT_FALSE(app.action("mnuEditUndo")->isEnabled());

    // Paste adds every address in the text, once.
    clipboard->setText(QStringLiteral("tonight on 127.83.1.3 and 127.83.1.1, or lan\n"
                                      "127.83.1.4\tDelta\n"));
    app.focus(app.list());
    app.key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(app.root->GRServers()->Count(), 4);
    EXPECT_EQ(app.root->GRServers()->Item(QStringLiteral("127.83.1.4"))->Name(),
              QStringLiteral("Delta"));
    EXPECT_EQ(app.tab->selectedKey(), QStringLiteral("127.83.1.4"));

    // In a text box the keys and the menu entries work on the text.
    auto *search = named<QLineEdit>(*app.tab, "txtSearch");
    app.focus(search);
    QTest::keyClicks(search, QStringLiteral("zulu"));
    search->selectAll();
    app.key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), QStringLiteral("zulu"));
    app.key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_TRUE(search->text().isEmpty());
    app.action("mnuEditPaste")->trigger();
    EXPECT_EQ(search->text(), QStringLiteral("zulu"));
    EXPECT_EQ(app.root->GRServers()->Count(), 4);
}

TEST(ServerLists, TheRogerWilcoListIsWalkedByTabAndCopiesCutsPastesAndUndoesToo) {
    ListsApp app;
    app.prompter.expect(QStringLiteral("Roger Wilco not found"), Answer::No);
    app.main->tabs()->setCurrentIndex(frmMain::TabRogerWilco);
    clsRWServers &channels = *app.root->RWServers();
    channels.AddServer(QStringLiteral("127.83.2.1"), QStringLiteral("Squad"), QStringLiteral("s"));
    auto *pane = named<ctlRWServers>(*app.main, "ctlRWServers");
    pane->RefreshList();
    auto *list = named<QTreeWidget>(*pane, "lsvRWServers");
    const QStringList walk = app.tabWalk(list);
    EXPECT_TRUE(
        inOrder(walk, {"txtAddIP", "txtAddName", "txtAddPassword", "cmdAddServer", "cmdQuit"}))
        << walk.join(u' ').toStdString();
    app.focus(list);
    list->setCurrentItem(list->topLevelItem(0));

    QClipboard *clipboard = QGuiApplication::clipboard();
    app.key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), QStringLiteral("127.83.2.1\tSquad"));
    app.key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(channels.Count(), 0);
    EXPECT_EQ(list->topLevelItemCount(), 0);
    app.key(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(channels.Count(), 1);
    EXPECT_EQ(channels.Item(1)->Password(), QStringLiteral("s"));

    clipboard->setText(QStringLiteral("voice.example.org:3782\tTeam\tpw\nnot a channel!\n"));
    app.focus(list);
    app.key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(channels.Count(), 2);
    EXPECT_EQ(channels.Item(2)->IP(), QStringLiteral("voice.example.org:3782"));
    EXPECT_EQ(channels.Item(2)->Password(), QStringLiteral("pw"));

    list->setCurrentItem(list->topLevelItem(0));
    app.key(Qt::Key_Delete);
    EXPECT_EQ(channels.Count(), 1);

    // Enter on the Add page adds.
    auto *channel = named<QLineEdit>(*pane, "txtAddIP");
    app.focus(channel);
    QTest::keyClicks(channel, QStringLiteral("127.83.2.9"));
    app.key(Qt::Key_Return);
    EXPECT_NE(channels.Item(QStringLiteral("127.83.2.9")), nullptr);
}

TEST(ServerLists, TabWalksTheTabEnterAddsF5RefreshesAndEveryEntryShowsItsKeys) {
    // A silent server that counts the requests it gets.
    QUdpSocket server;
    ASSERT_TRUE(server.bind(QHostAddress(QStringLiteral("127.83.3.1")), grquery::port));
    int requests = 0;
    QObject::connect(&server, &QUdpSocket::readyRead, [&] {
        while (server.hasPendingDatagrams()) {
            server.receiveDatagram();
            ++requests;
        }
    });

    ListsApp app;
    const QStringList servers = app.tabWalk(named<QLineEdit>(*app.tab, "txtSearch"));
    EXPECT_TRUE(inOrder(servers, {"chkHideEmpty", "chkHideFull", "chkHideSilent",
                                  "chkHidePassworded", "cboGameMode", "lsvGRServers", "txtAddIP",
                                  "txtAddPassword", "cmdAddServer", "cmdRefreshAll", "cmdQuit"}))
        << servers.join(u' ').toStdString();
    auto *ip = named<QLineEdit>(*app.tab, "txtAddIP");
    app.focus(ip);
    QTest::keyClicks(ip, QStringLiteral("127.83.3.1"));
    app.key(Qt::Key_Return);
    const clsGRServer *record = app.root->GRServers()->Item(QStringLiteral("127.83.3.1"));
    ASSERT_NE(record, nullptr);
    QTRY_VERIFY(requests > 0);
    QTRY_COMPARE(record->status(), int(clsGRServer::NoReply));

    const int before = requests;
    app.selectServer(QStringLiteral("127.83.3.1"));
    app.key(Qt::Key_F5);
    QTRY_VERIFY(requests > before);

    const std::pair<const char *, QKeySequence> keys[] = {
        {"mnuFileQuit", QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {"mnuFileImport", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"mnuFileExport", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"mnuEditUndo", QKeySequence::Undo},
        {"mnuEditCopy", QKeySequence::Copy},
        {"mnuEditCut", QKeySequence::Cut},
        {"mnuEditPaste", QKeySequence::Paste},
        {"mnuRefresh", QKeySequence(Qt::Key_F5)},
        {"mnuRefreshAll", QKeySequence(Qt::SHIFT | Qt::Key_F5)},
        {"mnuRemove", QKeySequence::Delete},
    };
    for (const auto &[name, sequence] : keys) {
        auto *action = app.tab->findChild<QAction *>(QString::fromLatin1(name));
        EXPECT_EQ((action ? action : app.action(name))->shortcut(), sequence) << name;
    }
}

} // namespace
