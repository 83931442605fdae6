#pragma once

#include "document/rtf/RtfDocumentBuilder.h"
#include "document/rtf/RtfKeywords.h"
#include "document/rtf/RtfPicture.h"
#include "document/rtf/RtfReader.h"
#include "document/rtf/RtfReaderState.h"
#include "document/KeptContent.h"

#include <QColor>
#include <QHash>
#include <QSet>

#include <array>
#include <map>
#include <unordered_map>
#include <vector>

namespace Rtf {

// One pass over RTF bytes with an explicit group stack. Text and formats go
// to a BuildSink; tables of fonts, colours, styles and lists stay here.
// document is what the text goes into: read only here, for its default font
// and length when the parser is made, and for its length while parsing when
// options.stopAfter is set (then the sink must build it as it goes).
class Parser
{
public:
    Parser(QByteArrayView data, BuildSink &builder, const QTextDocument &document, const RtfReadOptions &options);
    RtfReadResult run();

private:
    struct Font {
        QString name;
        int charset = -1;
        int codePage = 0;    // 0: from the charset
    };
    struct StyleWord {
        Kw keyword;
        bool hasParam;
        int param;
    };
    struct Style {
        std::vector<StyleWord> words;
        int basedOn = -1;
    };
    struct ListLevel {
        int nfc = 0;
        int start = 1;
        QByteArray text;
        // The level text with \u characters; its bytes as U+F700 + byte
        // until the level's font (\f, read after it) says their code page.
        QString chars;
        int font = -1;
    };
    struct Field {
        Dest outerDest = Dest::Text;
        QString instruction;
        QString href;        // set for HYPERLINK fields
        int id = 0;
        int sameAs = -1;     // an earlier link to the same target: one format for both
        bool hasResult = false;
        const char *start = nullptr; // the field's group
        // Marks and text of the paragraph being read where it began: what
        // its result added (links share their first one's field index).
        int marks = 0;
        qsizetype textSize = 0;
    };
    struct Object {
        QByteArray raw;      // the group up to its \result
        int id = 0;
    };

    // Input
    void parse();
    const char *controlWord(const char *p);
    const char *controlSymbol(const char *p);
    void text(const char *s, qsizetype n);
    void byte(uchar b);
    void flushBytes();
    void emitText(QStringView s);
    void emitChar(char16_t c);
    void pushGroup(const char *at);
    // at: the closing brace; nullptr when the data ends first.
    void popGroup(const char *at = nullptr);
    void closeGroup(const GroupState &closed, const char *at);

    // Words
    void word(Kw kw, bool hasParam, int param);
    bool destination(Kw kw);
    bool charWord(Kw kw, bool hasParam, int param);
    bool paraWord(Kw kw, bool hasParam, int param);
    bool tableWord(Kw kw, bool hasParam, int param);
    bool pictWord(Kw kw, bool hasParam, int param);
    bool listWord(Kw kw, bool hasParam, int param);
    void keptWord(Kw kw, bool hasParam, int param);
    void binary(const char *&p, int length);
    void applyStyle(const std::unordered_map<int, Style> &styles, int number, int depth);

    // Paragraphs
    void endParagraph();
    int charFormat();
    int markFormat();
    int blockSpec(const ParaState &para);
    QTextCharFormat makeCharFormat(const CharState &c) const;
    BlockSpec makeBlockSpec(const ParaState &p) const;
    void finishPicture();
    void startField(Dest outer);
    void finishFieldInstruction();
    void finishField(int index, const char *end);
    bool showSymbol(int index);
    int codePage();
    int fontCodePage(int font) const;
    void bulletOfLevel(const ListLevel &level, BlockSpec *spec) const;
    QString fontName() const;
    void warn(const QString &message);

    // Groups kept whole (RtfParserKept.cpp)
    void startKeeping(Kw kw, Dest outer);
    // A word of the document's format before the body, kept for the header.
    bool keepsDocumentWord(std::string_view letters);
    bool keptDestination(Kw kw);
    void finishKept(const char *end);
    void keepObjectWithoutResult(const char *end);
    void keepFieldWithoutResult(const Field &field, const char *end);
    void addCaption(QStringView s);

    GroupState &top() { return m_stack.back(); }
    void invalidateFormat()
    {
        top().format = -1;
        top().codePage = 0;
    }

    const char *m_begin;
    const char *m_end;
    RtfReadOptions m_options;
    BuildSink &m_builder;
    const QTextDocument &m_document;
    RtfReadResult m_result;
    int m_documentCodePage;

    std::vector<GroupState> m_stack;
    int m_excessDepth = 0;
    const char *m_lastGroupStart = nullptr;
    std::string_view m_wordRaw;  // the control word being read, backslash and number included
    int m_fontTableDepth = -1;
    int m_styleSheetDepth = -1;
    int m_skipFallback = 0;      // bytes of \u fallback still to drop
    bool m_done = false;

    QByteArray m_bytes;          // 8-bit text not yet decoded
    int m_bytesCodePage = 0;

    // Tables of the header
    std::unordered_map<int, Font> m_fonts;
    int m_defaultFont = -1;
    QString m_defaultFamily;
    int m_currentFont = -1;      // font table entry being read
    QByteArray m_destBytes;      // text of a font name, level text, title, …
    QString m_fontName;          // a font name's text decoded so far (before \u escapes)
    std::vector<QColor> m_colors; // invalid colour: automatic
    QSet<QString> m_pictureNames;
    int m_red = -1, m_green = -1, m_blue = -1;
    std::unordered_map<int, Style> m_paraStyles;
    std::unordered_map<int, Style> m_charStyles;
    Style m_styleBeingRead;
    int m_styleNumber = 0;
    bool m_styleIsChar = false;
    bool m_replayingStyle = false;
    int m_defaultLanguage = 0;

    // Lists
    std::unordered_map<int, std::array<ListLevel, 9>> m_lists;
    std::unordered_map<int, int> m_listOverrides; // \ls → list id
    std::array<ListLevel, 9> m_listBeingRead;
    QString m_levelChars;        // level text being read, as ListLevel::chars
    int m_listLevelIndex = 0;
    int m_listId = 0;
    int m_overrideListId = 0;
    int m_overrideLs = -1;       // -1: the override gave no \ls
    // Where an override table's \ls0 is kept, apart from "no list".
    static constexpr int kListOverrideZero = 0x7FFF;

    // Fields, objects and pictures
    std::vector<Field> m_fields;
    std::vector<int> m_fieldStack;
    QHash<QString, int> m_linkFields;
    std::vector<Object> m_objects;
    const char *m_objectStart = nullptr;
    bool m_objectHasResult = false;
    PictureData m_pict;
    int m_pictNibble = -1;
    int m_footnoteNumber = 0;
    int m_marks = 0;             // paragraph and cell marks read so far

    // The outermost group being kept whole, if any: inline groups become
    // objects of the text, document groups go to the header.
    struct KeptGroup {
        const char *start = nullptr;
        size_t depth = 0;
        bool document = false;
        Kw kw = Kw::Unknown;
        QString caption;
    };
    KeptGroup m_kept;
    QByteArray m_documentGroups;
    KeptContent::ListTables m_keptLists;
    bool m_keepsDocumentGroups = false;  // reading a whole document
    bool m_documentGroupsFull = false;
    bool m_bodyStarted = false;
    int m_keptInline = 0;
    // The number a \chftn put into the paragraph, taken back into the
    // footnote's object when the footnote follows.
    struct FootnoteAnchor {
        int start = -1;
        int end = -1;
        CharState chr;
    };
    FootnoteAnchor m_anchor;

    // Paragraph being read
    Paragraph m_para;
    bool m_pageBreakPending = false;
    RowDef m_rowDef;
    uint8_t m_pendingMerge = 0;
    std::vector<QList<int>> m_tabLists;
    std::vector<QByteArray> m_frameWords;  // interned; [0] is empty

    // Format caches
    struct CharStateHash {
        size_t operator()(const CharState &c) const;
    };
    struct ParaStateHash {
        size_t operator()(const ParaState &p) const;
    };
    std::unordered_map<CharState, int, CharStateHash> m_charFormats;
    std::unordered_map<ParaState, int, ParaStateHash> m_blockSpecs;
};

} // namespace Rtf
