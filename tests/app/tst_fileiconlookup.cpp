#include "app/FileIconLookup.h"
#include "platform/Registry.h"
#include "platform/Shell.h"

#include <QIcon>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Answers icon requests from a table and records every request.
class IconTableShell : public Shell
{
public:
    QList<QPair<QString, int>> asked;
    QHash<QPair<QString, int>, QImage> icons;

    Result open(const QString &) override { return {FileNotFound, {}}; }
    Result run(const QString &, const QString &) override { return {FileNotFound, {}}; }
    QImage iconOfFile(const QString &path, int index) override
    {
        asked.append({path, index});
        return icons.value({path, index});
    }
};

QImage filled(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

QString environment(const QString &name)
{
    if (name == QLatin1String("SystemRoot"))
        return QStringLiteral("/srv/win");
    if (name == QLatin1String("ProgramFilesDir"))
        return QStringLiteral("/srv/programs");
    return QString();
}

// Registry values name folders with backslashes; here they become the
// platform's separator.
QString native(QString path)
{
#ifndef Q_OS_WIN
    path.replace(u'\\', u'/');
#endif
    return path;
}

} // namespace

using Location = FileIconLookup::IconLocation;
Q_DECLARE_METATYPE(Location)

class TestFileIconLookup : public QObject
{
    Q_OBJECT

    FileRegistry m_registry;

private slots:
    void init()
    {
        m_registry = FileRegistry();
        m_registry.setValue("HKEY_CLASSES_ROOT\\.txt", "", "txtfile");
        m_registry.setValue("HKEY_CLASSES_ROOT\\txtfile\\DefaultIcon", "", "%SystemRoot%\\System32\\shell32.dll,3");
        m_registry.setValue("HKEY_CLASSES_ROOT\\txtfile\\shell\\Open\\command", "",
                            "%SystemRoot%\\System32\\NOTEPAD.EXE %1");
        m_registry.setValue("HKEY_CLASSES_ROOT\\.rtf", "", "rtffile");
        m_registry.setValue("HKEY_CLASSES_ROOT\\rtffile\\shell\\Open\\command", "",
                            "\"%ProgramFiles%\\Windows NT\\Accessories\\WORDPAD.EXE\" \"%1\"");
        m_registry.setValue("HKEY_CLASSES_ROOT\\.bare", "", "barefile");
        m_registry.setValue("HKEY_CLASSES_ROOT\\.untyped", "Content Type", "text/plain");
    }

    void iconStoredInTheFileComesFirst()
    {
        IconTableShell shell;
        shell.icons.insert({"/opt/viewer.txt", 0}, filled(16, 16, 0xff0000ff));
        const FileIconLookup lookup(shell, m_registry, environment, nullptr);
        QCOMPARE(lookup.iconBitmap("/opt/viewer.txt").pixel(0, 0), 0xff0000ffu);
        QCOMPARE(shell.asked.size(), 1);
    }

    void defaultIconGivesTheIconOfTheExpandedPathAtItsIndex()
    {
        IconTableShell shell;
        const QString shell32 = native("/srv/win\\System32\\shell32.dll");
        shell.icons.insert({shell32, 3}, filled(32, 32, 0xff00ff00));
        const FileIconLookup lookup(shell, m_registry, environment, nullptr);
        const QImage icon = lookup.iconBitmap("/home/u/notes.TXT");
        QCOMPARE(icon.size(), QSize(32, 32));
        QCOMPARE(icon.pixel(5, 5), 0xff00ff00u);
        const QList<QPair<QString, int>> expected{{"/home/u/notes.TXT", 0}, {shell32, 3}};
        QCOMPARE(shell.asked, expected);
    }

    void openCommandIsAskedWhenTheDefaultIconGivesNone()
    {
        IconTableShell shell;
        const QString notepad = native("/srv/win\\System32\\NOTEPAD.EXE");
        shell.icons.insert({notepad, 0}, filled(16, 16, 0xffff0000));
        const FileIconLookup lookup(shell, m_registry, environment, nullptr);
        QCOMPARE(lookup.iconBitmap("/home/u/a.txt").pixel(0, 0), 0xffff0000u);
        const QList<QPair<QString, int>> expected{
            {"/home/u/a.txt", 0}, {native("/srv/win\\System32\\shell32.dll"), 3}, {notepad, 0}};
        QCOMPARE(shell.asked, expected);

        // A type without DefaultIcon goes to its command straight away.
        shell.asked.clear();
        const QString wordpad = native("/srv/programs\\Windows NT\\Accessories\\WORDPAD.EXE");
        shell.icons.insert({wordpad, 0}, filled(16, 16, 0xff123456));
        QCOMPARE(lookup.iconBitmap("/home/u/b.rtf").pixel(0, 0), 0xff123456u);
        QCOMPARE(shell.asked.last(), qMakePair(wordpad, 0));
    }

    void searchEndsWhereTheRegistryHasNothing_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("requests");
        QTest::newRow("no extension") << "/usr/bin/viewer" << 1;
        QTest::newRow("a dot in a folder name is no extension") << "/srv/v1.txt/viewer" << 1;
        QTest::newRow("extension not registered") << "/home/u/a.xyz" << 1;
        QTest::newRow("extension key without a type") << "/home/u/a.untyped" << 1;
        QTest::newRow("type without icon or command") << "/home/u/a.bare" << 1;
        QTest::newRow("icon and command give none") << "/home/u/a.txt" << 3;
    }

    void searchEndsWhereTheRegistryHasNothing()
    {
        QFETCH(QString, path);
        QFETCH(int, requests);
        IconTableShell shell;
        QStringList typeIconAsked;
        const FileIconLookup lookup(shell, m_registry, environment, [&](const QString &p) {
            typeIconAsked << p;
            return QImage();
        });
        QVERIFY(lookup.iconBitmap(path).isNull());
        QCOMPARE(shell.asked.size(), requests);
        QCOMPARE(typeIconAsked, QStringList{path});
    }

    void typeIconIsTheLastResort()
    {
        IconTableShell shell;
        const FileIconLookup lookup(shell, m_registry, environment,
                                    [](const QString &) { return filled(24, 24, 0xff0a0b0c); });
        const QImage icon = lookup.iconBitmap("/home/u/a.xyz");
        QCOMPARE(icon.size(), QSize(24, 24));
        QCOMPARE(icon.pixel(23, 23), 0xff0a0b0cu);
    }

    void noPathNoIcon()
    {
        IconTableShell shell;
        bool typeIconAsked = false;
        const FileIconLookup lookup(shell, m_registry, environment, [&](const QString &) {
            typeIconAsked = true;
            return filled(1, 1, 0xffffffff);
        });
        QVERIFY(lookup.iconBitmap(QString()).isNull());
        QVERIFY(shell.asked.isEmpty());
        QVERIFY(!typeIconAsked);
    }

    void iconIsDrawnIntoABitmapOfItsSize()
    {
        // A two-colour icon with a transparent half, as icon files hold them.
        QImage icon(20, 12, QImage::Format_Indexed8);
        icon.setColorCount(2);
        icon.setColor(0, qRgba(0, 0, 0, 0));
        icon.setColor(1, qRgb(200, 10, 10));
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 20; ++x)
                icon.setPixel(x, y, x < 10 ? 1 : 0);
        IconTableShell shell;
        shell.icons.insert({"/p/tool.exe", 0}, icon);
        const QImage bitmap = FileIconLookup(shell, m_registry, environment, nullptr).iconBitmap("/p/tool.exe");
        QCOMPARE(bitmap.size(), QSize(20, 12));
        QVERIFY(bitmap.hasAlphaChannel());
        QCOMPARE(bitmap.pixel(0, 0), qRgb(200, 10, 10));
        QCOMPARE(qAlpha(bitmap.pixel(19, 11)), 0);
    }

    void mimeTypeIconComesFromTheIconTheme()
    {
        const QString themes = QStringLiteral("/usr/share/icons");
        if (!QFileInfo::exists(themes + "/Adwaita/index.theme"))
            QSKIP("the Adwaita icon theme is not installed");
        const QStringList searchPaths = QIcon::themeSearchPaths();
        const QString themeName = QIcon::themeName();
        QIcon::setThemeSearchPaths({themes});
        QIcon::setThemeName(QStringLiteral("Adwaita"));
        QTemporaryDir dir;
        const QImage text = FileIconLookup::mimeTypeIcon(dir.filePath("notes.txt"));
        const QImage unknown = FileIconLookup::mimeTypeIcon(dir.filePath("data"));
        QIcon::setThemeSearchPaths(searchPaths);
        QIcon::setThemeName(themeName);
        QVERIFY(!text.isNull());
        QVERIFY(unknown.isNull());
    }

    void defaultIconValues_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<Location>("expected");
        QTest::newRow("system library, index after the comma")
            << "%SystemRoot%\\system32\\shell32.dll,3" << Location{native("/srv/win\\system32\\shell32.dll"), 3};
        QTest::newRow("variables in any case")
            << "%systemroot%\\system32\\imageres.dll,-102" << Location{native("/srv/win\\system32\\imageres.dll"), -102};
        QTest::newRow("quoted program in Program Files")
            << "\"%ProgramFiles%\\My App\\app.exe\",1" << Location{native("/srv/programs\\My App\\app.exe"), 1};
        QTest::newRow("upper-case extension") << "C:\\Tools\\VIEWER.EXE,2" << Location{native("C:\\Tools\\VIEWER.EXE"), 2};
        QTest::newRow(".exe before .dll") << "C:\\a.dll.d\\b.exe,4" << Location{native("C:\\a.dll.d\\b.exe"), 4};
        QTest::newRow(".exe inside a folder name")
            << "C:\\my.exe.files\\tool.exe,5" << Location{native("C:\\my.exe.files\\tool.exe"), 5};
        QTest::newRow("no index") << "C:\\lib.dll" << Location{native("C:\\lib.dll"), 0};
        QTest::newRow("index not a number") << "C:\\lib.dll,abc" << Location{native("C:\\lib.dll"), 0};
        QTest::newRow("index with blanks") << "C:\\lib.dll, 7" << Location{native("C:\\lib.dll"), 7};
        QTest::newRow("icon file") << "C:\\icons\\doc.ico,0" << Location{native("C:\\icons\\doc.ico"), 0};
        QTest::newRow("the file's own icon") << "%1" << Location{"%1", 0};
        QTest::newRow("empty") << "" << Location{"", 0};
    }

    void defaultIconValues()
    {
        QFETCH(QString, value);
        QFETCH(Location, expected);
        const Location location = FileIconLookup::parseDefaultIcon(value, environment);
        QCOMPARE(location.path, expected.path);
        QCOMPARE(location.index, expected.index);
    }

    void openCommands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("program");
        QTest::newRow("quoted with quoted parameter")
            << "\"%ProgramFiles%\\App\\app.exe\" \"%1\"" << native("/srv/programs\\App\\app.exe");
        QTest::newRow("upper case, bare parameter")
            << "%SystemRoot%\\system32\\NOTEPAD.EXE %1" << native("/srv/win\\system32\\NOTEPAD.EXE");
        QTest::newRow("parameters longer than twenty characters")
            << "C:\\app.exe /dde /new-window /profile=default \"%1\"" << native("C:\\app.exe");
        QTest::newRow("no program extension: quotes go")
            << "\"C:\\run.bat\"" << native("C:\\run.bat");
        QTest::newRow("empty") << "" << "";
    }

    void openCommands()
    {
        QFETCH(QString, command);
        QFETCH(QString, program);
        QCOMPARE(FileIconLookup::programOfCommand(command, environment), program);
    }

    void programFilesFallsBackToTheUsualVariable()
    {
        const auto env = [](const QString &name) {
            return name == QLatin1String("ProgramFiles") ? QStringLiteral("/pf") : QString();
        };
        QCOMPARE(FileIconLookup::programOfCommand("%ProgramFiles%\\a.exe %1", env), native("/pf\\a.exe"));
    }

    void extensions_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("extension");
        QTest::newRow("plain") << "/home/u/a.txt" << ".txt";
        QTest::newRow("last dot") << "C:\\x\\a.tar.gz" << ".gz";
        QTest::newRow("none") << "/usr/bin/gedit" << "";
        QTest::newRow("dot in folder") << "C:\\dir.v2\\file" << "";
        QTest::newRow("drive only") << "C:file.rtf" << ".rtf";
        QTest::newRow("trailing dot") << "/a/b." << ".";
    }

    void extensions()
    {
        QFETCH(QString, path);
        QFETCH(QString, extension);
        QCOMPARE(FileIconLookup::extensionOf(path), extension);
    }
};

QTEST_MAIN(TestFileIconLookup)
#include "tst_fileiconlookup.moc"
