#pragma once

#include <QWidget>

#include <functional>

class AppRoot;
class clsOptionsXML;
class CommonDialog;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;

// The "Ghost Recon Game Options" pane: edits a few values of the game's own options file and
// keeps the list of player names used before. Every edit is written to the game's file at once.
class ctlGameOptions : public QWidget {
    Q_OBJECT
public:
    // The game reads at most this many characters of a name; one more than its own input allows.
    static constexpr int maxPlayerNameLength = 15;
    static constexpr qint32 defaultRetColor = 1169151;     // 255, 214, 17
    static constexpr qint32 defaultIFFRetColor = 16763040; // 160, 200, 255

    ctlGameOptions(AppRoot &root, CommonDialog *commonDialog, QWidget *parent = nullptr);
    ~ctlGameOptions() override;

    // Shows the game file's current values, then rebuilds the name list.
    void RefreshData();
    // Rebuilds the drop-down list from the stored player names, keeping the typed text.
    void RefreshPlayerList();
    // Commits the name box when the player typed in it since its last commit.
    void commitTypedName();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void cutPlayerName(const QString &text);
    void commitPlayerName(bool rebuildList);
    void removePlayerName();
    void chooseColor(QFrame *swatch, bool iff);
    void loadDefaultColors();
    void writeSwitch(QCheckBox *box);
    void onFocusChanged(QWidget *old, QWidget *now);
    // Runs Load, one change and Save on the game's file; a file that cannot be written is
    // reported to the player, who may try again.
    // Returns false when the player gave up on the write.
    bool writeGameFile(const std::function<void(clsOptionsXML &)> &change);
    // Shows the colours and switches of the file `xml` has just loaded.
    void showLoadedValues(clsOptionsXML &xml);
    // Shows the game file's colours and switches again (after a write that did not happen).
    void showFileValues();

    AppRoot &m_root;
    QMetaObject::Connection m_focusWatch;
    CommonDialog *m_dlgCommon;
    QComboBox *m_cboPlayerName = nullptr;
    QPushButton *m_cmdRemovePlayerName = nullptr;
    QFrame *m_shpRetColor = nullptr;
    QFrame *m_shpIFFRetColor = nullptr;
    QPushButton *m_cmdLoadDefaultRet = nullptr;
    QCheckBox *m_chkShowDeadBodies = nullptr;
    QCheckBox *m_chkShowFrameRate = nullptr;
    bool m_committing = false;
    bool m_typed = false;
};
