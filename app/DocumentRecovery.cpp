#include "app/DocumentRecovery.h"

#include "app/RecoveryStore.h"
#include "document/ui/MDIEdit.h"
#include "document/ui/TRichTextEdit.h"
#include "platform/TextFormat.h"
#include "platform/TextSet.h"
#include "platform/UserInteraction.h"

#include <QDir>
#include <QTemporaryFile>

namespace {

bool restore(const RecoveryStore &store, const RecoveryStore::Copy &copy, const std::function<TEditForm *()> &newDocument)
{
    // The document loads its RTF from a file; one beside the copy serves.
    QTemporaryFile rtf(store.folder() + QStringLiteral("/restore-XXXXXX.rtf"));
    if (!rtf.open() || rtf.write(copy.rtf) != copy.rtf.size() || !rtf.flush())
        return false;
    rtf.close();
    TEditForm *form = newDocument();
    if (!form->LoadDocument(rtf.fileName(), true)) {
        form->close();
        return false;
    }
    form->setDocumentFileName(copy.fileName);
    if (copy.fileCoding >= 1 && copy.fileCoding <= 9)
        form->setFileCoding(copy.fileCoding);
    // Still not saved: the document says so and asks at its close.
    form->Editor()->setModified(true);
    return true;
}

} // namespace

namespace DocumentRecovery {

void keepModified(RecoveryStore &store, const QList<TEditForm *> &documents)
{
    for (TEditForm *f : documents) {
        TRichTextEdit *editor = f->Editor();
        if (!editor->Modified())
            continue;
        const TStreamFormat format = editor->StreamFormat();
        const TStreamMode mode = editor->StreamMode();
        editor->setStreamFormat(TStreamFormat::sfRichText);
        editor->setStreamMode(TStreamMode());
        const QByteArray rtf = editor->Lines().saveToBuffer();
        editor->setStreamFormat(format);
        editor->setStreamMode(mode);
        QString error;
        if (!store.write(f->FileName(), f->FileCoding(), rtf, &error))
            qWarning("recovery copy of %s not written: %s", qPrintable(f->FileName()), qPrintable(error));
        editor->setModified(false);
    }
}

void offer(RecoveryStore &store, UserInteraction &ui, const TextSet &texts,
           const std::function<TEditForm *()> &newDocument, const std::function<bool()> &ended)
{
    if (store.isEmpty())
        return;
    const QList<RecoveryStore::Copy> copies = store.copies();
    QList<RecoveryStore::Copy> usable;
    for (const RecoveryStore::Copy &copy : copies) {
        if (!copy.isDamaged()) {
            usable << copy;
            continue;
        }
        ui.showError(formatText(texts.extra(TextSet::Extra::RecoveryDamaged), {QDir::toNativeSeparators(copy.path)}),
                     QStringLiteral("Quilmar"));
        store.remove(copy);
    }
    if (usable.isEmpty())
        return;
    ui.beep(UserInteraction::Beep::Question);
    const UserInteraction::Button answer =
        ui.message({QStringLiteral("Quilmar"), formatText(texts.extra(TextSet::Extra::RecoveryQuestion), {int(usable.size())}),
                    UserInteraction::Icon::Question, UserInteraction::Yes | UserInteraction::No, UserInteraction::Yes});
    if (ended())
        return;
    for (const RecoveryStore::Copy &copy : usable) {
        if (answer == UserInteraction::Yes && !restore(store, copy, newDocument))
            continue;
        store.remove(copy);
    }
}

} // namespace DocumentRecovery
