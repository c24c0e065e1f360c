// Prints how a press of many picks goes in a real main window: the time from
// Select until the output box holds every pick, the longest the event loop
// went without turning (a 16 ms timer notes the gaps), the time Copy takes to
// read the box, and peak memory. Figures are medians over the rounds; nothing
// here passes or fails.
//
// For comparison it also times the same picks put into a bare output box on
// the window's thread, the way a small press still goes.
//
// Usage: tavilon-window-bench [word list] [picks] [rounds]
//   Without a list it uses /usr/share/dict/words, or makes a list of 100,000
//   made-up words when there is none. Runs on any Qt platform: offscreen, or
//   a real X server (xvfb-run).

#include "app/application.h"
#include "core/list/word_list.h"
#include "core/picking/picks_number.h"
#include "core/picking/random_source.h"
#include "main_window/main_window.h"
#include "platform/services/desktop_services.h"
#include "platform/widgets/output_box.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <random>
#include <sys/resource.h>
#include <vector>

using namespace tavilon;

namespace {

// Messages are printed instead of shown: a modal box would stop the run.
class PrintingServices : public DesktopServices {
public:
    void showMessage(QWidget*, Icon, const QString& text, std::function<void()> then) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        if (then)
            then();
    }
    bool setClipboardText(const QString&) override { return true; }
};

QString madeUpList(const QString& folder)
{
    const QString path = folder + QStringLiteral("/words.txt");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    std::mt19937 random(7);
    QByteArray bytes;
    for (int i = 0; i < 100'000; ++i) {
        const int length = 3 + int(random() % 10);
        for (int c = 0; c < length; ++c)
            bytes += char('a' + random() % 26);
        bytes += '\n';
    }
    file.write(bytes);
    return path;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// CPU time of the whole process, all threads: less shaken than the clock on
// a machine that others share.
double cpuMs()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

double peakMiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

struct Round {
    double fillMs = 0;
    double cpuMs = 0;
    double longestGapMs = 0;
    double copyMs = 0;
    qint64 lines = 0;
};

Round pressOnce(const QString& list, std::uint64_t count, const FileIdentity& file, const QString& picks)
{
    PrintingServices services;
    Application windows(services);
    MainWindow& form = windows.showMainWindow();
    form.showCountedList({list, QFile::encodeName(list), count, file});
    form.picksBox()->setText(picks);
    processRandomSource().reset();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents(); // the window is shown and laid out

    Round round;
    QElapsedTimer sinceSelect;
    QElapsedTimer sinceTick;
    QTimer ticks;
    ticks.setInterval(16);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        round.longestGapMs = std::max(round.longestGapMs, double(sinceTick.nsecsElapsed()) / 1e6);
        sinceTick.restart();
    });
    double cpuAtSelect = 0;
    QTimer done;
    done.setInterval(1);
    QObject::connect(&done, &QTimer::timeout, [&] {
        if (!form.isFilling()) {
            round.fillMs = double(sinceSelect.nsecsElapsed()) / 1e6;
            round.cpuMs = cpuMs() - cpuAtSelect;
            QApplication::exit(0);
        }
    });
    QTimer::singleShot(0, [&] {
        cpuAtSelect = cpuMs();
        sinceTick.start();
        ticks.start();
        sinceSelect.start();
        form.selectButton()->click();
        done.start();
    });
    QApplication::exec();
    ticks.stop();
    done.stop();

    QElapsedTimer copying;
    copying.start();
    const QString text = form.outputBox()->text();
    round.copyMs = double(copying.nsecsElapsed()) / 1e6;
    round.lines = text.count(QStringLiteral("\r\n"));
    windows.closeAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return round;
}

// The picks appended to a bare box on this thread, as one event.
double inTheWindowThread(const QString& list, std::uint64_t count, const QString& picks)
{
    RandomSource source;
    const auto wanted = picksNumber(picks.toStdString()).picks;
    if (!wanted)
        return -1;
    const auto picked = press({wanted.value(), count, list.toStdString()}, source);
    if (!picked)
        return -1;
    const QString text = QString::fromUtf8(picked.value().words);
    OutputBox box;
    box.resize(805, 373);
    box.show();
    QApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    box.appendText(text);
    QApplication::processEvents(); // the first paint with the lines in
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    applyApplicationLook(app);
    const QStringList args = app.arguments();
    QTemporaryDir folder;
    QString list = args.size() > 1 ? args[1] : QStringLiteral("/usr/share/dict/words");
    if (!QFile::exists(list))
        list = madeUpList(folder.path());
    const QString picks = args.size() > 2 ? args[2] : QStringLiteral("1000000");
    const int rounds = args.size() > 3 ? std::max(1, args[3].toInt()) : 3;

    FileIdentity file;
    const auto count = countWords(list.toStdString(), {}, nullptr, &file);
    if (!count) {
        std::fprintf(stderr, "cannot count %s: %s\n", qPrintable(list), count.error().message.c_str());
        return 1;
    }
    std::printf("platform %s, list %s (%llu words), %s picks, %d rounds\n", qPrintable(QGuiApplication::platformName()),
                qPrintable(list), static_cast<unsigned long long>(count.value()), qPrintable(picks), rounds);

    std::vector<double> fill, gap, copy, cpu;
    for (int i = 0; i < rounds; ++i) {
        const Round r = pressOnce(list, count.value(), file, picks);
        std::printf("round %d: %6.0f ms (%6.0f ms CPU) until the box holds %lld lines, longest gap between 16 ms ticks "
                    "%5.0f ms, copy %5.0f ms\n",
                    i + 1, r.fillMs, r.cpuMs, static_cast<long long>(r.lines), r.longestGapMs, r.copyMs);
        fill.push_back(r.fillMs);
        gap.push_back(r.longestGapMs);
        copy.push_back(r.copyMs);
        cpu.push_back(r.cpuMs);
    }
    std::printf("median: %.0f ms (%.0f ms CPU) from Select until all picks are in the box; longest gap between 16 ms "
                "ticks %.0f ms; copy %.0f ms; peak memory %.0f MiB\n",
                median(fill), median(cpu), median(gap), median(copy), peakMiB());
    const double bare = inTheWindowThread(list, count.value(), picks);
    std::printf("for comparison: the same picks appended to a bare box in the window's thread: %.0f ms, blocking "
                "throughout\n",
                bare);
    return 0;
}
