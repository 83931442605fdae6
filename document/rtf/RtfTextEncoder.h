#pragma once

#include <QByteArray>
#include <QHash>
#include <QStringView>

#include <string>
#include <vector>

namespace Rtf {

// Appends text to RTF output in one code page: ASCII as is, characters the
// code page holds as \'hh, everything else as \uN? (RichEdit's \uc1 form).
class TextEncoder
{
public:
    explicit TextEncoder(int codePage);

    int codePage() const { return m_codePage; }
    // pendingSpace: a control word was just written and a literal letter,
    // digit or blank must be set apart from it; cleared when used.
    void append(std::string &out, QStringView text, bool &pendingSpace);

private:
    void appendEncoded(std::string &out, char16_t c, bool &pendingSpace);

    int m_codePage;
    bool m_multiByte;
    std::vector<int16_t> m_single;        // character → byte, -1 none
    QHash<char16_t, QByteArray> m_multi;  // multi-byte pages, filled on demand
};

} // namespace Rtf
