#include "app/ProgramIcon.h"

QString applicationId() {
    return QStringLiteral(QUORVEL_APP_ID);
}

QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1/%2.png").arg(size).arg(applicationId()),
                     QSize(size, size));
    return icon;
}
