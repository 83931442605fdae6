#include "app/InsertIni.h"

#include "platform/CodePages.h"
#include "platform/Settings.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

QStringView trimmedStart(QStringView s)
{
    while (!s.isEmpty() && s.front().isSpace())
        s = s.mid(1);
    return s;
}

} // namespace

void InsertIni::load(const QString &path)
{
    setLines(readLines(path).lines);
}

void InsertIni::setLines(const QStringList &lines)
{
    m_sections.clear();
    Section *current = nullptr;
    for (const QString &raw : lines) {
        const QStringView line = trimmedStart(raw);
        if (line.isEmpty() || line.front() == u';')
            continue;
        if (line.front() == u'[') {
            // "[name" without its bracket still names a section, as the
            // profile functions read it.
            const qsizetype close = line.indexOf(u']');
            const QString name = line.mid(1, close < 0 ? -1 : close - 1).trimmed().toString();
            current = nullptr;
            if (name.isEmpty())
                continue;
            for (Section &s : m_sections)
                if (s.name.compare(name, Qt::CaseInsensitive) == 0)
                    current = &s;
            if (!current) {
                m_sections.append({name, {}});
                current = &m_sections.last();
            }
            continue;
        }
        if (current)
            current->pieces.append(splitLine(line.toString()));
    }
}

QStringList InsertIni::sections() const
{
    QStringList names;
    names.reserve(m_sections.size());
    for (const Section &s : m_sections)
        names << s.name;
    return names;
}

QList<InsertIni::Piece> InsertIni::pieces(const QString &section) const
{
    for (const Section &s : m_sections)
        if (s.name.compare(section, Qt::CaseInsensitive) == 0)
            return s.pieces;
    return {};
}

InsertIni::Piece InsertIni::splitLine(const QString &line)
{
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return {QString(), line};
    // Blanks around the description are layout; the value is inserted as it stands.
    return {line.left(eq).trimmed(), line.mid(eq + 1)};
}

InsertIni::FileLines InsertIni::readLines(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly)) {
        FileLines result;
        result.exists = true;
        result.error = file.errorString();
        return result;
    }
    const QByteArray bytes = file.read(MaximumBytes);
    FileLines result = decode(bytes, !file.atEnd());
    result.exists = true;
    return result;
}

InsertIni::FileLines InsertIni::decode(QByteArray bytes, bool cut)
{
    FileLines result;
    result.exists = true;
    QString text;
    const bool utf16le = bytes.startsWith("\xFF\xFE");
    const bool utf16be = bytes.startsWith("\xFE\xFF");
    if (utf16le || utf16be) {
        if (bytes.size() % 2 != 0) {
            bytes.chop(1);
            cut = true;
        }
        QStringDecoder decoder(utf16le ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                               QStringDecoder::Flag::Stateless);
        text = decoder(QByteArrayView(bytes).sliced(2));
    } else if (bytes.startsWith("\xEF\xBB\xBF")) {
        text = QString::fromUtf8(QByteArrayView(bytes).sliced(3));
    } else {
        text = CodePages::toUnicode(CodePages::ansiCodePage(), bytes);
    }
    // Binary junk: what follows a NUL is no text of ours.
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0) {
        text.truncate(nul);
        cut = true;
    }
    // A cut file ends in the middle of a line; that line is dropped whole.
    if (cut) {
        const qsizetype lastEnd = std::max(text.lastIndexOf(u'\n'), text.lastIndexOf(u'\r'));
        text.truncate(std::max<qsizetype>(lastEnd, 0));
    }
    result.lines = Settings::splitLines(text);
    result.complete = !cut;
    return result;
}

QByteArray InsertIni::encode(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    const int acp = CodePages::ansiCodePage();
    if (CodePages::canEncode(acp, text))
        return CodePages::fromUnicode(acp, text);
    // Pieces the ANSI code page cannot hold would turn into "?" on the next read.
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

bool InsertIni::writeLines(const QString &path, const QStringList &lines, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = encode(lines);
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
