#pragma once

#include <QObject>
#include <QString>

#include <memory>

class DocumentHost;
class QTemporaryDir;
class QWidget;
class TRichTextEdit;

// Embedded objects of one document window: Insert > Object and opening an
// object with its standard application. An object is opened from a copy in
// a temporary folder that lives as long as the window.
class ObjectCommands : public QObject
{
    Q_OBJECT

public:
    ObjectCommands(TRichTextEdit *editor, DocumentHost *host, QWidget *dialogParent);
    ~ObjectCommands() override;

    // Runs the insert-object dialog and embeds the chosen file at the caret.
    void insertObject(const QString &initialDir);
    // Embeds a file; false (after saying why) when it is too large or unreadable.
    bool embedFile(const QString &path, bool displayAsIcon);
    // True when the character at position is an embedded object.
    bool isObjectAt(int position) const;
    // Opens the object at position from a temporary copy; the copy's path,
    // empty when it could not be made or opened (the user was told).
    QString openObject(int position);

private:
    void showError(const QString &text);

    TRichTextEdit *m_editor;
    DocumentHost *m_host;
    QWidget *m_dialogParent;
    std::unique_ptr<QTemporaryDir> m_tempDir;
    int m_opened = 0;
};
