#include "desktop_services.h"

#include "platform/tables/screen_fit.h"

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>

#include <memory>

namespace tavilon {

QString applicationTitle()
{
    return QStringLiteral("Brenvask Tavilon");
}

void QtDesktopServices::showMessage(QWidget* over, Icon icon, const QString& text, std::function<void()> then)
{
    auto* box = new QMessageBox(icon == Icon::Warning ? QMessageBox::Warning
                                    : icon == Icon::Information ? QMessageBox::Information
                                                                : QMessageBox::NoIcon,
                                applicationTitle(), text, QMessageBox::Ok, over); // deletes itself once dismissed
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    ScreenFit::keep(box);
    if (then)
        QObject::connect(box, &QDialog::finished, box, [then = std::move(then)] { then(); });
    box->show();
}

bool QtDesktopServices::setClipboardText(const QString& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    // The text goes on the clipboard as the UTF-8 other programs ask for
    // (X's plain text, Wayland's text/plain;charset=utf-8): answering them
    // then takes no copy, which could not fail gently inside the
    // clipboard's own event handling.
    const QByteArray utf8 = text.toUtf8();
    auto data = std::make_unique<QMimeData>();
    data->setData(QStringLiteral("text/plain"), utf8);
    data->setData(QStringLiteral("text/plain;charset=utf-8"), utf8);
    const QPointer<QMimeData> placed = data.get();
    clipboard->setMimeData(data.release(), QClipboard::Clipboard); // the clipboard owns it
    // The clipboard gives no result of its own: it took the text if it hands the data back.
    return placed && clipboard->mimeData(QClipboard::Clipboard) == placed;
}

} // namespace tavilon
