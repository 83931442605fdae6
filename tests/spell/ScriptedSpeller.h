#pragma once

#include "spell/Spellers.h"

#include <QHash>
#include <QRegularExpression>

// A speller judging words from a table: a word in `codes` gets that result
// (its replacement in `changeWords`); a word equal to the one before it is
// a repeated word when `findRepeats` is set. Records every buffer.
class ScriptedSpeller : public TAbstractSpeller
{
public:
    struct Call {
        QByteArray buffer;
        bool continued;
    };
    QHash<QString, TSpellReturnCode> codes;
    QHash<QString, QString> changeWords;
    QHash<QString, QStringList> suggestions;
    bool findRepeats = false;
    QList<Call> calls;
    QList<QByteArray> announced;
    QStringList added, ignored, changedOnce, changedAlways;

    ScriptedSpeller(TLanguage language, TSpellOptions options, TSpellChecker *owner)
        : TAbstractSpeller(language, options, owner)
    {
        setName(QStringLiteral("scripted"));
    }
    void fail(const QString &why) { setFailed(why); }

    TSpellReturnCode CheckBuffer(const QByteArray &b, int &p, int &l) override { return check(b, false, p, l); }
    TSpellReturnCode CheckBufferContinued(const QByteArray &b, int &p, int &l) override { return check(b, true, p, l); }
    void CheckAhead(const QByteArray &b) override { announced << b; }
    void ChangeOnce(const QString &o, const QString &n) override { changedOnce << o + u'>' + n; }
    void ChangeAlways(const QString &o, const QString &n) override
    {
        changedAlways << o + u'>' + n;
        codes.insert(o, TSpellReturnCode::srReturningChangeAlways);
        changeWords.insert(o, n);
    }
    void AddWord(const QString &w) override { added << w; }
    void IgnoreAlways(const QString &w) override { ignored << w; }
    void GetSuggestions(const QString &w, QStringList &list) override { list = suggestions.value(w); }
    QString GetChangeWord() const override { return m_change; }
    QString GetErrorWord() const override { return m_error; }

private:
    TSpellReturnCode check(const QByteArray &buffer, bool continued, int &pos, int &len)
    {
        calls.append({buffer, continued});
        if (Failed())
            return TSpellReturnCode::srNoErrors;
        const QString text = QString::fromLatin1(buffer);
        static const QRegularExpression word(QStringLiteral("[\\w']+|  +\\S"));
        QString previous;
        for (auto it = word.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            const QString w = m.captured();
            TSpellReturnCode code = TSpellReturnCode::srNoErrors;
            if (w.startsWith(u' ')) {
                if (codes.contains(QStringLiteral("  ")))
                    code = TSpellReturnCode::srExtraSpaces;
            } else if (findRepeats && w == previous) {
                code = TSpellReturnCode::srRepeatWord;
            } else if (!added.contains(w) && !ignored.contains(w)) {
                code = codes.value(w, TSpellReturnCode::srNoErrors);
            }
            if (!w.startsWith(u' '))
                previous = w;
            if (code != TSpellReturnCode::srNoErrors) {
                pos = int(m.capturedStart());
                len = int(m.capturedLength());
                m_error = w;
                m_change = changeWords.value(w);
                return code;
            }
        }
        return TSpellReturnCode::srNoErrors;
    }
    QString m_error, m_change;
};

// A dialog that records what the driver asked of it.
class ScriptedDialog : public TSpellDialogView
{
public:
    explicit ScriptedDialog(TSpellChecker *checker) : m_checker(checker) {}
    ~ScriptedDialog() override { m_checker->dialogDestroyed(this); }

    QString caption, kind, message;
    QStringList variants;
    bool shown = false;
    int closes = 0;

    void setCaption(const QString &c) override { caption = c; }
    void ShowErrorWithVariants(const QString &m) override { record(QStringLiteral("variants"), m); }
    void ShowErrorNoVariants(const QString &m) override { record(QStringLiteral("novariants"), m); variants.clear(); }
    void ShowRepeatedWord() override { record(QStringLiteral("repeated"), QString()); variants.clear(); }
    void putChangeWordFirst(const QString &w) override
    {
        if (!variants.contains(w))
            variants.prepend(w);
    }
    bool isShown() const override { return shown; }
    void showDialog(bool) override { shown = true; }
    void closeDialog() override { shown = false; ++closes; kind.clear(); }

private:
    void record(const QString &k, const QString &m)
    {
        kind = k;
        message = m;
        variants = m_checker->Variants();
        shown = true;
    }
    TSpellChecker *m_checker;
};
