// Every file of the real-world RTF corpus: read without hanging, text as
// LibreOffice extracts it, the same document when parsed on a thread of its
// own, and an unchanged dump after writing and reading back.
#include "tests/document/rtf/RtfTestSupport.h"

#include "platform/CodePages.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

namespace {

// List labels begin many of LibreOffice's lines; the document draws its
// numbers instead of holding them as text.
QString stripListLabel(QString line)
{
    static const QRegularExpression label(QStringLiteral(
        "^(?:[\\x{2022}\\x{25CF}\\x{25CB}\\x{25E6}\\x{25AA}\\x{25A0}\\x{25A1}\\x{2013}\\x{2014}\\x{00B7}"
        "\\x{F000}-\\x{F0FF}\\x{2023}\\x{2043}\\x{27A2}\\x{2713}\\x{2714}\\x{00A7}\\x{00D8}o\\-*>]"
        "|\\(?(?:\\d{1,3}|[a-zA-Z]|[ivxlcdm]{1,6}|[IVXLCDM]{1,6})[.)](?:\\d{1,3}[.)]?)*"
        "|\\d{1,3}(?:\\.\\d{1,3})*)(?:\\s+|$)"));
    line = line.trimmed();
    for (int i = 0; i < 2; ++i) {
        const QRegularExpressionMatch m = label.match(line);
        if (!m.hasMatch())
            break;
        line = line.mid(m.capturedLength()).trimmed();
    }
    return line;
}

QString normalise(const QString &text)
{
    QString s = text;
    s.replace(QChar(0x2029), QLatin1Char('\n')).replace(QChar(0x2028), QLatin1Char('\n'));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = s.split(QLatin1Char('\n'));
    for (QString &line : lines)
        line = stripListLabel(line);
    s = lines.join(QLatin1Char(' '));
    for (QChar &c : s)
        if (c.isSpace() || c == QChar(0x200B) || c == QChar(0xFEFF) || c.category() == QChar::Separator_Space)
            c = QLatin1Char(' ');
    s.remove(QChar(0x00AD));
    return s.simplified();
}

// Field results other than links are computed when shown (pages, dates): a
// marked field matches any text. Text boxes, marked too, are text that
// LibreOffice may leave out.
bool matches(const QString &ours, const QString &reference)
{
    if (!ours.contains(QChar(0xE000)) && !ours.contains(QChar(0xE001)))
        return ours == reference;
    QString pattern;
    QString literal;
    auto flush = [&] {
        pattern += QRegularExpression::escape(literal).replace(QStringLiteral("\\ "), QStringLiteral("\\s*"));
        literal.clear();
    };
    for (const QChar c : ours) {
        if (c == QChar(0xE000) || c == QChar(0xE001) || c == QChar(0xE002)) {
            flush();
            pattern += c == QChar(0xE000) ? QStringLiteral("\\s*.{0,200}?\\s*")
                       : c == QChar(0xE001) ? QStringLiteral("\\s*(?:") : QStringLiteral(")?\\s*");
        } else {
            literal += c;
        }
    }
    flush();
    const QRegularExpression re(QRegularExpression::anchoredPattern(pattern),
                                QRegularExpression::DotMatchesEverythingOption);
    return re.match(reference).hasMatch();
}

} // namespace

class TestRtfCorpus : public QObject
{
    Q_OBJECT

private slots:
    void corpus();
};

void TestRtfCorpus::corpus()
{
    const QString root = QStringLiteral(QUILMAR_CORPUS_DIR "/rtf");
    if (!QFileInfo(root).isDir())
        QSKIP("no RTF corpus");
    QStringList files;
    QDirIterator it(root, {QStringLiteral("*.rtf")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    QVERIFY(!files.isEmpty());

    int referenced = 0, matched = 0;
    QStringList mismatches, roundTripFailures, asideFailures, slow;
    for (const QString &path : files) {
        const QString name = path.mid(root.size() + 1);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray data = file.readAll();

        QElapsedTimer timer;
        timer.start();
        auto doc = RtfTest::read(data);
        if (!RtfReader::looksLikeRtf(data))
            doc->setPlainText(CodePages::toUnicode(1252, data)); // as the editor falls back
        if (timer.elapsed() > 10000)
            slow << name;

        const QString referencePath = path.chopped(4) + QStringLiteral(".lo.txt");
        QFile reference(referencePath);
        if (reference.open(QIODevice::ReadOnly)) {
            ++referenced;
            DocumentDump::TextOptions options;
            options.markFields = true;
            const QString ours = normalise(DocumentDump::plainText(*doc, options));
            const QString theirs = normalise(QString::fromUtf8(reference.readAll()));
            if (matches(ours, theirs))
                ++matched;
            else
                mismatches << name;
        }

        if (RtfReader::looksLikeRtf(data)) {
            RtfReadResult direct, aside;
            RtfTest::read(data, &direct);
            if (DocumentDump::dump(*RtfTest::read(data, &aside, RtfTest::parsedAside())) != DocumentDump::dump(*doc)
                || aside.warnings != direct.warnings || aside.title != direct.title)
                asideFailures << name;
            const QByteArray written = RtfWriter().write(*doc);
            auto again = RtfTest::read(written);
            if (DocumentDump::dump(*doc) != DocumentDump::dump(*again))
                roundTripFailures << name;
        }
    }

    const double share = referenced ? 100.0 * matched / referenced : 100.0;
    qInfo("corpus: %d files; %d of %d with a LibreOffice text match (%.1f %%)", int(files.size()), matched,
          referenced, share);
    for (const QString &name : mismatches)
        qInfo("  text differs: %s", qPrintable(name));
    for (const QString &name : roundTripFailures)
        qInfo("  round trip differs: %s", qPrintable(name));
    for (const QString &name : asideFailures)
        qInfo("  parsed on a thread of its own, differs: %s", qPrintable(name));
    QVERIFY2(slow.isEmpty(), qPrintable(QStringLiteral("slower than 10 s: ") + slow.join(QLatin1String(", "))));
    QVERIFY2(share >= 95.0, qPrintable(QStringLiteral("text match %1 %").arg(share)));
    QVERIFY2(asideFailures.isEmpty(), qPrintable(asideFailures.join(QLatin1String(", "))));
    QVERIFY2(roundTripFailures.isEmpty(), qPrintable(QStringLiteral("%1 files do not round-trip").arg(roundTripFailures.size())));
}

QTEST_MAIN(TestRtfCorpus)
#include "tst_rtfcorpus.moc"
