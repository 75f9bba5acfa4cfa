#include "servers_tab/frmServerInfo.h"

#include "common/TextRules.h"
#include "history/HistoryCharts.h"
#include "root/AppRoot.h"
#include "servers/GameSettingsText.h"
#include "servers/clsGRServer.h"
#include "servers/clsGRServers.h"
#include "servers/clsPing.h"
#include "widgets/NamedWidgets.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {
QLabel *dataLabel(QWidget *parent, const char *name) {
    QLabel *label = namedLabel(parent, name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// A captioned row of the form showing one value.
QLabel *dataRow(QFormLayout *form, QWidget *parent, const char *name, const QString &caption) {
    QLabel *label = dataLabel(parent, name);
    form->addRow(caption, label);
    return label;
}

// The same, with the caption made first so that a screen reader meets it before its value,
// and tied to it as the value's label.
QLabel *settingRow(QFormLayout *form, QWidget *parent, const char *name, const QString &caption) {
    auto *captionLabel = new QLabel(caption, parent);
    QLabel *value = dataLabel(parent, name);
    value->setWordWrap(true);
    captionLabel->setBuddy(value);
    form->addRow(captionLabel, value);
    return value;
}
} // namespace

frmServerInfo::frmServerInfo(AppRoot &root, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_root(root) {
    setObjectName(QStringLiteral("frmServerInfo"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Server Info"));

    m_frmMOTD = new QGroupBox(tr("Message"), this);
    m_frmMOTD->setObjectName(QStringLiteral("frmMOTD"));
    m_lblMOTD = dataLabel(m_frmMOTD, "lblMOTD");
    m_lblMOTD->setWordWrap(true);
    (new QVBoxLayout(m_frmMOTD))->addWidget(m_lblMOTD);

    auto *server = new QFormLayout;
    m_lblVersionData = dataRow(server, this, "lblVersionData", tr("Version:"));
    m_lblModsData = dataRow(server, this, "lblModsData", tr("Mods:"));
    m_lblPingData = dataRow(server, this, "lblPingData", tr("Ping:"));

    m_frmGameInfo = new QGroupBox(tr("Game Info"), this);
    m_frmGameInfo->setObjectName(QStringLiteral("frmGameInfo"));
    auto *game = new QFormLayout(m_frmGameInfo);
    m_lblMapData = dataRow(game, m_frmGameInfo, "lblMapData", tr("Map:"));
    m_lblMissionData = dataRow(game, m_frmGameInfo, "lblMissionData", tr("Mission:"));
    m_lblGameTypeData = dataRow(game, m_frmGameInfo, "lblGameTypeData", tr("Game Type:"));
    m_lblLengthData = dataRow(game, m_frmGameInfo, "lblLengthData", tr("Length:"));
    m_lblTimeRemainingData = dataRow(game, m_frmGameInfo, "lblTimeRemainingData", tr("Remaining:"));

    m_frmGameSettings = new QGroupBox(tr("Game settings"), this);
    m_frmGameSettings->setObjectName(QStringLiteral("frmGameSettings"));
    auto *settings = new QFormLayout(m_frmGameSettings);
    QWidget *box = m_frmGameSettings;
    m_lblPatchData = settingRow(settings, box, "lblPatchData", tr("Patch:"));
    m_lblGameModeData = settingRow(settings, box, "lblGameModeData", tr("Game mode:"));
    m_lblMissionTypeData = settingRow(settings, box, "lblMissionTypeData", tr("Mission type:"));
    m_lblPasswordData = settingRow(settings, box, "lblPasswordData", tr("Password:"));
    m_lblRespawnsData = settingRow(settings, box, "lblRespawnsData", tr("Respawns:"));
    m_lblRespawnWaitData = settingRow(settings, box, "lblRespawnWaitData", tr("Respawn wait:"));
    m_lblIFFData = settingRow(settings, box, "lblIFFData", tr("IFF:"));
    m_lblThreatIndicatorData =
        settingRow(settings, box, "lblThreatIndicatorData", tr("Threat indicator:"));
    m_lblObserversData = settingRow(settings, box, "lblObserversData", tr("Observers:"));
    m_lblStartTimerData = settingRow(settings, box, "lblStartTimerData", tr("Start timer:"));
    m_lblDebriefTimeData = settingRow(settings, box, "lblDebriefTimeData", tr("Debrief time:"));
    m_lblWeaponRestrictionsData =
        settingRow(settings, box, "lblWeaponRestrictionsData", tr("Weapon restrictions:"));

    m_lblPlayers = dataLabel(this, "lblPlayers");
    m_lsvPlayers = new QTreeWidget(this);
    m_lsvPlayers->setObjectName(QStringLiteral("lsvPlayers"));
    m_lsvPlayers->setAccessibleName(tr("Players"));
    m_lsvPlayers->setHeaderLabels({tr("Player Name"), tr("Team"), tr("Status")});
    m_lsvPlayers->setRootIsDecorated(false);
    m_lsvPlayers->header()->setStretchLastSection(false);
    m_lsvPlayers->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_lsvPlayers->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_lsvPlayers->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);

    auto *cmdRefresh = namedButton(this, u"cmdRefresh", tr("Refresh"));
    auto *cmdClose = namedButton(this, u"cmdClose", tr("Close"));
    connect(cmdRefresh, &QPushButton::clicked, this, &frmServerInfo::cmdRefresh_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);

    auto *left = new QVBoxLayout;
    left->addWidget(m_frmMOTD);
    left->addLayout(server);
    left->addWidget(m_frmGameInfo);
    left->addStretch(1);
    // The settings beside the rest, wide enough for their longest values on one line.
    auto *right = new QVBoxLayout;
    right->addWidget(m_frmGameSettings);
    right->addStretch(1);
    auto *columns = new QHBoxLayout;
    columns->addLayout(left, 4);
    columns->addLayout(right, 5);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdRefresh);
    buttons->addWidget(cmdClose);
    m_history = new HistoryCharts(this);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(m_lblPlayers);
    layout->addWidget(m_lsvPlayers, 1);
    layout->addWidget(m_history, 1);
    layout->addLayout(buttons);
    // Room for both history charts to stay legible, and for the settings beside the players.
    resize(780, 600);

    m_tmrAutoRefresh = new QTimer(this);
    m_tmrAutoRefresh->setObjectName(QStringLiteral("tmrAutoRefresh"));
    m_tmrAutoRefresh->setInterval(m_root.timing().infoRefreshMs);
    connect(m_tmrAutoRefresh, &QTimer::timeout, this, &frmServerInfo::tmrAutoRefresh_Timer);
    m_tmrAutoRefresh->start();
}

frmServerInfo::~frmServerInfo() = default;

void frmServerInfo::setGRServer(clsGRServer *in_obj) {
    m_ip = in_obj ? in_obj->IP() : QString();
}

clsGRServer *frmServerInfo::record() const {
    if (m_ip.isEmpty() || !m_root.GRServers())
        return nullptr;
    return m_root.GRServers()->Item(m_ip);
}

void frmServerInfo::RefreshData() {
    const clsGRServer *server = record();
    if (!server)
        return;
    QString caption = server->IP() + QStringLiteral("  -  ") + server->Name();
    if (server->Dedicated())
        caption += tr(" (Dedicated)");
    setWindowTitle(caption);
    m_lblMOTD->setText(server->MOTD());
    m_lblVersionData->setText(server->Version());
    m_lblPingData->setText(QString::number(server->Ping()));
    m_lblModsData->setText(server->Mods());
    m_lblPlayers->setText(tr("Players (%1)").arg(server->PlayerCountString()));
    m_frmGameInfo->setTitle(tr("Game Info - %1").arg(server->status()));
    m_lblMapData->setText(server->Map());
    m_lblMissionData->setText(server->Mission());
    m_lblGameTypeData->setText(server->GameType());
    const qint64 length = server->Length().toLongLong();
    const qint64 minutes = length >= 0 ? length / 60 : -((-length + 59) / 60);
    m_lblLengthData->setText(formatZeros(minutes, 2) + u':' +
                             formatZeros(length - 60 * minutes, 2));
    m_lblTimeRemainingData->setText(server->TimeRemaining());
    fillSettings(*server);
    m_lsvPlayers->clear();
    const KeyedCollection<QString> &players = server->Players();
    for (int i = 1; i <= players.Count(); ++i) {
        QStringList row{*players.Item(i)};
        if (const grquery::PlayerState *state = server->PlayerStateOf(players.keyAt(i)))
            row << GameSettingsText::team(state->team) << (state->dead ? tr("Dead") : tr("Alive"));
        m_lsvPlayers->addTopLevelItem(new QTreeWidgetItem(row));
    }
    m_history->showServer(m_root.History(), server->IP());
    growToFit();
}

void frmServerInfo::fillSettings(const clsGRServer &server) {
    using Text = GameSettingsText;
    const grquery::GameSettings &g = server.Settings();
    m_lblPatchData->setText(Text::patch(g.patch));
    m_lblGameModeData->setText(Text::gameMode(g.gameMode));
    m_lblMissionTypeData->setText(g.patch ? server.GameType() : Text::notGiven());
    m_lblPasswordData->setText(!g.password   ? Text::notGiven()
                               : *g.password ? tr("Needed to join")
                                             : tr("None"));
    m_lblRespawnsData->setText(Text::respawns(g));
    m_lblRespawnWaitData->setText(Text::respawnWaits(g));
    m_lblIFFData->setText(Text::iff(g.iff));
    m_lblThreatIndicatorData->setText(Text::onOff(g.threatIndicator));
    m_lblObserversData->setText(Text::allowed(g.observers));
    QString startTimer = Text::startTimer(g);
    if (const QString wait = Text::startWait(g); wait != Text::notGiven())
        startTimer += tr(", start wait %1").arg(wait);
    m_lblStartTimerData->setText(startTimer);
    m_lblDebriefTimeData->setText(Text::duration(g.debriefSeconds));
    m_lblWeaponRestrictionsData->setText(Text::weaponRestrictions(g.weaponRestrictions));
}

void frmServerInfo::growToFit() {
    // A long message of the day wraps onto more lines than the window's first height holds,
    // and the window's minimum size does not count wrapped lines: it grows to show them all.
    // Never beyond the screen, whatever a server sends.
    layout()->activate();
    int needed = layout()->totalHeightForWidth(width());
    if (const QScreen *where = screen())
        needed = std::min(needed, where->availableGeometry().height());
    if (needed > height())
        resize(width(), needed);
}

void frmServerInfo::cmdRefresh_Click() {
    clsGRServer *server = record();
    if (!server)
        return;
    server->Refresh();
    if (m_root.Ping()) {
        // The echo ends later; the window is filled again when it does.
        QPointer<frmServerInfo> self(this);
        m_root.Ping()->RefreshPing(*server, [self] {
            if (self)
                self->m_lblPingData->setText(
                    self->record() ? QString::number(self->record()->Ping()) : QString());
        });
    }
    RefreshData();
}

void frmServerInfo::tmrAutoRefresh_Timer() {
    if (clsGRServer *server = record())
        server->Refresh();
    RefreshData();
}
