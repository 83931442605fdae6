#include "app/CodePageList.h"

#include "platform/CodePages.h"
#include "platform/Settings.h"

#include <QFile>
#include <QHash>

namespace {

int readNumber(const QString &text, int fallback)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok ? n : fallback;
}

QString cutDescription(const QString &description)
{
    if (description.size() <= CodePageList::DescriptionLength)
        return description;
    qsizetype length = CodePageList::DescriptionLength;
    // Never leave half of a surrogate pair at the end.
    if (description.at(length - 1).isHighSurrogate())
        --length;
    return description.left(length);
}

} // namespace

CodePageList::CodePageList(const QList<int> &installed, int wanted, const QStringList &listLines)
{
    // Entry texts start as the bare numbers; a line of the list is matched
    // against those, so each entry takes the first line naming its number
    // and a line can never match an entry's description.
    QHash<QString, qsizetype> undescribed;
    QList<bool> attached(installed.size(), false);
    m_entries.reserve(installed.size());
    for (int codePage : installed) {
        const QString number = QString::number(codePage);
        if (codePage == wanted && m_selected < 0)
            m_selected = int(m_entries.size());
        if (!undescribed.contains(number))
            undescribed.insert(number, m_entries.size());
        m_entries.append({number, 0});
    }

    for (const QString &line : listLines) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        const QString number = line.left(eq);
        const auto it = undescribed.constFind(number);
        if (it == undescribed.constEnd())
            continue;
        Entry &entry = m_entries[*it];
        entry.text = cutDescription(line.mid(eq + 1)) + QStringLiteral(" (") + number + u')';
        entry.codePage = readNumber(number, UnreadableCodePage);
        attached[*it] = true;
        undescribed.erase(it);
    }

    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (!attached.at(i))
            m_entries[i].codePage = readNumber(m_entries.at(i).text, UnreadableCodePage);
    }
}

QStringList CodePageList::readFile(const QString &path, int codePage)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.read(MaximumFileBytes);
    // A cut file ends in the middle of a line; that line is dropped whole.
    if (!file.atEnd()) {
        const qsizetype lastEnd = std::max(bytes.lastIndexOf('\n'), bytes.lastIndexOf('\r'));
        bytes.truncate(std::max<qsizetype>(lastEnd, 0));
    }
    return Settings::splitLines(CodePages::toUnicode(codePage, bytes));
}
