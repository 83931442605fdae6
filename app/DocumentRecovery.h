#pragma once

#include <QList>

#include <functional>

class RecoveryStore;
class TEditForm;
class TextSet;
class UserInteraction;

// Recovery copies of the frame's documents: kept when the program is ended
// from outside, offered again at the next start.
namespace DocumentRecovery {

// Keeps a copy of each modified document and marks it saved, since nobody is
// there to answer a save question.
void keepModified(RecoveryStore &store, const QList<TEditForm *> &documents);

// Asks whether to reopen the kept copies; newDocument makes a window for each.
// A copy that cannot be used is reported and removed. When ended() is true
// after the question (the program was ended while asking), the copies wait
// for the next start.
void offer(RecoveryStore &store, UserInteraction &ui, const TextSet &texts,
           const std::function<TEditForm *()> &newDocument, const std::function<bool()> &ended);

} // namespace DocumentRecovery
