#include "document/rtf/RtfWriter.h"

#include "document/KeptContent.h"
#include "document/ParagraphFormat.h"
#include "document/rtf/RtfCharsets.h"
#include "document/rtf/RtfPicture.h"
#include "document/rtf/RtfTextEncoder.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>

namespace Rtf {
namespace {

// A kept bullet's characters for a level text or \listtext: a symbol
// font's characters as their bytes, others as \u with "?" for old readers.
std::string bulletRtf(const QString &bullet, int charset)
{
    std::string out;
    char buffer[16];
    for (QChar c : bullet) {
        const char16_t u = c.unicode();
        if (charset == RtfCharsets::Symbol && u >= 0xF020 && u <= 0xF0FF) {
            std::snprintf(buffer, sizeof buffer, "\\'%02x", unsigned(u - 0xF000));
        } else if (u >= 0x20 && u < 0x80 && u != '\\' && u != '{' && u != '}' && u != ';') {
            buffer[0] = char(u);
            buffer[1] = 0;
        } else {
            std::snprintf(buffer, sizeof buffer, "\\u%d ?", int(int16_t(u)));
        }
        out += buffer;
    }
    return out;
}

// The character format words RTF output has in effect.
struct WrittenState {
    int font = -1;
    int halfPoints = -1;
    int underline = 0;
    int color = 0;
    int background = 0;
    int valign = 0;
    int raise = 0;           // half-points of \up or \dn; 0 \super or \sub
    int lang = 0;
    int caps = 0;
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool hidden = false;
    bool protect = false;
    bool disabled = false;
};

// What a document format becomes in RTF, worked out once per format.
struct RunFormat {
    WrittenState state;
    TextEncoder *encoder = nullptr;
    QString href;
    QString instruction;     // of a field other than a link
    int fieldId = 0;
    QByteArray object;
    int objectId = 0;
    bool image = false;
    bool kept = false;
    bool madeUp = false;     // a field result that was not in the file
    QByteArray keptRtf;      // a kept group, written back as it was read
    QByteArray wrapper;      // tells which link, field or object group the run needs
};

const char *underlineWord(int kind)
{
    switch (kind) {
    case 0: return "\\ulnone";
    case 2: return "\\ulw";
    case 3: return "\\uldb";
    case 4: return "\\uld";
    case 5: return "\\uldash";
    case 6: return "\\uldashd";
    case 7: return "\\uldashdd";
    case 8: return "\\ulwave";
    case 9: return "\\ulth";
    case 10: return "\\ulhair";
    default: return "\\ul";
    }
}

int underlineKind(const QTextCharFormat &f)
{
    if (f.hasProperty(TextProperty::UnderlineKind))
        return f.intProperty(TextProperty::UnderlineKind);
    switch (f.underlineStyle()) {
    case QTextCharFormat::NoUnderline: return 0;
    case QTextCharFormat::DashUnderline: return 5;
    case QTextCharFormat::DotLine: return 4;
    case QTextCharFormat::DashDotLine: return 6;
    case QTextCharFormat::DashDotDotLine: return 7;
    case QTextCharFormat::WaveUnderline: return 8;
    default: return 1;
    }
}

QString toRoman(int n, bool upper)
{
    static const std::pair<int, const char *> table[] = {
        {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"},
        {50, "l"}, {40, "xl"}, {10, "x"}, {9, "ix"}, {5, "v"}, {4, "iv"}, {1, "i"}};
    QString s;
    for (const auto &[value, letters] : table)
        while (n >= value && s.size() < 32) {
            s += QLatin1String(letters);
            n -= value;
        }
    return upper ? s.toUpper() : s;
}

QString toLetters(int n, bool upper)
{
    QString s;
    while (n > 0 && s.size() < 8) {
        --n;
        s.prepend(QChar(char16_t((upper ? 'A' : 'a') + n % 26)));
        n /= 26;
    }
    return s;
}

class Emitter
{
public:
    Emitter(const QTextDocument &doc, const RtfWriteOptions &options)
        : m_doc(doc)
        , m_options(options)
    {
        m_docEnd = std::max(0, doc.characterCount() - 1);
        m_from = std::clamp(options.from, 0, m_docEnd);
        m_to = options.to < 0 ? m_docEnd : std::clamp(options.to, m_from, m_docEnd);
        const QFont font = doc.defaultFont();
        m_defaultFamily = font.family().isEmpty() ? QStringLiteral("Arial") : font.family();
        m_defaultHalfPoints = font.pointSizeF() > 0 ? int(std::lround(font.pointSizeF() * 2)) : 24;
        m_defaultCharset = RtfCharsets::charsetForCodePage(options.ansiCodePage);
        if (m_from == 0 && m_to == m_docEnd && !options.plainRtf)
            m_keptLists = KeptContent::listTables(doc);
        m_lastOverride = m_keptLists.table.isEmpty() ? 0 : m_keptLists.maxOverride;
    }

    QByteArray run()
    {
        m_body.reserve(size_t(m_to - m_from) * 2 + 256);
        writeFrame(m_doc.rootFrame());
        closeWrapper();
        if (m_fonts.empty())
            fontIndex(m_defaultFamily, m_defaultCharset);
        const QByteArray head = header();
        QByteArray out;
        out.reserve(head.size() + qsizetype(m_body.size()) + 3);
        out += head;
        out.append(m_body.data(), qsizetype(m_body.size()));
        out += "}\r\n";
        return out;
    }

private:
    struct BlockRange {
        int start;
        int end;             // exclusive; the block's separator excluded
        bool separator;      // its paragraph mark lies in the range
    };

    QByteArray header()
    {
        // The kept list tables name fonts: before the font table is written.
        const std::string lists = listTables();
        std::string h = "{\\rtf1\\ansi\\ansicpg" + std::to_string(m_options.ansiCodePage) + "\\deff0";
        h += "{\\fonttbl";
        for (size_t i = 0; i < m_fonts.size(); ++i) {
            h += "{\\f" + std::to_string(i) + "\\fnil\\fcharset" + std::to_string(m_fonts[i].second) + ' ';
            bool pending = false;
            const int cp = RtfCharsets::codePage(m_fonts[i].second, m_options.ansiCodePage);
            encoder(cp == RtfCharsets::SymbolCodePage ? 1252 : cp)->append(h, m_fonts[i].first, pending);
            h += ";}";
        }
        h += "}\r\n{\\colortbl ;";
        for (const QColor &c : m_colors)
            h += "\\red" + std::to_string(c.red()) + "\\green" + std::to_string(c.green()) + "\\blue"
                 + std::to_string(c.blue()) + ';';
        h += "}\r\n";
        h += lists;
        if (!m_options.plainRtf)
            h += "{\\*\\generator Quilmar;}";
        // Groups of the header that the editor keeps unread (headers,
        // footers, \info, …); they belong to the whole document only.
        if (m_from == 0 && m_to == m_docEnd) {
            const QByteArray groups = KeptContent::documentGroups(m_doc);
            h.append(groups.constData(), size_t(groups.size()));
        }
        h += "\\viewkind4\\uc1";
        return QByteArray::fromStdString(h);
    }

    // The \ls number of a list, given in order of first use.
    int listIndex(const QTextList *list, const ParagraphValues &v)
    {
        auto it = m_listIndex.find(list);
        if (it != m_listIndex.end())
            return it->second;
        ListInfo info{v.numbering, v.numberingStart, v.numberingStyle, {}, 0, -1};
        const QTextListFormat format = list ? list->format() : QTextListFormat();
        const QString bullet = format.stringProperty(TextProperty::ListBullet);
        if (v.numbering == NumberingKind::Bullet && !bullet.isEmpty() && bullet.size() < 32) {
            const int charset = format.intProperty(TextProperty::ListBulletCharset);
            info.bullet = bulletRtf(bullet, charset);
            info.bulletLength = int(bullet.size());
            if (format.hasProperty(TextProperty::ListBulletNfc))
                info.bulletNfc = std::clamp(format.intProperty(TextProperty::ListBulletNfc), 0, 255);
            const QString family = format.stringProperty(TextProperty::ListBulletFont);
            if (!family.isEmpty())
                info.bulletFont = fontIndex(family, charset);
        }
        info.level = std::clamp(format.intProperty(TextProperty::ListLevel), 0, 8);
        if (!m_keptLists.table.isEmpty() && list)
            info.keptOverride = KeptContent::listOverride(format);
        info.number = info.keptOverride >= 0 ? info.keptOverride : ++m_lastOverride;
        m_lists.push_back(std::move(info));
        m_listIndex.emplace(list, int(m_lists.size()));
        return int(m_lists.size());
    }

    // One list per document list, its level at the level it was read at
    // (levels before it stand unused): its number format, first number and
    // the text around the number (\leveltext: a length byte, then the text
    // with the level's index standing for the number; \levelnumbers: where
    // that stands).
    std::string listTables()
    {
        const bool kept = !m_keptLists.table.isEmpty();
        if (m_lists.empty() && !kept)
            return {};
        std::string table = "{\\*\\listtable";
        std::string overrides = "{\\*\\listoverridetable";
        if (kept) {
            table = keptFonts(m_keptLists.table.chopped(1)).toStdString();
            overrides = m_keptLists.overrides.chopped(1).toStdString();
        }
        int lastId = 0;
        for (size_t i = 0; i < m_lists.size(); ++i) {
            const ListInfo &l = m_lists[i];
            if (l.keptOverride >= 0)
                continue;
            do
                ++lastId;
            while (m_keptLists.listIds.contains(lastId));
            const std::string id = std::to_string(lastId);
            int nfc = 0;
            std::string text, numbers;
            switch (l.kind) {
            case NumberingKind::Bullet: nfc = 23; break;
            case NumberingKind::UpperRoman: nfc = 1; break;
            case NumberingKind::LowerRoman: nfc = 2; break;
            case NumberingKind::UpperLetter: nfc = 3; break;
            case NumberingKind::LowerLetter: nfc = 4; break;
            default: break;
            }
            if (!l.bullet.empty())
                nfc = l.bulletNfc;
            const std::string number = "\\'0" + std::to_string(l.level);
            if (!l.bullet.empty()) {
                char length[8];
                std::snprintf(length, sizeof length, "\\'%02x", l.bulletLength);
                text = length + l.bullet;
            } else if (l.kind == NumberingKind::Bullet) {
                text = "\\'01\\u8226 ?";
            } else {
                switch (l.style & 0xF00) {
                case 0x000: text = "\\'02" + number + ")"; numbers = "\\'01"; break;
                case 0x100: text = "\\'03(" + number + ")"; numbers = "\\'02"; break;
                case 0x200: text = "\\'02" + number + "."; numbers = "\\'01"; break;
                default: text = "\\'01" + number; numbers = "\\'01"; break;
                }
            }
            table += "{\\list\\listtemplateid" + id + (l.level > 0 ? "" : "\\listsimple1");
            for (int unused = 0; unused < l.level; ++unused)
                table += "{\\listlevel\\levelnfc23\\levelnfcn23\\leveljc0\\levelfollow0\\levelstartat1"
                         "{\\leveltext\\'01\\u8226 ?;}{\\levelnumbers;}}";
            table += "{\\listlevel\\levelnfc" + std::to_string(nfc) + "\\levelnfcn" + std::to_string(nfc)
                     + "\\leveljc0\\levelfollow0\\levelstartat" + std::to_string(l.start) + "{\\leveltext" + text
                     + ";}{\\levelnumbers" + numbers + ";}"
                     + (l.bulletFont >= 0 ? "\\f" + std::to_string(l.bulletFont) : std::string()) + "}\\listid" + id + "}";
            overrides += "{\\listoverride\\listid" + id + "\\listoverridecount0\\ls" + std::to_string(l.number) + "}";
        }
        return table + "}\r\n" + overrides + "}\r\n";
    }

    // A kept list table with its \f words renumbered for the written font table.
    QByteArray keptFonts(const QByteArray &rtf)
    {
        QByteArray out;
        out.reserve(rtf.size() + 16);
        for (qsizetype i = 0; i < rtf.size(); ++i) {
            const char c = rtf.at(i);
            if (c == '\\' && i + 1 < rtf.size() && rtf.at(i + 1) == '\\') {
                out += "\\\\";
                ++i;
                continue;
            }
            if (c != '\\' || i + 2 >= rtf.size() || rtf.at(i + 1) != 'f' || !std::isdigit(uchar(rtf.at(i + 2)))) {
                out += c;
                continue;
            }
            qsizetype end = i + 2;
            int number = 0;
            while (end < rtf.size() && std::isdigit(uchar(rtf.at(end))) && number < 100000000)
                number = number * 10 + (rtf.at(end++) - '0');
            auto font = std::find_if(m_keptLists.fonts.cbegin(), m_keptLists.fonts.cend(),
                                     [number](const KeptContent::ListTables::Font &f) { return f.number == number; });
            const int index = font == m_keptLists.fonts.cend() || font->family.isEmpty()
                                  ? fontIndex(m_defaultFamily, m_defaultCharset)
                                  : fontIndex(font->family, font->charset);
            out += "\\f" + QByteArray::number(index);
            i = end - 1;
        }
        return out;
    }

    int fontIndex(const QString &family, int charset)
    {
        const auto key = std::make_pair(family, charset);
        auto it = m_fontIndex.find(key);
        if (it != m_fontIndex.end())
            return it->second;
        m_fonts.push_back(key);
        m_fontIndex.emplace(key, int(m_fonts.size()) - 1);
        return int(m_fonts.size()) - 1;
    }

    int colorIndex(const QBrush &brush)
    {
        if (brush.style() == Qt::NoBrush)
            return 0;
        const QRgb rgb = brush.color().rgb();
        auto it = m_colorIndex.find(rgb);
        if (it != m_colorIndex.end())
            return *it;
        m_colors.push_back(brush.color());
        m_colorIndex.insert(rgb, int(m_colors.size()));
        return int(m_colors.size());
    }

    TextEncoder *encoder(int codePage)
    {
        auto &e = m_encoders[codePage];
        if (!e)
            e = std::make_unique<TextEncoder>(codePage);
        return e.get();
    }

    const RunFormat &runFormat(const QTextFragment &fragment)
    {
        const int index = fragment.charFormatIndex();
        auto it = m_runFormats.find(index);
        if (it != m_runFormats.end())
            return it->second;
        return runFormat(index, fragment.charFormat());
    }

    const RunFormat &runFormat(int index, const QTextCharFormat &f)
    {
        auto it = m_runFormats.find(index);
        if (it != m_runFormats.end())
            return it->second;
        RunFormat r;
        WrittenState &s = r.state;
        const QStringList families = f.fontFamilies().toStringList();
        const QString family = families.isEmpty() || families.first().isEmpty() ? m_defaultFamily : families.first();
        const int charset = f.hasProperty(TextProperty::FontCharset) ? f.intProperty(TextProperty::FontCharset)
                                                                     : m_defaultCharset;
        s.font = fontIndex(family, charset);
        r.encoder = encoder(RtfCharsets::codePage(charset, m_options.ansiCodePage));
        s.halfPoints = f.fontPointSize() > 0 ? int(std::lround(f.fontPointSize() * 2)) : m_defaultHalfPoints;
        s.bold = f.fontWeight() >= QFont::DemiBold;
        s.italic = f.fontItalic();
        s.underline = underlineKind(f);
        s.strike = f.fontStrikeOut();
        s.color = colorIndex(f.foreground());
        s.background = colorIndex(f.background());
        s.valign = f.verticalAlignment() == QTextCharFormat::AlignSuperScript ? 1
                   : f.verticalAlignment() == QTextCharFormat::AlignSubScript ? 2 : 0;
        // A raise kept from reading stands while the text keeps its direction.
        const int raise = f.intProperty(TextProperty::RaiseHalfPoints);
        if ((s.valign == 1 && raise > 0) || (s.valign == 2 && raise < 0))
            s.raise = raise;
        s.hidden = f.boolProperty(TextProperty::Hidden);
        s.protect = f.boolProperty(TextProperty::Protected);
        s.disabled = f.boolProperty(TextProperty::Disabled);
        s.lang = m_options.plainRtf ? 0 : f.intProperty(TextProperty::Language);
        s.caps = f.fontCapitalization() == QFont::AllUppercase ? 1 : f.fontCapitalization() == QFont::SmallCaps ? 2 : 0;
        if (f.isAnchor() && !f.anchorHref().isEmpty())
            r.href = f.anchorHref();
        r.instruction = f.stringProperty(TextProperty::FieldInstruction);
        r.fieldId = f.intProperty(TextProperty::FieldId);
        r.image = f.isImageFormat();
        r.madeUp = !r.instruction.isEmpty() && f.boolProperty(TextProperty::FieldResultMadeUp);
        r.kept = KeptContent::isKept(f);
        if (r.kept)
            r.keptRtf = KeptContent::rtf(f);
        if (!m_options.noObjects) {
            r.object = f.property(TextProperty::ObjectData).toByteArray();
            r.objectId = f.intProperty(TextProperty::ObjectId);
        }
        r.wrapper = wrapperKey(r);
        return m_runFormats.emplace(index, std::move(r)).first->second;
    }

    void word(const char *w)
    {
        m_body += w;
        m_pendingSpace = true;
    }

    void word(const char *w, int n)
    {
        m_body += w;
        m_body += std::to_string(n);
        m_pendingSpace = true;
    }

    void toggle(const char *w, bool on)
    {
        m_body += w;
        if (!on)
            m_body += '0';
        m_pendingSpace = true;
    }

    void changeState(const WrittenState &to)
    {
        // Raised and lowered runs stand in groups of their own, as Word
        // writes them: LibreOffice loses text and paragraph breaks where
        // \super and \sub switch to each other inline.
        if (to.valign != m_state.valign || to.raise != m_state.raise) {
            closeRaise();
            if (to.valign != 0) {
                m_body += '{';
                m_raiseSaved = m_state;
                m_raised = true;
                if (to.raise > 0)
                    word("\\up", to.raise);
                else if (to.raise < 0)
                    word("\\dn", -to.raise);
                else
                    word(to.valign == 1 ? "\\super" : "\\sub");
                m_state.valign = to.valign;
                m_state.raise = to.raise;
            }
        }
        WrittenState &s = m_state;
        if (to.font != s.font) word("\\f", to.font);
        if (to.halfPoints != s.halfPoints) word("\\fs", to.halfPoints);
        if (to.bold != s.bold) toggle("\\b", to.bold);
        if (to.italic != s.italic) toggle("\\i", to.italic);
        if (to.underline != s.underline) word(underlineWord(to.underline));
        if (to.strike != s.strike) toggle("\\strike", to.strike);
        if (to.color != s.color) word("\\cf", to.color);
        if (to.background != s.background) word("\\highlight", to.background);
        if (to.hidden != s.hidden) toggle("\\v", to.hidden);
        if (to.protect != s.protect) toggle("\\protect", to.protect);
        if (to.disabled != s.disabled) toggle("\\disabled", to.disabled);
        if (to.lang != s.lang) word("\\lang", to.lang);
        if (to.caps != s.caps) {
            if (s.caps == 1) toggle("\\caps", false);
            if (s.caps == 2) toggle("\\scaps", false);
            if (to.caps == 1) toggle("\\caps", true);
            if (to.caps == 2) toggle("\\scaps", true);
        }
        s = to;
    }

    // Links, fields and objects wrap their results in groups; the state
    // inside is restored when the group closes.
    QByteArray wrapperKey(const RunFormat &r) const
    {
        if (r.objectId)
            // Ids restart with every reading, so a pasted object may share
            // its neighbour's: the data tells them apart too.
            return "o" + QByteArray::number(r.objectId) + ':' + QByteArray::number(qHash(r.object));
        if (!r.href.isEmpty())
            return "h" + r.href.toUtf8();
        if (!r.instruction.isEmpty())
            return "f" + QByteArray::number(r.fieldId) + r.instruction.toUtf8();
        return {};
    }

    void openWrapper(const RunFormat &r)
    {
        m_wrapper = r.wrapper;
        if (m_wrapper.isEmpty())
            return;
        m_savedState = m_state;
        bool pending = false;
        if (r.objectId) {
            m_body.append(r.object.constData(), size_t(r.object.size()));
            m_body += "{\\result ";
            return;
        }
        m_body += "{\\field{\\*\\fldinst ";
        if (!r.href.isEmpty()) {
            QString target = r.href;
            QString bookmark;
            const int hash = target.indexOf(QLatin1Char('#'));
            if (hash >= 0) {
                bookmark = target.mid(hash + 1);
                target.truncate(hash);
            }
            m_body += "HYPERLINK ";
            if (!target.isEmpty()) {
                m_body += '"';
                r.encoder->append(m_body, QString(target).replace(QLatin1String("\\"), QLatin1String("\\\\")), pending);
                m_body += "\" ";
            }
            if (!bookmark.isEmpty()) {
                m_body += "\\\\l \"";
                r.encoder->append(m_body, bookmark, pending);
                m_body += "\" ";
            }
        } else {
            r.encoder->append(m_body, r.instruction, pending);
        }
        m_body += "}{\\fldrslt ";
        m_pendingSpace = false;
    }

    void closeRaise()
    {
        if (!m_raised)
            return;
        m_body += '}';
        m_state = m_raiseSaved;
        m_raised = false;
        m_pendingSpace = false;
    }

    void closeWrapper()
    {
        closeRaise();
        if (m_wrapper.isEmpty())
            return;
        m_body += "}}";
        m_state = m_savedState;
        m_wrapper.clear();
        m_pendingSpace = false;
    }

    void writeFrame(QTextFrame *frame)
    {
        for (auto it = frame->begin(); !it.atEnd(); ++it) {
            if (QTextFrame *child = it.currentFrame()) {
                if (child->lastPosition() < m_from || child->firstPosition() > m_to)
                    continue;
                if (QTextTable *table = qobject_cast<QTextTable *>(child))
                    writeTable(table);
                else
                    writeFrame(child);
                continue;
            }
            const QTextBlock block = it.currentBlock();
            const int bpos = block.position();
            const int sep = bpos + block.length() - 1;
            if (bpos > m_to || sep < m_from)
                continue;
            BlockRange range{std::max(bpos, m_from), std::min(sep, m_to), sep < m_to};
            writeParagraph(block, range, false);
            if (range.separator) {
                // Groups end at marks: a \pard inside one would not outlive it.
                closeWrapper();
                word("\\par");
                m_body += "\r\n";
                m_pendingSpace = false;
            } else if (sep == m_docEnd && m_to == m_docEnd) {
                // RichEdit ends the text with a mark that the reader drops again.
                closeWrapper();
                word("\\par");
                m_body += "\r\n";
                m_pendingSpace = false;
            } else if (range.start == range.end && bpos == m_to && bpos > m_from) {
                // A range ending just after a mark: one more mark keeps it.
                closeWrapper();
                word("\\par");
                m_body += "\r\n";
                m_pendingSpace = false;
            }
        }
    }

    void writeTable(QTextTable *table)
    {
        closeWrapper();
        const QTextTableFormat tf = table->format();
        const QList<QTextLength> widths = tf.columnWidthConstraints();
        const int columns = table->columns();
        for (int r = 0; r < table->rows(); ++r) {
            word("\\trowd\\trgaph108\\trleft0");
            int right = 0;
            for (int c = 0; c < columns; ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                if (cell.rowSpan() > 1 && cell.row() == r)
                    word("\\clvmgf");
                else if (cell.row() != r)
                    word("\\clvmrg");
                if (cell.columnSpan() > 1 && cell.column() == c)
                    word("\\clmgf");
                else if (cell.column() != c)
                    word("\\clmrg");
                const QTextLength w = c < widths.size() ? widths.at(c) : QTextLength();
                const int twips = w.type() == QTextLength::FixedLength
                                      ? int(std::lround(DocUnits::pxToTwips(w.rawValue()))) : 1440;
                right += twips;
                word("\\cellx", right);
            }
            m_body += "\r\n";
            m_pendingSpace = false;
            for (int c = 0; c < columns; ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                if (cell.row() == r && cell.column() == c)
                    writeCell(cell);
                else
                    word("\\pard\\intbl");
                m_lastParagraph.clear();
                word("\\cell");
            }
            word("\\row");
            m_body += "\r\n";
            m_pendingSpace = false;
        }
        m_lastParagraph.clear();
    }

    void writeCell(const QTextTableCell &cell)
    {
        bool firstBlock = true;
        for (auto it = cell.begin(); !it.atEnd(); ++it) {
            if (it.currentFrame())
                continue; // nested frames are not read back either
            const QTextBlock block = it.currentBlock();
            if (!firstBlock) {
                closeWrapper();
                word("\\par");
                m_body += "\r\n";
                m_pendingSpace = false;
            }
            firstBlock = false;
            writeParagraph(block, {block.position(), block.position() + block.length() - 1, false}, true);
        }
        closeWrapper();
    }

    void writeParagraph(const QTextBlock &block, const BlockRange &range, bool inTable)
    {
        writeParagraphFormat(block, inTable);
        const QString text = block.text();
        const int bpos = block.position();
        bool wroteText = false;
        // Fragment positions cost a tree walk each: count them up instead.
        int fpos = bpos;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int flen = fragment.length();
            const int fs = std::max(fpos, range.start);
            const int fe = std::min(fpos + flen, range.end);
            fpos += flen;
            if (fs >= fe)
                continue;
            const RunFormat &r = runFormat(fragment);
            if (r.wrapper != m_wrapper) {
                closeWrapper();
                openWrapper(r);
            }
            changeState(r.state);
            if (r.image) {
                const QTextImageFormat f = fragment.charFormat().toImageFormat();
                for (int i = fs; i < fe; ++i)
                    writePicture(f);
            } else if (r.kept) {
                writeKept(r, fragment.charFormat(), fe - fs);
            } else if (r.madeUp) {
                // Left out: Word computes the result, and so does our reader.
            } else {
                r.encoder->append(m_body, QStringView(text).mid(fs - bpos, fe - fs), m_pendingSpace);
            }
            wroteText = true;
        }
        if (!wroteText && block.length() <= 1) {
            // An empty paragraph's mark carries the format its line is drawn in.
            closeWrapper();
            WrittenState mark = runFormat(block.charFormatIndex(), block.charFormat()).state;
            mark.valign = 0; // the raise group would close before the mark
            mark.raise = 0;
            changeState(mark);
        }
    }

    void writeParagraphFormat(const QTextBlock &block, bool inTable)
    {
        const ParagraphValues v = ParagraphFormat::read(block);
        std::string p = "\\pard";
        if (inTable)
            p += "\\intbl";
        const Qt::Alignment a = v.alignment;
        if (a & Qt::AlignRight)
            p += "\\qr";
        else if (a & Qt::AlignHCenter)
            p += "\\qc";
        else if (a & Qt::AlignJustify)
            p += "\\qj";
        const int fi = -v.leftIndent;
        const int li = v.firstIndent + v.leftIndent;
        if (fi) p += "\\fi" + std::to_string(fi);
        if (li) p += "\\li" + std::to_string(li);
        if (v.rightIndent) p += "\\ri" + std::to_string(v.rightIndent);
        if (v.spaceBefore) p += "\\sb" + std::to_string(v.spaceBefore);
        if (v.spaceAfter) p += "\\sa" + std::to_string(v.spaceAfter);
        switch (v.lineSpacingRule) {
        case 1: p += "\\sl360\\slmult1"; break;
        case 2: p += "\\sl480\\slmult1"; break;
        case 3: p += "\\sl" + std::to_string(v.lineSpacing) + "\\slmult0"; break;
        case 4: p += "\\sl-" + std::to_string(v.lineSpacing) + "\\slmult0"; break;
        case 5: p += "\\sl" + std::to_string(v.lineSpacing * 12) + "\\slmult1"; break;
        default: break;
        }
        for (int t : v.tabs)
            p += "\\tx" + std::to_string(t);
        if (block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
            p += "\\pagebb";
        const QByteArray frame = block.blockFormat().property(TextProperty::FrameWords).toByteArray();
        if (frame.startsWith('\\'))
            p += frame.toStdString();
        if (v.numbering != NumberingKind::None) {
            closeWrapper();
            // Word's list of the paragraph, for readers that number by list
            // (each list counts on its own); \pn below for those that do not.
            const bool wordList = !m_options.plainRtf && block.textList();
            if (wordList) {
                const int index = listIndex(block.textList(), v);
                p += "\\ls" + std::to_string(m_lists[size_t(index - 1)].number) + "\\ilvl"
                     + std::to_string(m_lists[size_t(index - 1)].level);
            }
            m_body += p;
            m_pendingSpace = true;
            writeNumbering(block, v, wordList);
            m_lastParagraph = p + "#";
            return;
        }
        if (p == m_lastParagraph)
            return;
        m_body += p;
        m_pendingSpace = true;
        m_lastParagraph = p;
    }

    // The number as text for readers without lists, then old-style \pn
    // numbering unless the paragraph names a Word list: LibreOffice numbers
    // such a paragraph by the wrong list when it has both.
    void writeNumbering(const QTextBlock &block, const ParagraphValues &v, bool wordList)
    {
        const char *labelGroup = wordList ? "{\\listtext\\f" : "{\\pntext\\f";
        const QTextList *list = block.textList();
        const int number = v.numberingStart + (list ? list->itemNumber(block) : 0);
        const int textFont = m_state.font >= 0 ? m_state.font : fontIndex(m_defaultFamily, m_defaultCharset);
        const ListInfo *kept = wordList ? &m_lists[size_t(m_listIndex.at(list) - 1)] : nullptr;
        if (kept && !kept->bullet.empty()) {
            m_body += "{\\listtext";
            if (kept->bulletFont >= 0)
                m_body += "\\f" + std::to_string(kept->bulletFont);
            m_body += ' ' + kept->bullet + "\\tab}";
            m_pendingSpace = false;
            return;
        }
        if (v.numbering == NumberingKind::Bullet) {
            const int symbol = fontIndex(QStringLiteral("Symbol"), RtfCharsets::Symbol);
            m_body += labelGroup + std::to_string(symbol) + "\\'b7\\tab}";
            if (!wordList)
                m_body += "{\\*\\pn\\pnlvlblt\\pnf" + std::to_string(symbol) + "\\pnindent0{\\pntxtb\\'b7}}";
            m_pendingSpace = false;
            return;
        }
        QString label;
        const char *kindWord = "\\pndec";
        switch (v.numbering) {
        case NumberingKind::LowerLetter: label = toLetters(number, false); kindWord = "\\pnlcltr"; break;
        case NumberingKind::UpperLetter: label = toLetters(number, true); kindWord = "\\pnucltr"; break;
        case NumberingKind::LowerRoman: label = toRoman(number, false); kindWord = "\\pnlcrm"; break;
        case NumberingKind::UpperRoman: label = toRoman(number, true); kindWord = "\\pnucrm"; break;
        default: label = QString::number(number); break;
        }
        std::string before, after;
        switch (v.numberingStyle & 0xF00) {
        case 0x000: after = ")"; break;
        case 0x100: before = "("; after = ")"; break;
        case 0x200: after = "."; break;
        default: break;
        }
        m_body += labelGroup + std::to_string(textFont) + ' ' + before + label.toStdString() + after + "\\tab}";
        m_pendingSpace = false;
        if (wordList)
            return;
        m_body += "{\\*\\pn\\pnlvlbody\\pnf" + std::to_string(textFont) + "\\pnindent0\\pnstart"
                  + std::to_string(v.numberingStart) + kindWord;
        if (!before.empty())
            m_body += "{\\pntxtb " + before + "}";
        if (!after.empty())
            m_body += "{\\pntxta " + after + "}";
        m_body += "}";
        m_pendingSpace = false;
    }

    // count objects of one kept format: its group, or the character of a
    // plain text file it stands for.
    void writeKept(const RunFormat &r, const QTextCharFormat &f, int count)
    {
        if (r.keptRtf.isEmpty()) {
            r.encoder->append(m_body, KeptContent::text(f).repeated(count), m_pendingSpace);
            return;
        }
        for (int i = 0; i < count; ++i)
            m_body.append(r.keptRtf.constData(), size_t(r.keptRtf.size()));
        m_pendingSpace = false;
    }

    void writePicture(const QTextImageFormat &f)
    {
        if (m_options.noObjects)
            return;
        QByteArray bytes = f.property(TextProperty::PictureBytes).toByteArray();
        QString type = f.stringProperty(TextProperty::PictureType);
        QByteArray keyword = pictureKeyword(type);
        QImage image;
        if (bytes.isEmpty() || keyword.isEmpty()) {
            image = m_doc.resource(QTextDocument::ImageResource, QUrl(f.name())).value<QImage>();
            if (image.isNull())
                return;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            type = QStringLiteral("png");
            keyword = "\\pngblip";
        } else if (type != QLatin1String("wmf") && type != QLatin1String("emf")) {
            image = m_doc.resource(QTextDocument::ImageResource, QUrl(f.name())).value<QImage>();
        }
        const int goalW = int(std::lround(DocUnits::pxToTwips(f.width())));
        const int goalH = int(std::lround(DocUnits::pxToTwips(f.height())));
        int picw, pich;
        if (type == QLatin1String("wmf") || type == QLatin1String("emf") || type == QLatin1String("macpict")
            || type == QLatin1String("pmmetafile") || image.isNull()) {
            picw = int(std::lround(goalW * 2540.0 / 1440.0));
            pich = int(std::lround(goalH * 2540.0 / 1440.0));
        } else {
            picw = image.width();
            pich = image.height();
        }
        m_body += "{\\pict";
        m_body += keyword.constData();
        m_body += "\\picw" + std::to_string(picw) + "\\pich" + std::to_string(pich) + "\\picwgoal"
                  + std::to_string(goalW) + "\\pichgoal" + std::to_string(goalH) + "\r\n";
        static const char hex[] = "0123456789abcdef";
        const auto *d = reinterpret_cast<const uchar *>(bytes.constData());
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            m_body += hex[d[i] >> 4];
            m_body += hex[d[i] & 15];
            if (i % 64 == 63)
                m_body += "\r\n";
        }
        m_body += '}';
        m_pendingSpace = false;
    }

    const QTextDocument &m_doc;
    RtfWriteOptions m_options;
    int m_docEnd = 0;
    int m_from = 0;
    int m_to = 0;
    QString m_defaultFamily;
    int m_defaultHalfPoints = 24;
    int m_defaultCharset = 0;

    std::string m_body;
    bool m_pendingSpace = false;
    WrittenState m_state;
    WrittenState m_savedState;
    WrittenState m_raiseSaved;   // the state outside the open raise group
    bool m_raised = false;
    QByteArray m_wrapper;
    std::string m_lastParagraph;

    struct ListInfo {
        NumberingKind kind;
        int start;
        int style;
        std::string bullet; // RTF of a bullet kept from a Word list, else empty
        int bulletLength = 0;
        int bulletFont = -1;
        int level = 0;
        int bulletNfc = 23;
        int keptOverride = -1; // numbered by the kept list tables
        int number = 0;        // its \ls
    };
    std::vector<ListInfo> m_lists;
    KeptContent::ListTables m_keptLists;
    int m_lastOverride = 0;
    std::map<const QTextList *, int> m_listIndex;
    std::vector<std::pair<QString, int>> m_fonts;
    std::map<std::pair<QString, int>, int> m_fontIndex;
    std::vector<QColor> m_colors;
    QHash<QRgb, int> m_colorIndex;
    std::unordered_map<int, std::unique_ptr<TextEncoder>> m_encoders;
    std::unordered_map<int, RunFormat> m_runFormats;
};

} // namespace
} // namespace Rtf

QByteArray RtfWriter::write(const QTextDocument &document, const RtfWriteOptions &options)
{
    return Rtf::Emitter(document, options).run();
}
