#include "document/CompoundFile.h"
#include "document/DocumentCore.h"
#include "document/EmbeddedObject.h"
#include "document/KeptContent.h"
#include "document/TextProperties.h"
#include "document/rtf/DocumentDump.h"
#include "document/rtf/RtfReader.h"
#include "document/rtf/RtfWriter.h"

#include <QBuffer>
#include <QFile>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QtEndian>

#include <memory>

// Files embedded as RTF objects: what survives writing and reading, what a
// damaged object keeps, and what a selection of them is.
class TestEmbeddedObject : public QObject
{
    Q_OBJECT

    static std::unique_ptr<QTextDocument> read(const QByteArray &rtf)
    {
        auto doc = std::make_unique<QTextDocument>();
        QTextCursor cursor(doc.get());
        RtfReader().read(rtf, cursor);
        return doc;
    }

    static QTextCharFormat formatAt(const QTextDocument &doc, int position)
    {
        QTextCursor c(const_cast<QTextDocument *>(&doc));
        c.setPosition(position + 1);
        return c.charFormat();
    }

    static QByteArray pngBytes()
    {
        QImage image(5, 3, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        image.setPixel(1, 1, qRgb(200, 10, 10));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }

    static QByteArray everyByte()
    {
        QByteArray bytes;
        for (int i = 0; i < 3000; ++i)
            bytes += char(i * 7 % 256);
        return bytes;
    }

    // An OLE1 embedded object of a class with native data as given.
    static QByteArray ole(const QByteArray &className, const QByteArray &native)
    {
        const auto u32 = [](quint32 v) {
            QByteArray b(4, '\0');
            qToLittleEndian(v, b.data());
            return b;
        };
        return u32(0x501) + u32(2) + u32(quint32(className.size() + 1)) + className + '\0' + u32(0) + u32(0)
               + u32(quint32(native.size())) + native;
    }

private slots:
    void embeddedFileSurvivesRtf_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("asPicture");
        QTest::newRow("any file, as its icon") << everyByte() << QStringLiteral("Bericht \u00fcber \u03c0.bin") << false;
        QTest::newRow("picture file, as the picture") << pngBytes() << QStringLiteral("dots.png") << true;
        QTest::newRow("empty file") << QByteArray() << QStringLiteral("empty.txt") << false;
    }

    void embeddedFileSurvivesRtf()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, label);
        QFETCH(bool, asPicture);
        EmbeddedObject::Package package{label, QStringLiteral("/home/u/") + label, bytes};
        DocumentCore core;
        core.setSelText(QStringLiteral("ab"));
        core.select(1, 0);
        if (asPicture)
            core.InsertObject(package, QImage::fromData(bytes), bytes, QStringLiteral("png"));
        else
            core.InsertObject(package, EmbeddedObject::iconPicture(QImage(), label));
        // A second object right after the first stays a separate one.
        core.InsertObject(EmbeddedObject::Package{QStringLiteral("b.txt"), QString(), "second"},
                          EmbeddedObject::iconPicture(QImage(), QStringLiteral("b.txt")));

        const QByteArray written = RtfWriter().write(*core.document());
        auto once = read(written);
        QCOMPARE(once->toPlainText().size(), 4);
        const auto back = EmbeddedObject::package(formatAt(*once, 1));
        QVERIFY(back);
        QCOMPARE(back->bytes, bytes);
        QCOMPARE(back->label, label);
        QCOMPARE(EmbeddedObject::package(formatAt(*once, 2))->bytes, QByteArray("second"));
        if (asPicture)
            QCOMPARE(formatAt(*once, 1).property(TextProperty::PictureBytes).toByteArray(), bytes);

        // Word's layout: an embedded OLE1 object of class Package.
        const QByteArray stream = EmbeddedObject::objectData(formatAt(*once, 1).property(TextProperty::ObjectData).toByteArray());
        QCOMPARE(stream.left(20), QByteArray::fromHex("0105000002000000080000005061636b61676500"));
        QCOMPARE(EmbeddedObject::className(stream), QStringLiteral("Package"));

        // Written again, the document is the same, byte for byte.
        const QByteArray again = RtfWriter().write(*once);
        QCOMPARE(again, written);
        QCOMPARE(DocumentDump::dump(*read(again)), DocumentDump::dump(*once));
    }

    void packagesWrittenByWordAreFound()
    {
        QFile file(QStringLiteral(QUILMAR_CORPUS_DIR "/rtf/tika/testRTFEmbeddedFiles.rtf"));
        if (!file.open(QIODevice::ReadOnly))
            QSKIP("no RTF corpus");
        auto doc = read(file.readAll());
        const auto packages = [](const QTextDocument &d) {
            QStringList found;
            for (int i = 0; i < d.characterCount() - 1; ++i)
                if (const auto p = EmbeddedObject::package(formatAt(d, i)); p && !found.contains(p->label))
                    found << p->label + u' ' + QString::number(p->bytes.size());
            return found;
        };
        const QStringList expected = {QStringLiteral("test-zip-of-zip_\u666e\u6797\u65af\u987f.zip 299"),
                                      QStringLiteral("testHTML_utf8_\u666e\u6797\u65af\u987f.html 933"),
                                      QStringLiteral("testJPEG_\u666e\u6797\u65af\u987f.jpg 7686"),
                                      QStringLiteral("testMSG_\u666e\u6797\u65af\u987f.msg 20480")};
        QStringList found = packages(*doc);
        found.removeDuplicates();
        QCOMPARE(found, expected);
        // A Word 97 document embedded whole opens as one.
        const auto word = EmbeddedObject::openableFile(formatAt(*doc, 0));
        QVERIFY(word);
        QCOMPARE(word->label, QStringLiteral("Word.Document.8.doc"));
        QCOMPARE(word->bytes.size(), 21504);
        // Office 2007 and Acrobat objects open as the file in their container.
        QMap<QString, QByteArray> inner;
        QByteArray word2007;
        for (int i = 0; i < doc->characterCount() - 1; ++i) {
            const QTextCharFormat format = formatAt(*doc, i);
            const auto file = EmbeddedObject::openableFile(format);
            if (!file || file->label.endsWith(QLatin1String(".doc")) || !file->label.contains(u'.'))
                continue;
            inner.insert(file->label, file->bytes);
            if (file->label.endsWith(QLatin1String(".docx")))
                word2007 = EmbeddedObject::objectData(format.property(TextProperty::ObjectData).toByteArray());
        }
        const QMap<QString, QByteArray> parts{{QStringLiteral("Word.Document.12.docx"), "word/document.xml"},
                                              {QStringLiteral("Excel.Sheet.12.xlsx"), "xl/workbook.xml"},
                                              {QStringLiteral("PowerPoint.Show.12.pptx"), "ppt/presentation.xml"}};
        for (auto it = parts.cbegin(); it != parts.cend(); ++it) {
            const QByteArray zip = inner.value(it.key());
            QVERIFY2(zip.startsWith("PK\x03\x04") && zip.contains(it.value()), qPrintable(it.key()));
            // Whole: the end of the zip's directory is in its last bytes.
            QVERIFY(zip.lastIndexOf("PK\x05\x06") >= zip.size() - 22 - 0xFFFF);
        }
        QVERIFY(inner.value(QStringLiteral("AcroExch.Document.11.pdf")).startsWith("%PDF"));
        QVERIFY(inner.value(QStringLiteral("AcroExch.Document.11.pdf")).trimmed().endsWith("%%EOF"));
        // A container cut anywhere gives its file whole or nothing.
        const qsizetype container = word2007.indexOf("\xD0\xCF\x11\xE0");
        QVERIFY(container > 0);
        const QByteArrayView native = QByteArrayView(word2007).sliced(container);
        for (qsizetype n = 0; n < native.size(); n += 97) {
            const auto cut = CompoundFile::stream(native.first(n), u"Package");
            if (cut)
                QCOMPARE(*cut, inner.value(QStringLiteral("Word.Document.12.docx")));
        }
        auto back = read(RtfWriter().write(*doc));
        found = packages(*back);
        found.removeDuplicates();
        QCOMPARE(found, expected);
    }

    void pastedObjectNextToAnotherKeepsItsData()
    {
        // Both read from RTF of their own, so both have the first id.
        DocumentCore core;
        for (const char *data : {"one", "two"})
            core.insertRtf(RtfWriter().write(*[&] {
                DocumentCore source;
                source.InsertObject({QString::fromLatin1(data), QString(), data},
                                    EmbeddedObject::iconPicture(QImage(), QString::fromLatin1(data)));
                return read(RtfWriter().write(*source.document()));
            }()));
        QCOMPARE(formatAt(*core.document(), 0).intProperty(TextProperty::ObjectId),
                 formatAt(*core.document(), 1).intProperty(TextProperty::ObjectId));
        auto back = read(RtfWriter().write(*core.document()));
        QCOMPARE(EmbeddedObject::package(formatAt(*back, 0))->bytes, QByteArray("one"));
        QCOMPARE(EmbeddedObject::package(formatAt(*back, 1))->bytes, QByteArray("two"));
    }

    void everyTruncationOfAPackageIsSafe()
    {
        const EmbeddedObject::Package package{QStringLiteral("n\u00e4me.dat"), QStringLiteral("C:\\n\u00e4me.dat"),
                                              QByteArray("0123456789abcdef")};
        const QByteArray stream = EmbeddedObject::packageStream(package);
        for (qsizetype n = 0; n <= stream.size(); ++n) {
            const auto p = EmbeddedObject::readPackageStream(QByteArrayView(stream).first(n));
            // A cut stream gives the file whole or nothing.
            if (p)
                QCOMPARE(p->bytes, package.bytes);
        }
        QCOMPARE(EmbeddedObject::readPackageStream(stream)->label, package.label);
    }

    void nativeDataOpensForKnownClasses_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QString>("label");
        const QByteArray compound = QByteArray::fromHex("d0cf11e0a1b11ae1") + QByteArray(100, 'x');
        QTest::newRow("Word 97") << ole("Word.Document.8", compound) << QStringLiteral("Word.Document.8.doc");
        QTest::newRow("Paintbrush") << ole("PBrush", "BM123456") << QStringLiteral("PBrush.bmp");
        QTest::newRow("Paintbrush without a bitmap") << ole("PBrush", "123456") << QString();
        QTest::newRow("Word 97 cut short") << ole("Word.Document.8", compound).chopped(1) << QString();
        QTest::newRow("unknown class") << ole("Some.Thing.1", compound) << QString();
    }

    void nativeDataOpensForKnownClasses()
    {
        QFETCH(QByteArray, stream);
        QFETCH(QString, label);
        const auto file = EmbeddedObject::openableFile(stream);
        QCOMPARE(file ? file->label : QString(), label);
        if (file)
            QCOMPARE(file->bytes, stream.mid(stream.size() - file->bytes.size()));
    }

    void damagedObjectIsKept_data()
    {
        QTest::addColumn<QByteArray>("objdata");
        QTest::addColumn<bool>("withResult");
        const QByteArray good = EmbeddedObject::packageStream({QStringLiteral("a.txt"), QString(), "payload"}).toHex();
        QTest::newRow("hex cut in the middle of a byte") << good.left(101) << true;
        QTest::newRow("no hex at all") << QByteArray("zz!! not hex") << true;
        QByteArray huge = EmbeddedObject::packageStream({QStringLiteral("a.txt"), QString(), "payload"});
        huge.replace(24, 4, QByteArray::fromHex("f0ffffff"));
        QTest::newRow("native size beyond the data") << huge.toHex() << true;
        QByteArray fileSize = EmbeddedObject::packageStream({QStringLiteral("a.txt"), QString(), "payload"});
        fileSize.replace(fileSize.indexOf("payload") - 4, 4, QByteArray::fromHex("ffffff7f"));
        QTest::newRow("file size beyond the data") << fileSize.toHex() << true;
        QTest::newRow("label without its end") << ole("Package", QByteArray("\x02\0abcdef", 8)).toHex() << true;
        QTest::newRow("another class") << ole("Word.Document.8", "\x01\x02\x03\x04").toHex() << true;
        QTest::newRow("no result") << good << false;
    }

    void damagedObjectIsKept()
    {
        QFETCH(QByteArray, objdata);
        QFETCH(bool, withResult);
        const QByteArray object = "{\\object\\objemb{\\*\\objclass Package}\\objw300\\objh300{\\*\\objdata " + objdata + "}";
        const QByteArray rtf = "{\\rtf1 x" + object + (withResult ? QByteArray("{\\result{\\pict\\wmetafile8\\picw500\\pich500 0102}}") : QByteArray()) + "}y}";
        auto doc = read(rtf);
        QCOMPARE(doc->toPlainText().size(), 3);
        const QTextCharFormat f = formatAt(*doc, 1);
        QVERIFY(EmbeddedObject::isObject(f) || KeptContent::isKept(f));
        if (objdata != EmbeddedObject::packageStream({QStringLiteral("a.txt"), QString(), "payload"}).toHex())
            QVERIFY(!EmbeddedObject::package(f));
        // Written back, the object is there as it came.
        QVERIFY(RtfWriter().write(*doc).contains(object));
        // Cut anywhere, the file still reads.
        for (qsizetype n = 0; n < rtf.size(); n += 7)
            read(rtf.left(n));
    }

    void selectionTypeCountsTextAndObjects_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("type");
        using T = TSelectionTypeFlag;
        // "ab", a picture, an object, "c", then the paragraph mark.
        QTest::newRow("nothing") << 1 << 0 << 0;
        QTest::newRow("one character") << 0 << 1 << int(T::stText);
        QTest::newRow("characters") << 0 << 2 << int(T::stText | T::stMultiChar);
        QTest::newRow("the picture") << 2 << 1 << int(T::stObject);
        QTest::newRow("the object") << 3 << 1 << int(T::stObject);
        QTest::newRow("both") << 2 << 2 << int(T::stObject | T::stMultiObject);
        QTest::newRow("a character and an object") << 1 << 2 << int(T::stText | T::stObject);
        QTest::newRow("a paragraph mark") << 5 << 1 << int(T::stText);
        QTest::newRow("everything") << 0 << 7
                                    << int(T::stText | T::stMultiChar | T::stObject | T::stMultiObject);
    }

    void selectionTypeCountsTextAndObjects()
    {
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(int, type);
        DocumentCore core;
        core.setSelText(QStringLiteral("ab"));
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::red);
        core.InsertPicture(image);
        core.InsertObject({QStringLiteral("f"), QString(), "x"}, image);
        core.setSelText(QStringLiteral("c\nd"));
        core.select(start, length);
        QCOMPARE(int(core.SelectionType()), type);
    }
};

QTEST_MAIN(TestEmbeddedObject)
#include "tst_embeddedobject.moc"
