#include "platform/ui/DesktopShell.h"
#include "platform/IconFile.h"

#include <QBuffer>
#include <QDesktopServices>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cerrno>
#include <unistd.h>

namespace {

void put16(QByteArray &b, qsizetype at, quint16 v) { qToLittleEndian(v, b.data() + at); }
void put32(QByteArray &b, qsizetype at, quint32 v) { qToLittleEndian(v, b.data() + at); }

// An icon image as a bitmap (colour rows bottom-up, then the 1-bit mask,
// set where the pixel is transparent), the way icon files store them.
QByteArray dib(const QImage &source, int bpp)
{
    const QImage img = source.convertToFormat(QImage::Format_ARGB32);
    const int w = img.width(), h = img.height();
    QList<QRgb> palette;
    if (bpp <= 8) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (qAlpha(img.pixel(x, y)) && !palette.contains(img.pixel(x, y) | 0xff000000u))
                    palette << (img.pixel(x, y) | 0xff000000u);
        Q_ASSERT(palette.size() <= (1 << bpp));
    }
    const int stride = (w * bpp + 31) / 32 * 4, maskStride = (w + 31) / 32 * 4;
    QByteArray b(40 + 4 * palette.size() + (stride + maskStride) * h, '\0');
    put32(b, 0, 40);
    put32(b, 4, quint32(w));
    put32(b, 8, quint32(2 * h));
    put16(b, 12, 1);
    put16(b, 14, quint16(bpp));
    put32(b, 32, quint32(palette.size()));
    for (int i = 0; i < palette.size(); ++i)
        put32(b, 40 + 4 * i, palette[i] & 0xffffff);
    const int bits = 40 + 4 * int(palette.size());
    const int mask = bits + stride * h;
    for (int y = 0; y < h; ++y) {
        char *row = b.data() + bits + stride * (h - 1 - y);
        char *maskRow = b.data() + mask + maskStride * (h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const QRgb p = img.pixel(x, y);
            if (bpp < 32 && qAlpha(p) == 0)
                maskRow[x / 8] = char(maskRow[x / 8] | (0x80 >> (x % 8)));
            const int index = int(palette.indexOf(p | 0xff000000u));
            switch (bpp) {
            case 1: row[x / 8] = char(row[x / 8] | ((index & 1) << (7 - x % 8))); break;
            case 4: row[x / 2] = char(row[x / 2] | ((index & 0xf) << (x % 2 ? 0 : 4))); break;
            case 8: row[x] = char(qMax(index, 0)); break;
            case 24:
                row[3 * x] = char(qBlue(p));
                row[3 * x + 1] = char(qGreen(p));
                row[3 * x + 2] = char(qRed(p));
                break;
            default: qToLittleEndian<quint32>(p, row + 4 * x);
            }
        }
    }
    return b;
}

QByteArray png(const QImage &img)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "PNG");
    return bytes;
}

struct IconImage {
    int width, height, bitCount;
    QByteArray data;
    quint16 id = 0; // the icon resource it is stored as, in programs
};

QByteArray icoFile(const QList<IconImage> &images)
{
    QByteArray b(6 + 16 * images.size(), '\0');
    put16(b, 2, 1);
    put16(b, 4, quint16(images.size()));
    for (int i = 0; i < images.size(); ++i) {
        const qsizetype e = 6 + 16 * i;
        b[e] = char(images[i].width & 0xff);
        b[e + 1] = char(images[i].height & 0xff);
        put16(b, e + 4, 1);
        put16(b, e + 6, quint16(images[i].bitCount));
        put32(b, e + 8, quint32(images[i].data.size()));
        put32(b, e + 12, quint32(b.size()));
        b += images[i].data;
    }
    return b;
}

QByteArray groupDirectory(const QList<IconImage> &images)
{
    QByteArray b(6 + 14 * images.size(), '\0');
    put16(b, 2, 1);
    put16(b, 4, quint16(images.size()));
    for (int i = 0; i < images.size(); ++i) {
        const qsizetype e = 6 + 14 * i;
        b[e] = char(images[i].width & 0xff);
        b[e + 1] = char(images[i].height & 0xff);
        put16(b, e + 4, 1);
        put16(b, e + 6, quint16(images[i].bitCount));
        put32(b, e + 8, quint32(images[i].data.size()));
        put16(b, e + 12, images[i].id);
    }
    return b;
}

struct Resource {
    quint32 type, id;
    QByteArray data;
};

// A resource section: root (types) -> names -> one language -> data entry.
QByteArray resourceSection(QList<Resource> items, quint32 sectionRva)
{
    std::stable_sort(items.begin(), items.end(), [](const Resource &a, const Resource &b) { return a.type < b.type; });
    QList<quint32> types;
    for (const Resource &r : items)
        if (!types.contains(r.type))
            types << r.type;
    quint32 off = 16 + 8 * quint32(types.size());
    QList<quint32> typeDir, langDir, dataEntry, dataAt;
    for (quint32 t : types) {
        typeDir << off;
        off += 16 + 8 * quint32(std::count_if(items.begin(), items.end(), [t](const Resource &r) { return r.type == t; }));
    }
    for (int i = 0; i < items.size(); ++i, off += 24)
        langDir << off;
    for (int i = 0; i < items.size(); ++i, off += 16)
        dataEntry << off;
    for (const Resource &r : items) {
        off = (off + 3) & ~3u;
        dataAt << off;
        off += quint32(r.data.size());
    }
    QByteArray b(off, '\0');
    put16(b, 14, quint16(types.size()));
    for (int t = 0; t < types.size(); ++t) {
        put32(b, 16 + 8 * t, types[t]);
        put32(b, 20 + 8 * t, 0x80000000u | typeDir[t]);
        int n = 0;
        for (int i = 0; i < items.size(); ++i) {
            if (items[i].type != types[t])
                continue;
            put32(b, typeDir[t] + 16 + 8 * n, items[i].id);
            put32(b, typeDir[t] + 20 + 8 * n, 0x80000000u | langDir[i]);
            ++n;
        }
        put16(b, typeDir[t] + 14, quint16(n));
    }
    for (int i = 0; i < items.size(); ++i) {
        put16(b, langDir[i] + 14, 1);
        put32(b, langDir[i] + 16, 0x409);
        put32(b, langDir[i] + 20, dataEntry[i]);
        put32(b, dataEntry[i], sectionRva + dataAt[i]);
        put32(b, dataEntry[i] + 4, quint32(items[i].data.size()));
        b.replace(dataAt[i], items[i].data.size(), items[i].data);
    }
    return b;
}

// A Windows program with one resource section, 32- or 64-bit.
QByteArray peFile(const QList<Resource> &resources, bool pe32Plus)
{
    constexpr quint32 SectionRva = 0x1000, SectionFile = 0x400;
    const QByteArray section = resourceSection(resources, SectionRva);
    const int optionalSize = pe32Plus ? 240 : 224;
    QByteArray b(SectionFile, '\0');
    b[0] = 'M';
    b[1] = 'Z';
    put32(b, 0x3c, 0x40);
    b.replace(0x40, 4, QByteArray("PE\0\0", 4));
    put16(b, 0x44, pe32Plus ? 0x8664 : 0x14c);
    put16(b, 0x46, 1);
    put16(b, 0x54, quint16(optionalSize));
    const int opt = 0x58;
    put16(b, opt, pe32Plus ? 0x20b : 0x10b);
    const int dirs = opt + (pe32Plus ? 112 : 96);
    put32(b, dirs - 4, 16);
    put32(b, dirs + 16, SectionRva);
    put32(b, dirs + 20, quint32(section.size()));
    const int sec = opt + optionalSize;
    b.replace(sec, 5, ".rsrc");
    put32(b, sec + 8, quint32(section.size()));
    put32(b, sec + 12, SectionRva);
    put32(b, sec + 16, quint32(section.size()));
    put32(b, sec + 20, SectionFile);
    return b + section;
}

QImage pattern(int w, int h, QList<QRgb> colors, bool withHoles)
{
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, withHoles && (x + 2 * y) % 7 == 0 ? 0u : colors[(x / 3 + y) % colors.size()]);
    return img;
}

// A 32-bit image with real alpha, different in every row and column.
QImage alphaImage(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgba(x * 7 % 256, y * 5 % 256, 90, x < w / 2 ? 255 : 40));
    return img;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes, bool executable = false)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return false;
    f.close();
    if (executable)
        f.setPermissions(f.permissions() | QFile::ExeOwner | QFile::ExeUser);
    return true;
}

} // namespace

// Receives what the shell hands to the desktop, so no application starts.
class OpenedUrls : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

class TestDesktopShell : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    OpenedUrls m_opened;
    const QStringList m_schemes = {"file", "http", "https", "ftp", "mailto"};

    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (const QString &s : m_schemes)
            QDesktopServices::setUrlHandler(s, &m_opened, "open");
    }
    void cleanupTestCase()
    {
        for (const QString &s : m_schemes)
            QDesktopServices::unsetUrlHandler(s);
    }
    void init() { m_opened.urls.clear(); }

    void openRefusesWhatIsNotThere_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("code");
        const QString dir = m_dir.path();
        QTest::newRow("empty") << "" << Shell::FileNotFound;
        QTest::newRow("missing file") << dir + "/missing.rtf" << Shell::FileNotFound;
        QTest::newRow("missing folder") << dir + "/no folder/missing.rtf" << Shell::PathNotFound;
        QTest::newRow("file link") << "file:" + dir + "/missing.rtf" << Shell::FileNotFound;
        QTest::newRow("file url") << QUrl::fromLocalFile(dir + "/missing.rtf").toString() << Shell::FileNotFound;
        QTest::newRow("windows link, missing") << "file:" + dir + "\\sub\\missing.rtf" << Shell::PathNotFound;
        QTest::newRow("relative") << "surely-missing-quilmar-file.txt" << Shell::FileNotFound;
        QTest::newRow("file as folder") << dir + "/plain.txt/inner.txt" << Shell::PathNotFound;
    }
    void openRefusesWhatIsNotThere()
    {
        QFETCH(QString, target);
        QFETCH(int, code);
        QVERIFY(writeFile(path("plain.txt"), "x"));
        DesktopShell shell;
        const Shell::Result r = shell.open(target);
        QCOMPARE(r.code, code);
        QVERIFY(!r.ok());
        QCOMPARE(r.errorText, qt_error_string(code == Shell::PathNotFound && target.contains("plain.txt/") ? ENOTDIR : ENOENT));
        QVERIFY(m_opened.urls.isEmpty());
    }

    void openUnreadableFileIsAccessDenied()
    {
        if (geteuid() == 0)
            QSKIP("root reads every file");
        QVERIFY(writeFile(path("secret.txt"), "x"));
        QFile::setPermissions(path("secret.txt"), QFileDevice::Permissions());
        const Shell::Result r = DesktopShell().open(path("secret.txt"));
        QCOMPARE(r.code, Shell::AccessDenied);
        QCOMPARE(r.errorText, qt_error_string(EACCES));
    }

    void openHandsFilesAndLinksToTheDesktop_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QUrl>("expected");
        const QString dir = m_dir.path();
        const QUrl doc = QUrl::fromLocalFile(dir + "/sub/My Doc.rtf");
        QTest::newRow("path") << dir + "/sub/My Doc.rtf" << doc;
        QTest::newRow("file link") << "file:" + dir + "/sub/My Doc.rtf" << doc;
        QTest::newRow("file link, upper case") << "FILE:" + dir + "/sub/My Doc.rtf" << doc;
        QTest::newRow("file url") << doc.toString(QUrl::FullyEncoded) << doc;
        QTest::newRow("backslashes") << "file:" + dir + "\\sub\\My Doc.rtf" << doc;
        QTest::newRow("percent-encoded") << "file:" + dir + "/sub/My%20Doc.rtf" << doc;
        QTest::newRow("folder") << dir + "/sub" << QUrl::fromLocalFile(dir + "/sub");
        QTest::newRow("web") << "https://example.org/a?b=c" << QUrl("https://example.org/a?b=c");
        QTest::newRow("www") << "www.example.org" << QUrl("http://www.example.org");
        QTest::newRow("mail") << "mailto:someone@example.org" << QUrl("mailto:someone@example.org");
    }
    void openHandsFilesAndLinksToTheDesktop()
    {
        QFETCH(QString, target);
        QFETCH(QUrl, expected);
        QVERIFY(QDir(m_dir.path()).mkpath("sub"));
        QVERIFY(writeFile(path("sub/My Doc.rtf"), "{\\rtf1 x}"));
        const Shell::Result r = DesktopShell().open(target);
        QVERIFY2(r.ok(), qPrintable(r.errorText));
        QVERIFY(r.code > 32);
        QCOMPARE(m_opened.urls, QList<QUrl>{expected});
    }

    void openRelativePathsFromTheCurrentFolder()
    {
        QVERIFY(writeFile(path("here.txt"), "x"));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        const Shell::Result r = DesktopShell().open("here.txt");
        const Shell::Result link = DesktopShell().open("file:here.txt");
        QDir::setCurrent(previous);
        QVERIFY(r.ok());
        QVERIFY(link.ok());
        QCOMPARE(m_opened.urls, QList<QUrl>({QUrl::fromLocalFile(path("here.txt")), QUrl::fromLocalFile(path("here.txt"))}));
    }

    void runStartsTheProgramWithTheParameterSplit_data()
    {
        QTest::addColumn<QString>("parameter");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("quoted file name") << "\"" + m_dir.path() + "/a b.txt\"" << QStringList{m_dir.path() + "/a b.txt"};
        QTest::newRow("two words") << "\"a b\" c" << QStringList{"a b", "c"};
        QTest::newRow("nothing") << "" << QStringList{};
    }
    void runStartsTheProgramWithTheParameterSplit()
    {
        QFETCH(QString, parameter);
        QFETCH(QStringList, arguments);
        const QString out = path("echo.txt");
        QFile::remove(out);
        qputenv("QUILMAR_ECHO_FILE", QFile::encodeName(out));
        const QString helper = QCoreApplication::applicationDirPath() + "/echo_helper";
        const Shell::Result r = DesktopShell().run(helper, parameter);
        QVERIFY2(r.ok(), qPrintable(r.errorText));
        QTRY_VERIFY_WITH_TIMEOUT(readFile(out).endsWith("--end--\n"), 10000);
        const QStringList lines = QString::fromLocal8Bit(readFile(out)).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines, arguments + QStringList{"--end--"});
    }

    void runFindsProgramsOnThePath()
    {
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(QCoreApplication::applicationDirPath()) + ":" + oldPath);
        const QString out = path("echo-path.txt");
        qputenv("QUILMAR_ECHO_FILE", QFile::encodeName(out));
        const Shell::Result r = DesktopShell().run("echo_helper", "\"x\"");
        qputenv("PATH", oldPath);
        QVERIFY2(r.ok(), qPrintable(r.errorText));
        QTRY_COMPARE_WITH_TIMEOUT(readFile(out), QByteArray("x\n--end--\n"), 10000);
    }

    void runRefusesWhatCannotStart_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<int>("code");
        const QString dir = m_dir.path();
        QTest::newRow("empty") << "" << Shell::FileNotFound;
        QTest::newRow("missing") << dir + "/missing-program" << Shell::FileNotFound;
        QTest::newRow("missing folder") << dir + "/nowhere/program" << Shell::PathNotFound;
        QTest::newRow("not on the path") << "surely-no-such-quilmar-program" << Shell::FileNotFound;
        QTest::newRow("not executable") << dir + "/plain.txt" << Shell::AccessDenied;
        QTest::newRow("folder") << dir << Shell::AccessDenied;
    }
    void runRefusesWhatCannotStart()
    {
        QFETCH(QString, program);
        QFETCH(int, code);
        QVERIFY(writeFile(path("plain.txt"), "x"));
        const Shell::Result r = DesktopShell().run(program, "\"x\"");
        QCOMPARE(r.code, code);
        QVERIFY(!r.errorText.isEmpty());
    }

    void icoTakesTheLargestImageOfTheIcon()
    {
        const QList<QRgb> four = {qRgb(255, 0, 0), qRgb(0, 128, 0), qRgb(0, 0, 255), qRgb(200, 200, 0)};
        const QImage small = pattern(16, 16, four, true);
        const QImage big = alphaImage(32, 32);
        const QByteArray ico = icoFile({{16, 16, 8, dib(small, 8)}, {32, 32, 32, dib(big, 32)}, {24, 24, 4, dib(pattern(24, 24, four, false), 4)}});
        QCOMPARE(IconFile::fromIco(ico), big);
        QVERIFY(IconFile::fromIco(ico, 1).isNull()); // an icon file holds one icon

        // A PNG image counts by its size like any other.
        const QImage huge = alphaImage(64, 48);
        const QByteArray withPng = icoFile({{16, 16, 8, dib(small, 8)}, {64, 48, 32, png(huge)}});
        QCOMPARE(IconFile::fromIco(withPng), huge);

        // Through the file, as the shell reads it.
        QVERIFY(writeFile(path("app.ico"), ico));
        QCOMPARE(DesktopShell().iconOfFile(path("app.ico")), big);
        QVERIFY(DesktopShell().iconOfFile(path("plain.txt")).isNull());
    }

    void bitmapDepthsAndMasks_data()
    {
        QTest::addColumn<int>("bpp");
        QTest::addColumn<int>("colors");
        QTest::newRow("1 bit") << 1 << 2;
        QTest::newRow("4 bit") << 4 << 16;
        QTest::newRow("8 bit") << 8 << 200;
        QTest::newRow("24 bit") << 24 << 1000;
    }
    void bitmapDepthsAndMasks()
    {
        QFETCH(int, bpp);
        QFETCH(int, colors);
        QList<QRgb> palette;
        for (int i = 0; i < colors; ++i)
            palette << qRgb(i * 37 % 256, i * 11 % 256, i % 256);
        // 21 wide: rows need padding at every depth.
        const QImage img = pattern(21, 13, palette, true);
        QCOMPARE(IconFile::decodeImage(dib(img, bpp)), img);
    }

    void programsYieldTheirIconGroups_data()
    {
        QTest::addColumn<bool>("pe32Plus");
        QTest::newRow("32-bit") << false;
        QTest::newRow("64-bit") << true;
    }
    void programsYieldTheirIconGroups()
    {
        QFETCH(bool, pe32Plus);
        const QImage red = pattern(16, 16, {qRgb(255, 0, 0), qRgb(0, 0, 0)}, true);
        const QImage green = alphaImage(32, 32);
        const QImage blue = pattern(24, 24, {qRgb(0, 0, 255), qRgb(9, 9, 9), qRgb(80, 80, 80)}, false);
        const IconImage r{16, 16, 4, dib(red, 4), 1}, g{32, 32, 32, dib(green, 32), 2}, b{24, 24, 8, dib(blue, 8), 3};
        const QByteArray exe = peFile({{14, 101, groupDirectory({r, g})}, {14, 102, groupDirectory({b})},
                                       {3, 1, r.data}, {3, 2, g.data}, {3, 3, b.data}},
                                      pe32Plus);
        QCOMPARE(IconFile::peIconCount(exe), 2);
        QCOMPARE(IconFile::fromPe(exe, 0), green);
        QCOMPARE(IconFile::fromPe(exe, 1), blue);
        QVERIFY(IconFile::fromPe(exe, 2).isNull());
        QCOMPARE(IconFile::fromPe(exe, -102), blue); // by resource id
        QVERIFY(IconFile::fromPe(exe, -103).isNull());

        QVERIFY(writeFile(path("tool.dll"), exe));
        QCOMPARE(DesktopShell().iconOfFile(path("tool.dll"), 1), blue);
    }

    void damagedFilesGiveNullImages()
    {
        const QImage img = alphaImage(16, 16);
        const IconImage one{16, 16, 32, dib(img, 32), 7};
        const QByteArray exe = peFile({{14, 1, groupDirectory({one})}, {3, 7, one.data}}, false);
        const QByteArray ico = icoFile({one});
        QCOMPARE(IconFile::fromPe(exe), img);
        QCOMPARE(IconFile::fromIco(ico), img);

        // Every truncation: the image is stored last, and the directories
        // promise all of it.
        for (qsizetype n = 0; n < exe.size(); ++n)
            QVERIFY2(IconFile::fromPe(exe.left(n)).isNull(), qPrintable(QString::number(n)));
        for (qsizetype n = 0; n < ico.size(); ++n)
            QVERIFY2(IconFile::fromIco(ico.left(n)).isNull(), qPrintable(QString::number(n)));

        // Chosen damage.
        QByteArray bad = exe;
        put32(bad, 0x3c, 0xfffffff0u); // PE header beyond the file
        QVERIFY(IconFile::fromPe(bad).isNull());
        bad = exe;
        put16(bad, 0x46, 0xffff); // more sections than there are
        QVERIFY(IconFile::fromPe(bad).isNull());
        bad = ico;
        put32(bad, 6 + 12, 0xffffff00u); // image offset past the end
        QVERIFY(IconFile::fromIco(bad).isNull());
        bad = ico;
        put32(bad, 22 + 4, 100000); // a bitmap 100000 pixels wide
        QVERIFY(IconFile::fromIco(bad).isNull());

        // Random damage anywhere must never crash or hang.
        QRandomGenerator rng(2024);
        for (int round = 0; round < 4000; ++round) {
            QByteArray damaged = round % 2 ? exe : ico;
            const int flips = 1 + int(rng.bounded(4));
            for (int i = 0; i < flips; ++i)
                damaged[rng.bounded(int(damaged.size()))] = char(rng.bounded(256));
            const QImage image = round % 2 ? IconFile::fromPe(damaged, int(rng.bounded(3)) - 1) : IconFile::fromIco(damaged);
            QVERIFY(image.isNull() || (image.width() <= 1024 && image.height() <= 1024));
        }
    }

    void otherProgramsTakeTheirDesktopEntryIcon()
    {
        // A private data folder, so the machine's own entries stay out.
        const QString share = path("share");
        QVERIFY(QDir().mkpath(share + "/applications/vendor"));
        const QByteArray oldHome = qgetenv("XDG_DATA_HOME"), oldDirs = qgetenv("XDG_DATA_DIRS"), oldPath = qgetenv("PATH");
        qputenv("XDG_DATA_HOME", QFile::encodeName(share));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(path("no-such-share")));
        qputenv("PATH", QFile::encodeName(m_dir.path()) + ":" + oldPath);

        const QString tool = path("my tool"), other = path("quilmar-test-other-tool");
        QVERIFY(writeFile(tool, "#!/bin/sh\n", true));
        QVERIFY(writeFile(other, "#!/bin/sh\n", true));
        const QImage picture = pattern(20, 20, {qRgb(1, 2, 3), qRgb(200, 100, 50)}, false);
        QVERIFY(picture.save(path("tool.png")));
        QVERIFY(writeFile(share + "/applications/a.desktop",
                          "[Desktop Action x]\nExec=\"" + QFile::encodeName(tool) + "\"\nIcon=wrong\n"));
        QVERIFY(writeFile(share + "/applications/vendor/tool.desktop",
                          "[Desktop Entry]\nType=Application\nName=Tool\nExec=\"" + QFile::encodeName(tool)
                              + "\" %F\nIcon=" + QFile::encodeName(path("tool.png")) + "\n"));
        QVERIFY(writeFile(share + "/applications/other.desktop",
                          "[Desktop Entry]\nExec=env LANG=C quilmar-test-other-tool %U\nIcon="
                              + QFile::encodeName(path("tool.png")) + "\n"));

        const QImage icon = DesktopShell().iconOfFile(tool);
        const QImage byName = DesktopShell().iconOfFile(other);
        QVERIFY(writeFile(path("lonely"), "#!/bin/sh\n", true));
        const QImage none = DesktopShell().iconOfFile(path("lonely"));
        qputenv("XDG_DATA_HOME", oldHome);
        qputenv("XDG_DATA_DIRS", oldDirs);
        qputenv("PATH", oldPath);

        QCOMPARE(icon.size(), QSize(20, 20));
        QCOMPARE(icon.convertToFormat(QImage::Format_RGB32), picture.convertToFormat(QImage::Format_RGB32));
        QCOMPARE(byName.size(), QSize(20, 20));
        QVERIFY(none.isNull());
    }
};

QTEST_MAIN(TestDesktopShell)
#include "tst_desktopshell.moc"
