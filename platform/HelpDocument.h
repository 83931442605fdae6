#pragma once

#include <QList>
#include <QString>

// A help document: one HTML file whose <section id="…"> elements are its
// topics, the first being the contents page. Links between topics are
// written "#id". A file without sections is one page; a plain-text file is
// shown as text. Files that are not text (an old binary help file named by a
// language file) are refused.
class HelpDocument
{
public:
    bool load(const QString &path, QString *error = nullptr);
    // Reads the document from text already in memory (UTF-8 or the ANSI
    // code page); false when it is not a text document.
    bool setContent(const QByteArray &bytes, QString *error = nullptr);

    bool isEmpty() const { return m_topics.isEmpty(); }
    QString title() const { return m_title; }
    QString contentsId() const;
    QStringList topicIds() const;
    bool hasTopic(const QString &id) const;
    QString topicTitle(const QString &id) const;
    // The complete HTML page of a topic, empty when there is no such topic.
    QString page(const QString &id) const;
    // Targets of the links in a topic, as written ("#id", "https://…").
    QStringList links(const QString &id) const;
    // The content of <meta name="name" content="…">; fallback when absent.
    QString meta(const QString &name, const QString &fallback = QString()) const;

private:
    struct Topic {
        QString id;
        QString title;
        QString body;
    };
    const Topic *find(const QString &id) const;

    QString m_title;
    QString m_head;
    QList<Topic> m_topics;
};
