#pragma once

#include <QWidget>

#include <functional>
#include <memory>

class CommonDialog;
class Prompter;
class QAction;
class QCheckBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class clsOptions;
namespace platform {
class DesktopOpener;
class ProcessLauncher;
} // namespace platform

// The Stat Tracking pane: recording on or off, the stats directory, and the recorded pages in
// it (open, delete).
class ctlQuorvel : public QWidget {
    Q_OBJECT
public:
    // What the pane works with. The preferences may not exist yet while the pane is created.
    struct Services {
        std::function<clsOptions *()> options;
        Prompter *prompter = nullptr;
        CommonDialog *commonDialog = nullptr;
        platform::ProcessLauncher *launcher = nullptr; // for the desktop opener
        // The main window's pop-up menu with its "Delete..." and "Refresh" entries.
        QMenu *menu = nullptr;
        QAction *deleteAction = nullptr;
        QAction *refreshAction = nullptr;
    };

    explicit ctlQuorvel(Services services, QWidget *parent = nullptr);
    ~ctlQuorvel() override;

    // Replaces the desktop opener (tests record what would be opened).
    void setOpener(platform::DesktopOpener *opener) { m_opener = opener; }

    void RefreshFileList();
    void Deletefile();

    // The recorder could not copy a page: said under the switch until a copy succeeds.
    void showRecordingFailure(const QString &reason);
    void recordingResumed();

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void refreshAll();
    void openDirectory();
    void openSelectedFile();
    void browseStatsDirectory();
    void showContextMenu(const QPoint &globalPos);
    QString selectedName() const;
    QString pathInStatsDirectory(const QString &name) const;

    Services m_services;
    std::unique_ptr<platform::DesktopOpener> m_systemOpener;
    platform::DesktopOpener *m_opener = nullptr;
    QLabel *m_lblStatsDirectory;
    QPushButton *m_cmdBrowseStatsDir;
    QCheckBox *m_chkRecordStats;
    QLabel *m_lblRecordStats;
    QLabel *m_lblRecordFailure;
    QListWidget *m_lsvStatsDirectory;
};
