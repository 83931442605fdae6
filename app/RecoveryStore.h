#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Copies of modified documents, kept when the program is ended from outside
// (session end, SIGTERM) and offered at the next start. Each copy is one file
// in the folder: a header naming the document, then its RTF.
class RecoveryStore
{
public:
    explicit RecoveryStore(const QString &folder);

    struct Copy {
        QString path;        // the copy itself
        QString fileName;    // the document's file name; empty for an untitled one
        int fileCoding = 0;  // the document's coding, as the save dialog numbers it
        QByteArray rtf;
        QString error;       // why the copy cannot be used (not shown); empty when it can
        bool isDamaged() const { return !error.isEmpty(); }
    };

    QString folder() const { return m_folder; }
    // Writes a copy through a temporary file; false with the reason.
    bool write(const QString &fileName, int fileCoding, const QByteArray &rtf, QString *error = nullptr);
    // Every copy in the folder, oldest first; damaged ones carry their error.
    QList<Copy> copies() const;
    bool isEmpty() const;
    void remove(const Copy &copy);

    static QByteArray serialize(const QString &fileName, int fileCoding, const QByteArray &rtf);
    static Copy parse(const QByteArray &bytes);

private:
    QString m_folder;
};
