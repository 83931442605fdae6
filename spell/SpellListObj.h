#pragma once

#include "spell/AbstractSpeller.h"

#include <QList>
#include <QString>

// One entry of the spelling language selector: an ispell dictionary
// (SpellerType 1, with the keys of its ispell.ini section) or an office
// language (SpellerType 0, strings empty).
struct TSpellListObj {
    QString Cmd;
    QString Charset;
    QString Surrogate;
    QString Flag;
    TLanguage LangNo = 0;
    quint8 SpellerType = 0;
};

// A line of the selector: its text and its entry.
struct TSpellListItem {
    QString text;
    TSpellListObj obj;
};
using TSpellList = QList<TSpellListItem>;
