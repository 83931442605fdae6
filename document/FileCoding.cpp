#include "document/FileCoding.h"

#include <QFileInfo>
#include <QStringList>

namespace FileCodings {
namespace {

const char *const kCaptions[] = {
    "Rich text files (*.rtf)", "Text files (ANSI) (*.txt)", "All files", "HTML files",
    "PHP files", "Perl files", "UTF8 (Unicode) text (*.txt)", "Unicode (UTF16 LE) text (*.txt)",
    "Unicode (UTF16 BE) text (*.txt)",
};
const char *const kPatterns[] = {
    "*.rtf", "*.txt", "*.*", "*.htm; *.html", "*.php", "*.pl; *.pm", "*.txt", "*.txt", "*.txt",
};

} // namespace

QString filterCaption(int coding)
{
    return coding >= 1 && coding <= 9 ? QString::fromLatin1(kCaptions[coding - 1]) : QString();
}

QString saveFilter()
{
    QStringList parts;
    for (int i = 0; i < 9; ++i)
        parts << QString::fromLatin1(kCaptions[i]) << QString::fromLatin1(kPatterns[i]);
    return parts.join(u'|');
}

QString openFilter()
{
    return QStringLiteral("Rich text files (*.rtf)|*.rtf|Plain text files (*.txt)|*.txt|All files|*.*|"
                          "HTML files|*.htm; *.html|PHP files|*.php|Perl files|*.pl; *.pm");
}

QString extension(const QString &fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot);
}

ExtensionCoding fromExtension(const QString &fileName, int current)
{
    const QString ext = extension(fileName).toLower();
    ExtensionCoding result{current};
    if (ext == QLatin1String(".rtf"))
        result.coding = fcRichText;
    if (ext == QLatin1String(".txt"))
        result.coding = fcAnsiText;
    if (ext == QLatin1String(".htm") || ext == QLatin1String(".html"))
        result.coding = fcHtml;
    if (ext == QLatin1String(".php"))
        result.coding = fcPhp;
    if (ext == QLatin1String(".pl") || ext == QLatin1String(".pm"))
        result.coding = fcPerl;
    // Interface language files (".lgtx") and their kin: ".lg" and up to two more.
    if (ext.size() >= 3 && ext.size() <= 5 && ext.startsWith(QLatin1String(".lg"))) {
        result.coding = fcAllFiles;
        result.languageFile = true;
    }
    return result;
}

QString backupName(const QString &fileName)
{
    const QString ext = extension(fileName);
    const QString stem = fileName.left(fileName.size() - ext.size());
    if (ext.isEmpty())
        return stem + QStringLiteral(".~");
    return stem + QStringLiteral(".~") + ext.mid(1);
}

LoadPlan planLoad(const QByteArray &bytes, int coding, int selectedCodePage, int ansiCodePage)
{
    LoadPlan plan;
    plan.coding = coding;
    plan.text.bytes = bytes;
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.constData());
    if (bytes.size() >= 2 && ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF))) {
        const bool bigEndian = b[0] == 0xFE;
        plan.coding = bigEndian ? fcUtf16BE : fcUtf16LE;
        plan.streamDefault = false;
        plan.text.offset = 2;
        plan.text.encoding = bigEndian ? PlainText::EncodedText::Utf16BE : PlainText::EncodedText::Utf16LE;
        return plan;
    }
    if (bytes.size() >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
        plan.coding = fcUtf8;
        return plan;
    }
    if (selectedCodePage != ansiCodePage && coding != fcRichText) {
        // The whole file is converted; a zero byte is a character like any other.
        plan.streamDefault = false;
        plan.text.encoding = PlainText::EncodedText::CodePage;
        plan.text.codePage = selectedCodePage;
    }
    return plan;
}

} // namespace FileCodings
