#pragma once

#include <QWidget>

class HistoryCharts;
class QGroupBox;
class QLabel;
class QTimer;
class QTreeWidget;
class AppRoot;
class clsGRServer;

// Everything known about one server, re-queried every ten seconds. There is one such window;
// showing another server rebinds it.
class frmServerInfo : public QWidget {
    Q_OBJECT
public:
    // `parent` is the main window; this stays a window of its own that goes with it.
    frmServerInfo(AppRoot &root, QWidget *parent = nullptr);
    ~frmServerInfo() override;

    // The record is found again by its address each time, so a removed server leaves the
    // window showing what it last knew instead of a dangling record.
    void setGRServer(clsGRServer *in_obj);
    void RefreshData();

    void cmdRefresh_Click();

    HistoryCharts *historyCharts() const { return m_history; }

private:
    clsGRServer *record() const;
    void fillSettings(const clsGRServer &server);
    void growToFit();
    void tmrAutoRefresh_Timer();

    AppRoot &m_root;
    QString m_ip;
    QGroupBox *m_frmMOTD;
    QGroupBox *m_frmGameInfo;
    QLabel *m_lblMOTD;
    QLabel *m_lblVersionData;
    QLabel *m_lblModsData;
    QLabel *m_lblPingData;
    QLabel *m_lblMapData;
    QLabel *m_lblMissionData;
    QLabel *m_lblGameTypeData;
    QLabel *m_lblLengthData;
    QLabel *m_lblTimeRemainingData;
    QGroupBox *m_frmGameSettings;
    QLabel *m_lblPatchData;
    QLabel *m_lblGameModeData;
    QLabel *m_lblMissionTypeData;
    QLabel *m_lblPasswordData;
    QLabel *m_lblRespawnsData;
    QLabel *m_lblRespawnWaitData;
    QLabel *m_lblIFFData;
    QLabel *m_lblThreatIndicatorData;
    QLabel *m_lblObserversData;
    QLabel *m_lblStartTimerData;
    QLabel *m_lblDebriefTimeData;
    QLabel *m_lblWeaponRestrictionsData;
    QLabel *m_lblPlayers;
    QTreeWidget *m_lsvPlayers;
    QTimer *m_tmrAutoRefresh;
    HistoryCharts *m_history;
};
