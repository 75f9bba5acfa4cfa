#include "voice_tab/ctlRWServers.h"

#include "common/BusyCursor.h"
#include "common/Prompter.h"
#include "options/clsOptions.h"
#include "platform/WindowsProgram.h"
#include "root/AppRoot.h"
#include "voice/RogerWilcoLaunch.h"
#include "voice/clsRWServers.h"
#include "widgets/ListMouse.h"
#include "widgets/NamedWidgets.h"

#include <QClipboard>
#include <QEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
// Each row remembers the key its channel was added under: a channel whose text was changed by
// Save keeps that key in the collection, so the row finds it again after any rebuild.
constexpr int KeyRole = Qt::UserRole + 1;

const char nameTip[] = QT_TRANSLATE_NOOP(
    "ctlRWServers",
    "Name of selected server. Name will be saved between sessions even if server goes down "
    "(unlike the game). May only be changed for IPs that are not currently hosting Ghost Recon");

void setIfDifferent(QTreeWidgetItem *row, int column, const QString &text) {
    if (row->text(column) != text)
        row->setText(column, text);
}
} // namespace

ctlRWServers::ctlRWServers(AppRoot &root, QWidget *parent)
    : QWidget(parent)
    , m_root(root) {
    setObjectName(QStringLiteral("ctlRWServers"));

    m_list = named(new QTreeWidget(this), u"lsvRWServers");
    m_list->setToolTip(tr("Right click for options"));
    m_list->setAccessibleName(tr("Roger Wilco Servers"));
    m_list->setHeaderLabels({tr("Channel"), tr("Name"), tr("Last PW")});
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setAllColumnsShowFocus(true);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->header()->resizeSection(0, 233);
    m_list->header()->resizeSection(1, 180);
    m_list->header()->resizeSection(2, 89);
    keepSelectionAndActivateOnDoubleClick(m_list, [this] { Launch(); });
    connect(m_list, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *row) { rowClicked(row); });
    // Whatever moves the selection (keys, a right click, a removal), the Edit page follows it,
    // so Save and Remove always act on the channel the page shows.
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (QTreeWidgetItem *row = selectedRow())
            rowClicked(row);
        emit editStateChanged();
    });
    connect(m_list, &QWidget::customContextMenuRequested, this, &ctlRWServers::showContextMenu);

    m_pages = named(new QTabWidget(this), u"tabControls");
    m_pages->setAccessibleName(tr("Channel commands"));

    auto *add = new QWidget(m_pages);
    auto *addForm = new QFormLayout(add);
    m_txtAddIP = namedEdit(add, "txtAddIP", tr("IP to add"));
    m_txtAddName = namedEdit(add, "txtAddName", tr("IP to add"));
    m_txtAddPassword = namedEdit(add, "txtAddPassword");
    const auto addRow = [](QFormLayout *form, QLabel *label, QLineEdit *field) {
        nameAfter(label, field);
        form->addRow(label, field);
    };
    addRow(addForm, namedLabel(add, "lblAddIP", tr("Channel:")), m_txtAddIP);
    addRow(addForm, namedLabel(add, "lblAddName", tr("Name:")), m_txtAddName);
    addRow(addForm, namedLabel(add, "lblAddPassword", tr("Password:")), m_txtAddPassword);
    auto *cmdAdd =
        namedButton(add, "cmdAddServer", tr("Add"), tr("Adds the IP to the server list"));
    auto *addButtonRow = new QHBoxLayout;
    addButtonRow->addStretch(1);
    addButtonRow->addWidget(cmdAdd);
    addForm->addRow(addButtonRow);
    connect(cmdAdd, &QPushButton::clicked, this, &ctlRWServers::Add);
    for (QLineEdit *box : {m_txtAddIP, m_txtAddName, m_txtAddPassword})
        connect(box, &QLineEdit::returnPressed, this, &ctlRWServers::Add);
    m_pages->addTab(add, tr("Add"));

    auto *edit = new QWidget(m_pages);
    auto *editLayout = new QHBoxLayout(edit);
    auto *editForm = new QFormLayout;
    m_txtEditIP = namedEdit(edit, "txtEditIP", tr("IP to add"));
    m_txtEditName = namedEdit(edit, "txtEditName", tr(nameTip));
    m_txtEditPassword = namedEdit(edit, "txtEditPassword");
    addRow(editForm, namedLabel(edit, "lblEditIP", tr("Channel:")), m_txtEditIP);
    addRow(editForm, namedLabel(edit, "lblEditName", tr("Name:")), m_txtEditName);
    addRow(editForm, namedLabel(edit, "lblEditPassword", tr("Password:")), m_txtEditPassword);
    editLayout->addLayout(editForm, 1);
    auto *editButtons = new QVBoxLayout;
    auto *cmdSave = namedButton(edit, "cmdEditServer", tr("Save"),
                                tr("Save any changes made to the server listing"));
    auto *cmdLaunch = namedButton(edit, "cmdLaunch", tr("Launch"), tr("Join the selected server"));
    m_cmdRemove = namedButton(edit, "cmdRemove", tr("Remove"), tr("Removes the selected server"));
    editButtons->addWidget(cmdSave);
    editButtons->addWidget(cmdLaunch);
    editButtons->addWidget(m_cmdRemove);
    editButtons->addStretch(1);
    editLayout->addLayout(editButtons);
    connect(cmdSave, &QPushButton::clicked, this, &ctlRWServers::Save);
    connect(cmdLaunch, &QPushButton::clicked, this, &ctlRWServers::Launch);
    connect(m_cmdRemove, &QPushButton::clicked, this, &ctlRWServers::Remove);
    m_pages->addTab(edit, tr("Edit"));

    m_menu = named(new QMenu(this), u"mnuRWS");
    m_mnuLaunch = namedAction(m_menu, u"mnuLaunch", tr("Launch"));
    m_menu->addSeparator();
    m_mnuRemove = namedAction(m_menu, u"mnuRemove", tr("Remove"));
    connect(m_mnuLaunch, &QAction::triggered, this, &ctlRWServers::Launch);
    connect(m_mnuRemove, &QAction::triggered, this, &ctlRWServers::Remove);
    // Delete on the list removes the channel, as the menu entry shows.
    auto *remove =
        new QShortcut(QKeySequence::Delete, m_list, nullptr, nullptr, Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, this, &ctlRWServers::Remove);
    m_mnuRemove->setShortcut(QKeySequence::Delete);
    m_mnuRemove->setShortcutContext(Qt::WidgetShortcut);
    m_mnuRemove->setShortcutVisibleInContextMenu(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_pages);

    RefreshList();
}

bool ctlRWServers::hasChannels() const {
    return m_root.RWServers() != nullptr;
}

QTreeWidgetItem *ctlRWServers::selectedRow() const {
    const QList<QTreeWidgetItem *> rows = m_list->selectedItems();
    return rows.isEmpty() ? nullptr : rows.constFirst();
}

clsRWServer *ctlRWServers::selectedRecord() const {
    QTreeWidgetItem *row = selectedRow();
    if (!row || !hasChannels())
        return nullptr;
    return m_root.RWServers()->Item(row->data(0, KeyRole).toString());
}

void ctlRWServers::RefreshList() {
    if (!hasChannels())
        return;
    runWithRetry(m_root.prompter(), titles::error, [this] {
        m_list->clear();
        const clsRWServers &channels = *m_root.RWServers();
        for (int i = 1; i <= channels.Count(); ++i) {
            const clsRWServer *channel = channels.Item(i);
            auto *row = new QTreeWidgetItem(
                QStringList{channel->IP(), channel->Name(), channel->Password()});
            row->setData(0, KeyRole, channels.keyAt(i));
            m_list->addTopLevelItem(row);
        }
    });
    emit editStateChanged();
}

void ctlRWServers::UpdateList() {
    if (!hasChannels())
        return;
    runWithRetry(m_root.prompter(), titles::error, [this] {
        for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
            QTreeWidgetItem *row = m_list->topLevelItem(i);
            const clsRWServer *channel = m_root.RWServers()->Item(row->data(0, KeyRole).toString());
            if (!channel)
                continue;
            setIfDifferent(row, 0, channel->IP());
            setIfDifferent(row, 1, channel->Name());
            setIfDifferent(row, 2, channel->Password());
        }
        const bool selected = selectedRow() != nullptr;
        if (m_cmdRemove->isEnabled() != selected)
            m_cmdRemove->setEnabled(selected);
    });
}

void ctlRWServers::rowClicked(QTreeWidgetItem *row) {
    if (!row)
        return;
    m_pages->setCurrentIndex(1);
    m_txtEditIP->setText(row->text(0));
    m_txtEditName->setText(row->text(1));
    m_txtEditPassword->setText(row->text(2));
    m_list->scrollToItem(row);
    row->setSelected(true);
}

void ctlRWServers::showContextMenu(const QPoint &pos) {
    const bool selected = selectedRow() != nullptr;
    m_mnuLaunch->setEnabled(selected);
    m_mnuRemove->setEnabled(selected);
    m_menu->popup(m_list->viewport()->mapToGlobal(pos));
}

void ctlRWServers::Add() {
    if (!hasChannels())
        return;
    runWithRetry(m_root.prompter(), titles::error, [this] {
        m_root.RWServers()->AddServer(m_txtAddIP->text(), m_txtAddName->text(),
                                      m_txtAddPassword->text());
        BusyCursor busy(BusyCursor::Shape::Hourglass);
        RefreshList();
    });
}

void ctlRWServers::Save() {
    clsRWServer *channel = selectedRecord();
    if (!channel)
        return;
    channel->setIP(m_txtEditIP->text().trimmed());
    channel->setName(m_txtEditName->text());
    channel->setPassword(m_txtEditPassword->text());
    UpdateList();
}

void ctlRWServers::Remove() {
    QTreeWidgetItem *row = selectedRow();
    if (row && selectedRecord()) {
        const clsRWServer *channel = selectedRecord();
        m_removed.push_back({channel->IP(), channel->Name(), channel->Password()});
        m_root.RWServers()->RemoveServer(row->data(0, KeyRole).toString());
        delete row;
        emit editStateChanged();
    }
    if (QTreeWidgetItem *next = selectedRow())
        rowClicked(next);
}

void ctlRWServers::Launch() {
    const clsRWServer *channel = selectedRecord();
    if (!channel)
        return;
    const QString exe = m_root.Options()->RogerWilcoEXE();
    if (exe.isEmpty() || !QFileInfo(exe).isFile()) {
        const Answer answer = m_root.prompter().ask(
            tr("You will need to enter the path to your Roger Wilco EXE before using "
               "this feature. Go to options now?"),
            tr("Roger Wilco not found"), Buttons::YesNo, Icon::Question);
        if (answer == Answer::Yes && m_openOptions)
            m_openOptions();
        return;
    }
    const platform::LaunchRequest request = platform::windowsProgramRequest(
        exe, rogerWilcoArguments(channel->IP(), channel->Password()),
        platform::ShowMode::NormalNotFocused);
    runWithRetry(m_root.prompter(), titles::error, [&] { m_root.launcher().start(request); });
}

void ctlRWServers::selectKey(const QString &key) {
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = m_list->topLevelItem(i);
        if (row->data(0, KeyRole).toString().compare(key, Qt::CaseInsensitive) == 0) {
            m_list->setCurrentItem(row);
            return;
        }
    }
}

void ctlRWServers::copySelected() const {
    const clsRWServer *channel = selectedRecord();
    if (!channel)
        return;
    QString text = channel->IP();
    if (!channel->Name().isEmpty())
        text += u'\t' + channel->Name();
    QGuiApplication::clipboard()->setText(text);
}

void ctlRWServers::cutSelected() {
    if (!selectedRecord())
        return;
    copySelected();
    Remove();
}

void ctlRWServers::pasteText(const QString &text) {
    if (!hasChannels())
        return;
    const ServerListReading reading =
        ServerListFile::parseLoose(text, ServerListFile::isChannelAddress);
    bool added = false;
    runWithRetry(m_root.prompter(), titles::error, [&] {
        for (const ServerListEntry &entry : reading.entries) {
            if (m_root.RWServers()->Item(entry.address))
                continue;
            added =
                m_root.RWServers()->AddServer(entry.address, entry.name, entry.password) || added;
        }
    });
    if (!added)
        return;
    RefreshList();
    selectKey(reading.entries.back().address);
}

void ctlRWServers::undoRemove() {
    if (m_removed.empty() || !hasChannels())
        return;
    const ServerListEntry entry = m_removed.back();
    m_removed.pop_back();
    runWithRetry(m_root.prompter(), titles::error,
                 [&] { m_root.RWServers()->AddServer(entry.address, entry.name, entry.password); });
    RefreshList();
    selectKey(entry.address);
}
