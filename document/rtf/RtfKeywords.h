#pragma once

#include <cstdint>
#include <string_view>

// The RTF control words the reader acts on. Every other word is looked up as
// Unknown: ignored as a formatting word, and a group it starts after \* is
// skipped whole.
namespace Rtf {

// The value of an RTF hex digit (\'hh, \objdata, picture data); -1 for any other character.
inline int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

#define QUILMAR_RTF_KEYWORDS(X) \
    /* destinations */ \
    X(rtf) X(fonttbl) X(colortbl) X(stylesheet) X(info) X(title) X(pict) X(object) \
    X(objdata) X(result) X(field) X(fldinst) X(fldrslt) X(listtable) X(listoverridetable) \
    X(list) X(listlevel) X(listoverride) X(leveltext) X(levelnumbers) X(pn) X(pntext) \
    X(pntxta) X(pntxtb) X(listtext) X(shppict) X(nonshppict) X(upr) X(ud) X(nonesttables) X(nesttableprops) \
    X(header) X(headerl) X(headerr) X(headerf) X(footer) X(footerl) X(footerr) X(footerf) \
    X(footnote) X(annotation) X(atnid) X(atnauthor) X(atndate) X(atnref) X(xe) X(tc) X(txe) \
    X(rxe) X(ftnsep) X(ftnsepc) X(ftncn) X(aftnsep) X(aftnsepc) X(aftncn) X(revtbl) \
    X(filetbl) X(pgdsctbl) X(shp) X(shpinst) X(shprslt) X(objclass) X(objname) X(datafield) \
    X(formfield) X(bkmkstart) X(bkmkend) X(author) X(operator_) X(subject) X(keywords) \
    X(comment) X(doccomm) X(company) X(category) X(manager) X(hlinkbase) X(creatim) \
    X(revtim) X(printim) X(buptim) X(generator) X(listname) X(do_) X(template_) X(fldtype) \
    X(mmath) X(sp) X(sn) X(sv) X(picprop) X(blipuid) X(xmlnstbl) X(protusertbl) \
    X(shptxt) X(dptxbxtext) X(shpgrp) X(rsidtbl) X(chatn) \
    X(themedata) X(colorschememapping) X(latentstyles) X(datastore) X(defchp) X(defpap) X(mmathPr) \
    X(wgrffmtfilter) X(pnseclvl) X(userprops) X(docvar) X(pgptbl) X(listpicture) \
    /* document */ \
    X(ansi) X(mac) X(pc) X(pca) X(ansicpg) X(deff) X(deflang) X(uc) X(u) X(bin) \
    /* font and colour tables */ \
    X(f) X(fcharset) X(cpg) X(red) X(green) X(blue) \
    /* styles */ \
    X(s) X(cs) X(ds) X(ts) X(sbasedon) X(snext) X(additive) \
    /* character formats */ \
    X(plain) X(fs) X(b) X(i) X(ul) X(uld) X(uldb) X(ulw) X(ulwave) X(uldash) X(uldashd) \
    X(uldashdd) X(ulth) X(ulhair) X(ulthd) X(ulthdash) X(ulnone) X(strike) X(striked) X(cf) \
    X(cb) X(highlight) X(chcbpat) X(super) X(sub) X(nosupersub) X(up) X(dn) X(v) X(protect) \
    X(disabled) X(lang) X(caps) X(scaps) X(chftn) \
    /* paragraph formats */ \
    X(pard) X(ql) X(qr) X(qc) X(qj) X(qd) X(li) X(ri) X(fi) X(lin) X(rin) X(sb) X(sa) X(sl) \
    X(slmult) X(tx) X(tb) X(intbl) X(itap) X(ls) X(ilvl) X(pagebb) \
    /* positioned paragraphs (frames) */ \
    X(posx) X(posxc) X(posxi) X(posxo) X(posxr) X(posxl) X(posy) X(posyc) X(posyt) X(posyb) \
    X(posyil) X(posyin) X(posyout) X(posnegx) X(posnegy) X(absw) X(absh) X(phmrg) X(phpg) \
    X(phcol) X(pvmrg) X(pvpg) X(pvpara) X(dxfrtext) X(dfrmtxtx) X(dfrmtxty) X(nowrap) \
    X(overlay) X(absnoovrlp) X(dropcapli) X(dropcapt) \
    /* numbering words inside \pn and \listlevel */ \
    X(pnlvlblt) X(pnlvlbody) X(pnlvlcont) X(pnlvl) X(pndec) X(pnucltr) X(pnlcltr) \
    X(pnucrm) X(pnlcrm) X(pnstart) X(levelnfc) X(levelnfcn) X(levelstartat) X(listid) \
    /* paragraph, line and other breaks; special characters */ \
    X(par) X(sect) X(page) X(column) X(line) X(tab) X(emdash) X(endash) X(emspace) \
    X(enspace) X(qmspace) X(bullet) X(lquote) X(rquote) X(ldblquote) X(rdblquote) X(zwj) \
    X(zwnj) X(ltrmark) X(rtlmark) X(zwbo) X(zwnbo) \
    /* tables */ \
    X(trowd) X(cellx) X(cell) X(row) X(nestcell) X(nestrow) X(clmgf) X(clmrg) X(clvmgf) \
    X(clvmrg) \
    /* pictures */ \
    X(pngblip) X(jpegblip) X(wmetafile) X(emfblip) X(dibitmap) X(wbitmap) X(macpict) \
    X(pmmetafile) X(picw) X(pich) X(picwgoal) X(pichgoal) X(picscalex) X(picscaley) \
    X(wbmbitspixel) X(wbmplanes) X(wbmwidthbytes)

enum class Kw : uint16_t {
    Unknown,
#define QUILMAR_RTF_ENUM(name) name,
    QUILMAR_RTF_KEYWORDS(QUILMAR_RTF_ENUM)
#undef QUILMAR_RTF_ENUM
    Count
};

// The keyword for a control word's letters (without the backslash).
Kw lookupKeyword(std::string_view name);

// Destinations whose text is not part of the body (headers, footnotes,
// shapes, bookmarks, document properties, …).
bool isSkippedDestination(Kw kw);

} // namespace Rtf
