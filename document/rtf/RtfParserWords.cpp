// What each RTF control word does to the reader's state.
#include "document/rtf/RtfParser.h"

#include "platform/CodePages.h"
#include "document/rtf/RtfCharsets.h"

#include <algorithm>
#include <vector>

namespace Rtf {

namespace {

// Paragraph states refer to shared lists by index: the index of an equal
// list, added if there is none.
template <typename T>
int internedIndex(std::vector<T> &lists, const T &list)
{
    const auto it = std::find(lists.begin(), lists.end(), list);
    if (it != lists.end())
        return int(it - lists.begin());
    lists.push_back(list);
    return int(lists.size()) - 1;
}

} // namespace

void Parser::word(Kw kw, bool hasParam, int param)
{
    GroupState &g = top();
    g.sawWord = true;
    if (g.dest == Dest::Skip) {
        g.star = false;
        return;
    }
    if (kw == Kw::u) {
        flushBytes();
        if (m_skipFallback > 0) {
            --m_skipFallback;
            return;
        }
        // \u takes a signed 16-bit number; larger ones name no character.
        if (param >= -32768 && param <= 65535)
            emitChar(char16_t(param & 0xFFFF));
        m_skipFallback = g.uc;
        return;
    }
    if (g.star) {
        g.star = false;
        const bool styleWord = kw == Kw::cs || kw == Kw::ds || kw == Kw::ts || kw == Kw::s;
        if (!(g.dest == Dest::StyleEntry && styleWord)) {
            const Dest outer = g.dest;
            if (!destination(kw)) {
                g.dest = Dest::Skip;
                startKeeping(kw, outer);
            }
            return;
        }
    }
    if (m_skipFallback > 0) {
        --m_skipFallback;
        return;
    }
    if (destination(kw))
        return;

    switch (g.dest) {
    case Dest::StyleEntry:
        switch (kw) {
        case Kw::s: case Kw::ds: case Kw::ts:
            m_styleNumber = param;
            m_styleIsChar = false;
            return;
        case Kw::cs:
            m_styleNumber = param;
            m_styleIsChar = true;
            return;
        case Kw::sbasedon:
            m_styleBeingRead.basedOn = param;
            return;
        case Kw::snext: case Kw::additive: case Kw::Unknown:
            return;
        default:
            m_styleBeingRead.words.push_back({kw, hasParam, param});
            return;
        }
    case Dest::FontTable:
        if (kw == Kw::f) {
            m_currentFont = param;
            m_fonts[param];
            m_destBytes.clear();
            m_fontName.clear();
        } else if (kw == Kw::fcharset && m_currentFont >= 0) {
            m_fonts[m_currentFont].charset = param;
        } else if (kw == Kw::cpg && m_currentFont >= 0 && CodePages::isInstalled(param)) {
            m_fonts[m_currentFont].codePage = param;
        }
        return;
    case Dest::ColorTable:
        if (kw == Kw::red)
            m_red = param;
        else if (kw == Kw::green)
            m_green = param;
        else if (kw == Kw::blue)
            m_blue = param;
        return;
    case Dest::Pict:
        pictWord(kw, hasParam, param);
        return;
    case Dest::ListTable: case Dest::List: case Dest::ListLevel: case Dest::ListOverrideTable:
    case Dest::ListOverride:
        listWord(kw, hasParam, param);
        return;
    case Dest::Kept:
        keptWord(kw, hasParam, param);
        return;
    default:
        break;
    }

    if (charWord(kw, hasParam, param)) {
        g.format = -1;
        g.codePage = 0;
        return;
    }
    if (paraWord(kw, hasParam, param) || tableWord(kw, hasParam, param))
        return;

    switch (kw) {
    case Kw::ansicpg:
        if (param > 0 && RtfCharsets::readableCodePage(param))
            m_documentCodePage = RtfCharsets::readableCodePage(param);
        else
            warn(QStringLiteral("unknown code page %1").arg(param));
        break;
    case Kw::mac: m_documentCodePage = 10000; break;
    case Kw::pc: m_documentCodePage = 437; break;
    case Kw::pca: m_documentCodePage = 850; break;
    case Kw::deff:
        m_defaultFont = param;
        invalidateFormat();
        break;
    case Kw::deflang:
        m_defaultLanguage = param;
        if (g.chr.lang == 0)
            g.chr.lang = param;
        invalidateFormat();
        break;
    case Kw::uc:
        g.uc = uint8_t(std::clamp(param, 0, 16));
        break;
    default:
        break;
    }
    if (g.dest != Dest::Text && g.dest != Dest::FieldInst && g.dest != Dest::Title)
        return;

    switch (kw) {
    case Kw::par:
        if (g.dest == Dest::Text)
            endParagraph();
        break;
    case Kw::sect:
        if (g.dest == Dest::Text && !m_para.isEmpty())
            endParagraph();
        break;
    case Kw::page:
    case Kw::column:
        if (g.dest == Dest::Text) {
            endParagraph();
            m_pageBreakPending = kw == Kw::page;
        }
        break;
    case Kw::line: emitChar(0x2028); break;
    case Kw::tab: emitChar('\t'); break;
    case Kw::emdash: emitChar(0x2014); break;
    case Kw::endash: emitChar(0x2013); break;
    case Kw::emspace: emitChar(0x2003); break;
    case Kw::enspace: emitChar(0x2002); break;
    case Kw::qmspace: emitChar(0x2005); break;
    case Kw::bullet: emitChar(0x2022); break;
    case Kw::lquote: emitChar(0x2018); break;
    case Kw::rquote: emitChar(0x2019); break;
    case Kw::ldblquote: emitChar(0x201C); break;
    case Kw::rdblquote: emitChar(0x201D); break;
    case Kw::zwj: emitChar(0x200D); break;
    case Kw::zwnj: emitChar(0x200C); break;
    case Kw::ltrmark: emitChar(0x200E); break;
    case Kw::rtlmark: emitChar(0x200F); break;
    case Kw::zwbo: emitChar(0x200B); break;
    case Kw::zwnbo: emitChar(0xFEFF); break;
    case Kw::chftn:
        // The footnote's number where it is referenced; the footnote group
        // that follows takes it into its object.
        flushBytes();
        if (g.dest == Dest::Text) {
            m_anchor.start = int(m_para.text.size());
            m_anchor.chr = g.chr;
        }
        emitText(QString::number(++m_footnoteNumber));
        m_anchor.end = g.dest == Dest::Text ? int(m_para.text.size()) : -1;
        break;
    default:
        break;
    }
}

bool Parser::destination(Kw kw)
{
    GroupState &g = top();
    const Dest outer = g.dest;
    if (outer == Dest::Kept)
        return keptDestination(kw);
    if (isSkippedDestination(kw)) {
        g.dest = Dest::Skip;
        startKeeping(kw, outer);
        return true;
    }
    switch (kw) {
    case Kw::fonttbl:
        g.dest = Dest::FontTable;
        m_fontTableDepth = int(m_stack.size());
        return true;
    case Kw::colortbl:
        g.dest = Dest::ColorTable;
        m_colors.clear();
        m_red = m_green = m_blue = -1;
        return true;
    case Kw::stylesheet:
        g.dest = Dest::StyleSheet;
        m_styleSheetDepth = int(m_stack.size());
        return true;
    case Kw::info:
        g.dest = Dest::Info;
        startKeeping(kw, outer);
        return true;
    case Kw::title:
        if (outer != Dest::Info)
            return false;
        g.dest = Dest::Title;
        m_result.title.clear();
        return true;
    case Kw::pict:
        g.dest = Dest::Pict;
        g.closes = Closes::Pict;
        m_pict = PictureData();
        m_pictNibble = -1;
        return true;
    case Kw::object:
        g.dest = Dest::Object;
        g.closes = Closes::Object;
        m_objectStart = m_lastGroupStart;
        m_objectHasResult = false;
        return true;
    case Kw::result:
        if (outer != Dest::Object) {
            g.dest = Dest::Text;
            return true;
        }
        g.dest = Dest::Text;
        g.closes = Closes::ObjectResult;
        m_objectHasResult = true;
        if (m_objectStart && m_lastGroupStart > m_objectStart) {
            Object o;
            o.raw = QByteArray(m_objectStart, m_lastGroupStart - m_objectStart);
            o.id = int(m_objects.size()) + 1;
            m_objects.push_back(std::move(o));
            g.chr.object = int(m_objects.size()) - 1;
            invalidateFormat();
        }
        return true;
    case Kw::field:
        g.dest = Dest::Field;
        g.closes = Closes::Field;
        startField(outer);
        return true;
    case Kw::fldinst:
        if (outer != Dest::Field)
            return false;
        g.dest = Dest::FieldInst;
        g.closes = Closes::FieldInst;
        return true;
    case Kw::fldrslt:
        if (outer != Dest::Field)
            return false;
        if (m_fieldStack.empty() || m_fields[size_t(m_fieldStack.back())].outerDest != Dest::Text) {
            g.dest = Dest::Skip;
            return true;
        }
        g.dest = Dest::Text;
        g.closes = Closes::FieldResult;
        g.chr.field = m_fieldStack.back();
        if (m_fields[size_t(g.chr.field)].sameAs >= 0)
            g.chr.field = m_fields[size_t(g.chr.field)].sameAs;
        invalidateFormat();
        return true;
    case Kw::listtable:
        g.dest = Dest::ListTable;
        g.closes = Closes::ListTables;
        return true;
    // A list definition out of its table defines nothing, and its level
    // texts are no text wherever it stands.
    case Kw::list:
        if (outer != Dest::ListTable) {
            g.dest = Dest::Skip;
            return true;
        }
        g.dest = Dest::List;
        g.closes = Closes::List;
        m_listBeingRead = {};
        m_listLevelIndex = 0;
        m_listId = 0;
        return true;
    case Kw::listlevel:
        if (outer != Dest::List) {
            g.dest = Dest::Skip;
            return true;
        }
        g.dest = Dest::ListLevel;
        g.closes = Closes::ListLevel;
        return true;
    case Kw::leveltext:
        if (outer != Dest::ListLevel) {
            g.dest = Dest::Skip;
            return true;
        }
        g.dest = Dest::LevelText;
        g.closes = Closes::LevelText;
        m_destBytes.clear();
        m_levelChars.clear();
        return true;
    case Kw::listoverridetable:
        g.dest = Dest::ListOverrideTable;
        g.closes = Closes::ListTables;
        return true;
    case Kw::listoverride:
        if (outer != Dest::ListOverrideTable) {
            g.dest = Dest::Skip;
            return true;
        }
        g.dest = Dest::ListOverride;
        g.closes = Closes::ListOverride;
        m_overrideLs = -1;
        m_overrideListId = 0;
        return true;
    case Kw::pn:
        if (outer != Dest::Text)
            return false;
        g.dest = Dest::Pn;
        g.closes = Closes::Pn;
        g.para.pnKind = 0;
        g.para.pnStart = 1;
        g.para.pnBefore = g.para.pnAfter = 0;
        return true;
    case Kw::pntxta:
    case Kw::pntxtb:
        if (outer != Dest::Pn)
            return false;
        g.dest = Dest::PnText;
        g.closes = kw == Kw::pntxta ? Closes::PnTextAfter : Closes::PnTextBefore;
        m_destBytes.clear();
        return true;
    case Kw::shppict:
        // The picture of a shape for readers that know \shppict; the
        // \nonshppict alternative after it is skipped.
        return outer == Dest::Text;
    case Kw::upr:
        g.dest = Dest::Upr;
        return true;
    case Kw::ud:
        if (outer != Dest::Upr)
            return false;
        g.dest = m_stack.size() >= 3 ? m_stack[m_stack.size() - 3].dest : Dest::Text;
        return true;
    case Kw::nesttableprops:
        // Row properties of nested tables, read flat; some writers put the
        // inner cells' text here too.
        return true;
    default:
        return false;
    }
}

bool Parser::charWord(Kw kw, bool hasParam, int param)
{
    CharState &c = top().chr;
    const bool on = !hasParam || param != 0;
    switch (kw) {
    case Kw::plain: {
        CharState plain;
        plain.field = c.field;
        plain.object = c.object;
        plain.lang = m_defaultLanguage;
        c = plain;
        return true;
    }
    case Kw::f: c.font = std::max(param, 0); return true;
    case Kw::fs: c.halfPoints = hasParam && param > 0 ? std::clamp(param, 2, 3276) : 24; return true;
    case Kw::b: c.bold = on; return true;
    case Kw::i: c.italic = on; return true;
    case Kw::ul: c.underline = on ? 1 : 0; return true;
    case Kw::ulw: c.underline = on ? 2 : 0; return true;
    case Kw::uldb: c.underline = on ? 3 : 0; return true;
    case Kw::uld: case Kw::ulthd: c.underline = on ? 4 : 0; return true;
    case Kw::uldash: case Kw::ulthdash: c.underline = on ? 5 : 0; return true;
    case Kw::uldashd: c.underline = on ? 6 : 0; return true;
    case Kw::uldashdd: c.underline = on ? 7 : 0; return true;
    case Kw::ulwave: c.underline = on ? 8 : 0; return true;
    case Kw::ulth: c.underline = on ? 9 : 0; return true;
    case Kw::ulhair: c.underline = on ? 10 : 0; return true;
    case Kw::ulnone: c.underline = 0; return true;
    case Kw::strike: case Kw::striked: c.strike = on; return true;
    case Kw::cf: c.color = param; return true;
    case Kw::cb: case Kw::highlight: case Kw::chcbpat: c.background = param; return true;
    case Kw::super: c.valign = on ? 1 : 0; c.raise = 0; return true;
    case Kw::sub: c.valign = on ? 2 : 0; c.raise = 0; return true;
    case Kw::nosupersub: c.valign = 0; c.raise = 0; return true;
    // Raised text is shown as superscript but written back raised: LibreOffice
    // reads superscript text before a footnote as the footnote's own mark.
    case Kw::up:
    case Kw::dn: {
        const int amount = hasParam ? std::clamp(param, 0, 3276) : 6;
        c.valign = amount > 0 ? (kw == Kw::up ? 1 : 2) : 0;
        c.raise = int16_t(kw == Kw::up ? amount : -amount);
        return true;
    }
    case Kw::v: c.hidden = on; return true;
    case Kw::protect: c.protect = on; return true;
    case Kw::disabled: c.disabled = on; return true;
    case Kw::lang: c.lang = std::max(param, 0); return true;
    case Kw::caps: c.caps = on ? 1 : 0; return true;
    case Kw::scaps: c.caps = on ? 2 : 0; return true;
    case Kw::cs:
        applyStyle(m_charStyles, param, 0);
        return true;
    default:
        return false;
    }
}

bool Parser::paraWord(Kw kw, bool hasParam, int param)
{
    ParaState &p = top().para;
    const bool on = !hasParam || param != 0;
    constexpr int kMaxTwips = 31680 * 2;
    const int twips = std::clamp(param, -kMaxTwips, kMaxTwips);
    switch (kw) {
    case Kw::pard:
        p = ParaState();
        // The body begins with its first paragraph; groups before it belong to the header.
        if (top().dest == Dest::Text && m_stack.size() == 1)
            m_bodyStarted = true;
        return true;
    case Kw::s:
        applyStyle(m_paraStyles, param, 0);
        invalidateFormat();
        return true;
    case Kw::ql: p.align = 0; return true;
    case Kw::qr: p.align = 1; return true;
    case Kw::qc: p.align = 2; return true;
    case Kw::qj: case Kw::qd: p.align = 3; return true;
    case Kw::li: case Kw::lin: p.li = twips; return true;
    case Kw::ri: case Kw::rin: p.ri = twips; return true;
    case Kw::fi: p.fi = twips; return true;
    case Kw::sb: p.sb = std::max(twips, 0); return true;
    case Kw::sa: p.sa = std::max(twips, 0); return true;
    case Kw::sl: p.sl = twips; return true;
    case Kw::slmult: p.slmult = on; return true;
    case Kw::tx:
    case Kw::tb: {
        QList<int> tabs = m_tabLists[size_t(p.tabs)];
        if (tabs.size() >= 64)
            return true;
        tabs.append(std::clamp(param, 0, kMaxTwips));
        std::sort(tabs.begin(), tabs.end());
        p.tabs = internedIndex(m_tabLists, tabs);
        return true;
    }
    // A positioned paragraph (a frame): the editor shows it in the flow and
    // keeps its position words as they were for the writer.
    case Kw::posx: case Kw::posxc: case Kw::posxi: case Kw::posxo: case Kw::posxr: case Kw::posxl:
    case Kw::posy: case Kw::posyc: case Kw::posyt: case Kw::posyb: case Kw::posyil: case Kw::posyin:
    case Kw::posyout: case Kw::posnegx: case Kw::posnegy: case Kw::absw: case Kw::absh: case Kw::phmrg:
    case Kw::phpg: case Kw::phcol: case Kw::pvmrg: case Kw::pvpg: case Kw::pvpara: case Kw::dxfrtext:
    case Kw::dfrmtxtx: case Kw::dfrmtxty: case Kw::nowrap: case Kw::overlay: case Kw::absnoovrlp:
    case Kw::dropcapli: case Kw::dropcapt: {
        if (m_wordRaw.empty() || m_frameWords[size_t(p.frame)].size() > 256)
            return true;
        const QByteArray words = m_frameWords[size_t(p.frame)] + QByteArray(m_wordRaw.data(), qsizetype(m_wordRaw.size()));
        p.frame = internedIndex(m_frameWords, words);
        return true;
    }
    case Kw::intbl: p.intbl = on; return true;
    case Kw::itap: p.itap = std::clamp(param, 0, 64); return true;
    // OpenOffice counts list overrides from 0; Word from 1, with \ls0 for none.
    case Kw::ls:
        p.ls = param == 0 && m_listOverrides.count(kListOverrideZero) ? kListOverrideZero : param;
        return true;
    case Kw::ilvl: p.ilvl = std::clamp(param, 0, 8); return true;
    case Kw::pagebb: p.pageBreak = on; return true;
    case Kw::pnlvlblt: p.pnKind = uint8_t(NumberingKind::Bullet); return true;
    case Kw::pnlvlbody:
    case Kw::pnlvl:
        if (p.pnKind == uint8_t(NumberingKind::None) || p.pnKind == uint8_t(NumberingKind::Bullet))
            p.pnKind = uint8_t(NumberingKind::Arabic);
        return true;
    // A continuation paragraph shows no number, whatever format words follow
    // (Word 97 writes \pnlvlcont\pndec).
    case Kw::pnlvlcont: p.pnKind = kPnContinues; return true;
    case Kw::pndec: case Kw::pnucltr: case Kw::pnlcltr: case Kw::pnucrm: case Kw::pnlcrm:
        if (p.pnKind != kPnContinues)
            p.pnKind = uint8_t(kw == Kw::pndec     ? NumberingKind::Arabic
                               : kw == Kw::pnucltr ? NumberingKind::UpperLetter
                               : kw == Kw::pnlcltr ? NumberingKind::LowerLetter
                               : kw == Kw::pnucrm  ? NumberingKind::UpperRoman
                                                   : NumberingKind::LowerRoman);
        return true;
    case Kw::pnstart: p.pnStart = std::clamp(param, 0, 32767); return true;
    default:
        return false;
    }
}

bool Parser::tableWord(Kw kw, bool hasParam, int param)
{
    Q_UNUSED(hasParam);
    switch (kw) {
    case Kw::trowd:
        m_rowDef = RowDef();
        m_pendingMerge = 0;
        return true;
    case Kw::cellx:
        if (m_rowDef.cellx.size() < 256) {
            m_rowDef.cellx.push_back(std::clamp(param, -31680 * 4, 31680 * 4));
            m_rowDef.merge.push_back(m_pendingMerge);
        }
        m_pendingMerge = 0;
        return true;
    case Kw::clmgf: m_pendingMerge |= RowDef::MergeFirst; return true;
    case Kw::clmrg: m_pendingMerge |= RowDef::Merged; return true;
    case Kw::clvmgf: m_pendingMerge |= RowDef::VMergeFirst; return true;
    case Kw::clvmrg: m_pendingMerge |= RowDef::VMerged; return true;
    case Kw::cell:
        if (top().dest == Dest::Text) {
            const ParaState &para = top().para;
            m_builder.endCell(m_para, blockSpec(para), markFormat());
            ++m_marks;
            m_pageBreakPending = false;
        }
        return true;
    case Kw::nestcell:
        // Nested tables are read flat: each inner cell is a paragraph of the outer cell.
        if (top().dest == Dest::Text) {
            const ParaState &para = top().para;
            m_builder.endParagraph(m_para, blockSpec(para), markFormat(), true);
            ++m_marks;
        }
        return true;
    case Kw::row:
        if (top().dest == Dest::Text)
            m_builder.endRow(m_rowDef);
        return true;
    case Kw::nestrow:
        return true;
    default:
        return false;
    }
}

bool Parser::pictWord(Kw kw, bool hasParam, int param)
{
    Q_UNUSED(hasParam);
    const int size = std::clamp(param, 0, 1000000);
    switch (kw) {
    case Kw::pngblip: m_pict.type = "png"; return true;
    case Kw::jpegblip: m_pict.type = "jpeg"; return true;
    case Kw::wmetafile: m_pict.type = "wmf"; return true;
    case Kw::emfblip: m_pict.type = "emf"; return true;
    case Kw::dibitmap: m_pict.type = "dib"; return true;
    case Kw::wbitmap: m_pict.type = "wbitmap"; return true;
    case Kw::macpict: m_pict.type = "macpict"; return true;
    case Kw::pmmetafile: m_pict.type = "pmmetafile"; return true;
    case Kw::picw: m_pict.picw = size; return true;
    case Kw::pich: m_pict.pich = size; return true;
    case Kw::picwgoal: m_pict.goalw = size; return true;
    case Kw::pichgoal: m_pict.goalh = size; return true;
    case Kw::picscalex: m_pict.scalex = std::min(size, 10000); return true;
    case Kw::picscaley: m_pict.scaley = std::min(size, 10000); return true;
    case Kw::wbmbitspixel: m_pict.bitsPerPixel = std::clamp(param, 1, 32); return true;
    case Kw::wbmplanes: m_pict.planes = std::clamp(param, 1, 4); return true;
    case Kw::wbmwidthbytes: m_pict.widthBytes = size; return true;
    default:
        return false;
    }
}

bool Parser::listWord(Kw kw, bool hasParam, int param)
{
    Q_UNUSED(hasParam);
    const Dest dest = top().dest;
    ListLevel *level = dest == Dest::ListLevel && m_listLevelIndex < 9
                           ? &m_listBeingRead[size_t(m_listLevelIndex)] : nullptr;
    switch (kw) {
    case Kw::listid:
        if (dest == Dest::List)
            m_listId = param;
        else if (dest == Dest::ListOverride)
            m_overrideListId = param;
        return true;
    case Kw::ls:
        if (dest == Dest::ListOverride)
            m_overrideLs = param;
        return true;
    case Kw::levelnfc:
    case Kw::levelnfcn:
        if (level)
            level->nfc = param;
        return true;
    case Kw::f:
        if (level)
            level->font = param;
        return true;
    case Kw::levelstartat:
        if (level)
            level->start = std::clamp(param, 0, 32767);
        return true;
    default:
        return false;
    }
}

void Parser::applyStyle(const std::unordered_map<int, Style> &styles, int number, int depth)
{
    auto it = styles.find(number);
    if (it == styles.end() || depth > 8)
        return;
    const Style &style = it->second;
    if (style.basedOn >= 0 && style.basedOn != number)
        applyStyle(styles, style.basedOn, depth + 1);
    m_wordRaw = {}; // a style's words are not written back
    for (const StyleWord &w : style.words) {
        if (w.keyword == Kw::s || w.keyword == Kw::cs)
            continue;
        if (!charWord(w.keyword, w.hasParam, w.param))
            paraWord(w.keyword, w.hasParam, w.param);
    }
}

} // namespace Rtf
