#include "widgets/CommonDialog.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

CommonDialog::CommonDialog(QObject *parent)
    : QObject(parent) {
    setObjectName(QStringLiteral("dlgCommon"));
}

std::optional<QColor> CommonDialog::chooseColor(const QColor &initial, QWidget *owner) {
    const QColor chosen = QColorDialog::getColor(initial, owner);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

QString CommonDialog::chooseOpenFile(const FileRequest &request, QWidget *owner) {
    QFileDialog dialog(owner, request.title, request.directory, request.filter);
    dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString CommonDialog::chooseSaveFile(const FileRequest &request, QWidget *owner) {
    QFileDialog dialog(owner, request.title, request.directory, request.filter);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString CommonDialog::chooseDirectory(const QString &title, QWidget *owner) {
    // The desktop where there is one; many Linux homes have none.
    QString start = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!QFileInfo(start).isDir())
        start = QDir::homePath();
    return QFileDialog::getExistingDirectory(owner, title, start, QFileDialog::ShowDirsOnly);
}
