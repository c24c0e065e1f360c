// A file manager's stand-in: pressed, the window drags its address as given. drag_source ADDRESS
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

class DragSource : public QWidget {
    void mousePressEvent(QMouseEvent*) override
    {
        auto* address = new QMimeData; // owned by the drag
        address->setUrls({QUrl::fromEncoded(qApp->arguments().at(1).toLatin1())});
        auto* drag = new QDrag(this);
        drag->setMimeData(address);
        drag->exec(Qt::CopyAction);
        QTimer::singleShot(3000, this, &QWidget::close); // the data is fetched after the drop
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    DragSource source;
    source.setWindowTitle("drag source");
    source.resize(100, 100);
    source.show();
    return app.exec();
}
