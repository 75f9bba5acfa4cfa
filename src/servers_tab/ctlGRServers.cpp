#include "servers_tab/ctlGRServers.h"

#include "common/BusyCursor.h"
#include "common/Prompter.h"
#include "common/QuorvelError.h"
#include "common/StateFile.h"
#include "history/HistoryStore.h"
#include "platform/ProcessLauncher.h"
#include "root/AppRoot.h"
#include "servers/GameCommandLine.h"
#include "servers/GameSettingsText.h"
#include "servers/basUtilities.h"
#include "servers/clsGRServer.h"
#include "servers/clsGRServers.h"
#include "servers/clsGlobalGRControls.h"
#include "servers/clsPing.h"
#include "servers_tab/ServerFilterProxy.h"
#include "servers_tab/ServerIcons.h"
#include "servers_tab/ServerListModel.h"
#include "servers_tab/frmPingAll.h"
#include "servers_tab/frmServerInfo.h"
#include "watch/WatchDialog.h"
#include "watch/WatchEngine.h"
#include "widgets/ListMouse.h"
#include "widgets/NamedWidgets.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QShortcut>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

ctlGRServers::ctlGRServers(AppRoot &root, QWidget *parent)
    : QWidget(parent)
    , m_root(root)
    , m_model(new ServerListModel(this))
    , m_proxy(new ServerFilterProxy(*m_model, this)) {
    setObjectName(QStringLiteral("ctlGRServers"));
    QWidget *filterBar = buildFilterBar();
    buildList();
    buildPages();
    buildMenu();
    buildKeys();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(filterBar);
    layout->addWidget(m_lsvGRServers, 1);
    layout->addWidget(m_lblServerCount);
    auto *lower = new QHBoxLayout;
    lower->addWidget(m_tabControls, 1);
    auto *refreshAll = new QToolButton(this);
    refreshAll->setObjectName(QStringLiteral("cmdRefreshAll"));
    refreshAll->setToolTip(tr("Re-pings all servers"));
    refreshAll->setAccessibleName(refreshAll->toolTip());
    refreshAll->setIcon(ServerIcons::refreshAll());
    refreshAll->setIconSize(QSize(24, 24));
    connect(refreshAll, &QToolButton::clicked, this, &ctlGRServers::cmdRefreshAll_Click);
    lower->addWidget(refreshAll, 0, Qt::AlignBottom);
    layout->addLayout(lower);

    m_model->setWatchInfo(
        [this](const QString &key) { return m_root.Watches() && m_root.Watches()->isWatched(key); },
        [this](const QString &key) { return rowToolTip(key); });

    m_tmrListStatusRefresh = new QTimer(this);
    m_tmrListStatusRefresh->setObjectName(QStringLiteral("tmrListStatusRefresh"));
    m_tmrListStatusRefresh->setInterval(m_root.timing().listTickMs);
    connect(m_tmrListStatusRefresh, &QTimer::timeout, this,
            &ctlGRServers::tmrListStatusRefresh_Timer);
    m_tmrListStatusRefresh->start();
    RefreshList();
}

ctlGRServers::~ctlGRServers() = default;

QSize ctlGRServers::listSizeForRows(int rows) const {
    const int frame = 2 * m_lsvGRServers->frameWidth();
    // Room for the scroll bar that more rows bring.
    const int scrollBar = m_lsvGRServers->verticalScrollBar()->sizeHint().width();
    return {m_lsvGRServers->horizontalHeader()->length() + scrollBar + frame,
            rows * m_lsvGRServers->verticalHeader()->defaultSectionSize() +
                m_lsvGRServers->horizontalHeader()->sizeHint().height() + frame};
}

frmServerInfo *ctlGRServers::infoWindow() const {
    return m_info.data();
}

QAbstractProxyModel *ctlGRServers::sortModel() const {
    return m_proxy;
}

QWidget *ctlGRServers::buildFilterBar() {
    auto *bar = new QWidget(this);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    m_txtSearch = namedEdit(bar, "txtSearch",
                            tr("Finds servers by name, address, map, mission, mods or a player's "
                               "name (Ctrl+F; Escape clears)"));
    m_txtSearch->setPlaceholderText(tr("Search servers and players"));
    m_txtSearch->setClearButtonEnabled(true);
    m_txtSearch->setAccessibleName(tr("Search servers and players"));
    // Wide enough for its hint in every language, with room for the clear button.
    m_txtSearch->setMinimumWidth(
        m_txtSearch->fontMetrics().horizontalAdvance(m_txtSearch->placeholderText()) +
        m_txtSearch->fontMetrics().height() * 3);
    row->addWidget(m_txtSearch, 1);
    const auto check = [bar, row](const char *name, const QString &caption, const QString &tip) {
        auto *box = new QCheckBox(caption, bar);
        box->setObjectName(QString::fromLatin1(name));
        box->setToolTip(tip);
        row->addWidget(box);
        return box;
    };
    m_chkHideEmpty =
        check("chkHideEmpty", tr("Hide empty"), tr("Hides servers that answer with no players"));
    m_chkHideFull =
        check("chkHideFull", tr("Hide full"), tr("Hides servers with every slot taken"));
    m_chkHideSilent =
        check("chkHideSilent", tr("Hide silent"), tr("Hides servers that do not answer"));
    m_chkHidePassworded = check("chkHidePassworded", tr("Hide passworded"),
                                tr("Hides servers that ask for a password"));
    m_cboGameMode = new QComboBox(bar);
    m_cboGameMode->setObjectName(QStringLiteral("cboGameMode"));
    m_cboGameMode->addItems({tr("Any mode"), tr("Co-operative"), tr("Solo"), tr("Team")});
    m_cboGameMode->setAccessibleName(tr("Game mode"));
    m_cboGameMode->setToolTip(tr("Shows only servers playing this game mode"));
    row->addWidget(m_cboGameMode);

    connect(m_txtSearch, &QLineEdit::textChanged, this, &ctlGRServers::applyFilter);
    for (QCheckBox *box : {m_chkHideEmpty, m_chkHideFull, m_chkHideSilent, m_chkHidePassworded})
        connect(box, &QCheckBox::toggled, this, &ctlGRServers::applyFilter);
    connect(m_cboGameMode, &QComboBox::currentIndexChanged, this, &ctlGRServers::applyFilter);

    auto *find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        m_txtSearch->setFocus(Qt::ShortcutFocusReason);
        m_txtSearch->selectAll();
    });
    auto *clear = new QShortcut(QKeySequence(Qt::Key_Escape), m_txtSearch, nullptr, nullptr,
                                Qt::WidgetShortcut);
    connect(clear, &QShortcut::activated, m_txtSearch, &QLineEdit::clear);

    m_lblServerCount = new QLabel(this);
    m_lblServerCount->setObjectName(QStringLiteral("lblServerCount"));
    return bar;
}

const ServerFilter &ctlGRServers::filter() const {
    return m_proxy->filter();
}

void ctlGRServers::setFilter(const ServerFilter &filter) {
    {
        m_settingFilter = true;
        m_txtSearch->setText(filter.search);
        m_chkHideEmpty->setChecked(filter.hideEmpty);
        m_chkHideFull->setChecked(filter.hideFull);
        m_chkHideSilent->setChecked(filter.hideSilent);
        m_chkHidePassworded->setChecked(filter.hidePassworded);
        m_cboGameMode->setCurrentIndex(
            filter.gameMode >= 0 && filter.gameMode < m_cboGameMode->count() ? filter.gameMode : 0);
        m_settingFilter = false;
    }
    applyFilter();
}

void ctlGRServers::applyFilter() {
    if (m_settingFilter)
        return;
    ServerFilter filter;
    filter.search = m_txtSearch->text();
    filter.hideEmpty = m_chkHideEmpty->isChecked();
    filter.hideFull = m_chkHideFull->isChecked();
    filter.hideSilent = m_chkHideSilent->isChecked();
    filter.hidePassworded = m_chkHidePassworded->isChecked();
    filter.gameMode = m_cboGameMode->currentIndex();
    m_proxy->setServerFilter(filter);
    updateCountLine();
}

QString ctlGRServers::countLine() const {
    return m_lblServerCount->text();
}

void ctlGRServers::updateCountLine() {
    const int all = m_model->rowCount();
    const int shown = m_proxy->rowCount();
    const QString text = tr("%1 of %2 %3 shown, %4 hidden by filters")
                             .arg(shown)
                             .arg(all)
                             .arg(all == 1 ? tr("server") : tr("servers"))
                             .arg(all - shown);
    if (m_lblServerCount->text() != text)
        m_lblServerCount->setText(text);
}

void ctlGRServers::lookForBuddies() {
    if (WatchEngine *watches = m_root.Watches())
        m_model->setBuddies(watches->buddies(),
                            [watches](const QString &name) { return watches->isBuddyName(name); });
}

void ctlGRServers::buildList() {
    m_lsvGRServers = new QTableView(this);
    m_lsvGRServers->setObjectName(QStringLiteral("lsvGRServers"));
    m_lsvGRServers->setToolTip(
        tr("Right click for options. Pings cached between sessions will be marked with a clock."));
    m_lsvGRServers->setAccessibleName(tr("Ghost Recon Servers"));
    m_lsvGRServers->setModel(m_proxy);
    // Selecting all rows of a single-selection list means nothing.
    m_lsvGRServers->setCornerButtonEnabled(false);
    if (auto *corner = m_lsvGRServers->findChild<QAbstractButton *>())
        corner->setAccessibleName(tr("Select all"));
    m_lsvGRServers->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lsvGRServers->setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab leaves the list for the next control rather than walking its cells.
    m_lsvGRServers->setTabKeyNavigation(false);
    m_lsvGRServers->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lsvGRServers->setShowGrid(false);
    m_lsvGRServers->setWordWrap(false);
    m_lsvGRServers->setIconSize(QSize(16, 16));
    m_lsvGRServers->verticalHeader()->hide();
    m_lsvGRServers->verticalHeader()->setDefaultSectionSize(20);
    QHeaderView *header = m_lsvGRServers->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setHighlightSections(false);
    const int widths[] = {80, 180, 89, 61, 0, 73, 0, 67, 0};
    for (int c = 0; c < ServerListModel::ColumnCount; ++c) {
        if (widths[c] == 0)
            header->setSectionHidden(c, true);
        else
            header->resizeSection(c, widths[c] + (c == 0 ? 40 : 0));
    }
    header->setStretchLastSection(false);
    connect(header, &QHeaderView::sectionClicked, this, &ctlGRServers::onColumnClicked);
    connect(m_lsvGRServers, &QTableView::clicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            onRowClicked(m_proxy->mapToSource(index).row());
    });
    // Whatever moves the selection (keys, a right click, a removal), the Edit page follows it,
    // so Save and Remove always act on the record the page shows.
    connect(m_lsvGRServers->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QString key = selectedKey();
        if (!key.isEmpty())
            onRowClicked(m_model->rowOfKey(key));
        emit editStateChanged();
    });
    keepSelectionAndActivateOnDoubleClick(m_lsvGRServers, [this] { cmdLaunch_Click(); });
    m_lsvGRServers->viewport()->installEventFilter(this);
    // A list file dropped on the list is imported.
    m_lsvGRServers->setAcceptDrops(true);
    m_lsvGRServers->setDragDropMode(QAbstractItemView::DropOnly);
    header->setSortIndicator(ServerListModel::ColPlayers, m_sortOrder);
    m_proxy->sort(m_sortColumn, m_sortOrder);
}

void ctlGRServers::buildPages() {
    m_tabControls = new QTabWidget(this);
    m_tabControls->setObjectName(QStringLiteral("tabControls"));
    m_tabControls->setAccessibleName(tr("Server commands"));

    auto *add = new QWidget(m_tabControls);
    auto *addLayout = new QGridLayout(add);
    m_txtAddIP = namedEdit(add, "txtAddIP", tr("IP to add"));
    m_txtAddPassword = namedEdit(add, "txtAddPassword");
    QPushButton *cmdAdd =
        namedButton(add, "cmdAddServer", tr("Add"), tr("Adds the IP to the server list"));
    QLabel *lblAddIP = namedLabel(add, "lblAddIP", tr("IP:"));
    QLabel *lblAddPassword = namedLabel(add, "lblAddPassword", tr("Password:"));
    nameAfter(lblAddIP, m_txtAddIP);
    nameAfter(lblAddPassword, m_txtAddPassword);
    addLayout->addWidget(lblAddIP, 0, 0);
    addLayout->addWidget(m_txtAddIP, 0, 1);
    addLayout->addWidget(lblAddPassword, 1, 0);
    addLayout->addWidget(m_txtAddPassword, 1, 1);
    addLayout->addWidget(cmdAdd, 0, 2);
    addLayout->setColumnStretch(1, 1);
    connect(cmdAdd, &QPushButton::clicked, this, &ctlGRServers::cmdAddServer_Click);
    for (QLineEdit *box : {m_txtAddIP, m_txtAddPassword})
        connect(box, &QLineEdit::returnPressed, this, &ctlGRServers::cmdAddServer_Click);
    m_tabControls->addTab(add, tr("Add"));

    auto *edit = new QWidget(m_tabControls);
    auto *editLayout = new QGridLayout(edit);
    m_lblEditName = namedLabel(edit, "lblEditName", tr("Name:"));
    m_txtEditName = namedEdit(
        edit, "txtEditName",
        tr("Name of selected server. Name will be saved between sessions even if server goes down "
           "(unlike the game). May only be changed for IPs that are not currently hosting Ghost "
           "Recon"));
    m_txtEditPassword = namedEdit(edit, "txtEditPassword");
    QPushButton *cmdSave = namedButton(edit, "cmdEditServer", tr("Save"),
                                       tr("Save any changes made to the server listing"));
    QPushButton *cmdLaunch =
        namedButton(edit, "cmdLaunch", tr("Launch"), tr("Join the selected server"));
    QPushButton *cmdRefresh =
        namedButton(edit, "cmdRefresh", tr("Refresh"), tr("Refreshes the selected server"));
    m_cmdInfo = namedButton(edit, "cmdInfo", tr("Info..."),
                            tr("Retrieve additional info for the selected server"));
    m_cmdRemove = namedButton(edit, "cmdRemove", tr("Remove"), tr("Removes the selected server"));
    m_cmdInfo->setEnabled(false);
    m_cmdRemove->setEnabled(false);
    editLayout->addWidget(m_lblEditName, 0, 0);
    editLayout->addWidget(m_txtEditName, 0, 1);
    QLabel *lblEditPassword = namedLabel(edit, "lblEditPassword", tr("Password:"));
    nameAfter(m_lblEditName, m_txtEditName);
    nameAfter(lblEditPassword, m_txtEditPassword);
    editLayout->addWidget(lblEditPassword, 1, 0);
    editLayout->addWidget(m_txtEditPassword, 1, 1);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {cmdSave, cmdLaunch, cmdRefresh, m_cmdInfo, m_cmdRemove})
        buttons->addWidget(b);
    editLayout->addLayout(buttons, 2, 0, 1, 2);
    editLayout->setColumnStretch(1, 1);
    connect(cmdSave, &QPushButton::clicked, this, &ctlGRServers::cmdEditServer_Click);
    connect(cmdLaunch, &QPushButton::clicked, this, &ctlGRServers::cmdLaunch_Click);
    connect(cmdRefresh, &QPushButton::clicked, this, &ctlGRServers::cmdRefresh_Click);
    connect(m_cmdInfo, &QPushButton::clicked, this, &ctlGRServers::cmdInfo_Click);
    connect(m_cmdRemove, &QPushButton::clicked, this, &ctlGRServers::cmdRemove_Click);
    m_tabControls->addTab(edit, tr("Edit"));
}

void ctlGRServers::buildMenu() {
    m_mnuGRS = new QMenu(this);
    m_mnuGRS->setObjectName(QStringLiteral("mnuGRS"));
    m_mnuLaunch = namedAction(m_mnuGRS, "mnuLaunch", tr("Launch..."));
    m_mnuGRS->addSeparator();
    m_mnuRefresh = namedAction(m_mnuGRS, "mnuRefresh", tr("Refresh"));
    m_mnuInfo = namedAction(m_mnuGRS, "mnuInfo", tr("Info..."));
    m_mnuWatch = namedAction(m_mnuGRS, "mnuWatch", tr("Watch..."));
    m_mnuRemove = namedAction(m_mnuGRS, "mnuRemove", tr("Remove"));
    m_mnuGRS->addSeparator();
    m_mnuRefreshAll = namedAction(m_mnuGRS, "mnuRefreshAll", tr("Refresh All"));
    connect(m_mnuLaunch, &QAction::triggered, this, &ctlGRServers::cmdLaunch_Click);
    connect(m_mnuRefresh, &QAction::triggered, this, &ctlGRServers::cmdRefresh_Click);
    connect(m_mnuInfo, &QAction::triggered, this, &ctlGRServers::cmdInfo_Click);
    connect(m_mnuWatch, &QAction::triggered, this, &ctlGRServers::cmdWatch_Click);
    connect(m_mnuRemove, &QAction::triggered, this, &ctlGRServers::cmdRemove_Click);
    connect(m_mnuRefreshAll, &QAction::triggered, this, &ctlGRServers::cmdRefreshAll_Click);
}

bool ctlGRServers::run(const std::function<void()> &step) {
    return runWithRetry(m_root.prompter(), titles::error, step);
}

QString ctlGRServers::selectedKey() const {
    const QModelIndexList rows = m_lsvGRServers->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return {};
    return m_model->key(m_proxy->mapToSource(rows.first()).row());
}

clsGRServer *ctlGRServers::selectedRecord() const {
    const QString key = selectedKey();
    if (key.isEmpty() || !m_root.GRServers())
        return nullptr;
    return m_root.GRServers()->Item(key);
}

void ctlGRServers::RefreshList() {
    run([this] {
        if (!m_root.GRServers())
            return;
        std::vector<const clsGRServer *> records;
        records.reserve(static_cast<size_t>(m_root.GRServers()->Count()));
        for (const auto &record : *m_root.GRServers())
            records.push_back(&record);
        lookForBuddies();
        m_model->setRecords(records);
        resort();
    });
    updateCountLine();
    emit editStateChanged();
}

void ctlGRServers::resort() {
    m_proxy->sort(m_sortColumn, m_sortOrder);
}

void ctlGRServers::tmrListStatusRefresh_Timer() {
    run([this] {
        clsGRServers *servers = m_root.GRServers();
        if (servers && m_windowSeen) {
            lookForBuddies();
            const quint32 changed =
                m_model->tick([servers](const QString &key) { return servers->Item(key); });
            // Rows that start or stop matching come and go here, under the filter in use.
            if (changed & ServerListModel::FactsChanged)
                m_proxy->refilter();
            if (changed & (1u << m_sortColumn))
                resort();
            updateCountLine();
        }

        if (selectedKey().isEmpty()) {
            if (m_cmdRemove->isEnabled())
                m_cmdRemove->setEnabled(false);
            if (m_cmdInfo->isEnabled())
                m_cmdInfo->setEnabled(false);
        } else {
            if (!m_cmdRemove->isEnabled())
                m_cmdRemove->setEnabled(true);
            const clsGRServer *record = selectedRecord();
            const bool answered = record && record->status() == clsGRServer::Answered;
            if (m_cmdInfo->isEnabled() != answered)
                m_cmdInfo->setEnabled(answered);
        }

        const int every = m_root.timing().requeryEveryTicks;
        if (++m_lngTickCount >= every) {
            m_lngTickCount = 0;
            if (servers && m_windowSeen && m_inFront && m_inFront())
                servers->RefreshAllServerData();
        }
    });
}

void ctlGRServers::setWindowSeen(bool seen) {
    if (seen == m_windowSeen)
        return;
    m_windowSeen = seen;
    // Nobody looks: the rows, the buttons and the count wait until somebody does (the watches
    // ask their servers on their own), so the program sleeps between answers.
    if (!seen) {
        m_tmrListStatusRefresh->stop();
        return;
    }
    m_tmrListStatusRefresh->start();
    // What went on while nobody looked: every row now, and with the list in front a fresh
    // answer from every server rather than at the next turn of the count.
    clsGRServers *servers = m_root.GRServers();
    if (servers && m_inFront && m_inFront()) {
        m_lngTickCount = 0;
        servers->RefreshAllServerData();
    }
    tmrListStatusRefresh_Timer();
}

void ctlGRServers::onColumnClicked(int column) {
    int key = column;
    if (column == ServerListModel::ColPing || column == ServerListModel::ColPlayers ||
        column == ServerListModel::ColTimeLeft)
        key = column + 1;
    if (key == m_sortColumn)
        setSort(key, m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder);
    else
        setSort(key, Qt::AscendingOrder);
}

void ctlGRServers::setSort(int key, Qt::SortOrder order) {
    using M = ServerListModel;
    // The hidden keys show their indicator on the column they sort.
    const bool hiddenKey =
        key == M::ColSortPing || key == M::ColSortPlayers || key == M::ColSortTimeLeft;
    m_sortColumn = key;
    m_sortOrder = order;
    m_lsvGRServers->horizontalHeader()->setSortIndicator(hiddenKey ? key - 1 : key, order);
    resort();
}

namespace {
namespace keys {
constexpr char sortColumn[] = "servers/sortColumn";
constexpr char sortOrder[] = "servers/sortDescending";
constexpr char widths[] = "servers/columnWidths";
constexpr char search[] = "servers/search";
constexpr char hideEmpty[] = "servers/hideEmpty";
constexpr char hideFull[] = "servers/hideFull";
constexpr char hideSilent[] = "servers/hideSilent";
constexpr char hidePassworded[] = "servers/hidePassworded";
constexpr char gameMode[] = "servers/gameMode";
} // namespace keys
} // namespace

void ctlGRServers::saveState(StateFile &state) const {
    state.setValue(keys::sortColumn, m_sortColumn);
    state.setValue(keys::sortOrder, m_sortOrder == Qt::DescendingOrder);
    QStringList widths;
    for (int c = 0; c < ServerListModel::ColumnCount; ++c)
        widths << QString::number(m_lsvGRServers->horizontalHeader()->sectionSize(c));
    state.setValue(keys::widths, widths.join(u','));
    const ServerFilter &f = filter();
    state.setValue(keys::search, f.search);
    state.setValue(keys::hideEmpty, f.hideEmpty);
    state.setValue(keys::hideFull, f.hideFull);
    state.setValue(keys::hideSilent, f.hideSilent);
    state.setValue(keys::hidePassworded, f.hidePassworded);
    state.setValue(keys::gameMode, f.gameMode);
}

void ctlGRServers::restoreState(const StateFile &state) {
    // A file edited by hand or left by another version may say anything: what does not fit is
    // passed over.
    using M = ServerListModel;
    bool ok = false;
    const int key = state.value(keys::sortColumn).toInt(&ok);
    if (ok && (key == M::ColIP || key == M::ColName || key == M::ColPassword ||
               key == M::ColSortPing || key == M::ColSortPlayers || key == M::ColSortTimeLeft))
        setSort(key,
                state.value(keys::sortOrder).toBool() ? Qt::DescendingOrder : Qt::AscendingOrder);
    const QStringList widths = state.value(keys::widths).toString().split(u',');
    QHeaderView *header = m_lsvGRServers->horizontalHeader();
    for (int c = 0; c < ServerListModel::ColumnCount && c < widths.size(); ++c) {
        const int width = widths[c].toInt(&ok);
        if (ok && !header->isSectionHidden(c) && width >= 8 && width <= 2000)
            header->resizeSection(c, width);
    }
    ServerFilter f;
    f.search = state.value(keys::search).toString().left(200);
    f.hideEmpty = state.value(keys::hideEmpty).toBool();
    f.hideFull = state.value(keys::hideFull).toBool();
    f.hideSilent = state.value(keys::hideSilent).toBool();
    f.hidePassworded = state.value(keys::hidePassworded).toBool();
    f.gameMode = state.value(keys::gameMode).toInt();
    setFilter(f);
}

void ctlGRServers::onRowClicked(int sourceRow) {
    run([this, sourceRow] {
        const QString ip = m_model->key(sourceRow);
        m_tabControls->setCurrentIndex(1);
        m_lblEditName->setText(tr("Name for %1").arg(ip));
        const QString name = m_model->cell(sourceRow, ServerListModel::ColName);
        if (name.isEmpty()) {
            m_txtEditName->setEnabled(true);
            m_txtEditName->clear();
        } else {
            m_txtEditName->setEnabled(false);
            m_txtEditName->setText(name);
        }
        m_txtEditPassword->setText(m_model->cell(sourceRow, ServerListModel::ColPassword));
        const QModelIndex at = m_proxy->mapFromSource(m_model->index(sourceRow, 0));
        m_lsvGRServers->selectionModel()->select(at, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
        m_lsvGRServers->scrollTo(at);
    });
}

bool ctlGRServers::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_lsvGRServers->viewport()) {
        const auto localFiles = [](const QMimeData *data) {
            QStringList files;
            if (data)
                for (const QUrl &url : data->urls())
                    if (url.isLocalFile())
                        files << url.toLocalFile();
            return files;
        };
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto *drag = static_cast<QDropEvent *>(event);
            if (!localFiles(drag->mimeData()).isEmpty())
                drag->acceptProposedAction();
            else
                drag->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto *drop = static_cast<QDropEvent *>(event);
            const QStringList files = localFiles(drop->mimeData());
            if (files.isEmpty()) {
                drop->ignore();
                return true;
            }
            drop->acceptProposedAction();
            // After the drop has ended: the message must not hold the dragging program.
            QTimer::singleShot(0, this, [this, files] {
                for (const QString &file : files)
                    importFile(file);
            });
            return true;
        }
        default:
            break;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::RightButton)
                showContextMenu(mouse->globalPosition().toPoint());
        }
    }
    return QWidget::eventFilter(watched, event);
}

QString ctlGRServers::rowToolTip(const QString &key) const {
    QStringList lines{m_lsvGRServers->toolTip()};
    if (const clsGRServer *record = m_root.GRServers() ? m_root.GRServers()->Item(key) : nullptr) {
        if (const QString settings = GameSettingsText::summary(record->Settings());
            !settings.isEmpty())
            lines << settings;
        if (record->PasswordRequired())
            lines << tr("A password is needed to join.");
    }
    if (const WatchEngine *watches = m_root.Watches()) {
        if (const QString watched = watches->toolTip(key); !watched.isEmpty())
            lines << watched;
    }
    if (const HistoryStore *history = m_root.History(); history && history->isOn()) {
        const std::optional<QDateTime> seen = history->lastSeenWithPlayers(key);
        lines << tr("Last seen with players: %1")
                     .arg(seen ? seen->toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                               : tr("never"));
    }
    return lines.join(u'\n');
}

void ctlGRServers::showContextMenu(const QPoint &globalPosition) {
    const bool selected = !selectedKey().isEmpty();
    m_mnuLaunch->setEnabled(selected);
    m_mnuRefresh->setEnabled(selected);
    m_mnuRemove->setEnabled(selected);
    const clsGRServer *record = selected ? selectedRecord() : nullptr;
    m_mnuInfo->setEnabled(record && record->status() == clsGRServer::Answered);
    m_mnuWatch->setEnabled(selected && m_root.Watches() && m_root.Watches()->isAvailable());
    m_mnuRefreshAll->setEnabled(true);
    m_mnuGRS->popup(globalPosition);
}

void ctlGRServers::cmdAddServer_Click() {
    bool valid = false;
    // A dotted address as the check reads it, or a host name (kept as typed, looked up at every
    // query).
    run([&] { valid = IsServerAddress(m_txtAddIP->text()); });
    if (!valid) {
        tell(m_root.prompter(),
             tr("Please enter a valid IP address. At this time only numerical IPs are "
                "accepted"),
             tr("Invalid IP address"), Icon::Exclamation);
        m_txtAddIP->setFocus();
        return;
    }
    run([this] {
        clsGRServers *servers = m_root.GRServers();
        if (!servers || !m_root.GRServerControls())
            return;
        const std::optional<int> slot = m_root.GRServerControls()->fnNextTimerAndWinsock();
        if (!slot)
            throw QuorvelError(tr("No query slot is free"));
        clsGRServer *record =
            servers->AddServer(m_txtAddIP->text(), QString(), m_txtAddPassword->text(), *slot);
        if (!record)
            return;
        BusyCursor busy;
        record->Refresh();
        if (m_root.Ping())
            m_root.Ping()->RefreshPing(*record);
        RefreshList();
    });
}

void ctlGRServers::cmdEditServer_Click() {
    run([this] {
        clsGRServer *record = selectedRecord();
        if (!record)
            return;
        record->setName(m_txtEditName->text());
        record->setPassword(m_txtEditPassword->text());
    });
    tmrListStatusRefresh_Timer();
}

void ctlGRServers::cmdRefresh_Click() {
    BusyCursor busy(BusyCursor::Shape::ArrowHourglass);
    run([&] {
        clsGRServer *record = selectedRecord();
        if (!record)
            return;
        busy.setShape(BusyCursor::Shape::Hourglass);
        record->Refresh();
        if (m_root.Ping())
            m_root.Ping()->RefreshPing(*record);
    });
}

void ctlGRServers::cmdRefreshAll_Click() {
    if (!m_root.GRServers())
        return;
    BusyCursor busy(BusyCursor::Shape::ArrowHourglass);
    const bool sent = run([this] {
        // Collected first: a removal while events run must not pull the ground away.
        QStringList keys;
        for (const auto &record : *m_root.GRServers())
            keys << record.IP();
        for (const QString &key : keys) {
            if (clsGRServer *record = m_root.GRServers() ? m_root.GRServers()->Item(key) : nullptr)
                record->Refresh();
            QCoreApplication::processEvents();
        }
    });
    if (!sent)
        return;
    busy.setShape(BusyCursor::Shape::Hourglass);
    frmPingAll pingAll(m_root, window());
    pingAll.exec();
}

void ctlGRServers::cmdInfo_Click() {
    run([this] {
        clsGRServer *record = selectedRecord();
        if (!record)
            return;
        if (!m_info)
            m_info = new frmServerInfo(m_root, window());
        m_info->setGRServer(record);
        m_info->RefreshData();
        m_info->show();
        m_info->raise();
    });
}

void ctlGRServers::cmdRemove_Click() {
    const QString key = selectedKey();
    if (!key.isEmpty() && m_root.GRServers()) {
        std::optional<ServerListEntry> gone;
        const bool removed = run([&] {
            if (const clsGRServer *record = m_root.GRServers()->Item(key)) {
                gone = ServerListEntry{record->IP(), record->Name(), record->Password()};
                m_root.GRServers()->RemoveServer(key);
            }
        });
        if (!removed)
            return;
        if (gone && !m_root.GRServers()->Item(key))
            m_removed.push_back(*gone);
        m_model->removeKey(key);
        updateCountLine();
        emit editStateChanged();
    }
    const QString now = selectedKey();
    if (!now.isEmpty())
        onRowClicked(m_model->rowOfKey(now));
}

void ctlGRServers::cmdWatch_Click() {
    const clsGRServer *record = selectedRecord();
    WatchEngine *watches = m_root.Watches();
    if (!record || !watches || !watches->isAvailable())
        return;
    const QString ip = record->IP();
    const QString server = record->Name().isEmpty() || record->Name() == ip
                               ? ip
                               : record->Name() + QStringLiteral(" (") + ip + u')';
    ServerWatch watch = watches->watchOf(ip).value_or(ServerWatch{});
    watch.address = ip;
    WatchDialog dialog(server, watch, window());
    // The server may have gone while the dialog was open.
    if (dialog.exec() != QDialog::Accepted || !m_root.GRServers()->Item(ip))
        return;
    watches->setWatch(dialog.watch());
    tmrListStatusRefresh_Timer();
}

void ctlGRServers::cmdLaunch_Click() {
    launchServer(selectedKey());
}

void ctlGRServers::launchServer(const QString &key) {
    const clsGRServer *record =
        key.isEmpty() || !m_root.GRServers() ? nullptr : m_root.GRServers()->Item(key);
    if (!record)
        return;
    if (WatchEngine *watches = m_root.Watches())
        watches->cancelAutoJoin(record->IP());
    run([&] { startGame(*record); });
}

void ctlGRServers::startGame(const clsGRServer &record) {
    const QString root = m_root.RootDirectory();
    // The game is given an address: for a host name, the one its last query found.
    QString address = record.IP();
    if (!IsValidIP(address)) {
        const std::optional<quint32> resolved = record.ResolvedAddress();
        if (!resolved)
            throw QuorvelError(
                tr("Could not start the game: %1 has not been found on the network").arg(address));
        address = QHostAddress(*resolved).toString();
    }
    const platform::LaunchRequest request =
        GameCommandLine::request(root, address, record.Password());
    const QString game = GameCommandLine::gamePath(root);
    if (!QFileInfo(game).isFile())
        throw QuorvelError(tr("Could not start %1: the file does not exist").arg(game));
    m_gameProcess = m_root.launcher().start(request);
}

QString ctlGRServers::joinByItself(const QString &key) {
    const clsGRServer *record =
        key.isEmpty() || !m_root.GRServers() ? nullptr : m_root.GRServers()->Item(key);
    if (!record)
        return tr("the server is gone");
    if (platform::processRunning(m_gameProcess))
        return tr("the game started before still runs");
    try {
        startGame(*record);
    } catch (const QuorvelError &error) {
        return error.description();
    }
    return {};
}

void ctlGRServers::buildKeys() {
    // Delete on the list removes the row; F5 refreshes the selected server and Shift+F5 all of
    // them wherever the focus is on this tab. The menu entries show the same keys.
    auto *remove =
        new QShortcut(QKeySequence::Delete, m_lsvGRServers, nullptr, nullptr, Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, this, &ctlGRServers::cmdRemove_Click);
    auto *refresh = new QShortcut(QKeySequence(Qt::Key_F5), this, nullptr, nullptr,
                                  Qt::WidgetWithChildrenShortcut);
    connect(refresh, &QShortcut::activated, this, &ctlGRServers::cmdRefresh_Click);
    auto *refreshAll = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F5), this, nullptr, nullptr,
                                     Qt::WidgetWithChildrenShortcut);
    connect(refreshAll, &QShortcut::activated, this, &ctlGRServers::cmdRefreshAll_Click);
    const auto show = [](QAction *action, const QKeySequence &keys) {
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WidgetShortcut); // shown only: the keys above do the work
        action->setShortcutVisibleInContextMenu(true);
    };
    show(m_mnuRefresh, QKeySequence(Qt::Key_F5));
    show(m_mnuRemove, QKeySequence::Delete);
    show(m_mnuRefreshAll, QKeySequence(Qt::SHIFT | Qt::Key_F5));
}

void ctlGRServers::selectKey(const QString &key) {
    const int row = m_model->rowOfKey(key);
    if (row < 0)
        return;
    const QModelIndex at = m_proxy->mapFromSource(m_model->index(row, 0));
    if (at.isValid())
        m_lsvGRServers->setCurrentIndex(at);
}

ctlGRServers::AddCount ctlGRServers::addServers(const ServerListReading &reading) {
    AddCount count;
    count.unreadable = reading.unreadable;
    clsGRServers *servers = m_root.GRServers();
    if (!servers || !m_root.GRServerControls())
        return count;
    run([&] {
        for (const ServerListEntry &entry : reading.entries) {
            if (servers->Item(entry.address)) {
                ++count.skipped;
                continue;
            }
            const std::optional<int> slot = m_root.GRServerControls()->fnNextTimerAndWinsock();
            if (!slot)
                throw QuorvelError(tr("No query slot is free"));
            clsGRServer *record =
                servers->AddServer(entry.address, entry.name, entry.password, *slot);
            if (!record)
                continue;
            ++count.added;
            record->Refresh();
        }
    });
    if (count.added > 0)
        RefreshList();
    return count;
}

void ctlGRServers::importFile(const QString &path) {
    const QString title = tr("Import Servers");
    QString error;
    const std::optional<ServerListReading> reading = ServerListFile::readFile(path, error);
    if (!reading) {
        tell(m_root.prompter(),
             tr("Could not read %1: %2").arg(QDir::toNativeSeparators(path), error), title,
             Icon::Exclamation);
        return;
    }
    BusyCursor busy;
    const AddCount count = addServers(*reading);
    tell(m_root.prompter(),
         tr("%1: %2 added, %3 already in the list, %4 unreadable.")
             .arg(QFileInfo(path).fileName())
             .arg(count.added)
             .arg(count.skipped)
             .arg(count.unreadable),
         title);
}

bool ctlGRServers::anyPassword() const {
    if (!m_root.GRServers())
        return false;
    for (const clsGRServer &record : *m_root.GRServers())
        if (!record.Password().isEmpty())
            return true;
    return false;
}

bool ctlGRServers::exportFile(const QString &path, bool withPasswords) {
    if (!m_root.GRServers())
        return false;
    std::vector<ServerListEntry> entries;
    for (const clsGRServer &record : *m_root.GRServers())
        entries.push_back({record.IP(), record.Name(), record.Password()});
    const QByteArray bytes = ServerListFile::write(entries, withPasswords);
    // Written whole or not at all: a list half written would lose servers on the next import.
    return runWithRetry(m_root.prompter(), titles::error, [&] {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            throw QuorvelError(tr("Could not write %1: %2")
                                   .arg(QDir::toNativeSeparators(path), file.errorString()));
    });
}

void ctlGRServers::copySelected() const {
    const clsGRServer *record = selectedRecord();
    if (!record)
        return;
    QString text = record->IP();
    if (!record->Name().isEmpty())
        text += u'\t' + record->Name();
    QGuiApplication::clipboard()->setText(text);
}

void ctlGRServers::cutSelected() {
    if (!selectedRecord())
        return;
    copySelected();
    cmdRemove_Click();
}

void ctlGRServers::pasteText(const QString &text) {
    const ServerListReading reading = ServerListFile::parseLoose(text);
    if (addServers(reading).added > 0)
        selectKey(reading.entries.back().address);
}

void ctlGRServers::undoRemove() {
    if (m_removed.empty() || !m_root.GRServers())
        return;
    const ServerListEntry entry = m_removed.back();
    m_removed.pop_back();
    ServerListReading reading;
    reading.entries.push_back(entry);
    addServers(reading);
    selectKey(entry.address);
    emit editStateChanged();
}
