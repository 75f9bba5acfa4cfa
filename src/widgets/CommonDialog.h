#pragma once

#include <QColor>
#include <QObject>
#include <QString>

#include <optional>

class QWidget;

// The main window's colour and file choosers, lent to the panes and dialogs. Tests replace the
// choosers by overriding the two virtual functions.
class CommonDialog : public QObject {
    Q_OBJECT
public:
    struct FileRequest {
        QString title;
        QString directory; // where the chooser starts (empty: the chooser's own choice)
        QString fileName;  // initial file name
        QString filter;    // Qt name filter, e.g. "Roger.exe (Roger.exe)"
        bool mustExist = true;
    };

    explicit CommonDialog(QObject *parent = nullptr);

    // The chosen colour, or nothing when the player cancelled.
    virtual std::optional<QColor> chooseColor(const QColor &initial, QWidget *owner);
    // The chosen file's full path, or empty text when the player cancelled.
    virtual QString chooseOpenFile(const FileRequest &request, QWidget *owner);
    // The full path to write to, or empty text when the player cancelled (the chooser asks
    // before an existing file is replaced).
    virtual QString chooseSaveFile(const FileRequest &request, QWidget *owner);
    // The chosen directory, or empty text when the player cancelled.
    virtual QString chooseDirectory(const QString &title, QWidget *owner);
};
