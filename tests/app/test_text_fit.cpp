// Every text of every window stands whole and uncovered, in any font and language.

#include "window_fixture.h"
#include "app/translations.h"
#include "platform/tables/font_scale.h"
#include "platform/widgets/line_widget.h"

#include <QtWidgets>

using namespace tavilon;

namespace {

// The pixels `text` inks at least half: an accent's faint edge may pass its box.
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

// The text `control` shows, and the area and flags it draws it with.
std::tuple<QString, QRect, int> shownText(QWidget* control)
{
    QStyle* style = control->style();
    if (auto* label = qobject_cast<QLabel*>(control))
        return {label->text(), label->contentsRect(), int(label->alignment()) | Qt::TextWordWrap};
    if (auto* button = qobject_cast<QPushButton*>(control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        const QRect area = style->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        return {button->text(), area, Qt::AlignCenter | Qt::TextWordWrap};
    }
    if (auto* box = qobject_cast<QLineEdit*>(control)) {
        QStyleOptionFrame option;
        option.initFrom(box);
        option.lineWidth = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
        QRect area = style->subElementRect(QStyle::SE_LineEditContents, &option, box);
        return {box->text(), area.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter};
    }
    if (auto* frame = qobject_cast<QGroupBox*>(control)) {
        QStyleOptionGroupBox option;
        option.initFrom(frame);
        option.text = frame->title();
        const auto title = QStyle::SC_GroupBoxLabel;
        const QRect area = style->subControlRect(QStyle::CC_GroupBox, &option, title, frame);
        return {frame->title(), area, Qt::AlignCenter};
    }
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        const auto field = QStyle::SC_ComboBoxEditField;
        const QRect area = style->subControlRect(QStyle::CC_ComboBox, &option, field, combo);
        return {combo->currentText(), area, Qt::AlignLeft | Qt::AlignVCenter};
    }
    return {};
}

bool covers(const QWidget* w)
{
    const auto* label = qobject_cast<const QLabel*>(w);
    const bool clearLabel = label && !label->autoFillBackground();
    return w->isVisible() && !qobject_cast<const LineWidget*>(w) && !clearLabel;
}

// Every text of `window` cut or covered, crossed by a see-through label's, or too
// large for its list's row.
QStringList cutTexts(QWidget* window)
{
    QStringList cut;
    for (QListWidget* list : window->findChildren<QListWidget*>()) {
        const QFontMetrics metrics = list->fontMetrics();
        for (int row = 0; row < list->count(); ++row) {
            QListWidgetItem* item = list->item(row);
            if (metrics.horizontalAdvance(item->text()) > list->viewport()->width()
                || list->visualItemRect(item).height() < metrics.height())
                cut << list->objectName() + ": " + item->text();
        }
    }
    QList<std::pair<QWidget*, QRegion>> inks; // in the window
    for (QWidget* control : window->findChildren<QWidget*>()) {
        const auto [text, area, flags] = shownText(control);
        if (text.isEmpty() || !control->isVisibleTo(window))
            continue;
        QWidget* parent = control->parentWidget();
        const QRect own = qobject_cast<QLabel*>(control) ? control->rect() : area;
        const QRect inParent = parent->rect().translated(-control->pos());
        QRegion visible = QRegion(own) & control->rect() & inParent;
        const QObjectList siblings = parent->children();
        for (qsizetype i = siblings.indexOf(control) + 1; i < siblings.size(); ++i)
            if (auto* sibling = qobject_cast<QWidget*>(siblings[i]); sibling && covers(sibling))
                visible -= sibling->geometry().translated(-control->pos());
        if (qobject_cast<QGroupBox*>(control))
            for (QWidget* inside : control->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (covers(inside))
                    visible -= inside->geometry();
        const QRegion ink = inked(control, area, flags, text);
        if (!(ink - visible).isEmpty())
            cut << control->objectName() + ": " + text;
        inks << std::pair(control, ink.translated(control->mapTo(window, QPoint())));
    }
    for (const auto& [over, ink] : inks)
        for (const auto& [under, otherInk] : inks)
            if (over != under && !covers(over) && ink.intersects(otherInk))
                cut << over->objectName() + " over " + under->objectName();
    return cut;
}

} // namespace

class TestTextFit : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_{QDir::tempPath() + "/fitXXXXXX"}; // short rows in the lists

private slots:
    void initTestCase()
    {
        applyApplicationLook(*qApp); // the program's own font
        QDir::setCurrent(tmp_.path());
        writeFile(tmp_.filePath("w.txt"), "w\n");
    }

    // Each window, the main one also enlarged, in the desktops' fonts at two sizes.
    void textsStayWhole_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QFont>("font");
        QTest::addColumn<QString>("window");
        QTest::addColumn<double>("grow"); // by the user, before the font changes
        QTest::addColumn<bool>("resizes"); // with the font
        QStringList languages{"en"};
        for (QDirIterator it(":/i18n", {"tavilon_*.qm"}); it.hasNext();)
            languages << it.next().section('_', 1).section('.', 0, 0);
        const QList<QFont> fonts{QApplication::font(), QFont("DejaVu Sans", 16),
                                 QFont("Cantarell", 11), QFont("Cantarell", 14),
                                 QFont("Noto Sans", 10), QFont("Noto Sans", 16)};
        const std::pair<const char*, double> windows[]{
            {"Form1", 1.0}, {"Form1", 1.5}, {"frmDialog", 1.0}, {"savefrm", 1.0}, {"Form2", 1.0}};
        for (const QString& language : languages)
            for (const QFont& font : fonts)
                for (const auto& [window, grow] : windows)
                    QTest::addRow("%s %s %dpt %s %gx", qPrintable(language),
                                  qPrintable(font.family()), font.pointSize(), window, grow)
                        << language << font << QString(window) << grow
                        << (font != QApplication::font());
    }
    void textsStayWhole()
    {
        QFETCH(QString, language);
        QFETCH(QFont, font);
        QFETCH(QString, window);
        QFETCH(double, grow);
        const Translations translations{QLocale(language)};
        WindowFixture f;
        const QString list = tmp_.filePath("w.txt");
        f.main().showCountedList({list, QFile::encodeName(list), 123'456'789'012, {}});
        QWidget* shown = f.show(window);
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        shown->resize(shown->size() * grow);
        const QSize before = shown->size();
        QApplication::setFont(font); // as a desktop theme does
        QTest::qWait(100);
        QTEST(shown->size() != before, "resizes");
        const QStringList cut = cutTexts(shown);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(" | ")));
    }

    void aSmallerFontKeepsTheWindowsSize()
    {
        WindowFixture f;
        MainWindow& window = f.main();
        const QSize before = window.size();
        QApplication::setFont(QFont("Liberation Sans", 6));
        QTest::qWait(100);
        QCOMPARE(window.size(), before);
    }

    // A font too large for the 2560 by 1600 screen steps down by half points.
    void aFontTooLargeForTheScreenStepsDown()
    {
        WindowFixture f;
        MainWindow& window = f.main();
        QApplication::setFont(QFont("DejaVu Sans", 26));
        QTRY_COMPARE(window.font().pointSizeF(), 25.5);
    }

    // The largest size that fits is found in a few tries, however large the font.
    void theLargestSizeThatFitsIsFound_data()
    {
        QTest::addColumn<QFont>("font");
        QTest::addColumn<qreal>("largest"); // the largest size that fits, in the font's unit
        QTest::addColumn<qreal>("found");
        QFont pixels("DejaVu Sans");
        pixels.setPixelSize(40);
        QTest::newRow("half a point less") << QFont("DejaVu Sans", 26) << 25.5 << 25.5;
        QTest::newRow("10,000 points") << QFont("DejaVu Sans", 10000) << 12.0 << 12.0;
        QTest::newRow("in pixels") << pixels << 17.0 << 17.0;
        QTest::newRow("none fits") << QFont("DejaVu Sans", 8) << 0.0 << 1.0;
    }
    void theLargestSizeThatFitsIsFound()
    {
        QFETCH(QFont, font);
        QFETCH(qreal, largest);
        const auto size = [](const QFont& f) {
            return f.pointSizeF() > 0 ? f.pointSizeF() : qreal(f.pixelSize());
        };
        int tries = 0;
        const QFont found = largestFittingFont(font, [&](const QFont& f) {
            ++tries;
            return size(f) <= largest;
        });
        QTEST(size(found), "found");
        QVERIFY(tries <= 16);
    }
};

QTEST_MAIN(TestTextFit)
#include "test_text_fit.moc"
