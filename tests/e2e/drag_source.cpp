// What a file manager or an editor does when something is dragged out of it,
// for the real-window tests: a small window titled "drag source" that,
// pressed, starts a drag through the desktop (XDND on X11) and ends once it
// is dropped. Usage: drag_source url ADDRESS | drag_source lines COUNT
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace {

class DragSource : public QWidget {
public:
    explicit DragSource(std::unique_ptr<QMimeData> dragged) : data_(std::move(dragged))
    {
        setWindowTitle("drag source");
    }

protected:
    void mousePressEvent(QMouseEvent*) override
    {
        auto* drag = new QDrag(this); // the window owns it
        drag->setMimeData(data_.release());
        drag->exec(Qt::CopyAction);
        // The drop's data is fetched from here after the drop: a moment's grace.
        QTimer::singleShot(3000, this, &QWidget::close);
    }

private:
    std::unique_ptr<QMimeData> data_;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 2;
    auto data = std::make_unique<QMimeData>();
    if (args[1] == "url") // as given: its escapes stay as they are
        data->setUrls({QUrl::fromEncoded(argv[2])});
    else
        data->setText(QString("a\n").repeated(args[2].toInt()));
    DragSource source(std::move(data));
    source.resize(100, 100);
    source.show();
    return app.exec();
}
