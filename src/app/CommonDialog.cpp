#include "app/CommonDialog.h"

#include <QColorDialog>
#include <QFileDialog>
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

QString CommonDialog::chooseDirectory(const QString &title, QWidget *owner) {
    return QFileDialog::getExistingDirectory(
        owner, title, QStandardPaths::writableLocation(QStandardPaths::DesktopLocation),
        QFileDialog::ShowDirsOnly);
}
