#include "desktop_identity.h"

#include "tavilon_version.h"

#include <QApplication>
#include <QIcon>

namespace tavilon {

namespace {

QIcon bundledIcon()
{
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/tavilon/icons/%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

QIcon applicationIcon()
{
    return QIcon::fromTheme(QString::fromLatin1(DesktopId), bundledIcon());
}

void applyDesktopIdentity(QApplication& app)
{
    QApplication::setApplicationName(QStringLiteral("Tavilon"));
    QApplication::setApplicationVersion(QStringLiteral(TAVILON_VERSION));
    QApplication::setOrganizationName(QStringLiteral("Brenvask"));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(DesktopId));
    app.setWindowIcon(applicationIcon());
}

} // namespace tavilon
