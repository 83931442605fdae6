// Groups the reader does not show but keeps whole, to be written back as
// they were: inline ones (footnotes, comments, shapes, bookmarks, …) as an
// object character at their place, document ones (headers, footers, \info,
// …) for the header of the written document.
#include "document/rtf/RtfParser.h"

#include "document/KeptContent.h"

#include <algorithm>

namespace Rtf {
namespace {

// Caption text beyond this is of no use in a tooltip.
constexpr qsizetype kMaxCaption = 4000;
// A file of nothing but bookmarks must not become millions of formats, nor
// one of nothing but headers a header of its own size.
constexpr int kMaxKeptInline = 100000;
constexpr qsizetype kMaxDocumentGroupBytes = 32 * 1024 * 1024;

bool isDocumentGroup(Kw kw)
{
    switch (kw) {
    case Kw::header: case Kw::headerl: case Kw::headerr: case Kw::headerf: case Kw::footer:
    case Kw::footerl: case Kw::footerr: case Kw::footerf: case Kw::ftnsep: case Kw::ftnsepc:
    case Kw::ftncn: case Kw::aftnsep: case Kw::aftnsepc: case Kw::aftncn: case Kw::info:
    case Kw::revtbl: case Kw::rsidtbl: case Kw::xmlnstbl: case Kw::pgdsctbl: case Kw::filetbl:
    case Kw::protusertbl:
    // Word puts these after the body too.
    case Kw::themedata: case Kw::colorschememapping: case Kw::latentstyles: case Kw::datastore:
    case Kw::defchp: case Kw::defpap: case Kw::mmathPr: case Kw::wgrffmtfilter: case Kw::pnseclvl:
    case Kw::userprops: case Kw::docvar: case Kw::pgptbl: case Kw::listpicture:
        return true;
    default:
        return false;
    }
}

// Skipped groups that the writer makes afresh, or that only repeat for
// older readers what is kept otherwise.
bool isRegenerated(Kw kw)
{
    switch (kw) {
    case Kw::pntext: case Kw::listtext: case Kw::nonshppict: case Kw::generator: case Kw::picprop:
    case Kw::blipuid: case Kw::fldtype: case Kw::datafield: case Kw::formfield: case Kw::levelnumbers:
    case Kw::listname: case Kw::objclass: case Kw::objname: case Kw::objdata: case Kw::nonesttables:
        return true;
    default:
        return false;
    }
}

// Destinations the reader itself reads somewhere.
bool isReadDestination(Kw kw)
{
    switch (kw) {
    case Kw::fonttbl: case Kw::colortbl: case Kw::stylesheet: case Kw::info: case Kw::title:
    case Kw::pict: case Kw::object: case Kw::result: case Kw::fldinst: case Kw::listtable:
    case Kw::list: case Kw::listlevel: case Kw::leveltext: case Kw::listoverridetable:
    case Kw::listoverride: case Kw::pn: case Kw::pntxta: case Kw::pntxtb: case Kw::shppict:
    case Kw::upr: case Kw::ud: case Kw::nesttableprops:
        return true;
    default:
        return isSkippedDestination(kw);
    }
}

// Words of the document's format that the editor does not use: page size
// and margins, default tab stops, and how footnotes and endnotes are placed
// and numbered (the kept footnotes are numbered by them).
bool isDocumentWord(std::string_view w)
{
    static constexpr std::string_view prefixes[] = {"ftn", "aftn", "aend"};
    for (std::string_view prefix : prefixes)
        if (w.substr(0, prefix.size()) == prefix)
            return true;
    static constexpr std::string_view words[] = {
        "paperw", "paperh", "psz", "margl", "margr", "margt", "margb", "gutter", "landscape", "facingp",
        "margmirror", "deftab", "widowctrl", "hyphauto", "hyphhotz", "hyphconsec", "hyphcaps", "pgnstart",
        "linestart", "fet", "endnotes", "enddoc"};
    return std::find(std::begin(words), std::end(words), w) != std::end(words);
}

// Closing braces for the groups a truncated file left open in bytes.
QByteArray missingBraces(const QByteArray &bytes)
{
    int open = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c == '\\')
            ++i;
        else if (c == '{')
            ++open;
        else if (c == '}' && open > 0)
            --open;
    }
    return QByteArray(open, '}');
}

} // namespace

bool Parser::keepsDocumentWord(std::string_view letters)
{
    if (!m_keepsDocumentGroups || m_bodyStarted || m_stack.size() != 1 || top().dest != Dest::Text
        || !m_para.isEmpty() || m_documentGroupsFull || !isDocumentWord(letters))
        return false;
    m_documentGroups.append(m_wordRaw.data(), qsizetype(m_wordRaw.size()));
    m_documentGroups += ' ';
    return true;
}

void Parser::startKeeping(Kw kw, Dest outer)
{
    if (m_kept.start || outer != Dest::Text || isRegenerated(kw))
        return;
    GroupState &g = top();
    // Unknown groups of the header (theme data, latent styles, …) stand
    // before the first paragraph, straight in the document's group.
    const bool document = isDocumentGroup(kw)
                          || (kw == Kw::Unknown && !m_bodyStarted && m_para.isEmpty() && m_stack.size() == 2);
    if (document && !m_keepsDocumentGroups)
        return; // RTF pasted into a document brings no header
    if (document && m_documentGroups.size() > kMaxDocumentGroupBytes) {
        if (!m_documentGroupsFull)
            warn(QStringLiteral("header groups beyond %1 bytes are left out").arg(kMaxDocumentGroupBytes));
        m_documentGroupsFull = true;
        return;
    }
    if (!document && m_keptInline >= kMaxKeptInline) {
        if (m_keptInline++ == kMaxKeptInline)
            warn(QStringLiteral("more than %1 groups to keep; the rest are left out").arg(kMaxKeptInline));
        return;
    }
    m_kept.start = g.start;
    m_kept.depth = m_stack.size();
    m_kept.document = document;
    m_kept.kw = kw;
    m_kept.caption.clear();
    if (!document)
        g.dest = Dest::Kept;
}

// Inside a kept group: the groups that hold its visible text feed the
// caption, every other destination is skipped.
bool Parser::keptDestination(Kw kw)
{
    GroupState &g = top();
    switch (kw) {
    case Kw::shpinst: case Kw::shptxt: case Kw::dptxbxtext: case Kw::field: case Kw::fldrslt:
        return true; // stays Kept
    default:
        break;
    }
    if (!isReadDestination(kw))
        return false;
    g.dest = Dest::Skip;
    return true;
}

void Parser::keptWord(Kw kw, bool hasParam, int param)
{
    // Fonts matter for decoding the caption's bytes.
    if (charWord(kw, hasParam, param)) {
        invalidateFormat();
        return;
    }
    switch (kw) {
    case Kw::par: case Kw::sect: case Kw::page: case Kw::row: case Kw::line:
        addCaption(u"\n");
        break;
    case Kw::cell: case Kw::tab:
        addCaption(u" ");
        break;
    case Kw::uc:
        top().uc = uint8_t(std::clamp(param, 0, 16));
        break;
    default:
        break;
    }
}

void Parser::addCaption(QStringView s)
{
    if (m_kept.start && !m_kept.document && m_kept.caption.size() < kMaxCaption)
        m_kept.caption += s.left(kMaxCaption - m_kept.caption.size());
}

void Parser::finishKept(const char *end)
{
    QByteArray raw(m_kept.start, (end ? end + 1 : m_end) - m_kept.start);
    if (!end)
        raw += missingBraces(raw);
    const KeptGroup kept = std::move(m_kept);
    m_kept = KeptGroup();
    if (kept.document) {
        m_documentGroups += raw;
        m_documentGroups += "\r\n";
        return;
    }
    ++m_keptInline;
    if (top().dest != Dest::Text)
        return;
    CharState chr = top().chr;
    QString text;
    QByteArray prefix;
    KeptContent::Kind kind = KeptContent::Kind::Inline;
    switch (kept.kw) {
    case Kw::footnote:
        // The reference mark's number belongs to the footnote: written
        // back as \chftn with it, shown as the marker.
        if (m_anchor.start >= 0 && m_anchor.end > m_anchor.start && m_anchor.end == m_para.text.size()) {
            text = m_para.text.mid(m_anchor.start);
            m_para.chop(m_anchor.end - m_anchor.start);
            chr = m_anchor.chr;
            prefix = "\\chftn ";
        }
        m_anchor = FootnoteAnchor();
        break;
    case Kw::annotation:
        prefix = "\\chatn ";
        break;
    case Kw::shp: case Kw::shpgrp: case Kw::do_:
        // Text boxes and frames are text of the document.
        text = kept.caption.simplified();
        kind = KeptContent::Kind::Frame;
        break;
    default:
        break;
    }
    const QTextCharFormat format = KeptContent::rtfGroup(prefix + raw, text, kept.caption.trimmed(),
                                                         makeCharFormat(chr), kind);
    m_para.append(QChar(QChar::ObjectReplacementCharacter), m_builder.addCharFormat(format));
}

void Parser::keepFieldWithoutResult(const Field &field, const char *end)
{
    if (!field.start || m_keptInline >= kMaxKeptInline)
        return;
    ++m_keptInline;
    QByteArray raw(field.start, (end ? end + 1 : m_end) - field.start);
    if (!end)
        raw += missingBraces(raw);
    const QTextCharFormat format = KeptContent::rtfGroup(raw, QString(), field.instruction, makeCharFormat(top().chr));
    m_para.append(QChar(QChar::ObjectReplacementCharacter), m_builder.addCharFormat(format));
}

void Parser::keepObjectWithoutResult(const char *end)
{
    if (top().dest != Dest::Text || m_keptInline >= kMaxKeptInline)
        return;
    ++m_keptInline;
    QByteArray raw(m_objectStart, (end ? end + 1 : m_end) - m_objectStart);
    if (!end)
        raw += missingBraces(raw);
    const QTextCharFormat format = KeptContent::rtfGroup(raw, QString(), QStringLiteral("object"),
                                                         makeCharFormat(top().chr));
    m_para.append(QChar(QChar::ObjectReplacementCharacter), m_builder.addCharFormat(format));
}

} // namespace Rtf
