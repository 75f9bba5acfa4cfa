#pragma once

#include <QDialog>
#include <QStringList>

class AppRoot;
class CommonDialog;
class QCheckBox;
class QLabel;
class QPushButton;

// The general preferences: tips and the start-up ping, and where Roger Wilco is. Every change
// goes straight into the preferences in memory; there is nothing to cancel.
class frmOptions : public QDialog {
    Q_OBJECT
public:
    frmOptions(AppRoot &root, CommonDialog *commonDialog, QWidget *parent = nullptr);
    ~frmOptions() override;

    // Shows the current preferences.
    void RefreshData();

    // Where the Roger Wilco chooser starts for a game installed in `rootDirectory`: its usual
    // install directory, else the programs directory, else nothing (on Linux both are looked
    // for inside the game's Wine prefix).
    static QString rogerWilcoStartDirectory(const QString &rootDirectory);
    // How the desktop session starts the program on the game in `rootDirectory`.
    static QStringList sessionStartArguments(const QString &rootDirectory);

private:
    void BrowseForRogerWilco();
    void applySwitch(QCheckBox *box);
    // Writes or removes the desktop session's entry that starts the program in the tray.
    void setStartWithSession(bool on);

    AppRoot &m_root;
    CommonDialog *m_dlgCommon;
    QCheckBox *m_chkShowTips = nullptr;
    QCheckBox *m_chkPingServers = nullptr;
    QCheckBox *m_chkKeepInTray = nullptr;
    QCheckBox *m_chkStartWithSession = nullptr;
    QLabel *m_lblRWPath = nullptr;
    QPushButton *m_cmdBrowseRW = nullptr;
    QPushButton *m_cmdOK = nullptr;
};
