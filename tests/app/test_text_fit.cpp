// Every text of every window stands whole where no other control covers it and crosses no other
// text: in the program's own font, in the desktops' faces set once the windows are shown, in every
// language.

#include "window_fixture.h"
#include "platform/widgets/line_widget.h"
#include "tests/support/word_lists.h"

#include <QtWidgets>

using namespace tavilon;

namespace {

// The pixels `text` inks at least half when `control` draws it in `area` with `flags` (at 96 dpi,
// as offscreen); an accent or a slanted letter's faint edge may pass its box by a pixel.
QRegion inked(const QWidget* control, const QRect& area, int flags, const QString& text)
{
    const QPoint margin(area.width() + 50, area.height() + 50);
    QImage image(area.size() * 3 + QSize(100, 100), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setFont(control->font());
    painter.drawText(QRect(margin, area.size()), flags, text);
    const QRegion ink(QBitmap::fromImage(image.createAlphaMask(Qt::ThresholdAlphaDither)));
    return ink.translated(area.topLeft() - margin);
}

// The text `control` shows, the area it is drawn in and the flags it is drawn with.
std::tuple<QString, QRect, int> shownText(QWidget* control)
{
    QStyle* style = control->style();
    if (auto* label = qobject_cast<QLabel*>(control))
        return {label->text(), label->contentsRect(), int(label->alignment()) | Qt::TextWordWrap};
    if (auto* button = qobject_cast<QPushButton*>(control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        return {button->text(), style->subElementRect(QStyle::SE_PushButtonContents, &option, button),
                Qt::AlignCenter | Qt::TextWordWrap};
    }
    if (auto* box = qobject_cast<QLineEdit*>(control)) { // as QLineEdit draws it: 2 px in from its contents
        QStyleOptionFrame option;
        option.initFrom(box);
        option.lineWidth = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
        const QRect area = style->subElementRect(QStyle::SE_LineEditContents, &option, box).adjusted(2, 0, -2, 0);
        return {box->text(), area, Qt::AlignLeft | Qt::AlignVCenter};
    }
    if (auto* frame = qobject_cast<QGroupBox*>(control)) {
        QStyleOptionGroupBox option;
        option.initFrom(frame);
        option.text = frame->title();
        return {frame->title(), style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, frame),
                Qt::AlignCenter};
    }
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        const QRect field = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
        return {combo->currentText(), field, Qt::AlignLeft | Qt::AlignVCenter};
    }
    return {};
}

// Every text of `window` that is cut: by its own area (a label's whole box), by a control in front
// of it (a later sibling, or a frame's control over its title), by its
// container's edge; and every list row wider or lower than its list's rows.
QStringList cutTexts(QWidget* window)
{
    QStringList cut;
    QList<std::pair<QWidget*, QRegion>> inks; // in the window
    const auto covers = [](const QWidget* w) { // lines and see-through labels hide nothing behind them
        const auto* label = qobject_cast<const QLabel*>(w);
        return w->isVisible() && !qobject_cast<const LineWidget*>(w) && (!label || label->autoFillBackground());
    };
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (auto* list = qobject_cast<QListWidget*>(control))
            for (int row = 0; row < list->count(); ++row)
                if (list->fontMetrics().horizontalAdvance(list->item(row)->text()) > list->viewport()->width()
                    || list->visualItemRect(list->item(row)).height() < list->fontMetrics().height())
                    cut << control->objectName() + ": " + list->item(row)->text();
        const auto [text, area, flags] = shownText(control);
        if (text.isEmpty() || !control->isVisibleTo(window))
            continue;
        const QRect box = qobject_cast<QLabel*>(control) ? control->rect() : area;
        QRegion visible = QRegion(box) & control->rect() & control->parentWidget()->rect().translated(-control->pos());
        const QObjectList siblings = control->parentWidget()->children();
        for (qsizetype i = siblings.indexOf(control) + 1; i < siblings.size(); ++i)
            if (auto* sibling = qobject_cast<QWidget*>(siblings[i]); sibling && covers(sibling))
                visible -= sibling->geometry().translated(-control->pos());
        for (QWidget* inside : control->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (qobject_cast<QGroupBox*>(control) && covers(inside))
                visible -= inside->geometry();
        const QRegion ink = inked(control, area, flags, text);
        if (!(ink - visible).isEmpty())
            cut << control->objectName() + ": " + text;
        inks << std::pair(control, ink.translated(control->mapTo(window, QPoint())));
    }
    for (const auto& [over, ink] : inks) // a see-through label's text crosses no other text
        for (const auto& [under, otherInk] : inks)
            if (over != under && !covers(over) && ink.intersects(otherInk))
                cut << over->objectName() + " over " + under->objectName();
    return cut;
}

} // namespace

class TestTextFit : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_{QDir::tempPath() + QStringLiteral("/fitXXXXXX")}; // short rows in the lists

private slots:
    void initTestCase()
    {
        QDir::setCurrent(tmp_.path());
        writeFile(tmp_.filePath("w.txt"), numberedWords("w", 123456));
    }

    void textsStayWhole_data()
    {
        QTest::addColumn<QString>("language"); // English, or a translation the program carries
        QTest::addColumn<QString>("family");   // empty: the program's own font
        QTest::addColumn<int>("points");
        QTest::addColumn<QString>("window");
        QStringList languages{QStringLiteral("en")};
        for (QDirIterator it(QStringLiteral(":/i18n"), {QStringLiteral("tavilon_*.qm")}); it.hasNext();)
            languages << it.next();
        // A theme tool's face, GNOME's and KDE's, each at its desktop's default size and larger.
        const std::pair<const char*, int> fonts[]{{"", 8},          {"DejaVu Sans", 16}, {"Cantarell", 11},
                                                  {"Cantarell", 14}, {"Noto Sans", 10},  {"Noto Sans", 16}};
        for (const QString& language : languages)
            for (const auto& [family, points] : fonts)
                for (const char* window : {"Form1", "Form1 resized", "frmDialog", "savefrm", "Form2"})
                    QTest::addRow("%s %s %dpt %s", qPrintable(QFileInfo(language).baseName()), family, points, window)
                        << language << QString::fromLatin1(family) << points << QString::fromLatin1(window);
    }

    void textsStayWhole()
    {
        QFETCH(QString, language);
        QFETCH(QString, family);
        QFETCH(int, points);
        QFETCH(QString, window);
        QTranslator translator;
        if (language != "en") {
            QVERIFY(translator.load(language));
            QVERIFY(QCoreApplication::installTranslator(&translator));
        }
        WindowFixture f;
        QWidget* shown = window.startsWith("Form1") ? &f.mainWithList(tmp_.filePath("w.txt")) : f.show(window);
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        if (window.endsWith("resized")) // by the user: it grows in proportion
            shown->resize(827, 740);
        const QSize ownSize = shown->size();
        if (!family.isEmpty())
            QApplication::setFont(QFont(family, points)); // as a desktop theme does
        QTest::qWait(100);
        const QStringList cut = cutTexts(shown);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(" | "))));
        if (family.isEmpty()) // the program's own font moves nothing
            QCOMPARE(shown->size(), ownSize);
    }
};

QTEST_MAIN(TestTextFit)
#include "test_text_fit.moc"
