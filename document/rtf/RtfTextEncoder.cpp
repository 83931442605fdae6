#include "document/rtf/RtfTextEncoder.h"

#include "platform/CodePages.h"
#include "document/rtf/RtfCharsets.h"

namespace Rtf {
namespace {

const char kHex[] = "0123456789abcdef";

void appendHexByte(std::string &out, uchar b)
{
    out += "\\'";
    out += kHex[b >> 4];
    out += kHex[b & 15];
}

void appendUnicode(std::string &out, char16_t c)
{
    // \u takes a signed 16-bit number; '?' is the one fallback byte of \uc1.
    out += "\\u";
    out += std::to_string(int(int16_t(c)));
    out += '?';
}

} // namespace

TextEncoder::TextEncoder(int codePage)
    : m_codePage(codePage)
    , m_multiByte(RtfCharsets::isMultiByte(codePage))
{
    if (m_multiByte)
        return;
    m_single.assign(65536, -1);
    if (codePage == RtfCharsets::SymbolCodePage) {
        for (int b = 0; b < 256; ++b)
            m_single[0xF000 + b] = int16_t(b);
        return;
    }
    QByteArray bytes(128, '\0');
    for (int b = 0; b < 128; ++b)
        bytes[b] = char(0x80 + b);
    const QString chars = CodePages::toUnicode(codePage, bytes);
    if (chars.size() != 128)
        return;
    for (int b = 0; b < 128; ++b) {
        const QChar ch = chars.at(b);
        const char16_t c = ch.unicode();
        // Only characters that come back as the same byte.
        if (c >= 0x80 && m_single[c] < 0 && CodePages::fromUnicode(codePage, QStringView(&ch, 1)) == bytes.mid(b, 1))
            m_single[c] = int16_t(0x80 + b);
    }
}

void TextEncoder::append(std::string &out, QStringView text, bool &pendingSpace)
{
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c >= 0x20 && c < 0x7F && m_codePage != RtfCharsets::SymbolCodePage) {
            switch (c) {
            case '\\': out += "\\\\"; pendingSpace = false; continue;
            case '{': out += "\\{"; pendingSpace = false; continue;
            case '}': out += "\\}"; pendingSpace = false; continue;
            default:
                if (pendingSpace) {
                    const bool separate = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')
                                          || (c >= '0' && c <= '9') || c == ' ' || c == '-';
                    if (separate)
                        out += ' ';
                    pendingSpace = false;
                }
                out += char(c);
                continue;
            }
        }
        appendEncoded(out, c, pendingSpace);
    }
}

void TextEncoder::appendEncoded(std::string &out, char16_t c, bool &pendingSpace)
{
    pendingSpace = false;
    switch (c) {
    case '\t': out += "\\tab"; pendingSpace = true; return;
    case 0x2028: out += "\\line"; pendingSpace = true; return;
    case 0x00A0: out += "\\~"; return;
    case 0x00AD: out += "\\-"; return;
    case 0x2011: out += "\\_"; return;
    default: break;
    }
    if (c < 0x20 || c == 0x7F) {
        appendUnicode(out, c);
        return;
    }
    if (!m_multiByte) {
        const int16_t b = m_single[c];
        if (b >= 0)
            appendHexByte(out, uchar(b));
        else
            appendUnicode(out, c);
        return;
    }
    if (c >= 0xD800 && c < 0xE000) {
        appendUnicode(out, c);
        return;
    }
    auto it = m_multi.find(c);
    if (it == m_multi.end()) {
        bool lossy = false;
        const QChar ch(c);
        QByteArray bytes = CodePages::fromUnicode(m_codePage, QStringView(&ch, 1), &lossy);
        if (lossy || CodePages::toUnicode(m_codePage, bytes) != QStringView(&ch, 1))
            bytes.clear();
        it = m_multi.insert(c, bytes);
    }
    if (it->isEmpty()) {
        appendUnicode(out, c);
        return;
    }
    for (char b : *it)
        appendHexByte(out, uchar(b));
}

} // namespace Rtf
