#include "main_window/main_window.h"
#include "platform/services/folder_listing.h"
#include "platform/widgets/drive_list.h"
#include "platform/widgets/folder_list.h"
#include "platform/widgets/output_box.h"
#include "tests/app/window_fixture.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace tavilon;

class TestDialogs : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;
    QString root_ = QDir(tmp_.path()).canonicalPath();
    QString at(const QString& name) const { return root_ + "/" + name; }

    static BrowseDialog& show(WindowFixture& f, bool save, const QString& folder = {})
    {
        auto& dialog = *static_cast<BrowseDialog*>(f.show(save ? "savefrm" : "frmDialog"));
        dialog.folderList()->openFolder(folder.isEmpty() ? QDir::currentPath() : folder);
        return dialog;
    }

private slots:
    void initTestCase()
    {
        for (const char* folder : {"lists/sub", "out/folder"})
            QDir(root_).mkpath(folder);
        writeFile(at("lists/five.txt"), "a\nb\nc\nd\ne\n");
        writeFile(at("lists/binary.dat"), QByteArray("x\0y", 3));
        ::mkfifo(QFile::encodeName(at("out/pipe")).constData(), 0600);
        QDir::setCurrent(at("lists"));
    }

    // Drive, folder and file lists follow each other; a drive that is not
    // ready, or a vanished current folder, leaves everything usable. The name
    // box lies in front of the label it overlaps.
    void browsingChain()
    {
        WindowFixture f;
        f.services.fakeDrives = {{"/", ""}, {at("out"), "OUT"}, {at("missing"), ""}};
        BrowseDialog& dialog = show(f, false, at("lists/sub"));
        const QObjectList children = dialog.children();
        QVERIFY(children.indexOf(dialog.nameBox()) > children.indexOf(dialog.findChild<QLabel*>()));
        dialog.driveList()->setCurrentIndex(1);
        QCOMPARE(dialog.windowTitle(), "Dialog Box - [" + at("out") + "]");
        dialog.driveList()->setCurrentIndex(0); // "/": the process's current folder
        dialog.driveList()->setCurrentIndex(2);
        QVERIFY(f.services.lastMessage().contains("cannot be opened"));
        QCOMPARE(dialog.fileList()->path(), at("lists"));
        QCOMPARE(dialog.driveList()->currentIndex(), 0);
        QDir().mkpath(at("gone"));
        QDir::setCurrent(at("gone"));
        QDir(at("gone")).removeRecursively();
        dialog.close();
        QVERIFY(QFileInfo(f.windows.showOpenDialog().folderList()->path()).isDir());
        QDir::setCurrent(at("lists"));
    }

    // Ok counts the entry chosen in the file list (not the name box's text)
    // and shows it in the main window, opened afresh if it was closed; on a
    // failure the dialog stays and the main window keeps what it had.
    void openOk_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("mainClosed");
        QTest::addColumn<QString>("says");
        QTest::newRow("main window closed by its close box") << "five.txt" << true << "";
        QTest::newRow("nothing chosen") << "" << false << "Select a word list";
        QTest::newRow("binary data") << "binary.dat" << false << "binary data";
        QTest::newRow("gone since listed") << "gone.txt" << false << "gone.txt";
    }
    void openOk()
    {
        QFETCH(QString, entry);
        QFETCH(bool, mainClosed);
        QFETCH(QString, says);
        writeFile(at("lists/gone.txt"), "x\n");
        WindowFixture f;
        BrowseDialog& dialog = show(f, false);
        QFile::remove(at("lists/gone.txt"));
        if (mainClosed)
            f.windows.mainWindow()->close();
        if (!entry.isEmpty())
            chooseFile(dialog.fileList(), entry);
        dialog.nameBox()->setText("binary.dat");
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        WindowFixture::waitForCounts();
        QVERIFY2(f.services.lastMessage().contains(says), qPrintable(f.services.lastMessage()));
        QCOMPARE(!f.windows.openDialog(), says.isEmpty());
        MainWindow* window = f.windows.mainWindow();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->countBox()->text(), says.isEmpty() ? "5" : "");
        QCOMPARE(window->selectButton()->isEnabled(), says.isEmpty());
    }

    // A click on a file chooses it as the arrow keys do: the name box shows it
    // and Ok takes its real name, one not valid UTF-8 and alone in its folder
    // too: the list is loaded and picked from, or replaced without a copy.
    void aClickedFileIsChosen_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QByteArrayList>("names"); // in the list's order; the middle one is clicked
        QTest::newRow("open, not UTF-8, alone") << false << QByteArrayList{"caf\xe9.txt"};
        QTest::newRow("save, not UTF-8, alone") << true << QByteArrayList{"caf\xe9.txt"};
        QTest::newRow("save, among others") << true << QByteArrayList{"a.txt", "b.txt", "c.txt"};
    }
    void aClickedFileIsChosen()
    {
        QFETCH(bool, save);
        QFETCH(QByteArrayList, names);
        const int row = int(names.size()) / 2;
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.path()) + "/";
        for (const QByteArray& name : names)
            std::ofstream((folder + name).toStdString()) << "one\ntwo\n";
        WindowFixture f;
        f.main().outputBox()->setText("x\r\ny");
        BrowseDialog& dialog = show(f, save, dir.path());
        QListWidgetItem* item = dialog.fileList()->item(row);
        const QPoint centre = dialog.fileList()->visualItemRect(item).center();
        QTest::mouseClick(dialog.fileList()->viewport(), Qt::LeftButton, {}, centre);
        QCOMPARE(dialog.nameBox()->text(), item->text());
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        WindowFixture::waitForCounts();
        if (!save)
            QTest::mouseClick(f.windows.mainWindow()->selectButton(), Qt::LeftButton);
        QCOMPARE(f.services.messages, save ? QStringList{"saved"} : QStringList());
        QCOMPARE(f.windows.mainWindow()->countBox()->text(), save ? "" : "2");
        std::ifstream file((folder + names[row]).toStdString(), std::ios::binary);
        QCOMPARE(QByteArray::fromStdString({std::istreambuf_iterator<char>(file), {}}),
                 save ? "x\r\ny\r\n" : "one\ntwo\n");
        const auto files = listFiles(dir.path());
        QCOMPARE(files.value().size(), names.size());
        std::filesystem::remove_all(folder.toStdString()); // which the folder's own removal cannot do with an odd name
    }

    // What is saved: the output exactly, CR LF line ends and one more; or, on
    // a failure (past the file-size limit too), nothing; dialog and output stay.
    void save_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("says");
        QTest::newRow("no-break space, line separator, tab, no final line end")
            << QString::fromUtf8("\u00E4\u00A0b\r\nc\u2028d\te") << "b"
            << QByteArray("\xC3\xA4\xC2\xA0" "b\r\nc\xE2\x80\xA8" "d\te\r\n") << "saved";
        QTest::newRow("blanks only") << "x" << "   " << QByteArray() << "Type a name";
        QTest::newRow("a whole path") << "x" << at("lists/whole.txt") << QByteArray("x\r\n") << "saved";
        QTest::newRow("a folder") << "x" << "folder" << QByteArray() << "is a folder";
        QTest::newRow("a pipe") << "x" << "pipe" << QByteArray() << "not a regular file";
        QTest::newRow("main window closed") << "x" << "orphan.txt" << QByteArray() << "no output left";
        QTest::newRow("past the file-size limit")
            << QString(100000, 'x') << "big.txt" << QByteArray() << "File too large";
    }
    void save()
    {
        QFETCH(QString, output);
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, says);
        WindowFixture f;
        f.main().outputBox()->setText(output);
        // Clear, then undone
        QTest::keySequence(f.main().outputBox(), QKeySequence(QKeyCombination(Qt::Key_Escape), Qt::CTRL | Qt::Key_Z));
        BrowseDialog& dialog = show(f, true, at("out"));
        if (name == "orphan.txt")
            f.windows.mainWindow()->close();
        dialog.nameBox()->setText(name);
        rlimit size {};
        ::getrlimit(RLIMIT_FSIZE, &size);
        const rlimit limited {name == "big.txt" ? 60000 : size.rlim_cur, size.rlim_max};
        const auto unlimited = qScopeGuard([&] { ::setrlimit(RLIMIT_FSIZE, &size); });
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limited), 0);
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        QVERIFY2(f.services.lastMessage().contains(says), qPrintable(f.services.lastMessage()));
        QCOMPARE(!f.windows.saveDialog(), says == "saved");
        // no extension added
        QCOMPARE(says == "saved" ? readFile(QDir(at("out")).filePath(name)) : QByteArray(), bytes);
        QVERIFY(!QFile::exists(at("out/orphan.txt")));
        QCOMPARE(QDir(at("out")).entryList({".tavilon-*", "big.txt"}, QDir::Files | QDir::Hidden), QStringList());
        QCOMPARE(f.windows.mainWindow() ? f.windows.mainWindow()->outputBox()->text() : output, output);
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
