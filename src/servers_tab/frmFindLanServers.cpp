#include "servers_tab/frmFindLanServers.h"

#include "common/Prompter.h"
#include "common/QuorvelError.h"
#include "root/AppRoot.h"
#include "servers/LanServerFinder.h"
#include "servers/clsGRServer.h"
#include "servers/clsGRServers.h"
#include "servers/clsGlobalGRControls.h"
#include "servers/clsPing.h"
#include "widgets/NamedWidgets.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHostAddress>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int addressRole = Qt::UserRole; // the address as a number, for the rows' order
}

frmFindLanServers::frmFindLanServers(AppRoot &root, std::function<void()> listChanged,
                                     QWidget *parent)
    : QDialog(parent)
    , m_root(root)
    , m_listChanged(std::move(listChanged))
    , m_finder(new LanServerFinder(root.timing(), this))
    , m_lsvLanServers(new QTreeWidget(this))
    , m_lblLanStatus(namedLabel(this, "lblLanStatus"))
    , m_cmdLanSearch(namedButton(this, "cmdLanSearch", tr("Search Again"),
                                 tr("Asks the local network for its servers once more")))
    , m_cmdLanAdd(namedButton(this, "cmdLanAdd", tr("Add"),
                              tr("Adds the selected servers to the server list")))
    , m_cmdLanAddAll(namedButton(this, "cmdLanAddAll", tr("Add All"),
                                 tr("Adds every server found to the server list")))
    , m_cmdLanClose(namedButton(this, "cmdLanClose", tr("Close"))) {
    setObjectName(QStringLiteral("frmFindLanServers"));
    setWindowTitle(tr("Find LAN Servers"));

    m_lsvLanServers->setObjectName(QStringLiteral("lsvLanServers"));
    m_lsvLanServers->setAccessibleName(tr("Servers found on the local network"));
    m_lsvLanServers->setRootIsDecorated(false);
    m_lsvLanServers->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_lsvLanServers->setColumnCount(ColumnCount);
    m_lsvLanServers->setHeaderLabels(
        {tr("Address"), tr("Name"), tr("Players"), tr("Map"), tr("Your List")});
    m_lsvLanServers->header()->setStretchLastSection(true);
    m_lsvLanServers->setColumnWidth(ColAddress, 110);
    m_lsvLanServers->setColumnWidth(ColName, 180);
    m_lsvLanServers->setColumnWidth(ColPlayers, 60);
    m_lsvLanServers->setColumnWidth(ColMap, 90);
    m_lblLanStatus->setWordWrap(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdLanSearch);
    buttons->addStretch(1);
    buttons->addWidget(m_cmdLanAdd);
    buttons->addWidget(m_cmdLanAddAll);
    buttons->addWidget(m_cmdLanClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_lsvLanServers, 1);
    layout->addWidget(m_lblLanStatus);
    layout->addLayout(buttons);

    connect(m_finder, &LanServerFinder::serverFound, this, &frmFindLanServers::showFound);
    connect(m_finder, &LanServerFinder::finished, this, &frmFindLanServers::searchEnded);
    connect(m_lsvLanServers, &QTreeWidget::itemSelectionChanged, this,
            &frmFindLanServers::updateButtons);
    connect(m_cmdLanSearch, &QPushButton::clicked, this, &frmFindLanServers::search);
    connect(m_cmdLanAdd, &QPushButton::clicked, this,
            [this] { addRows(m_lsvLanServers->selectedItems()); });
    connect(m_cmdLanAddAll, &QPushButton::clicked, this, [this] {
        QList<QTreeWidgetItem *> all;
        for (int i = 0; i < m_lsvLanServers->topLevelItemCount(); ++i)
            all << m_lsvLanServers->topLevelItem(i);
        addRows(all);
    });
    connect(m_cmdLanClose, &QPushButton::clicked, this, &QDialog::close);
    resize(620, 320);
    search();
}

frmFindLanServers::~frmFindLanServers() = default;

void frmFindLanServers::search() {
    m_lsvLanServers->clear();
    if (m_finder->start()) {
        m_lblLanStatus->setText(tr("Searching the local network..."));
    } else if (m_finder->targets().isEmpty()) {
        m_lblLanStatus->setText(tr("No network connection here can send broadcasts."));
    } else {
        m_lblLanStatus->setText(
            tr("The local network cannot be searched: %1").arg(m_finder->sendError()));
    }
    updateButtons();
}

bool frmFindLanServers::listed(const QString &address) const {
    const clsGRServers *servers = m_root.GRServers();
    return servers && servers->Item(address);
}

void frmFindLanServers::showFound(int index) {
    const clsGRServer &server = m_finder->at(index);
    auto *row = new QTreeWidgetItem;
    row->setText(ColAddress, server.IP());
    row->setText(ColName, server.Name());
    row->setText(ColPlayers, server.PlayerCountString());
    row->setText(ColMap, server.Map());
    const quint32 address = QHostAddress(server.IP()).toIPv4Address();
    row->setData(ColAddress, addressRole, address);
    // In address order, whatever order the answers came in.
    int at = 0;
    while (at < m_lsvLanServers->topLevelItemCount() &&
           m_lsvLanServers->topLevelItem(at)->data(ColAddress, addressRole).toUInt() < address)
        ++at;
    m_lsvLanServers->insertTopLevelItem(at, row);
    markListed();
    updateButtons();
}

void frmFindLanServers::searchEnded() {
    const int found = m_finder->count();
    if (found == 0)
        m_lblLanStatus->setText(tr("No server answered on the local network."));
    else if (found == 1)
        m_lblLanStatus->setText(tr("1 server found."));
    else
        m_lblLanStatus->setText(tr("%1 servers found.").arg(found));
    updateButtons();
}

void frmFindLanServers::markListed() {
    const Qt::ItemFlags addable = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    for (int i = 0; i < m_lsvLanServers->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = m_lsvLanServers->topLevelItem(i);
        if (listed(row->text(ColAddress))) {
            // Greyed and not selectable: there is nothing more to add.
            row->setSelected(false);
            row->setFlags(row->flags() & ~addable);
            row->setText(ColInList, tr("already in your list"));
        } else {
            // Removed from the list since (the window stays open beside the main window).
            row->setFlags(row->flags() | addable);
            row->setText(ColInList, QString());
        }
    }
}

void frmFindLanServers::changeEvent(QEvent *event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        markListed();
        updateButtons();
    }
}

void frmFindLanServers::addRows(const QList<QTreeWidgetItem *> &rows) {
    clsGRServers *servers = m_root.GRServers();
    clsGlobalGRControls *pool = m_root.GRServerControls();
    if (!servers || !pool)
        return;
    bool added = false;
    for (const QTreeWidgetItem *row : rows) {
        const QString address = row->text(ColAddress);
        if (listed(address))
            continue;
        runWithRetry(m_root.prompter(), titles::error, [&] {
            const std::optional<int> slot = pool->fnNextTimerAndWinsock();
            if (!slot)
                throw QuorvelError(tr("No query slot is free"));
            clsGRServer *record = servers->AddServer(address, row->text(ColName), QString(), *slot);
            if (!record)
                return;
            added = true;
            record->Refresh();
            if (m_root.Ping())
                m_root.Ping()->RefreshPing(*record);
        });
    }
    markListed();
    updateButtons();
    if (added && m_listChanged)
        m_listChanged();
}

void frmFindLanServers::updateButtons() {
    bool anyNew = false;
    for (int i = 0; i < m_lsvLanServers->topLevelItemCount() && !anyNew; ++i)
        anyNew = !listed(m_lsvLanServers->topLevelItem(i)->text(ColAddress));
    m_cmdLanAdd->setEnabled(!m_lsvLanServers->selectedItems().isEmpty());
    m_cmdLanAddAll->setEnabled(anyNew);
    m_cmdLanSearch->setEnabled(!m_finder->isSearching());
}
