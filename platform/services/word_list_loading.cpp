#include "word_list_loading.h"

#include "busy_feedback.h"
#include "desktop_services.h"
#include "field_count.h"
#include "word_list.h"

#include <QFile>

namespace tavilon {

std::optional<CountedList> countWordList(QWidget* over, DesktopServices& services, const QString& path)
{
    return countWordList(over, services, path, QFile::encodeName(path));
}

std::optional<CountedList> countWordList(QWidget* over, DesktopServices& services, const QString& shownPath,
                                         const QByteArray& pathBytes)
{
    FileIdentity file;
    Outcome<std::string> counted = [&] {
        BusyFeedback busy(over, QObject::tr("Counting the words of %1…").arg(shownPath));
        return countFields(pathBytes.toStdString(), busy.callback(), nullptr, &file);
    }();
    if (!counted) {
        if (counted.error().code != ErrorCode::Cancelled)
            services.showMessage(over, DesktopServices::Icon::Warning,
                                 QObject::tr("The word list was not loaded.\n\n%1")
                                     .arg(QString::fromUtf8(counted.error().message)));
        return std::nullopt;
    }
    return CountedList{shownPath, pathBytes, fieldCountValue(counted.value()), file};
}

} // namespace tavilon
